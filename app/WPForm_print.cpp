#include "app/WPForm.h"

#include "richedit/wwpagesetupdialog.h"
#include "richedit/wwprinter.h"
#include "richedit/wwriched.h"

#include <QPrinter>

namespace {

const QString kPrintTitle = QStringLiteral("Printing");

}  // namespace

void TfmPellWP::mmiPageSetupClick()
{
    TwwPageSetupDialog dialog(this);
    dialog.RichEdit = RichEdit1;
    if (dialog.Execute())
        RichEdit1->UpdateFormatRect();
}

void TfmPellWP::mmiPrintClick()
{
    QPrinter &printer = CurrentPrinter();
    printer.setCollateCopies(true);
    if (PrintsToFile(printer))
        printer.setOutputFileName(DefaultPdfFileName(FFileName));
    if (!platform::dialogs().print(this, printer, kMaxPrintCopies))
        return;
    RichEdit1->PrintCopies(kPrintTitle, std::min(printer.copyCount(), kMaxPrintCopies));
}
