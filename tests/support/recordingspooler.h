#pragma once
// A print spooler for tests: every job is written into a PDF file of its own in a
// temporary folder, and the names the jobs were started under are recorded. It stands
// for a real printer (each job is a job of its own) unless told that it prints to a file.
#include "richedit/wwprintjob.h"

#include <QPrinter>
#include <QStringList>
#include <QTemporaryDir>

class RecordingSpooler : public TwwPrintSpooler {
public:
    RecordingSpooler() { SetPrintSpooler(this); }
    ~RecordingSpooler() override { SetPrintSpooler(nullptr); }
    RecordingSpooler(const RecordingSpooler &) = delete;
    RecordingSpooler &operator=(const RecordingSpooler &) = delete;

    bool PrintsToFile(const QPrinter &) const override { return toFile; }

    std::unique_ptr<TwwPrintJob> StartJob(QPrinter &printer, const QString &docName) override
    {
        jobNames << docName;
        files << folder.filePath(QStringLiteral("job%1.pdf").arg(jobNames.size()));
        return StartPdfFileJob(printer, files.last(), docName);
    }

    bool toFile = false;
    QStringList jobNames;
    QStringList files;  // the PDF of each job, in order
    QTemporaryDir folder;
};
