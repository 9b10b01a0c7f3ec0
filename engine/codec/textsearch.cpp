#include "engine/codec/textsearch.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace engine {

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The search text in the document's own characters.
QString documentForm(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    text.replace(QLatin1Char('\r'), QChar::ParagraphSeparator);
    text.replace(QLatin1Char('\v'), QChar::LineSeparator);
    return text;
}

struct Bounds {
    int start;
    int end;
};

// Search inside one piece of text whose first character is at document position
// `base`; hits must lie inside `bounds`.
int searchPiece(const QString &piece, int base, const QString &needle, Bounds bounds,
                const SearchOptions &options)
{
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int first = std::max(0, bounds.start - base);
    const int last = std::min(int(piece.size()), bounds.end - base) - int(needle.size());
    if (last < first)
        return -1;
    if (options.forward) {
        for (int at = int(piece.indexOf(needle, first, cs)); at >= 0 && at <= last;
             at = int(piece.indexOf(needle, at + 1, cs))) {
            if (!options.wholeWord || isWholeWordAt(piece, at, int(needle.size())))
                return base + at;
        }
        return -1;
    }
    for (int at = int(piece.lastIndexOf(needle, last, cs)); at >= first;
         at = at > 0 ? int(piece.lastIndexOf(needle, at - 1, cs)) : -1) {
        if (!options.wholeWord || isWholeWordAt(piece, at, int(needle.size())))
            return base + at;
    }
    return -1;
}

// Text of the paragraphs from `from` to `to` with paragraph separators between them.
QString spanText(const QTextBlock &from, const QTextBlock &to)
{
    QString text;
    for (QTextBlock block = from; block.isValid(); block = block.next()) {
        text += block.text();
        if (block == to)
            break;
        text += QChar::ParagraphSeparator;
    }
    return text;
}

}  // namespace

bool isWholeWordAt(const QString &text, int start, int length)
{
    const bool startsWord = start == 0 || !isWordCharacter(text.at(start - 1))
                            || !isWordCharacter(text.at(start));
    const int end = start + length;
    const bool endsWord = end >= text.size() || !isWordCharacter(text.at(end))
                          || !isWordCharacter(text.at(end - 1));
    return startsWord && endsWord;
}

int findInDocument(const QTextDocument &document, CharRange range, const QString &text,
                   SearchOptions options)
{
    const QString needle = documentForm(text);
    const int textEnd = document.characterCount() - 1;
    Bounds bounds{std::clamp(range.min, 0, textEnd),
                  range.max < 0 ? textEnd : std::clamp(range.max, 0, textEnd)};
    if (bounds.end < bounds.start)
        std::swap(bounds.start, bounds.end);
    if (needle.isEmpty() || bounds.end - bounds.start < needle.size())
        return -1;

    const QTextBlock first = document.findBlock(bounds.start);
    const QTextBlock last = document.findBlock(std::max(bounds.start, bounds.end - 1));
    if (needle.contains(QChar::ParagraphSeparator))
        return searchPiece(spanText(first, last), first.position(), needle, bounds, options);

    if (options.forward) {
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            const int hit = searchPiece(block.text(), block.position(), needle, bounds, options);
            if (hit >= 0 || block == last)
                return hit;
        }
        return -1;
    }
    for (QTextBlock block = last; block.isValid(); block = block.previous()) {
        const int hit = searchPiece(block.text(), block.position(), needle, bounds, options);
        if (hit >= 0 || block == first)
            return hit;
    }
    return -1;
}

}  // namespace engine
