#include "richedit/wwprinter.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <memory>

namespace {

QPageSize &defaultPaper()
{
    static QPageSize paper;
    return paper;
}

}  // namespace

QPrinter &CurrentPrinter()
{
    static std::unique_ptr<QPrinter> printer;
    if (!printer) {
        const QPrinterInfo systemDefault = QPrinterInfo::defaultPrinter();
        printer = systemDefault.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                                         : std::make_unique<QPrinter>(systemDefault, QPrinter::HighResolution);
        if (systemDefault.isNull())
            UsePdfFile(*printer, DefaultPdfFileName(QString()));
        UsePrinterMinimumMargins(*printer);
        defaultPaper() = printer->pageLayout().pageSize();
    }
    return *printer;
}

QPageSize DefaultPaperSize()
{
    CurrentPrinter();
    return defaultPaper();
}

bool PrintsToFile(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty();
}

void UsePdfFile(QPrinter &printer, const QString &fileName)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    if (!fileName.isEmpty())
        printer.setOutputFileName(fileName);
}

void UsePrinterMinimumMargins(QPrinter &printer)
{
    printer.setPageMargins(printer.pageLayout().minimumMargins(), printer.pageLayout().units());
}

QString DefaultPdfFileName(const QString &documentName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QString base = QFileInfo(documentName).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("Untitled");
    return QDir(folder).filePath(base + QStringLiteral(".pdf"));
}
