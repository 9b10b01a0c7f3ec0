// Loading and saving documents through the editor's Lines, as the word processor's file
// commands do: a generated RTF document of about 10 MB (50,000 mixed-format paragraphs)
// and one of about 1 MB. Prints the best of three runs and the process's peak memory.
//
//   bench_loadsave              run the benchmark
//   bench_loadsave --write DIR  only write the two documents into DIR (for
//                               compare_converters.sh) and exit
#include "bench/benchmeasure.h"
#include "bench/loadsave_rtfgen.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using bench::peakMiB;
using bench::timeMs;

constexpr double kLoadTargetMs = 500.0;  // for the 10 MB document
constexpr double kSaveTargetMs = 500.0;
constexpr double kPeakTargetMiB = 200.0;
constexpr int kRuns = 3;

struct Document {
    const char *name;
    int paragraphs;
    int pictures;
};

const Document kDocuments[] = {{"loadsave_1mb.rtf", 5000, 2}, {"loadsave_10mb.rtf", 50000, 10}};

bool writeDocuments(const QString &folder)
{
    for (const Document &document : kDocuments) {
        QFile file(QDir(folder).filePath(QString::fromLatin1(document.name)));
        const QByteArray rtf = loadsavebench::generateRtf(document.paragraphs, document.pictures);
        if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return false;
        }
        std::printf("%s: %.2f MB\n", qPrintable(file.fileName()), rtf.size() / 1e6);
    }
    return true;
}

void report(const char *what, QList<double> times, double targetMs)
{
    std::sort(times.begin(), times.end());
    std::printf("  %-14s best %8.1f ms  (runs:", what, times.first());
    for (double t : times)
        std::printf(" %.1f", t);
    if (targetMs > 0)
        std::printf(")  target %.0f ms  %s\n", targetMs, times.first() <= targetMs ? "met" : "MISSED");
    else
        std::printf(")\n");
}

void benchmark(const QString &folder, const Document &document)
{
    const QString in = QDir(folder).filePath(QString::fromLatin1(document.name));
    const QString rtfOut = QDir(folder).filePath(QStringLiteral("out.rtf"));
    const QString textOut = QDir(folder).filePath(QStringLiteral("out.txt"));
    const bool large = document.paragraphs >= 50000;
    QList<double> loads, saves, textSaves;
    int paragraphs = 0;
    for (int run = 0; run < kRuns; ++run) {
        TwwDBRichEdit edit;
        loads.append(timeMs([&] { edit.Lines()->LoadFromFile(in); }));
        saves.append(timeMs([&] { edit.Lines()->SaveToFile(rtfOut); }));
        edit.SetPlainText(true);
        textSaves.append(timeMs([&] { edit.Lines()->SaveToFile(textOut); }));
        paragraphs = edit.Lines()->Count();
    }
    std::printf("%s: %.2f MB, %d paragraphs\n", document.name, QFileInfo(in).size() / 1e6, paragraphs);
    report("load", loads, large ? kLoadTargetMs : 0);
    report("save RTF", saves, large ? kSaveTargetMs : 0);
    report("save text", textSaves, 0);
    std::printf("  RTF written %.2f MB; peak memory so far %.1f MiB", QFileInfo(rtfOut).size() / 1e6,
                peakMiB());
    if (large)
        std::printf("  target < %.0f MiB  %s", kPeakTargetMiB, peakMiB() < kPeakTargetMiB ? "met" : "MISSED");
    std::printf("\n");
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--write"))
        return writeDocuments(arguments[2]) ? 0 : 1;

    QTemporaryDir folder;
    if (!folder.isValid() || !writeDocuments(folder.path()))
        return 1;
    std::fflush(stdout);
    try {
        for (const Document &document : kDocuments)
            benchmark(folder.path(), document);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 1;
    }
    return 0;
}
