// A large document in the main window: 100,000 mixed-format paragraphs (about 40 MB of
// RTF). Times each operation until the window has handled everything it posted (the
// layout of paragraphs out of view goes on in the background and is timed apart), and
// the same operation on a plain QTextEdit holding the same document, Qt's own cost. The
// QTextEdit figures come from a second run of this program (--qtextedit), so that each
// side's peak memory is its own; they are processor times, as that run takes hours and
// shares the machine. Ours are wall times: the load average is printed with them.
//
//   bench_largedoc              the table
//   bench_largedoc --qtextedit  only the QTextEdit figures, one "key value" a line
//   bench_largedoc --ours       the table without the QTextEdit baseline (which takes minutes)
//   --baseline FILE             the QTextEdit figures from FILE, as --qtextedit printed them
//                               (to stdout or stderr), instead of a second run
//   --paragraphs N              a large document of N paragraphs instead of 100,000
//   --load-only                 only the loads, the large document's save and memory (with
//                               --ours and a small N, only the large document's: short
//                               enough for callgrind)
//   --paste-only                only the large document's load, copy, paste and its undo
//   --width-only                only the large document's load and a change of the window's
//                               width, the caret and view in the middle of the document
// Each figure is also printed to stderr as soon as it is measured.
#include "app/WPForm.h"
#include "bench/benchmeasure.h"
#include "bench/loadsave_rtfgen.h"
#include "bench/rtfgen.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/view/fastdocumentlayout.h"
#include "platform/application.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMap>
#include <QProcess>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

using bench::settle;
using bench::loadAverage;
using bench::processorMs;

using bench::peakMiB;

int largeParagraphs = 100000;  // --paragraphs N to try a smaller document
bool smallDocument = false;    // --paragraphs given: the 10 MB document is left out with --load-only
bool loadOnly = false;         // --load-only
bool pasteOnly = false;        // --paste-only
bool widthOnly = false;        // --width-only
constexpr int kWordsPerParagraph = 40;  // about 400 bytes of RTF a paragraph

struct Row {
    const char *key;
    const char *label;
    double target;  // ms, MB/s or MiB
    bool higherIsBetter = false;
};

const Row kRows[] = {
    {"bold", "Select All, Bold (Ctrl+B)", 500},
    {"bold.background", "  then layout out of view, in the background", 0},
    {"undo", "Undo of it", 500},
    {"redo", "Redo of it", 500},
    {"size", "Select All, font size", 500},
    {"colour", "Select All, colour", 500},
    {"align", "Alignment, all paragraphs", 500},
    {"bullets", "Bullets, all paragraphs", 500},
    {"copy", "Select All, Copy", 1500},
    {"paste", "Paste into an empty document", 1500},
    {"paste.cpu", "  processor time of it", 1500},
    {"paste.background", "  then layout out of view, in the background", 0},
    {"paste.undo", "  Undo of the paste", 1500},
    {"load10", "Load of the 10 MB RTF", 500},
    {"load10.cpu", "  processor time of it", 500},
    {"reader10", "  reader alone (MB/s)", 25, true},
    {"reader10.cpu", "  reader alone, by processor time (MB/s)", 25, true},
    {"load40", "Load of the 40 MB RTF", 2000},
    {"load40.cpu", "  processor time of it", 2000},
    {"load40.background", "  then layout out of view, in the background", 0},
    {"width", "Window width change, caret in the middle", 500},
    {"width.cpu", "  processor time of it", 500},
    {"width.background", "  then layout out of view, in the background", 0},
    {"save40", "Save of it", 1000},
    {"save40.cpu", "  processor time of it", 1000},
    {"peak", "Peak memory (MiB)", 600},
};

// The processor time of the last timeMs(): on a busy machine the wall time counts the
// other programs' turns too.
double lastProcessorMs = 0;

enum class Settle { Yes, No };

// Times `action` and, unless told not to, what it posted; an action that posts nothing
// (a save) is timed alone, without the background layout that runs while events are
// handled.
double timeMs(const std::function<void()> &action, Settle after = Settle::Yes)
{
    QElapsedTimer timer;
    const double processorStart = processorMs();
    timer.start();
    action();
    if (after == Settle::Yes)
        settle();
    lastProcessorMs = processorMs() - processorStart;
    return double(timer.nsecsElapsed()) / 1e6;
}

