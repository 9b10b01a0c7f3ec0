// Writing and loading a document of about 10 MB of text: the RTF writer alone, the RTF
// reader alone, and the engine view's streamIn / streamOut (RTF and plain text), which
// replace or read the whole content of a live view.
#include "engine/formatmapping.h"
#include "engine/plaintext.h"
#include "engine/richeditview.h"
#include "engine/rtfreader.h"
#include "engine/rtfwriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <cstring>
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

double timeMs(const std::function<void()> &action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextDocument source;
    fill(&source);
    std::printf("document: %lld characters, %d paragraphs\n", qlonglong(source.characterCount()), source.blockCount());

    QByteArray rtf;
    double best = 1e9;
    for (int run = 0; run < 3; ++run)
        best = std::min(best, timeMs([&] { rtf = engine::writeRtf(&source); }));
    std::printf("writeRtf:            %8.1f ms for %.1f MB of RTF (target < %.0f ms)\n", best, rtf.size() / 1e6,
                kWriteTargetMs);

    QTextDocument parsed;
    std::printf("readRtf:             %8.1f ms\n", timeMs([&] { engine::readRtf(rtf, &parsed); }));

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
    std::printf("streamIn (RTF):      %8.1f ms\n", timeMs([&] { view.streamIn(engine::SF_RTF, reader); }));
    QApplication::processEvents();

    QByteArray out;
    const engine::StreamWriter writer = [&](const char *data, qint64 size) {
        out.append(data, size);
        return true;
    };
    std::printf("streamOut (RTF):     %8.1f ms (%s)\n", timeMs([&] { view.streamOut(engine::SF_RTF, writer); }),
                out == rtf ? "same bytes as the source" : "bytes differ from the source");

    const QByteArray text = engine::writePlainText(&source);
    std::printf("writePlainText:      %8.1f ms\n", timeMs([&] { engine::writePlainText(&source); }));
    rtf = text;
    at = 0;
    std::printf("streamIn (text):     %8.1f ms\n", timeMs([&] { view.streamIn(engine::SF_TEXT, reader); }));
    return 0;
}
