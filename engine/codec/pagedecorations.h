#pragma once
#include <QRect>
#include <memory>

class QPainter;
class QPaintDevice;
class QTextDocument;

// The header and footer a document keeps from its RTF file (documentextras.h), laid out
// for printing: the header above each page's text, the footer below it, with their page
// number fields showing the page's number.
namespace engine {

struct DocumentExtras;

class PageDecorations {
public:
    explicit PageDecorations(const DocumentExtras &extras);
    ~PageDecorations();
    PageDecorations(const PageDecorations &) = delete;
    PageDecorations &operator=(const PageDecorations &) = delete;

    bool hasHeader() const { return m_header != nullptr; }
    bool hasFooter() const { return m_footer != nullptr; }
    QString headerText() const;  // as shown on page 1, for tests and tooltips
    QString footerText() const;

    // Draws on page `page` (from 1) of `pages`. `text` is the page's text rectangle in
    // twips from the device's origin, as paging takes it; `paper` the paper in the same
    // terms. The header starts kHeaderDistance below the paper's top edge, the footer ends
    // kFooterDistance above its bottom edge; both span the text's width.
    void draw(QPainter &painter, const QPaintDevice &device, const QRect &text, const QRect &paper, int page,
              int pages) const;

    static constexpr int kHeaderDistance = 720;  // twips, as RTF assumes without \headery
    static constexpr int kFooterDistance = 720;

private:
    std::unique_ptr<QTextDocument> m_header;
    std::unique_ptr<QTextDocument> m_footer;
};

}  // namespace engine
