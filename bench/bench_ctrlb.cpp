// One Ctrl+B in the main window over a selection of 10,000 mixed-format paragraphs: the
// style change and the refresh of the toolbar, format bar and Edit menu that follows it.
// Prints the time; run under callgrind for the instruction count of the Ctrl+B alone:
//   valgrind --tool=callgrind --instr-atstart=no build/bench_ctrlb
#include "app/WPForm.h"
#include "bench/rtfgen.h"
#include "platform/application.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <cstdio>
#include <valgrind/callgrind.h>

namespace {

constexpr int kParagraphs = 10000;

void sendCtrlB(QWidget *target)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::ControlModifier, QStringLiteral("\x02"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::ControlModifier, QStringLiteral("\x02"));
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CreateGlobalIntl(app);
    TfmPellWP window;
    window.show();
    QCoreApplication::processEvents();
    auto *editor = window.findChild<TwwDBRichEdit *>(QStringLiteral("RichEdit1"));
    QByteArray rtf = bench::generateRtf(kParagraphs, 0);
    QBuffer source(&rtf);
    source.open(QIODevice::ReadOnly);
    editor->Lines()->LoadFromStream(source);
    editor->setFocus();
    editor->SelectAll();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    CALLGRIND_START_INSTRUMENTATION;
    sendCtrlB(editor);
    QCoreApplication::processEvents();
    CALLGRIND_STOP_INSTRUMENTATION;
    std::printf("Ctrl+B over %d paragraphs, selected: %.1f ms\n", kParagraphs, double(timer.nsecsElapsed()) / 1e6);
    return 0;
}
