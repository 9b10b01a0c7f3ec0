#include "richedit/wwriched.h"

#include "engine/codec/documentextras.h"
#include "richedit/wwprinter.h"

#include <QLocale>
#include <QPageSize>
#include <QPrinter>
#include <algorithm>
#include <cmath>

// The page setup belongs to the document: a loaded document's paper, orientation and
// margins become the printing setup while it is open, a document without them gets a
// fresh document's, and a change the user makes in the page setup dialog is kept in the
// document, to be saved with it.
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kTwipsPerPoint = 20.0;
constexpr double kHalfThousandth = 0.0005;  // the page setup dialog shows thousandths

// The paper a page setup names, upright; an invalid size when it names none.
QPageSize paperOf(const engine::PageSetup &page)
{
    if (page.paperWidth <= 0 || page.paperHeight <= 0)
        return QPageSize();
    const QSizeF upright(std::min(page.paperWidth, page.paperHeight) / kTwipsPerInch,
                         std::max(page.paperWidth, page.paperHeight) / kTwipsPerInch);
    return QPageSize(upright, QPageSize::Inch, QString(), QPageSize::FuzzyMatch);
}

bool namesLandscape(const engine::PageSetup &page)
{
    return page.landscape || page.paperWidth > page.paperHeight;
}

// A paper's upright size in twips, from the size it is defined by, so that A4's 210 mm
// give 11906 twips rather than its width rounded to whole points.
QSize uprightTwips(const QPageSize &paper)
{
    const QSizeF defined = paper.definitionSize();
    double twipsPerUnit = 0;
    switch (paper.definitionUnits()) {
    case QPageSize::Millimeter: twipsPerUnit = kTwipsPerInch / kMillimetresPerInch; break;
    case QPageSize::Inch: twipsPerUnit = kTwipsPerInch; break;
    default: {
        const QSize points = paper.sizePoints();
        return QSize(int(points.width() * kTwipsPerPoint), int(points.height() * kTwipsPerPoint));
    }
    }
    const int width = int(std::lround(defined.width() * twipsPerUnit));
    const int height = int(std::lround(defined.height() * twipsPerUnit));
    return QSize(std::min(width, height), std::max(width, height));
}

}  // namespace

void TwwCustomRichEdit::UseDefaultPageSetup()
{
    m_margins = TwwPrintMargins();
    UsePaper(DefaultPaperSize(), false);
}

void TwwCustomRichEdit::TakeDocumentPageSetup()
{
    const engine::PageSetup page = engine::documentExtras(document()).page;
    const auto take = [this](int twips, double &margin) {
        if (twips != engine::PageSetup::kNotGiven)
            margin = TwipsToUnits(twips);
    };
    take(page.marginLeft, m_margins.Left);
    take(page.marginRight, m_margins.Right);
    take(page.marginTop, m_margins.Top);
    take(page.marginBottom, m_margins.Bottom);
    const QPageSize paper = paperOf(page);
    if (paper.isValid())
        UsePaper(paper, namesLandscape(page));
    else if (m_editWidth == rewPrinterSize && parentWidget())
        UpdateFormatRect();
}

// Only with a parent form, as SetPaperSize does.
void TwwCustomRichEdit::UsePaper(const QPageSize &paper, bool landscape)
{
    if (!parentWidget())
        return;
    QPrinter &printer = CurrentPrinter();
    printer.setPageSize(paper);
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (paper.id() != QPageSize::Custom)
        m_paperSize = qint16(paper.windowsId());
    if (m_editWidth == rewPrinterSize)
        UpdateFormatRect();
}

// The printer's paper and orientation and the control's margins become the document's.
// What still shows the document's own value (the same paper, a margin equal to the
// thousandth) keeps that value to the twip, so that confirming the dialog does not move
// a page by rounding.
void TwwCustomRichEdit::KeepPageSetupInDocument()
{
    engine::DocumentExtras extras = engine::documentExtras(document());
    engine::PageSetup &page = extras.page;
    const engine::PageSetup before = page;
    const QPageLayout layout = CurrentPrinter().pageLayout();
    const bool landscape = layout.orientation() == QPageLayout::Landscape;
    const QPageSize keptPaper = paperOf(page);
    if (!keptPaper.isValid() || !keptPaper.isEquivalentTo(layout.pageSize()) || namesLandscape(page) != landscape) {
        const QSize upright = uprightTwips(layout.pageSize());
        page.paperWidth = landscape ? upright.height() : upright.width();
        page.paperHeight = landscape ? upright.width() : upright.height();
    }
    page.landscape = landscape;
    const auto keep = [this](int &twips, double margin) {
        if (twips != engine::PageSetup::kNotGiven && std::abs(TwipsToUnits(twips) - margin) < kHalfThousandth)
            return;
        twips = std::max(0, UnitsToTwips(QString::number(margin, 'g', QLocale::FloatingPointShortest)));
    };
    keep(page.marginLeft, m_margins.Left);
    keep(page.marginRight, m_margins.Right);
    keep(page.marginTop, m_margins.Top);
    keep(page.marginBottom, m_margins.Bottom);
    if (page == before)
        return;
    engine::setDocumentExtras(document(), extras);
    SetModified(true);
}
