// RTF reading speed: the reader alone (bytes to a built QTextDocument) and the tokenizer
// alone, on generated documents of about 1 MB and 10 MB.
//
//   bench_rtfread                  run the benchmark
//   bench_rtfread --once N         read a generated document of N paragraphs once, for
//                                  a profiler (callgrind counts instructions, which a
//                                  busy machine does not change)
//   bench_rtfread --file RTF       read that file once, likewise
#include "bench/rtfgen.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/rtftokenizer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

struct Timing {
    double wall = 1e9;  // best wall-clock time
    double cpu = 1e9;   // best processor time: what the work costs on a busy machine
};

Timing best(int runs, const std::function<void()> &work)
{
    Timing timing;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = cpuSeconds();
        timer.start();
        work();
        timing.wall = std::min(timing.wall, timer.nsecsElapsed() / 1e9);
        timing.cpu = std::min(timing.cpu, cpuSeconds() - cpuStart);
    }
    return timing;
}

void measure(const char *label, const QByteArray &rtf, int runs)
{
    const double megabytes = rtf.size() / 1e6;
    int blocks = 0;
    bool ok = true;
    QList<QTextDocument *> documents;  // destroyed after timing: not part of reading
    const Timing read = best(runs, [&] {
        auto *document = new QTextDocument;
        documents.append(document);
        ok = engine::readRtf(rtf, document).ok() && ok;
        blocks = document->blockCount();
    });
    qDeleteAll(documents);
    qint64 tokens = 0;
    const Timing tokenize = best(runs, [&] {
        engine::RtfTokenizer tokenizer(rtf);
        tokens = 0;
        while (tokenizer.next().kind != engine::RtfTokenKind::End)
            ++tokens;
    });
    std::printf("%s: %.2f MB, %d paragraphs, %lld tokens%s\n", label, megabytes, blocks,
                static_cast<long long>(tokens), ok ? "" : "  (READ FAILED)");
    std::printf("  reader    %8.1f ms  %7.1f MB/s   (processor time %.1f ms, %.1f MB/s)\n", read.wall * 1e3,
                megabytes / read.wall, read.cpu * 1e3, megabytes / read.cpu);
    std::printf("  tokenizer %8.1f ms  %7.1f MB/s   (processor time %.1f ms, %.1f MB/s)\n", tokenize.wall * 1e3,
                megabytes / tokenize.wall, tokenize.cpu * 1e3, megabytes / tokenize.cpu);
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const qsizetype once = arguments.indexOf(QStringLiteral("--once"));
    if (once > 0) {
        const int paragraphs = arguments.value(once + 1).toInt();
        if (paragraphs <= 0) {
            std::fprintf(stderr, "usage: bench_rtfread [--once PARAGRAPHS]\n");
            return 1;
        }
        measure("generated document", bench::generateRtf(paragraphs, 0), 1);
        return 0;
    }
    const qsizetype file = arguments.indexOf(QStringLiteral("--file"));
    if (file > 0) {
        QFile source(arguments.value(file + 1));
        if (!source.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "usage: bench_rtfread [--file RTF]\n");
            return 1;
        }
        measure(qPrintable(source.fileName()), source.readAll(), 1);
        return 0;
    }
    const QByteArray small = bench::generateRtf(5000, 2);
    const QByteArray large = bench::generateRtf(50000, 5);
    measure("1 MB document", small, 5);
    measure("10 MB document", large, 3);
    std::printf("target: the reader at 25 MB/s or more; the 10 MB document loaded into the editor within 500 ms\n");
    return 0;
}
