#pragma once
#include "engine/codec/formatrecords.h"

#include <QMetaObject>
#include <QRect>
#include <memory>

class QPainter;
class QPaintDevice;
class QTextDocument;

// Paging for print: lays a document out to the width of a formatting rectangle on a
// target device and measures or renders one page at a time.
namespace engine {

// One page request. Rectangles are in twips (1440 to the inch) from the device's origin.
struct FormatRange {
    QPainter *painter = nullptr;    // renders the page; unused when only measuring
    QPaintDevice *target = nullptr; // the device whose resolution the page is rendered at
    QRect rc;                       // where the page's text goes; its width is the line width
    QRect rcPage;                   // the whole page; kept for the caller
    CharRange chrg{0, -1};          // first character of the page; max -1 for the end
};

// The text is laid out as the screen lays it out (same fonts, indents, tabs, pictures and
// line breaks at the same width) and scaled to the device when rendered, so a page shows
// what the screen shows.
//
// Keeps a copy of the document laid out for the last request, so that measuring every
// page and then rendering every page costs one layout. The copy is dropped by release(),
// when the document changes, and when a request needs another width or resolution.
//
// A page starts with the line holding chrg.min and takes whole lines while they fit the
// rectangle's height; a paragraph that starts with a page break begins a new page. A page
// holds at least one line, so a line taller than the page is placed (and cut) rather than
// stopping the paging. A table row counts as one line: it is never split between pages.
// Pictures larger than the rectangle are scaled down to fit it.
class PageLayout {
public:
    explicit PageLayout(QTextDocument *document);
    ~PageLayout();
    PageLayout(const PageLayout &) = delete;
    PageLayout &operator=(const PageLayout &) = delete;

    // Measures (render false) or renders the page that starts at range.chrg.min. Returns
    // the first character not placed, or the range's end when everything up to it was
    // placed; -1 for a request that places nothing (no target device, an empty
    // rectangle, a start outside the text, or rendering without a painter).
    int formatRange(const FormatRange &range, bool render);
    void release();

private:
    struct Layout;
    struct PageExtent;

    bool prepare(const FormatRange &range);
    PageExtent measure(int start, int end) const;
    void render(const FormatRange &range, const PageExtent &page) const;
    int textLength() const;

    QTextDocument *m_document;
    std::unique_ptr<Layout> m_layout;
    QMetaObject::Connection m_changeWatch;
};

}  // namespace engine
