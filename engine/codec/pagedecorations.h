#pragma once
#include <QRect>
#include <memory>

class QPainter;
class QPaintDevice;
class QTextDocument;

// The headers and footers a document keeps from its RTF file (documentextras.h), laid out
// for printing with their page number fields showing the page's number. Each page shows
// one header and one footer: the first page its own when the document asks for a title
// page, even pages their left one when it asks for facing pages, and every other page the
// plain one (or the right-page one, which other readers take as the same). The header's top stands the document's header distance
// below the paper's top edge, the footer's bottom its footer distance above the bottom
// edge; where one reaches into the text's margin, the text gives way.
namespace engine {

struct DocumentExtras;

// `source` with the results of its PAGE and NUMPAGES fields replaced by `page` and
// `pages`, each in its field's character format (also where a field had no result).
std::unique_ptr<QTextDocument> withPageNumbers(const QTextDocument &source, int page, int pages);

class PageDecorations {
public:
    explicit PageDecorations(const DocumentExtras &extras);
    ~PageDecorations();
    PageDecorations(const PageDecorations &) = delete;
    PageDecorations &operator=(const PageDecorations &) = delete;

    bool hasHeader() const;  // of any kind
    bool hasFooter() const;
    // As shown on page `page` (from 1), for tests and tooltips; empty where it has none.
    QString headerText(int page = 1) const;
    QString footerText(int page = 1) const;

    // Rectangles are in twips from the device's origin, as paging takes them: `text` is
    // where the margins leave the page's text, `paper` the whole paper.
    //
    // The text rectangle of page `page`, shortened so that its header and footer do not
    // overlap it. However tall they are, the text keeps kLeastTextHeight (or all of
    // `text` when that is lower).
    QRect textRect(const QRect &text, const QRect &paper, int page) const;
    // Draws page `page` of `pages`: header and footer span the text's width.
    void draw(QPainter &painter, const QPaintDevice &device, const QRect &text, const QRect &paper, int page,
              int pages) const;

    static constexpr int kDefaultHeaderDistance = 720;  // twips, as RTF assumes without \headery
    static constexpr int kDefaultFooterDistance = 720;
    static constexpr int kLeastTextHeight = 720;

private:
    struct Kinds {
        std::unique_ptr<QTextDocument> all;
        std::unique_ptr<QTextDocument> left;
        std::unique_ptr<QTextDocument> right;
        std::unique_ptr<QTextDocument> first;
        bool any() const { return all || left || right || first; }
    };

    QTextDocument *onPage(const Kinds &kinds, int page) const;

    Kinds m_headers;
    Kinds m_footers;
    int m_headerDistance;
    int m_footerDistance;
    bool m_titlePage;
    bool m_facingPages;
};

}  // namespace engine
