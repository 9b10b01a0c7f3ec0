#include "richedit/wwpagesetupdialog.h"

#include "richedit/wwprinter.h"
#include "richedit/wwriched.h"

#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

namespace {

constexpr double kThousandths = 1000.0;
constexpr double kBinaryRoundingSlack = 1e-6;  // of a thousandth

}  // namespace

int MarginThousandths(double value)
{
    const double scaled = value * kThousandths;
    return int(std::trunc(scaled + std::copysign(kBinaryRoundingSlack, scaled)));
}

TwwPageSetupDialog::TwwPageSetupDialog(QWidget *owner) : QObject(owner), m_owner(owner) {}

QString TwwPageSetupDialog::PdfFilePrinterName()
{
    return QStringLiteral("Print to File (PDF)");
}

platform::PageSetupRequest TwwPageSetupDialog::BuildRequest() const
{
    const QPrinter &printer = CurrentPrinter();
    const TwwPrintMargins &margins = RichEdit->PrintMargins();
    platform::PageSetupRequest request;
    request.margins = QMargins(MarginThousandths(margins.Left), MarginThousandths(margins.Top),
                               MarginThousandths(margins.Right), MarginThousandths(margins.Bottom));
    request.inInches = RichEdit->MeasurementUnits() == muInches;
    request.paperEnabled = RichEdit->EditWidth() != rewWindowSize;
    request.paperCode = RichEdit->EditWidth() == rewPrinterSize ? RichEdit->PaperSize()
                                                                : printer.pageLayout().pageSize().windowsId();
    request.paperSource = int(printer.paperSource());
    request.paperSources << request.paperSource;  // Qt names no other trays of the printer here
    request.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    request.printers = QPrinterInfo::availablePrinterNames();
    request.printers << PdfFilePrinterName();
    request.printer = PrintsToFile(printer) ? PdfFilePrinterName() : printer.printerName();
    return request;
}

// Selects the chosen printer; its unprintable edges become the page margins again.
void TwwPageSetupDialog::SetPrinterFromChoice(const QString &printerName)
{
    QPrinter &printer = CurrentPrinter();
    if (printerName == PdfFilePrinterName()) {
        UsePdfFile(printer, QString());
    } else if (!printerName.isEmpty() && printerName != printer.printerName()) {
        printer.setOutputFileName(QString());
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(printerName);
    }
    UsePrinterMinimumMargins(printer);
}

bool TwwPageSetupDialog::Execute()
{
    const platform::PageSetupRequest request = BuildRequest();
    const std::optional<platform::PageSetupChoice> choice = platform::dialogs().pageSetup(m_owner, request);
    if (!choice)
        return false;
    const QPageLayout paperBefore = CurrentPrinter().pageLayout();
    TwwPrintMargins &margins = RichEdit->PrintMargins();
    margins.Left = choice->margins.left() * 0.001;
    margins.Right = choice->margins.right() * 0.001;
    margins.Top = choice->margins.top() * 0.001;
    margins.Bottom = choice->margins.bottom() * 0.001;
    SetPrinterFromChoice(choice->printer);
    QPrinter &printer = CurrentPrinter();
    printer.setPaperSource(QPrinter::PaperSource(choice->paperSource));
    printer.setPageOrientation(choice->landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    RichEdit->SetPaperSize(qint16(choice->paperCode));
    RichEdit->ApplyPaperSize();
    const QPageLayout paperAfter = CurrentPrinter().pageLayout();
    if (choice->margins != request.margins || paperAfter.orientation() != paperBefore.orientation()
        || !paperAfter.pageSize().isEquivalentTo(paperBefore.pageSize()))
        RichEdit->KeepPageSetupInDocument();
    return true;
}