// The background layout of paragraphs out of view, while the program waits for input;
// given up after kBackgroundLimitMs (the figure then reads as that limit).
double untilLaidOut(QTextDocument *document)
{
    constexpr qint64 kBackgroundLimitMs = 120000;
    QElapsedTimer timer;
    timer.start();
    auto *layout = dynamic_cast<engine::FastDocumentLayout *>(document->documentLayout());
    while (layout && layout->hasDeferredParagraphs() && timer.elapsed() < kBackgroundLimitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return double(timer.nsecsElapsed()) / 1e6;
}

// Qt lays a loaded document out in the background; operations start once it is done.
void untilLoadLaidOut(QTextDocument *document)
{
    auto *layout = qobject_cast<QTextDocumentLayout *>(document->documentLayout());
    while (layout && layout->layoutStatus() < 100)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void sendKey(QWidget *target, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

QByteArray largeRtf()
{
    return bench::generateRtf(largeParagraphs, 0, kWordsPerParagraph);
}

QByteArray mediumRtf()
{
    return loadsavebench::generateRtf(50000, 10);
}

// Megabytes a second by wall time, and by processor time into *byProcessor.
double readerMBps(const QByteArray &rtf, double *byProcessor)
{
    QTextDocument document;
    QElapsedTimer timer;
    const double processorStart = processorMs();
    timer.start();
    engine::readRtf(rtf, &document);
    *byProcessor = rtf.size() / 1e3 / (processorMs() - processorStart);
    return rtf.size() / 1e6 / (double(timer.nsecsElapsed()) / 1e9);
}

// Figures by key, each echoed to stderr when measured so a long run shows its progress.
class Figures : public QMap<QString, double> {
public:
    struct Entry {
        Figures &figures;
        QString key;
        Entry &operator=(double value)
        {
            figures.insert(key, value);
            std::fprintf(stderr, "%s %.1f\n", qPrintable(key), value);
            return *this;
        }
    };
    Entry operator[](const char *key) { return {*this, QString::fromLatin1(key)}; }
};

// Paste of the clipboard into a second window's empty document, as a user pastes into
// a new document, and the undo of that paste.
void pasteIntoNewWindow(Figures &figures)
{
    TfmPellWP window;
    window.resize(800, 600);
    window.show();
    settle();
    figures["paste"] = timeMs([&] { window.Paste1Click(); });
    figures["paste.cpu"] = lastProcessorMs;
    auto *editor = window.findChild<TwwDBRichEdit *>(QStringLiteral("RichEdit1"));
    figures["paste.background"] = timeMs([&] {
        untilLoadLaidOut(editor->document());
        untilLaidOut(editor->document());
    });
    figures["paste.undo"] = timeMs([&] { window.mmiUndoClick(); });
}

// The caret and the view in the middle of the document, as when reading there.
void caretToMiddle(QTextEdit *edit)
{
    QTextCursor cursor(edit->document()->findBlockByNumber(edit->document()->blockCount() / 2));
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
    settle();
}

// The window made wider with the caret in the middle of the document, and the layout of
// the rest in the background.
void changeWidth(Figures &figures, QWidget *window, QTextEdit *edit)
{
    caretToMiddle(edit);
    figures["width"] = timeMs([&] { window->resize(window->width() + 200, window->height()); });
    figures["width.cpu"] = lastProcessorMs;
    figures["width.background"] = timeMs([&] {
        untilLoadLaidOut(edit->document());
        untilLaidOut(edit->document());
    });
}

double save(TwwDBRichEdit *editor)
{
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    return timeMs([&] { editor->Lines()->SaveToStream(saved); }, Settle::No);
}

QMap<QString, double> measureOurs()
{
    Figures figures;
    TfmPellWP window;
    window.resize(800, 600);
    window.show();
    settle();
    auto *editor = window.findChild<TwwDBRichEdit *>(QStringLiteral("RichEdit1"));
    const auto load = [&](const QByteArray &rtf) {
        QByteArray bytes = rtf;
        QBuffer source(&bytes);
        source.open(QIODevice::ReadOnly);
        return timeMs([&] { editor->Lines()->LoadFromStream(source); });
    };
    if ((!loadOnly || !smallDocument) && !pasteOnly && !widthOnly) {
        const QByteArray medium = mediumRtf();
        double byProcessor = 0;
        figures["reader10"] = readerMBps(medium, &byProcessor);
        figures["reader10.cpu"] = byProcessor;
        figures["load10"] = load(medium);
        figures["load10.cpu"] = lastProcessorMs;
    }
    const QByteArray large = largeRtf();
    figures["load40"] = load(large);
    figures["load40.cpu"] = lastProcessorMs;
    figures["load40.background"] = timeMs([&] { untilLoadLaidOut(editor->document()); });
    if (widthOnly) {
        changeWidth(figures, &window, editor);
        return figures;
    }
    if (loadOnly) {
        figures["peak"] = peakMiB();
        figures["save40"] = save(editor);
        figures["save40.cpu"] = lastProcessorMs;
        return figures;
    }
    editor->setFocus();
    if (!pasteOnly)
        changeWidth(figures, &window, editor);
    const auto selectAll = [&] { editor->SelectAll(); settle(); };
    if (pasteOnly) {
        selectAll();
        figures["copy"] = timeMs([&] { window.Copy1Click(); });
        pasteIntoNewWindow(figures);
        return figures;
    }

    selectAll();
    figures["bold"] = timeMs([&] { sendKey(editor, Qt::Key_B, QStringLiteral("\x02")); });
    figures["bold.background"] = untilLaidOut(editor->document());
    figures["undo"] = timeMs([&] { window.mmiUndoClick(); });
    figures["peak"] = peakMiB();
    figures["redo"] = timeMs([&] { window.Redo1Click(); });
    selectAll();
    figures["size"] = timeMs([&] { editor->SelectionAttributes().SetSize(14); window.UpdateControlStates(); });
    figures["colour"] = timeMs([&] { editor->SelectionAttributes().SetColor(TColor(0x0000C0)); window.UpdateControlStates(); });
    figures["copy"] = timeMs([&] { window.Copy1Click(); });
    pasteIntoNewWindow(figures);
    figures["save40"] = save(editor);
    figures["save40.cpu"] = lastProcessorMs;
    // Last, because they leave the whole document one list, whose copy costs Qt time
    // that grows with the square of its length.
    figures["align"] = timeMs([&] { window.CenterButtonClick(); });
    figures["bullets"] = timeMs([&] { window.BulletButtonClick(); });
    return figures;
}

// The processor time of `action` and what it posted.
double cpuMs(const std::function<void()> &action)
{
    timeMs(action);
    return lastProcessorMs;
}

// The same operations through QTextEdit's own interface, on the same document.
QMap<QString, double> measureQTextEdit()
{
    Figures figures;
    QTextEdit edit;
    edit.resize(800, 600);
    edit.show();
    settle();
    const auto loadHtml = [&](const QByteArray &rtf) {
        QTextDocument source;
        engine::readRtf(rtf, &source);
        const QString html = source.toHtml();
        return cpuMs([&] { edit.setHtml(html); });
    };
    figures["load10"] = loadHtml(mediumRtf());
    figures["load40"] = loadHtml(largeRtf());
    edit.clear();
    engine::readRtf(largeRtf(), edit.document());
    untilLoadLaidOut(edit.document());
    edit.setFocus();
    changeWidth(figures, &edit, &edit);
    figures["width"] = figures.value(QStringLiteral("width.cpu"));
    edit.selectAll();
    settle();
    figures["bold"] = cpuMs([&] { edit.setFontWeight(QFont::Bold); });
    figures["undo"] = cpuMs([&] { edit.undo(); });
    figures["peak"] = peakMiB();
    figures["redo"] = cpuMs([&] { edit.redo(); });
    edit.selectAll();
    figures["size"] = cpuMs([&] { edit.setFontPointSize(14); });
    figures["colour"] = cpuMs([&] { edit.setTextColor(QColor(0xC0, 0, 0)); });
    edit.selectAll();
    figures["copy"] = cpuMs([&] { edit.copy(); });
    figures["save40"] = cpuMs([&] { (void)edit.document()->toHtml(); });
    edit.selectAll();
    figures["align"] = cpuMs([&] { edit.setAlignment(Qt::AlignHCenter); });
    figures["bullets"] = cpuMs([&] { edit.textCursor().createList(QTextListFormat::ListDisc); });
    // Last: it takes Qt more than 40 minutes here.
    QTextEdit empty;
    empty.resize(800, 600);
    empty.show();
    settle();
    figures["paste"] = cpuMs([&] { empty.paste(); });
    return figures;
}

// "key value" lines; other lines are passed over.
QMap<QString, double> parseFigures(const QByteArray &text)
{
    QMap<QString, double> figures;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        bool isNumber = false;
        const double value = parts.size() == 2 ? parts[1].toDouble(&isNumber) : 0;
        if (isNumber)
            figures[QString::fromLatin1(parts[0])] = value;
    }
    return figures;
}

QMap<QString, double> qtextEditFigures(const QString &program)
{
    QProcess child;
    child.start(program, {QStringLiteral("--qtextedit"), QStringLiteral("--paragraphs"),
                          QString::number(largeParagraphs)});
    child.waitForFinished(-1);
    return parseFigures(child.readAllStandardOutput());
}

QMap<QString, double> baselineFigures(const QStringList &arguments)
{
    if (arguments.contains(QStringLiteral("--ours")))
        return {};
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--baseline")); at > 0) {
        QFile saved(arguments.value(at + 1));
        if (!saved.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read the baseline %s\n", qPrintable(saved.fileName()));
            return {};
        }
        return parseFigures(saved.readAll());
    }
    return qtextEditFigures(QCoreApplication::applicationFilePath());
}

void printTable(const QMap<QString, double> &ours, const QMap<QString, double> &qt)
{
    std::printf("%-46s %12s %12s %8s %10s\n", "operation (ms unless noted)", "ours", "QTextEdit*", "ratio", "target");
    for (const Row &row : kRows) {
        if (!ours.contains(QString::fromLatin1(row.key)))
            continue;
        const double mine = ours.value(QString::fromLatin1(row.key), -1);
        const double theirs = qt.value(QString::fromLatin1(row.key), -1);
        std::printf("%-46s %12.1f ", row.label, mine);
        if (theirs >= 0)
            std::printf("%12.1f %8.2f ", theirs, mine / theirs);
        else
            std::printf("%12s %8s ", "-", "-");
        if (row.target > 0) {
            const bool met = row.higherIsBetter ? mine >= row.target : mine < row.target;
            std::printf("%s%9.0f  %s\n", row.higherIsBetter ? ">=" : "< ", row.target, met ? "met" : "MISSED");
        } else {
            std::printf("%10s\n", "-");
        }
    }
    if (!qt.isEmpty())
        std::printf("* QTextEdit: processor time\n");
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--paragraphs")); at > 0) {
        largeParagraphs = std::max(1, arguments.value(at + 1).toInt());
        smallDocument = true;
    }
    loadOnly = arguments.contains(QStringLiteral("--load-only"));
    pasteOnly = arguments.contains(QStringLiteral("--paste-only"));
    widthOnly = arguments.contains(QStringLiteral("--width-only"));
    if (app.arguments().contains(QStringLiteral("--qtextedit"))) {
        const QMap<QString, double> figures = measureQTextEdit();
        for (auto it = figures.cbegin(); it != figures.cend(); ++it)
            std::printf("%s %.3f\n", qPrintable(it.key()), it.value());
        return 0;
    }
    CreateGlobalIntl(app);
    std::printf("load average before: %s\n", loadAverage().constData());
    std::fflush(stdout);
    const QMap<QString, double> ours = measureOurs();
    const QMap<QString, double> qt = baselineFigures(arguments);
    printTable(ours, qt);
    std::printf("load average after: %s\n", loadAverage().constData());
    return 0;
}
