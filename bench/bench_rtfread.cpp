// RTF reading speed: the reader alone (bytes to a built QTextDocument) and the tokenizer
// alone, on generated documents of about 1 MB and 10 MB.
#include "bench/rtfgen.h"
#include "engine/rtfreader.h"
#include "engine/rtftokenizer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>
#include <functional>

namespace {

double bestSeconds(int runs, const std::function<void()> &work)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

void measure(const char *label, const QByteArray &rtf, int runs)
{
    const double megabytes = rtf.size() / 1e6;
    int blocks = 0;
    bool ok = true;
    const double read = bestSeconds(runs, [&] {
        QTextDocument document;
        ok = engine::readRtf(rtf, &document).ok() && ok;
        blocks = document.blockCount();
    });
    qint64 tokens = 0;
    const double tokenize = bestSeconds(runs, [&] {
        engine::RtfTokenizer tokenizer(rtf);
        tokens = 0;
        while (tokenizer.next().kind != engine::RtfTokenKind::End)
            ++tokens;
    });
    std::printf("%s: %.2f MB, %d paragraphs, %lld tokens%s\n", label, megabytes, blocks,
                static_cast<long long>(tokens), ok ? "" : "  (READ FAILED)");
    std::printf("  reader    %8.1f ms  %7.1f MB/s\n", read * 1e3, megabytes / read);
    std::printf("  tokenizer %8.1f ms  %7.1f MB/s\n", tokenize * 1e3, megabytes / tokenize);
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    const QByteArray small = bench::generateRtf(5000, 2);
    const QByteArray large = bench::generateRtf(50000, 5);
    measure("1 MB document", small, 5);
    measure("10 MB document", large, 3);
    std::printf("target: whole load+save of 10 MB in the editor within 1000 ms; the reader should take well under that\n");
    return 0;
}
