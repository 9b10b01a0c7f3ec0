#include "richedit/wwriched.h"

#include "engine/codec/documentextras.h"
#include "richedit/wwprinter.h"

#include <QPageSize>
#include <QPrinter>
#include <algorithm>

// A loaded document's page size, orientation and margins become the printing defaults
// while it is open: the margins in the control's unit, and the paper and orientation on
// the current printer (only with a parent form, as SetPaperSize does).
void TwwCustomRichEdit::TakeDocumentPageSetup()
{
    const engine::PageSetup page = engine::documentExtras(document()).page;
    const auto take = [this](int twips, double &margin) {
        if (twips > 0)
            margin = TwipsToUnits(twips);
    };
    take(page.marginLeft, m_margins.Left);
    take(page.marginRight, m_margins.Right);
    take(page.marginTop, m_margins.Top);
    take(page.marginBottom, m_margins.Bottom);
    if (page.paperWidth <= 0 || page.paperHeight <= 0 || !parentWidget())
        return;
    constexpr double kTwipsPerInch = 1440.0;
    const QSizeF portrait(std::min(page.paperWidth, page.paperHeight) / kTwipsPerInch,
                          std::max(page.paperWidth, page.paperHeight) / kTwipsPerInch);
    const QPageSize size(portrait, QPageSize::Inch, QString(), QPageSize::FuzzyMatch);
    QPrinter &printer = CurrentPrinter();
    printer.setPageSize(size);
    printer.setPageOrientation(page.landscape || page.paperWidth > page.paperHeight ? QPageLayout::Landscape
                                                                                       : QPageLayout::Portrait);
    if (size.id() != QPageSize::Custom)
        m_paperSize = qint16(size.windowsId());
    if (m_editWidth == rewPrinterSize)
        UpdateFormatRect();
}
