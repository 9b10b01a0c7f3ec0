// Replace All and Find Next over a large mixed-format document, in the main window as a
// user drives it: a word that occurs 10,000 times in 50,000 paragraphs. Beside it, Qt's
// own QTextDocument::find loop with QTextCursor edits on the same document, and the
// memory the undo history holds afterwards.
#include "app/WPForm.h"
#include "platform/dialogs_scripted.h"
#include "richedit/wwfinddialog.h"
#include "richedit/wwriched.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdio>

namespace {

constexpr double kTargetMs = 1000.0;
constexpr int kParagraphs = 50000;
constexpr int kEvery = 5;  // one paragraph in five holds the word: 10,000 matches
const QString kWord = QStringLiteral("needle");
const QString kReplacement = QStringLiteral("thread");

// Paragraphs with runs of bold, italic, coloured and resized text.
void fillMixed(QTextDocument *document)
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
    for (int i = 0; i < kParagraphs; ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(QStringLiteral("Paragraph %1 with some ").arg(i), plain);
        cursor.insertText(QStringLiteral("bold words "), bold);
        if (i % kEvery == 0)
            cursor.insertText(kWord + QLatin1Char(' '), italic);
        cursor.insertText(QStringLiteral("and italic red text "), italic);
        cursor.insertText(QStringLiteral("then large"), large);
        cursor.insertText(QStringLiteral(" and a plain tail that makes the line wrap in the window."), plain);
    }
    cursor.endEditBlock();
}

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

int countOf(const QTextDocument &document, const QString &word)
{
    return int(document.toPlainText().count(word));
}

void qtBaseline()
{
    QTextDocument document;
    fillMixed(&document);
    document.clearUndoRedoStacks();
    const double before = residentMegabytes();
    QElapsedTimer timer;
    timer.start();
    QTextCursor edits(&document);
    edits.beginEditBlock();
    int replaced = 0;
    for (QTextCursor found = document.find(kWord); !found.isNull(); found = document.find(kWord, found)) {
        found.insertText(kReplacement);
        ++replaced;
    }
    edits.endEditBlock();
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("  Qt's QTextDocument::find loop:       %8.1f ms (%d replaced, %d undo step, %+.1f MB)\n", ms,
                replaced, document.availableUndoSteps(), residentMegabytes() - before);
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    platform::ScriptedDialogs messages;

    TfmPellWP window;
    window.show();
    QCoreApplication::processEvents();
    TwwDBRichEdit *editor = window.Editor();
    fillMixed(editor->document());
    editor->document()->clearUndoRedoStacks();
    editor->SetSelStart(0);
    QCoreApplication::processEvents();

    std::printf("Find and replace, %d paragraphs, %d matches of \"%s\" (target: Replace All < %.0f ms)\n",
                kParagraphs, kParagraphs / kEvery, qPrintable(kWord), kTargetMs);

    // Find Next through every match of the run, each selected and shown in the window.
    editor->ExecuteReplaceDialog();
    TReplaceDialog *replace = editor->ReplaceDialog();
    replace->findChild<QLineEdit *>(QStringLiteral("FindEdit"))->setText(kWord);
    replace->findChild<QLineEdit *>(QStringLiteral("ReplaceEdit"))->setText(kReplacement);
    auto *findNext = replace->findChild<QPushButton *>(QStringLiteral("FindNextButton"));
    messages.queueMessage(platform::MessageResult::OK);
    QElapsedTimer timer;
    timer.start();
    int presses = 0;
    while (messages.count(platform::ScriptedDialogs::Kind::Message) == 0 && presses <= kParagraphs) {
        findNext->click();
        ++presses;
    }
    QCoreApplication::processEvents();
    const double findMs = timer.nsecsElapsed() / 1e6;
    std::printf("  Find Next through the run:           %8.1f ms (%d presses, %.1f us each)\n", findMs, presses,
                findMs * 1000.0 / presses);

    // Replace All from the top, repainted.
    editor->SetSelStart(0);
    editor->ExecuteReplaceDialog();
    messages.queueMessage(platform::MessageResult::OK);
    const int undoBefore = editor->document()->availableUndoSteps();
    const double before = residentMegabytes();
    timer.start();
    replace->findChild<QPushButton *>(QStringLiteral("ReplaceAllButton"))->click();
    QCoreApplication::processEvents();
    const double replaceMs = timer.nsecsElapsed() / 1e6;
    std::printf("  Replace All:                         %8.1f ms  %s (%d left, %d replaced, %d undo step, %+.1f MB)\n",
                replaceMs, replaceMs < kTargetMs ? "ok" : "SLOW", countOf(*editor->document(), kWord),
                countOf(*editor->document(), kReplacement), editor->document()->availableUndoSteps() - undoBefore,
                residentMegabytes() - before);
    replace->CloseDialog();

    timer.start();
    editor->Undo();
    QCoreApplication::processEvents();
    std::printf("  Undo of the Replace All:             %8.1f ms (%d restored)\n", timer.nsecsElapsed() / 1e6,
                countOf(*editor->document(), kWord));
    qtBaseline();
    return messages.problems().isEmpty() ? 0 : 1;
}
