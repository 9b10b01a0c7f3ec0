// Loading and saving a document of tables through the editor's Lines, as the word
// processor's file commands do: about 10 MB of RTF holding 1,000 tables of 10 rows of 5
// cells. Prints the best of three runs, the process's peak memory and the targets.
#include "bench/benchmeasure.h"
#include "bench/tables_rtfgen.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextFrame>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using bench::peakMiB;
using bench::timeMs;

constexpr double kLoadTargetMs = 1000.0;
constexpr double kSaveTargetMs = 500.0;
constexpr double kPeakTargetMiB = 200.0;
constexpr int kRuns = 3;
constexpr int kTables = 1000;
constexpr int kRows = 10;
constexpr int kColumns = 5;

void report(const char *what, QList<double> times, double targetMs)
{
    std::sort(times.begin(), times.end());
    std::printf("  %-10s best %8.1f ms  (runs:", what, times.first());
    for (const double t : times)
        std::printf(" %.1f", t);
    if (targetMs > 0)
        std::printf(")  target %.0f ms  %s\n", targetMs, times.first() <= targetMs ? "met" : "MISSED");
    else
        std::printf(")\n");
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString in = QDir(folder.path()).filePath(QStringLiteral("tables_10mb.rtf"));
    const QString out = QDir(folder.path()).filePath(QStringLiteral("out.rtf"));
    QFile file(in);
    const QByteArray rtf = tablesbench::generateRtf(kTables, kRows, kColumns);
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(in));
        return 1;
    }
    file.close();

    QList<double> loads, saves, reads, writes;
    qsizetype tables = 0;
    try {
        // The codec alone, without the editor around it.
        for (int run = 0; run < kRuns; ++run) {
            QTextDocument document;
            reads.append(timeMs([&] { engine::readRtf(rtf, &document); }));
            writes.append(timeMs([&] { engine::writeRtf(&document); }));
        }
        for (int run = 0; run < kRuns; ++run) {
            TwwDBRichEdit edit;
            loads.append(timeMs([&] { edit.Lines()->LoadFromFile(in); }));
            saves.append(timeMs([&] { edit.Lines()->SaveToFile(out); }));
            tables = edit.document()->rootFrame()->childFrames().size();
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 1;
    }
    std::printf("tables_10mb.rtf: %.2f MB, %lld tables of %d x %d cells read\n", rtf.size() / 1e6,
                static_cast<long long>(tables), kRows, kColumns);
    report("load", loads, kLoadTargetMs);
    report("save RTF", saves, kSaveTargetMs);
    report("read only", reads, 0);
    report("write only", writes, 0);
    const double peak = peakMiB();
    std::printf("  RTF written %.2f MB; peak memory %.1f MiB  target < %.0f MiB  %s\n", QFileInfo(out).size() / 1e6,
                peak, kPeakTargetMiB, peak < kPeakTargetMiB ? "met" : "MISSED");
    return 0;
}
