#include "richedit/wwriched.h"

#include "richedit/wwprinter.h"

#include <QPageSize>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <cmath>

namespace {

constexpr int kLayoutPixelsPerInch = 96;  // the layout factor, whatever the screen

int scrollThumbWidth(const QWidget *widget)
{
    return widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
}

QRect rectFromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace

bool TwwCustomRichEdit::vertScrollBarPresent() const
{
    return (m_scrollBars == ssVertical || m_scrollBars == ssBoth)
           && (m_scrollBarExpected || verticalScrollBar()->maximum() != 0);
}

// Text long enough to need the vertical scroll bar takes the width beside it before it is
// inserted, so that the bar appearing leaves the width as it is. Should the bar not come
// after all, the next rectangle sent gives the width back.
void TwwCustomRichEdit::longInsertionStarts()
{
    m_scrollBarExpected = true;
    UpdateFormatRect();
}

void TwwCustomRichEdit::longInsertionEnds()
{
    m_scrollBarExpected = false;
}

// The printable width of the current printer's paper less the side margins, at 96
// pixels to the inch; the height is the printable page height at the same scale.
QRect TwwCustomRichEdit::printerFormatRect() const
{
    const QPrinter &printer = CurrentPrinter();
    const int resolution = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const int pageWidth = layout.fullRectPixels(resolution).width();
    const int pageHeight = layout.paintRectPixels(resolution).height();
    const int marginTwips = UnitsToTwips(QString::number(m_margins.Left + m_margins.Right, 'g', 15));
    const double inches = double(pageWidth) / resolution - double(marginTwips) / wwmeasure::kTwipsPerInch;
    int right = int(std::trunc(inches * kLayoutPixelsPerInch)) + m_leftTextInset + 4;
    if (vertScrollBarPresent())
        right -= scrollThumbWidth(this) + 5;
    const int bottom = pageHeight * kLayoutPixelsPerInch / resolution;
    return rectFromEdges(m_leftTextInset, 0, right, bottom);
}

// Text keeps the same inset from the right border as from the left, so that right-aligned
// text does not touch the border.
QRect TwwCustomRichEdit::windowFormatRect() const
{
    int right = width() - 4 - m_leftTextInset;
    if (vertScrollBarPresent())
        right -= scrollThumbWidth(this);
    return rectFromEdges(m_leftTextInset, 2, right, height());
}

// Remembered before it is sent: applying it resizes the viewport, and the resize asks
// for the rectangle again, which must then find it unchanged.
void TwwCustomRichEdit::sendFormatRect(const QRect &rect)
{
    m_lastFormatRect = rect;
    ++m_formatRectSends;
    setFormatRect(rect);
    if (!m_wordWrap)
        setLineWrapMode(QTextEdit::NoWrap);  // the rectangle places the text, lines stay whole
}

// The printer width is always sent; the window width only while the control is shown
// and only when it changed. Every rectangle sent is remembered, so that coming back from
// the printer width to an unchanged window sends the window rectangle again.
void TwwCustomRichEdit::UpdateFormatRect()
{
    if (m_editWidth == rewPrinterSize) {
        sendFormatRect(printerFormatRect());
        return;
    }
    if (!isVisible())
        return;
    const QRect rect = windowFormatRect();
    if (rect != m_lastFormatRect)
        sendFormatRect(rect);
}

// Without a parent form no printer is touched: the code is only stored.
void TwwCustomRichEdit::SetPaperSize(qint16 code)
{
    m_paperSize = code;
    if (parentWidget() && m_editWidth != rewWindowSize) {
        ApplyPaperSize();
        UpdateFormatRect();
    }
}

// A paper code the page-size table does not know leaves the printer's paper as it is.
void TwwCustomRichEdit::ApplyPaperSize()
{
    const QPageSize::PageSizeId id = QPageSize::id(int(m_paperSize));
    if (id == QPageSize::Custom)
        return;
    CurrentPrinter().setPageSize(QPageSize(id));
}
