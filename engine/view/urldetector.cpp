#include "engine/view/urldetector.h"

#include <QRegularExpression>

namespace engine {

namespace {

bool mayHoldUrl(const QString &text)
{
    return text.contains(QLatin1Char(':')) || text.contains(QLatin1String("www."), Qt::CaseInsensitive);
}

const QRegularExpression &urlPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("(?<![\\w.@/])(?:(?:https?|ftp|file)://|mailto:|www\\.)[^\\s<>\"\\x{2028}\\x{2029}\\x{fffc}]+"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

// A URL that ends a sentence or sits in brackets does not own the punctuation.
int trimmedLength(const QString &text, int start, int length)
{
    static const QString trailing = QStringLiteral(".,;:!?)]}'");
    while (length > 0 && trailing.contains(text.at(start + length - 1)))
        --length;
    return length;
}

int prefixLength(const QString &url)
{
    if (url.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return 4;
    if (url.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return 7;
    return int(url.indexOf(QLatin1String("://"))) + 3;
}

}  // namespace

QList<TextSpan> findUrls(const QString &text)
{
    QList<TextSpan> spans;
    if (!mayHoldUrl(text))
        return spans;
    auto it = urlPattern().globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const int start = int(match.capturedStart());
        const int length = trimmedLength(text, start, int(match.capturedLength()));
        // A bare prefix ("www." or "http://") is not an address yet.
        if (length > prefixLength(match.captured()))
            spans.append({start, length});
    }
    return spans;
}

}  // namespace engine
