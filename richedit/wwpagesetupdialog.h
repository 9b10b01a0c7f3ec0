#pragma once
#include "platform/dialogs.h"

#include <QObject>

class TwwCustomRichEdit;

// The page setup dialog of the editor: shows the editor's print margins in its
// measurement unit (thousandths of an inch or hundredths of a millimetre), the paper of
// the current printer (fixed while the editor lays out to the window's width), the
// orientation and the printer. OK writes, in this order: the margins, the printer, the
// orientation, the editor's paper size (SetPaperSize) and the printer's paper
// (ApplyPaperSize). When the user changed the paper, the orientation or a margin, the
// document keeps the new page setup and is modified. Cancel changes nothing.
class TwwPageSetupDialog : public QObject {
    Q_OBJECT
public:
    explicit TwwPageSetupDialog(QWidget *owner);

    TwwCustomRichEdit *RichEdit = nullptr;  // not owned; set before Execute

    bool Execute();  // true when the user chose OK

    // The printer list's entry for printing to a PDF file.
    static QString PdfFilePrinterName();

private:
    platform::PageSetupRequest BuildRequest() const;
    void SetPrinterFromChoice(const QString &printerName);
    QWidget *m_owner;
};

// A margin as the dialog's record holds it: thousandths of the unit, truncated toward
// zero; a value a hair below a whole thousandth through binary rounding counts as that
// thousandth.
int MarginThousandths(double value);
