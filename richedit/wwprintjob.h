#pragma once
#include <QString>
#include <memory>

class QPainter;
class QPaintDevice;
class QPrinter;

// One print job: a painter on the job's device, filled page by page. A job destroyed
// before Finish() is abandoned and leaves nothing behind (no partial file).
class TwwPrintJob {
public:
    virtual ~TwwPrintJob() = default;
    virtual QPainter &Painter() = 0;
    virtual QPaintDevice &Device() = 0;  // has the printer's resolution and page layout
    virtual void NewPage() = 0;          // throws Exception when the page cannot be started
    virtual void Finish() = 0;           // throws Exception when the job could not be completed
};

// Starts print jobs on a printer. The real spooler sends each job to the printer, or
// writes it into the printer's PDF file; tests install one that records the jobs.
class TwwPrintSpooler {
public:
    virtual ~TwwPrintSpooler() = default;
    virtual bool PrintsToFile(const QPrinter &printer) const;
    // The job is handed to the spooler under `docName`. Throws Exception with the reason
    // when the job cannot be started.
    virtual std::unique_ptr<TwwPrintJob> StartJob(QPrinter &printer, const QString &docName);
};

// The spooler in use; the real one unless a test installed another (not owned; nullptr
// restores the real one).
TwwPrintSpooler &PrintSpooler();
void SetPrintSpooler(TwwPrintSpooler *spooler);

// A job written into a PDF file with the printer's page layout and resolution. The file
// is written beside the target and replaces it only when the whole job was written.
std::unique_ptr<TwwPrintJob> StartPdfFileJob(const QPrinter &printer, const QString &fileName,
                                            const QString &docName);
