#include "engine/codec/rtf/read/hyperlinkfield.h"

#include <QStringList>

namespace engine::rtfin {

namespace {

// A quoted argument from after its opening quote at `i` to its closing one (or the end),
// with \\ and \" escapes; `i` is left past the closing quote. Taken whole when it has no
// escapes, the common case.
QString quotedWord(const QString &instruction, qsizetype &i)
{
    const qsizetype n = instruction.size();
    const qsizetype start = i;
    while (i < n && instruction.at(i) != u'"' && instruction.at(i) != u'\\')
        ++i;
    QString word = instruction.mid(start, i - start);
    while (i < n && instruction.at(i) != u'"') {
        if (instruction.at(i) == u'\\' && i + 1 < n && (instruction.at(i + 1) == u'\\' || instruction.at(i + 1) == u'"'))
            ++i;
        word.append(instruction.at(i));
        ++i;
    }
    ++i;
    return word;
}

// Splits a field instruction into its words: quoted arguments and bare words.
QStringList instructionWords(const QString &instruction)
{
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = instruction.size();
    while (i < n) {
        while (i < n && instruction.at(i).isSpace())
            ++i;
        if (i >= n)
            break;
        if (instruction.at(i) == u'"') {
            ++i;
            words.append(quotedWord(instruction, i));
            continue;
        }
        const qsizetype start = i;
        while (i < n && !instruction.at(i).isSpace() && instruction.at(i) != u'"')
            ++i;
        words.append(instruction.mid(start, i - start));
    }
    return words;
}

}  // namespace

QString hyperlinkTarget(const QString &instruction)
{
    const QStringList words = instructionWords(instruction);
    if (words.isEmpty() || words.first().compare(u"HYPERLINK", Qt::CaseInsensitive) != 0)
        return {};
    QString address;
    QString place;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString &word = words.at(i);
        if (word.size() == 2 && word.at(0) == u'\\') {
            const QChar option = word.at(1).toLower();
            // Switches with an argument; only \l (a place in the target) matters here.
            if ((option == u'l' || option == u'o' || option == u't') && i + 1 < words.size()) {
                if (option == u'l')
                    place = words.at(i + 1);
                ++i;
            }
            continue;
        }
        if (address.isEmpty())
            address = word;
    }
    if (!place.isEmpty())
        address += u'#' + place;
    return address;
}

}  // namespace engine::rtfin
