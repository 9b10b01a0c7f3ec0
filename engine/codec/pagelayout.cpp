#include "engine/codec/pagelayout.h"

#include "engine/codec/listmarkers.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <limits>

Q_GUI_EXPORT int qt_defaultDpiX();
Q_GUI_EXPORT int qt_defaultDpiY();

namespace engine {

namespace {

constexpr double kTwipsPerInch = 1440.0;

// The display-only formats (links, hidden text) that the screen shows over the stored
// formats, so that the page looks as the screen does.
void copyDisplayFormats(const QTextDocument &from, QTextDocument &to)
{
    for (QTextBlock source = from.begin(), target = to.begin(); source.isValid() && target.isValid();
         source = source.next(), target = target.next()) {
        const QList<QTextLayout::FormatRange> formats = source.layout()->formats();
        if (!formats.isEmpty())
            target.layout()->setFormats(formats);
    }
}

QSizeF pictureSize(const QTextDocument &document, const QTextImageFormat &format)
{
    if (format.width() > 0 && format.height() > 0)
        return {format.width(), format.height()};
    const QImage image = document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
    return image.isNull() ? QSizeF() : QSizeF(image.size());
}

// Pictures larger than `bounds` (in the document's 96-dpi units) keep their proportions
// and shrink to fit it.
void fitPictures(QTextDocument &document, const QSizeF &bounds)
{
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QSizeF size = pictureSize(document, format);
            if (size.isEmpty() || (size.width() <= bounds.width() && size.height() <= bounds.height()))
                continue;
            const QSizeF fitted = size.scaled(bounds, Qt::KeepAspectRatio);
            format.setWidth(fitted.width());
            format.setHeight(fitted.height());
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

// Each paragraph keeps the glyphs its layout shaped, so that painting a page does not
// shape its text a second time.
void keepShapedText(QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        block.layout()->setCacheEnabled(true);
}

bool startsWithPageBreak(const QTextBlock &block)
{
    return block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
}

bool endsWithPageBreak(const QTextBlock &block)
{
    return block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter;
}

// The table in the body that a paragraph stands in, or null.
const QTextTable *outermostTable(const QTextBlock &block)
{
    const QTextTable *outermost = nullptr;
    for (const QTextFrame *frame = block.document()->frameAt(block.position()); frame; frame = frame->parentFrame()) {
        if (const auto *table = qobject_cast<const QTextTable *>(frame))
            outermost = table;
    }
    return outermost;
}

}  // namespace

struct PageLayout::Layout {
    std::unique_ptr<QTextDocument> copy;
    int dpiX = 0;      // of the target device
    int dpiY = 0;
    qreal width = 0;   // layout pixels, as the screen counts them
    qreal height = 0;

    // Top of a paragraph's first line in the copy's coordinates.
    qreal blockTop(const QTextBlock &block) const
    {
        const QRectF bounds = copy->documentLayout()->blockBoundingRect(block);
        return bounds.top() - block.layout()->boundingRect().top();
    }

