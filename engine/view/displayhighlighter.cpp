#include "engine/view/displayhighlighter.h"

#include "engine/codec/formatmapping.h"

#include <QTextBlock>

namespace engine {

DisplayHighlighter::DisplayHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document)
{
}

void DisplayHighlighter::setDetectUrls(bool on)
{
    if (m_detectUrls == on)
        return;
    m_detectUrls = on;
    rehighlight();
}

void DisplayHighlighter::highlightBlock(const QString &text)
{
    const QTextBlock block = currentBlock();
    const int blockStart = block.position();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (isHyperlink(format))
            setFormat(fragment.position() - blockStart, fragment.length(), linkOverlay());
        else if (isHidden(format))
            setFormat(fragment.position() - blockStart, fragment.length(), hiddenTextOverlay());
    }
    if (m_detectUrls) {
        for (const TextSpan &url : findUrls(text))
            setFormat(url.start, url.length, linkOverlay());
    }
}

}  // namespace engine
