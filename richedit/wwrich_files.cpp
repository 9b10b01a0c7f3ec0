#include "richedit/wwrich.h"

#include "richedit/Wwintl.h"
#include "richedit/wwpagesetupdialog.h"
#include "richedit/wwprinter.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"
#include "richedit/wwriched_ruler.h"
#include "richedit/wwTrackIcon.h"

#include <QFileInfo>
#include <QPrinter>

// Leaving the window, and its file, print and page commands.

namespace {

constexpr int kMaxPrintCopies = 99;

}  // namespace

void TwwRichEditForm::SaveExit1Click()
{
    accept();
}

void TwwRichEditForm::Exit1Click()
{
    reject();
}

// Loading replaces the window's content without asking: nothing goes back to the
// opening control unless the user saves and exits.
void TwwRichEditForm::Load1Click()
{
    const QString fileName = platform::dialogs().openFileName(this, OpenDialog1);
    if (fileName.isEmpty())
        return;
    RichEdit1->Lines()->LoadFromFile(fileName);
    RichEdit1->setFocus();
}

void TwwRichEditForm::SaveAs1Click()
{
    const QString fileName = platform::dialogs().saveFileName(this, SaveDialog1);
    if (fileName.isEmpty())
        return;
    if (QFileInfo::exists(fileName)
        && platform::confirmYesNoCancel(this, QStringLiteral("OK to overwrite %1").arg(fileName))
               != platform::MessageResult::Yes)
        return;
    RichEdit1->Lines()->SaveToFile(fileName);
}

void TwwRichEditForm::NewButtonClick()
{
    if (platform::dialogs().messageBox(this, QStringLiteral("Confirm"), UserMessageTexts().RichEditClearWarning,
                                       platform::MessageIcon::Question, platform::MessageButtons::OKCancel)
        != platform::MessageResult::OK)
        return;
    RichEdit1->Clear();
    RichEdit1->UseDefaultPageSetup();
    RichEdit1->SetModified(true);
}

void TwwRichEditForm::Print1Click()
{
    QPrinter &printer = CurrentPrinter();
    printer.setCollateCopies(true);
    if (!platform::dialogs().print(this, printer, kMaxPrintCopies))
        return;
    RichEdit1->PrintCopies(FSource->PrintJobName(), std::min(printer.copyCount(), kMaxPrintCopies));
}

// With printer-width layout the ruler takes the new page width and the right indent
// follows the right marker; otherwise the editor takes the new margins' layout.
void TwwRichEditForm::PageSetup1Click()
{
    TwwPageSetupDialog dialog(this);
    dialog.RichEdit = RichEdit1;
    if (!dialog.Execute())
        return;
    if (RichEdit1->EditWidth() == rewPrinterSize) {
        FRuler->SetPageWidth(RichEdit1);
        FRuler->SyncMarkers();
        FRuler->MarkerEndDrag(FRuler->RightMarker());
    } else {
        RichEdit1->UpdateFormatRect();
    }
}
