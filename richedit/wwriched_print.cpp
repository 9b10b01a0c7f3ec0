#include "richedit/wwriched.h"

#include "engine/codec/documentextras.h"
#include "engine/codec/pagedecorations.h"

#include "platform/exceptions.h"
#include "platform/waitcursor.h"
#include "richedit/wwprinter.h"
#include "richedit/wwprintjob.h"

#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace {

// Device units of the current printer as twips, by integer division as the engine counts.
struct PrinterTwips {
    int dpiX;
    int dpiY;
    int horizontal(qint64 pixels) const { return int(pixels * wwmeasure::kTwipsPerInch / dpiX); }
    int vertical(qint64 pixels) const { return int(pixels * wwmeasure::kTwipsPerInch / dpiY); }
};

// Drops the engine's page layout when printing ends, on every path.
class PageLayoutRelease {
public:
    explicit PageLayoutRelease(TwwCustomRichEdit &edit) : m_edit(edit) {}
    ~PageLayoutRelease() { m_edit.formatRange(nullptr, false); }
    PageLayoutRelease(const PageLayoutRelease &) = delete;
    PageLayoutRelease &operator=(const PageLayoutRelease &) = delete;

private:
    TwwCustomRichEdit &m_edit;
};

}  // namespace

QRect TwwCustomRichEdit::PrintMarginRect() const
{
    const QPrinter &printer = CurrentPrinter();
    const PrinterTwips twips{printer.resolution(), printer.resolution()};
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    const QPoint offset = printer.pageRect(QPrinter::DevicePixel).toRect().topLeft() - paper.topLeft();
    const QSize size = paper.size();
    const auto marginTwips = [this](double value) {
        return UnitsToTwips(QString::number(value, 'g', QLocale::FloatingPointShortest));
    };
    const int ox = twips.horizontal(offset.x());
    const int oy = twips.vertical(offset.y());
    const int maxX = twips.horizontal(size.width() - 2 * offset.x());

    int left = std::min(std::max(marginTwips(m_margins.Left) - ox, 0), maxX);
    int right = twips.horizontal(size.width()) - marginTwips(m_margins.Right) - ox;
    right = std::min(std::max(right, left), maxX);
    int top = std::max(marginTwips(m_margins.Top) - oy, 0);
    top = std::min(top, twips.vertical(size.height() - offset.y()));
    int bottom = twips.vertical(size.height()) - marginTwips(m_margins.Bottom) - oy;
    bottom = std::min(std::max(bottom, top), twips.vertical(size.height() - 2 * offset.y()));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// The paper in the terms of PrintMarginRect(): twips from the printable area's corner.
QRect TwwCustomRichEdit::PrintPaperRect() const
{
    const QPrinter &printer = CurrentPrinter();
    const PrinterTwips twips{printer.resolution(), printer.resolution()};
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    const QPoint offset = printer.pageRect(QPrinter::DevicePixel).toRect().topLeft() - paper.topLeft();
    return QRect(-twips.horizontal(offset.x()), -twips.vertical(offset.y()), twips.horizontal(paper.width()),
                 twips.vertical(paper.height()));
}

int TwwCustomRichEdit::formatRange(engine::FormatRange *range, bool render)
{
    if (range)
        range->rc = PrintMarginRect();
    return engine::RichEditView::formatRange(range, render);
}

// Lays the content out once, measures every page to find where the text ends, then
// renders the pages (once per copy), each with the document's header and footer for it.
// A page's text goes into the margin rectangle less what its header and footer take. The
// layout is dropped before, and on every path after, the job.
void TwwCustomRichEdit::Print(const QString &title, int copies)
{
    if (m_editWidth == rewPrinterSize)
        ApplyPaperSize();
    QPrinter &printer = CurrentPrinter();
    const QRect margins = PrintMarginRect();
    if (margins.width() <= 0 || margins.height() <= 0)
        throw Exception(QStringLiteral("Cannot print: the page margins leave no room for text on the page."));
    const WaitCursor waitCursor;
    std::unique_ptr<TwwPrintJob> job = PrintSpooler().StartJob(printer, title.left(31));
    QPainter &painter = job->Painter();
    const QRect printable = printer.pageRect(QPrinter::DevicePixel).toRect();
    const PrinterTwips twips{printer.resolution(), printer.resolution()};
    const engine::PageDecorations decorations(engine::documentExtras(document()));
    const QRect paper = PrintPaperRect();

    engine::FormatRange range;
    range.painter = &painter;
    range.target = &job->Device();
    range.rcPage = QRect(0, 0, twips.horizontal(printable.width()), twips.vertical(printable.height()));
    range.chrg = {0, -1};
    const auto formatPage = [&](int position, int page, bool render) {
        range.chrg.min = position;
        range.rc = decorations.textRect(margins, paper, page);
        return engine::RichEditView::formatRange(&range, render);
    };
    const int length = textLength();
    painter.save();
    painter.resetTransform();
    const PageLayoutRelease release(*this);
    formatRange(nullptr, false);

    int end = 0;
    int pages = 0;
    for (int position = 0;;) {
        const int next = formatPage(position, ++pages, false);
        end = next;
        if (next <= position || next >= length || next == -1)
            break;
        position = next;
    }
    range.chrg.max = -1;
    for (int copy = 0; copy < std::max(1, copies); ++copy) {
        if (copy > 0)
            job->NewPage();
        for (int position = 0, page = 1;; ++page) {
            const int next = formatPage(position, page, true);
            decorations.draw(painter, job->Device(), margins, paper, page, pages);
            if (next <= position || next >= end || next == -1)
                break;
            job->NewPage();
            position = next;
        }
    }
    painter.restore();
    job->Finish();
}

void TwwCustomRichEdit::PrintCopies(const QString &title, int copies)
{
    if (copies <= 0)
        return;
    if (PrintSpooler().PrintsToFile(CurrentPrinter())) {
        Print(title, copies);
        return;
    }
    for (int copy = 0; copy < copies; ++copy)
        Print(title);
}
