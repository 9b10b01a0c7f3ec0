// One format operation in the main window over a selection of every paragraph of a
// mixed-format document (10,000 paragraphs unless --paragraphs N): the change and the
// refresh of the toolbar, format bar and Edit menu that follows it, until the window is
// idle. Prints the time; run under callgrind for the instruction count of the operation
// alone:
//   valgrind --tool=callgrind --instr-atstart=no build/bench_ctrlb [--op OP]
// OP is bold (Ctrl+B, the default), undo or redo (of a Ctrl+B), size, colour, align or
// bullets. Undo and redo start once the layout of the Ctrl+B is complete. OP selectall
// (Ctrl+A) and selectall-bold (Ctrl+A, Ctrl+B) start right after the load, while the
// document is still being laid out, and print how much of it is laid out after them and
// whether the view moved, unless --laid-out: then they start once Qt has laid the loaded
// document out, as for a user who has read its first page. With
// --background, the layout of what is out of view that follows the operation is timed
// too (processor time), and under callgrind counted instead of the operation.
#include "app/WPForm.h"
#include "bench/benchmeasure.h"
#include "bench/rtfgen.h"
#include "engine/view/fastdocumentlayout.h"
#include "platform/application.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>
#include <cstdio>
#include <functional>
#include <map>
#include <valgrind/callgrind.h>

namespace {

using bench::settle;

void sendCtrl(QWidget *target, int key)
{
    const QString text(QChar(key - Qt::Key_A + 1));
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

void sendCtrlB(QWidget *target)
{
    sendCtrl(target, Qt::Key_B);
}

void layOutEverything(TwwDBRichEdit *editor)
{
    if (auto *layout = dynamic_cast<engine::FastDocumentLayout *>(editor->document()->documentLayout()))
        layout->layOutDeferredParagraphs();
}

// Lets the program idle until the paragraphs left for later are laid out.
void untilLaidOut(TwwDBRichEdit *editor)
{
    auto *layout = dynamic_cast<engine::FastDocumentLayout *>(editor->document()->documentLayout());
    while (layout && layout->hasDeferredParagraphs())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    settle();
}

QString option(const QStringList &arguments, const QString &name, const QString &fallback)
{
    const qsizetype at = arguments.indexOf(name);
    return at > 0 ? arguments.value(at + 1, fallback) : fallback;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CreateGlobalIntl(app);
    const QString op = option(app.arguments(), QStringLiteral("--op"), QStringLiteral("bold"));
    const int paragraphs = std::max(1, option(app.arguments(), QStringLiteral("--paragraphs"), QStringLiteral("10000")).toInt());
    TfmPellWP window;
    window.resize(800, 600);
    window.show();
    settle();
    auto *editor = window.findChild<TwwDBRichEdit *>(QStringLiteral("RichEdit1"));
    QByteArray rtf = bench::generateRtf(paragraphs, 0);
    QBuffer source(&rtf);
    source.open(QIODevice::ReadOnly);
    editor->Lines()->LoadFromStream(source);
    editor->setFocus();
    if (app.arguments().contains(QStringLiteral("--laid-out"))) {
        auto *qtLayout = qobject_cast<QTextDocumentLayout *>(editor->document()->documentLayout());
        while (qtLayout->layoutStatus() < 100)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const bool afterLoad = op.startsWith(QLatin1String("selectall"));
    if (!afterLoad)
        editor->SelectAll();
    settle();

    const std::map<QString, std::function<void()>> operations = {
        {QStringLiteral("bold"), [&] { sendCtrlB(editor); }},
        {QStringLiteral("selectall"), [&] { sendCtrl(editor, Qt::Key_A); }},
        {QStringLiteral("selectall-bold"), [&] { sendCtrl(editor, Qt::Key_A); sendCtrl(editor, Qt::Key_B); }},
        {QStringLiteral("undo"), [&] { window.mmiUndoClick(); }},
        {QStringLiteral("redo"), [&] { window.Redo1Click(); }},
        {QStringLiteral("size"), [&] { editor->SelectionAttributes().SetSize(14); window.UpdateControlStates(); }},
        {QStringLiteral("colour"), [&] { editor->SelectionAttributes().SetColor(TColor(0x0000C0)); window.UpdateControlStates(); }},
        {QStringLiteral("align"), [&] { window.CenterButtonClick(); }},
        {QStringLiteral("bullets"), [&] { window.BulletButtonClick(); }},
    };
    const auto operation = operations.find(op);
    if (operation == operations.end()) {
        std::fprintf(stderr, "unknown --op %s\n", qPrintable(op));
        return 1;
    }
    if (op == QLatin1String("undo") || op == QLatin1String("redo")) {
        sendCtrlB(editor);
        settle();
        layOutEverything(editor);
        if (op == QLatin1String("redo")) {
            window.mmiUndoClick();
            settle();
            layOutEverything(editor);
        }
    }

    const bool background = app.arguments().contains(QStringLiteral("--background"));
    auto *qtLayout = qobject_cast<QTextDocumentLayout *>(editor->document()->documentLayout());
    const int scrolledBefore = editor->verticalScrollBar()->value();
    if (afterLoad)
        std::printf("laid out before: %d%%\n", qtLayout->layoutStatus());
    QElapsedTimer timer;
    timer.start();
    double processorStart = bench::processorMs();
    if (!background)
        CALLGRIND_START_INSTRUMENTATION;
    operation->second();
    settle();
    if (!background)
        CALLGRIND_STOP_INSTRUMENTATION;
    std::printf("%s over %d paragraphs, selected: %.1f ms (processor %.1f ms)\n", qPrintable(op), paragraphs,
                double(timer.nsecsElapsed()) / 1e6, bench::processorMs() - processorStart);
    if (afterLoad)
        std::printf("laid out after it: %d%%, view scrolled by %d pixels\n", qtLayout->layoutStatus(),
                    editor->verticalScrollBar()->value() - scrolledBefore);
    if (background) {
        timer.restart();
        processorStart = bench::processorMs();
        CALLGRIND_START_INSTRUMENTATION;
        untilLaidOut(editor);
        CALLGRIND_STOP_INSTRUMENTATION;
        std::printf("background layout after it: %.1f ms (processor %.1f ms)\n", double(timer.nsecsElapsed()) / 1e6,
                    bench::processorMs() - processorStart);
    }
    return 0;
}
