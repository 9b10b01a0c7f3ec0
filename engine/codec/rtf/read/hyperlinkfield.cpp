#include "engine/codec/rtf/read/hyperlinkfield.h"

#include <QStringList>

namespace engine::rtfin {

namespace {

// Splits a field instruction into its words: quoted arguments (with \\ and \" escapes)
// and bare words.
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
        QString word;
        if (instruction.at(i) == u'"') {
            ++i;
            while (i < n && instruction.at(i) != u'"') {
                if (instruction.at(i) == u'\\' && i + 1 < n
                    && (instruction.at(i + 1) == u'\\' || instruction.at(i + 1) == u'"'))
                    ++i;
                word.append(instruction.at(i));
                ++i;
            }
            ++i;
        } else {
            while (i < n && !instruction.at(i).isSpace() && instruction.at(i) != u'"')
                word.append(instruction.at(i++));
        }
        words.append(word);
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
