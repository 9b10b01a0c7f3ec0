#include "app/WPForm.h"

#include "richedit/wwpagesetupdialog.h"
#include "richedit/wwprinter.h"
#include "richedit/wwprintjob.h"
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

// One job per copy on a printer. Copies into a PDF file go into one job, since jobs of
// their own would each write the same file over the one before.
void TfmPellWP::mmiPrintClick()
{
    QPrinter &printer = CurrentPrinter();
    printer.setCollateCopies(true);
    if (PrintsToFile(printer))
        printer.setOutputFileName(DefaultPdfFileName(FFileName));
    if (!platform::dialogs().print(this, printer, kMaxPrintCopies))
        return;
    const int copies = std::min(printer.copyCount(), kMaxPrintCopies);
    if (copies <= 0)
        return;
    if (PrintSpooler().PrintsToFile(printer)) {
        RichEdit1->Print(kPrintTitle, copies);
        return;
    }
    for (int copy = 0; copy < copies; ++copy)
        RichEdit1->Print(kPrintTitle);
}