    // A table row is placed whole: where it begins and ends, and the paragraph after it.
    struct RowExtent {
        qreal top = std::numeric_limits<qreal>::max();
        qreal bottom = std::numeric_limits<qreal>::lowest();
        int first = std::numeric_limits<int>::max();
        QTextBlock next;
    };
    RowExtent rowExtent(const QTextTable *table, int row) const
    {
        RowExtent extent;
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            const QTextTableCellFormat format = cell.format().toTableCellFormat();
            if (cell.row() == row) {
                const QRectF first = copy->documentLayout()->blockBoundingRect(copy->findBlock(cell.firstPosition()));
                extent.top = std::min(extent.top, first.top() - format.topPadding() - format.topBorder());
                extent.first = std::min(extent.first, cell.firstPosition());
            }
            if (cell.row() + cell.rowSpan() - 1 == row) {
                const QRectF last = copy->documentLayout()->blockBoundingRect(copy->findBlock(cell.lastPosition()));
                extent.bottom = std::max(extent.bottom, last.bottom() + format.bottomPadding() + format.bottomBorder());
            }
        }
        const int after = row + 1 < table->rows() ? table->cellAt(row + 1, 0).firstPosition() : table->lastPosition() + 1;
        extent.next = copy->findBlock(after);
        return extent;
    }
};

// The part of the laid-out copy that one page shows: the lines from `top` to `bottom`
// and the first character after them.
struct PageLayout::PageExtent {
    qreal top = 0;
    qreal bottom = 0;
    int next = 0;
};

PageLayout::PageLayout(QTextDocument *document) : m_document(document)
{
    // A document reports its changes only once it has a layout of its own.
    document->documentLayout();
    m_changeWatch = QObject::connect(document, &QTextDocument::contentsChange, document,
                                     [this](int, int, int) { release(); });
}

PageLayout::~PageLayout()
{
    QObject::disconnect(m_changeWatch);
}

void PageLayout::release()
{
    m_layout.reset();
}

int PageLayout::textLength() const
{
    return m_document->characterCount() - 1;
}

int PageLayout::formatRange(const FormatRange &range, bool render)
{
    const int length = textLength();
    const int end = range.chrg.max < 0 || range.chrg.max > length ? length : range.chrg.max;
    if (range.chrg.min < 0 || range.chrg.min > end || (render && !range.painter) || !prepare(range))
        return -1;
    const PageExtent page = measure(range.chrg.min, end);
    if (render)
        this->render(range, page);
    return page.next;
}

bool PageLayout::prepare(const FormatRange &range)
{
    if (!range.target || range.rc.width() <= 0 || range.rc.height() <= 0)
        return false;
    const int dpiX = range.target->logicalDpiX();
    const int dpiY = range.target->logicalDpiY();
    const qreal width = range.rc.width() * qt_defaultDpiX() / kTwipsPerInch;
    const qreal height = range.rc.height() * qt_defaultDpiY() / kTwipsPerInch;
    if (m_layout && m_layout->dpiX == dpiX && m_layout->dpiY == dpiY && m_layout->width == width
        && m_layout->height == height)
        return true;

    auto layout = std::make_unique<Layout>();
    layout->dpiX = dpiX;
    layout->dpiY = dpiY;
    layout->width = width;
    layout->height = height;
    layout->copy.reset(m_document->clone());
    QTextDocument &copy = *layout->copy;
    copy.setUndoRedoEnabled(false);
    copy.setDocumentMargin(0);
    fitPictures(copy, QSizeF(width, height));
    copyDisplayFormats(*m_document, copy);
    keepShapedText(copy);
    copy.setTextWidth(width);
    m_layout = std::move(layout);
    return true;
}

// Walks the lines from the one holding `start` and keeps those that fit the page's
// height; the first line that does not fit, or a paragraph that begins with a page
// break, starts the next page.
PageLayout::PageExtent PageLayout::measure(int start, int end) const
{
    const QTextDocument &copy = *m_layout->copy;
    QTextBlock block = copy.findBlock(start);
    PageExtent page;
    page.next = end;
    if (!block.isValid())
        return page;
    qreal blockTop = m_layout->blockTop(block);
    int lineIndex = std::max(0, block.layout()->lineForTextPosition(start - block.position()).lineNumber());
    page.top = blockTop + block.layout()->lineAt(lineIndex).y();
    if (const QTextTable *table = outermostTable(block))
        page.top = std::min(page.top, m_layout->rowExtent(table, table->cellAt(block.position()).row()).top);
    page.bottom = page.top;
    const qreal limit = page.top + m_layout->height;
    bool placedAny = false;
    while (block.isValid()) {
        if (const QTextTable *table = outermostTable(block)) {
            const Layout::RowExtent row = m_layout->rowExtent(table, table->cellAt(block.position()).row());
            if (placedAny && (row.first >= end || row.bottom > limit)) {
                page.next = std::min(row.first, end);
                return page;
            }
            placedAny = true;
            page.bottom = std::max(page.bottom, row.bottom);
            block = row.next;
            lineIndex = 0;
            if (block.isValid())
                blockTop = m_layout->blockTop(block);
            continue;
        }
        const QTextLayout *lines = block.layout();
        for (; lineIndex < lines->lineCount(); ++lineIndex) {
            const QTextLine line = lines->lineAt(lineIndex);
            const int first = block.position() + line.textStart();
            const qreal top = blockTop + line.y();
            const bool breakBefore = lineIndex == 0 && startsWithPageBreak(block);
            if (placedAny && (first >= end || breakBefore || top + line.height() > limit)) {
                page.next = std::min(first, end);
                return page;
            }
            placedAny = true;
            page.bottom = std::max(page.bottom, top + line.height());
        }
        if (endsWithPageBreak(block) && block.next().isValid()) {
            page.next = std::min(block.next().position(), end);
            return page;
        }
        block = block.next();
        lineIndex = 0;
        if (block.isValid())
            blockTop = m_layout->blockTop(block);
    }
    return page;
}

void PageLayout::render(const FormatRange &range, const PageExtent &page) const
{
    QPainter &painter = *range.painter;
    const QPointF origin(range.rc.left() * m_layout->dpiX / kTwipsPerInch,
                         range.rc.top() * m_layout->dpiY / kTwipsPerInch);
    const QRectF shown(0, page.top, m_layout->width, page.bottom - page.top);
    painter.save();
    painter.translate(origin);
    painter.scale(qreal(m_layout->dpiX) / qt_defaultDpiX(), qreal(m_layout->dpiY) / qt_defaultDpiY());
    painter.translate(0, -page.top);
    painter.setClipRect(shown, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.cursorPosition = -1;
    // Lines of the neighbouring pages that only touch the page's edges are left out
    // altogether, not merely clipped, so that their text is not in the page's output.
    context.clip = shown.adjusted(0, 0.5, 0, -0.5);
    context.palette.setColor(QPalette::Text, Qt::black);  // the automatic colour on paper
    m_layout->copy->documentLayout()->draw(&painter, context);
    drawListMarkers(&painter, m_layout->copy.get(), context.clip, Qt::black);
    painter.restore();
}

}  // namespace engine
