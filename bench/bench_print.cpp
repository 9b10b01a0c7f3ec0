// Printing a long document to a PDF file through the editor's Print, as File > Print
// does on a machine whose printer writes PDF files: the generated RTF document of about
// 10 MB (50,000 mixed-format paragraphs, about 1,600 Letter pages). Prints the time to
// load, the time to print, the pages printed and the process's peak memory, with the
// targets beside them.
//
//   bench_print                 generate the document and run the benchmark
//   bench_print FILE            load and print FILE instead
//   bench_print --write FILE    only write the generated document to FILE (for
//                               compare_print.sh) and exit
#include "bench/benchmeasure.h"
#include "bench/loadsave_rtfgen.h"
#include "richedit/wwprinter.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using bench::peakMiB;

constexpr double kPrintTargetMs = 10000.0;
constexpr double kPeakTargetMiB = 500.0;

// Pages of the PDF by pdfinfo where it is installed; -1 otherwise.
int pdfPages(const QString &file)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        return -1;
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {file});
    process.waitForFinished(60000);
    const QRegularExpression pages(QStringLiteral("^Pages:\\s*(\\d+)"), QRegularExpression::MultilineOption);
    return pages.match(QString::fromUtf8(process.readAllStandardOutput())).captured(1).toInt();
}

bool writeDocument(const QString &fileName)
{
    QFile file(fileName);
    const QByteArray rtf = loadsavebench::generateRtf(50000, 10);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(fileName));
        return false;
    }
    return true;
}

int benchmark(const QString &document, const QString &pdf)
{
    QWidget form;
    auto *edit = new TwwDBRichEdit(&form);
    QPrinter &printer = CurrentPrinter();
    UsePdfFile(printer, pdf);
    printer.setPageSize(QPageSize(QPageSize::Letter));

    QElapsedTimer timer;
    timer.start();
    edit->Lines()->LoadFromFile(document);
    const double loadMs = double(timer.nsecsElapsed()) / 1e6;
    const double peakBeforePrint = peakMiB();
    timer.restart();
    edit->Print(QStringLiteral("Printing"));
    const double printMs = double(timer.nsecsElapsed()) / 1e6;
    const double peak = peakMiB();

    std::printf("%s: %.2f MB, %d paragraphs\n", qPrintable(document), QFileInfo(document).size() / 1e6,
                edit->Lines()->Count());
    std::printf("  load           %8.1f ms\n", loadMs);
    std::printf("  print to PDF   %8.1f ms  target %.0f ms  %s\n", printMs, kPrintTargetMs,
                printMs <= kPrintTargetMs ? "met" : "MISSED");
    std::printf("  load + print   %8.1f ms\n", loadMs + printMs);
    std::printf("  pages %d, PDF %.2f MB\n", pdfPages(pdf), QFileInfo(pdf).size() / 1e6);
    std::printf("  peak memory %.1f MiB (%.1f MiB before printing)  target < %.0f MiB  %s\n", peak,
                peakBeforePrint, kPeakTargetMiB, peak < kPeakTargetMiB ? "met" : "MISSED");
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--write"))
        return writeDocument(arguments[2]) ? 0 : 1;

    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    QString document = arguments.value(1);
    if (document.isEmpty()) {
        document = folder.filePath(QStringLiteral("print_10mb.rtf"));
        if (!writeDocument(document))
            return 1;
    }
    try {
        return benchmark(document, folder.filePath(QStringLiteral("print.pdf")));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 1;
    }
}
