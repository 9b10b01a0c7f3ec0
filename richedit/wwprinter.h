#pragma once
#include <QPageSize>
#include <QString>

class QPrinter;

// The current printer: one printer object for the whole program, created on first use.
// It is the desktop's default printer where there is one; otherwise it prints to a PDF
// file that the user names in the print dialog. Page setup, printing and the
// printer-width layout all work on it. Its page margins are the printer's own
// unprintable edges, so that the printable area starts where the hardware allows and the
// editor's print margins count from the paper's edge.
QPrinter &CurrentPrinter();

// The paper the current printer had when the program first used it: a fresh document's
// paper, printed portrait.
QPageSize DefaultPaperSize();

// Whether the printer writes a PDF file rather than sending jobs to a printer.
bool PrintsToFile(const QPrinter &printer);

// Makes the printer print into a PDF file (empty name: keep the name it has).
void UsePdfFile(QPrinter &printer, const QString &fileName);

// Gives the printer its own unprintable edges as page margins (none for a PDF file).
void UsePrinterMinimumMargins(QPrinter &printer);

// Where a PDF of the document goes unless the user chooses otherwise: the Documents
// folder, or the home folder when there is none, and the document's name with ".pdf".
QString DefaultPdfFileName(const QString &documentName);
