// Time per typed character in the middle of large documents: a key press and release into the
// engine's view until the view has processed it and repainted, median over many keys.
#include "engine/view/richeditview.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double kTargetMs = 2.0;
constexpr int kKeys = 200;

// Paragraphs with runs of bold, italic, coloured and resized text.
void fillMixed(QTextDocument *document, int paragraphs)
{
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    italic.setForeground(QColor(200, 0, 0));
    QTextCharFormat large;
    large.setFontPointSize(16);
    for (int i = 0; i < paragraphs; ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(QStringLiteral("Paragraph %1 with some ").arg(i), plain);
        cursor.insertText(QStringLiteral("bold words "), bold);
        cursor.insertText(QStringLiteral("and italic red text "), italic);
        cursor.insertText(QStringLiteral("then large"), large);
        cursor.insertText(QStringLiteral(" and a plain tail that makes the line wrap in the window."), plain);
    }
    cursor.endEditBlock();
}

// What a key stroke delivers to the focused editor: a press and a release.
void typeKey(QWidget *target, QChar character)
{
    const int key = Qt::Key_A + (character.unicode() - u'a');
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(character));
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(character));
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

// One measured key: typed, then the event loop runs until the view has repainted what
// changed (the update request is delivered by processEvents).
[[gnu::noinline]] void typeAndRepaint(QTextEdit *view, QChar character)
{
    typeKey(view, character);
    QCoreApplication::processEvents();
}

template<typename View>
double medianTypingMs(int paragraphs, bool autoUrl)
{
    View view;
    if constexpr (std::is_same_v<View, engine::RichEditView>) {
        view.setAutoUrlDetect(autoUrl);
        view.setEventMask(engine::ENM_CHANGE | engine::ENM_SELCHANGE | engine::ENM_LINK);
        view.setFormatRect(QRect(6, 2, 780, 600));
    }
    fillMixed(view.document(), paragraphs);
    view.document()->setModified(false);
    view.resize(800, 600);
    view.show();
    QCoreApplication::processEvents();
    QTextCursor cursor(view.document()->findBlockByNumber(paragraphs / 2));
    cursor.movePosition(QTextCursor::NextWord, QTextCursor::MoveAnchor, 3);
    view.setTextCursor(cursor);
    view.ensureCursorVisible();
    view.document()->documentLayout()->documentSize();  // as after a moment's idle: laid out
    QCoreApplication::processEvents();

    std::vector<double> times;
    times.reserve(kKeys);
    QElapsedTimer timer;
    for (int i = 0; i < kKeys + 10; ++i) {
        timer.start();
        typeAndRepaint(&view, QChar(u'a' + i % 26));
        const double ms = timer.nsecsElapsed() / 1e6;
        if (i >= 10)  // the first keys warm caches up
            times.push_back(ms);
    }
    std::nth_element(times.begin(), times.begin() + kKeys / 2, times.end());
    return times[kKeys / 2];
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool compare = app.arguments().contains(QStringLiteral("--compare"));
    std::printf("Typing in the middle of a document, median per key (target < %.1f ms)\n", kTargetMs);
    // --size N measures one document size only (for profiling).
    QList<int> sizes{1000, 10000, 50000};
    const qsizetype sizeArg = app.arguments().indexOf(QStringLiteral("--size"));
    if (sizeArg > 0 && sizeArg + 1 < app.arguments().size())
        sizes = {app.arguments().at(sizeArg + 1).toInt()};
    for (int paragraphs : sizes) {
        const double ms = medianTypingMs<engine::RichEditView>(paragraphs, true);
        std::printf("  %6d paragraphs: %7.3f ms  %s\n", paragraphs, ms, ms < kTargetMs ? "ok" : "SLOW");
        if (compare) {
            const double plain = medianTypingMs<QTextEdit>(paragraphs, false);
            std::printf("  %6d paragraphs, plain QTextEdit: %7.3f ms\n", paragraphs, plain);
        }
        std::fflush(stdout);
    }
    return 0;
}
