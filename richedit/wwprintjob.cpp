#include "richedit/wwprintjob.h"

#include "platform/exceptions.h"
#include "richedit/wwprinter.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace {

QString cannotPrintTo(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Cannot print to \"%1\": %2").arg(QDir::toNativeSeparators(fileName), reason);
}

class PdfFileJob : public TwwPrintJob {
public:
    PdfFileJob(const QPrinter &printer, const QString &fileName, const QString &docName)
        : m_file(fileName)
    {
        if (fileName.isEmpty())
            throw Exception(QStringLiteral("Cannot print: no file name was given for the PDF file."));
        if (!m_file.open(QIODevice::WriteOnly))
            throw Exception(cannotPrintTo(fileName, m_file.errorString()));
        m_writer = std::make_unique<QPdfWriter>(&m_file);
        m_writer->setResolution(printer.resolution());
        m_writer->setPageLayout(printer.pageLayout());
        m_writer->setTitle(docName);
        m_writer->setCreator(QStringLiteral("Penhaven Word Processor"));
        if (!m_painter.begin(m_writer.get()))
            throw Exception(cannotPrintTo(fileName, QStringLiteral("the PDF file could not be started")));
    }

    ~PdfFileJob() override
    {
        if (m_painter.isActive())
            m_painter.end();
        m_file.cancelWriting();
    }

    QPainter &Painter() override { return m_painter; }
    QPaintDevice &Device() override { return *m_writer; }

    void NewPage() override
    {
        if (!m_writer->newPage())
            throw Exception(cannotPrintTo(m_file.fileName(), QStringLiteral("a new page could not be started")));
    }

    void Finish() override
    {
        m_painter.end();
        if (!m_file.commit())
            throw Exception(cannotPrintTo(m_file.fileName(), m_file.errorString()));
    }

private:
    QSaveFile m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
};

// A job on a real printer. Each job is one copy: the printer's own copy count, which the
// print dialog sets, is put back when the job ends.
class PrinterJob : public TwwPrintJob {
public:
    PrinterJob(QPrinter &printer, const QString &docName) : m_printer(printer), m_copies(printer.copyCount())
    {
        m_printer.setDocName(docName);
        m_printer.setCopyCount(1);
        if (!m_painter.begin(&m_printer)) {
            m_printer.setCopyCount(m_copies);
            throw Exception(QStringLiteral("Cannot print: the printer \"%1\" could not start the job.")
                                .arg(m_printer.printerName()));
        }
    }

    ~PrinterJob() override
    {
        if (m_painter.isActive()) {
            m_printer.abort();
            m_painter.end();
        }
        m_printer.setCopyCount(m_copies);
    }

    QPainter &Painter() override { return m_painter; }
    QPaintDevice &Device() override { return m_printer; }

    void NewPage() override
    {
        if (!m_printer.newPage())
            throw failed();
    }

    void Finish() override
    {
        if (!m_painter.end() || m_printer.printerState() == QPrinter::Error)
            throw failed();
    }

private:
    Exception failed() const
    {
        return Exception(QStringLiteral("Printing on \"%1\" failed.").arg(m_printer.printerName()));
    }

    QPrinter &m_printer;
    int m_copies;
    QPainter m_painter;
};

TwwPrintSpooler *installedSpooler = nullptr;

}  // namespace

bool TwwPrintSpooler::PrintsToFile(const QPrinter &printer) const
{
    return ::PrintsToFile(printer);
}

std::unique_ptr<TwwPrintJob> TwwPrintSpooler::StartJob(QPrinter &printer, const QString &docName)
{
    if (PrintsToFile(printer))
        return StartPdfFileJob(printer, printer.outputFileName(), docName);
    return std::make_unique<PrinterJob>(printer, docName);
}

std::unique_ptr<TwwPrintJob> StartPdfFileJob(const QPrinter &printer, const QString &fileName,
                                            const QString &docName)
{
    return std::make_unique<PdfFileJob>(printer, fileName, docName);
}

TwwPrintSpooler &PrintSpooler()
{
    static TwwPrintSpooler realSpooler;
    return installedSpooler ? *installedSpooler : realSpooler;
}

void SetPrintSpooler(TwwPrintSpooler *spooler)
{
    installedSpooler = spooler;
}
