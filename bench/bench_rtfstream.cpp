// Writing and loading a document of about 10 MB of text: the RTF writer alone, the RTF
// reader alone, and the engine view's streamIn / streamOut (RTF and plain text), which
// replace or read the whole content of a live view.
#include "engine/codec/formatmapping.h"
#include "engine/codec/plaintext.h"
#include "engine/view/richeditview.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>

namespace {

constexpr qsizetype kTargetChars = 10 * 1000 * 1000;
constexpr double kWriteTargetMs = 300.0;

// Paragraphs of mixed runs, every tenth paragraph starting a short bullet list, with
// some text outside Windows-1252.
void fill(QTextDocument *document)
{
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat red;
    red.setFontItalic(true);
    red.setForeground(QColor(200, 0, 0));
    QTextCharFormat large;
    large.setFontPointSize(16);
    large.setFontFamilies({QStringLiteral("Times New Roman")});
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.org/"));
    for (int i = 0; document->characterCount() < kTargetChars; ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(QStringLiteral("Paragraph %1 with some ").arg(i), plain);
        cursor.insertText(QStringLiteral("bold words "), bold);
        cursor.insertText(QStringLiteral("and italic red text (caf\u00e9 \u03a9\u4e2d) "), red);
        cursor.insertText(QStringLiteral("then large"), large);
        cursor.insertText(QStringLiteral(" and a "), plain);
        cursor.insertText(QStringLiteral("link"), i % 100 == 0 ? link : plain);
        cursor.insertText(QStringLiteral(" and a plain tail that makes the line wrap in the window."), plain);
        if (i % 10 == 3 || i % 10 == 4)
            engine::setBullets(cursor, i % 10 == 3);
    }
    cursor.endEditBlock();
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall time and, in brackets, the processor time of this thread: on a busy machine the
// second is the one to compare with the target.
struct Timing {
    double wallMs;
    double cpuMs;
};

Timing measure(const std::function<void()> &action)
{
    QElapsedTimer timer;
    const double cpuStart = threadCpuMs();
    timer.start();
    action();
    return {timer.nsecsElapsed() / 1e6, threadCpuMs() - cpuStart};
}

void report(const char *what, Timing timing, const char *note = "")
{
    std::printf("%-18s %8.1f ms (cpu %8.1f ms)%s\n", what, timing.wallMs, timing.cpuMs, note);
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextDocument source;
    fill(&source);
    std::printf("document: %lld characters, %d paragraphs\n", qlonglong(source.characterCount()), source.blockCount());

    QByteArray rtf;
    Timing best{1e9, 1e9};
    for (int run = 0; run < 3; ++run) {
        const Timing timing = measure([&] { rtf = engine::writeRtf(&source); });
        if (timing.cpuMs < best.cpuMs)
            best = timing;
    }
    char target[96];
    std::snprintf(target, sizeof target, ", %.1f MB of RTF (target < %.0f ms)", rtf.size() / 1e6, kWriteTargetMs);
    report("writeRtf", best, target);

    QTextDocument parsed;
    report("readRtf", measure([&] { engine::readRtf(rtf, &parsed); }));

    engine::RichEditView view;
    view.resize(800, 600);
    view.show();
    qsizetype at = 0;
    const engine::StreamReader reader = [&](char *buffer, qint64 max) {
        const qint64 count = std::min<qint64>(max, rtf.size() - at);
        std::memcpy(buffer, rtf.constData() + at, size_t(count));
        at += count;
        return count;
    };
    report("streamIn (RTF)", measure([&] { view.streamIn(engine::SF_RTF, reader); }));
    report("first events", measure([] { QApplication::processEvents(); }));

    QByteArray out;
    const engine::StreamWriter writer = [&](const char *data, qint64 size) {
        out.append(data, size);
        return true;
    };
    report("streamOut (RTF)", measure([&] { view.streamOut(engine::SF_RTF, writer); }));
    QByteArray again;
    const engine::StreamWriter writerAgain = [&](const char *data, qint64 size) {
        again.append(data, size);
        return true;
    };
    view.streamIn(engine::SF_RTF, [&, position = qsizetype(0)](char *buffer, qint64 max) mutable {
        const qint64 count = std::min<qint64>(max, out.size() - position);
        std::memcpy(buffer, out.constData() + position, size_t(count));
        position += count;
        return count;
    });
    view.streamOut(engine::SF_RTF, writerAgain);
    std::printf("save, load, save: %s\n", again == out ? "same bytes" : "bytes differ");

    const QByteArray text = engine::writePlainText(&source);
    report("writePlainText", measure([&] { engine::writePlainText(&source); }));
    rtf = text;
    at = 0;
    report("streamIn (text)", measure([&] { view.streamIn(engine::SF_TEXT, reader); }));
    return 0;
}
