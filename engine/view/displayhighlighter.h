#pragma once
#include "engine/view/urldetector.h"

#include <QObject>
#include <QTextBlock>
#include <QTextLayout>
#include <vector>

class QTextDocument;

// Lays display-only formats over a paragraph's text: hidden text grey with a dotted
// underline, hyperlinks and (while URL detection is on) detected URLs underlined in the
// link colour. The stored formats, the undo history and the modified flag are not
// touched, and only the paragraphs that change are looked at again. A paragraph costs a
// look at its runs' format numbers (its text only while URLs are detected), so a change
// over a whole large document stays quick.
namespace engine {

class DisplayHighlighter : public QObject {
public:
    explicit DisplayHighlighter(QTextDocument *document);

    void setDetectUrls(bool on);
    bool detectUrls() const { return m_detectUrls; }
    // While set, changes are known to keep every overlay: formats changed without making
    // links come or go, over the same text. Their paragraphs are not looked at again.
    void setOverlaysKept(bool kept) { m_overlaysKept = kept; }

private:
    enum class Overlay : char { Unknown, None, Link, Hidden };

    Overlay overlayOf(int formatIndex);
    void refresh(int from, int removed, int added);
    bool mayOverlay();
    void refreshBlocks(QTextBlock block, const QTextBlock &last);
    void applyOverlays(const QTextBlock &block, QList<QTextLayout::FormatRange> overlays);

    QTextDocument *m_document;
    bool m_detectUrls = false;
    bool m_overlaysKept = false;
    std::vector<Overlay> m_overlayByFormat;  // by format number, during one refresh
};

}  // namespace engine
