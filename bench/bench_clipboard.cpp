// Copy and paste of a whole large document through the clipboard, in the editor control:
// Select All + Copy, Paste into an empty editor, and Undo of that paste; then the same
// after "Bullets on all paragraphs" has made the document one long list. Each figure is
// printed beside its target with the load average: the wall time, and the processor time
// of this process, which a machine shared with others inflates less.
//
//   bench_clipboard                 100,000 mixed-format paragraphs (about 40 MB of RTF)
//   --paragraphs N                  a document of N paragraphs instead
//   --no-list                       leave out the rows of the one long list
#include "bench/benchmeasure.h"
#include "bench/rtfgen.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QTextDocument>
#include <cstdio>
#include <ctime>

namespace {

using bench::settle;
using bench::loadAverage;
using bench::processorMs;

struct Row {
    const char *label;
    double target;  // ms
    double figure = -1;
    double processorMs = -1;
};

// Until everything the action posted is handled.
double timeMs(const std::function<void()> &action)
{
    return bench::timeMs([&] {
        action();
        settle();
    });
}

void measure(Row &row, const std::function<void()> &action)
{
    const double processorBefore = processorMs();
    row.figure = timeMs(action);
    row.processorMs = processorMs() - processorBefore;
    std::fprintf(stderr, "%s: %.1f ms (processor %.1f ms)\n", row.label, row.figure, row.processorMs);
}

// Copy, paste into an empty editor and undo of it: three rows.
void copyAndPaste(TwwDBRichEdit &source, Row *rows)
{
    source.SelectAll();
    settle();
    measure(rows[0], [&] { source.CopyToClipboard(); });
    TwwDBRichEdit target;
    target.resize(800, 600);
    target.show();
    settle();
    measure(rows[1], [&] { target.PasteFromClipboard(); });
    if (target.document()->blockCount() != source.document()->blockCount())
        std::fprintf(stderr, "pasted %d paragraphs of %d\n", target.document()->blockCount(),
                     source.document()->blockCount());
    measure(rows[2], [&] { target.Undo(); });
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    CreateGlobalIntl(app);
    const QStringList arguments = app.arguments();
    int paragraphs = 100000;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--paragraphs")); at > 0 && at + 1 < arguments.size())
        paragraphs = std::max(1, arguments.at(at + 1).toInt());
    const bool lists = !arguments.contains(QStringLiteral("--no-list"));

    Row rows[] = {{"Select All, Copy", 1500},   {"Paste into an empty editor", 1500}, {"Undo of the paste", 1500},
                  {"One list: Select All, Copy", 1500}, {"One list: Paste", 1500},   {"One list: Undo of the paste", 1500}};
    TwwDBRichEdit editor;
    editor.resize(800, 600);
    editor.show();
    QByteArray rtf = bench::generateRtf(paragraphs, 0, 40);
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    editor.Lines()->LoadFromStream(buffer);
    settle();
    copyAndPaste(editor, rows);
    if (lists) {
        editor.SelectAll();
        editor.SetBullets(true);
        settle();
        copyAndPaste(editor, rows + 3);
    }

    std::printf("%d paragraphs (%.1f MB of RTF), load average %s\n", paragraphs, rtf.size() / 1e6,
                loadAverage().constData());
    std::printf("%-32s %10s %14s %8s\n", "operation", "wall ms", "processor ms", "target");
    for (const Row &row : rows) {
        if (row.figure < 0)
            continue;
        std::printf("%-32s %10.1f %14.1f %8.0f  %s\n", row.label, row.figure, row.processorMs, row.target,
                    row.figure <= row.target ? "met" : "missed");
    }
    return 0;
}
