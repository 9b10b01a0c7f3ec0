#include "platform/application.h"
#include "platform/dialogs.h"
#include "tests/support/scripteddialogs.h"
#include "platform/exceptions.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using namespace platform;

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void fileFiltersBecomeQtFilters();
    void defaultExtensionOnlyWhenNameHasNone();
    void defaultExtensionFollowsTheChosenFilter_data();
    void defaultExtensionFollowsTheChosenFilter();
    void scriptedSaveDialogReportsTheChosenFilter();
    void messageBoxIsWideEnoughForItsCaption();
    void confirmAndErrorBoxesAsk();
    void scriptedDialogsRejectWhatWasNotQueued();
    void realMessageBoxButtonsAndClosing();
    void exceptionsStopAtTheEventLoop();
    void guardedHandlerReportsAndContinues();
};

void TestDialogs::fileFiltersBecomeQtFilters()
{
    QCOMPARE(qtNameFilters(QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT")),
             QStringList({QStringLiteral("Rich Text Files (*.RTF *.rtf)"),
                          QStringLiteral("Text Files (*.TXT *.txt)")}));
    // Several patterns, mixed case, and a description without its own pattern list.
    QCOMPARE(qtNameFilters(QStringLiteral("Pictures|*.Png;*.jpg")),
             QStringList({QStringLiteral("Pictures (*.Png *.PNG *.png *.jpg *.JPG)")}));
    // A dangling description without patterns and an empty filter give nothing.
    QCOMPARE(qtNameFilters(QStringLiteral("All files (*.*)|*.*|Broken")),
             QStringList({QStringLiteral("All files (*.*)")}));
    QVERIFY(qtNameFilters(QString()).isEmpty());
}

void TestDialogs::defaultExtensionOnlyWhenNameHasNone()
{
    QCOMPARE(withDefaultExtension(QStringLiteral("/tmp/letter"), QStringLiteral("rtf")),
             QStringLiteral("/tmp/letter.rtf"));
    QCOMPARE(withDefaultExtension(QStringLiteral("/tmp/letter.txt"), QStringLiteral("rtf")),
             QStringLiteral("/tmp/letter.txt"));
    // A dot in a folder name is not the file's extension.
    QCOMPARE(withDefaultExtension(QStringLiteral("/tmp/v1.2/letter"), QStringLiteral("rtf")),
             QStringLiteral("/tmp/v1.2/letter.rtf"));
    QCOMPARE(withDefaultExtension(QString(), QStringLiteral("rtf")), QString());
    QCOMPARE(withDefaultExtension(QStringLiteral("x"), QString()), QStringLiteral("x"));
}

void TestDialogs::defaultExtensionFollowsTheChosenFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("extension");
    const QString documents = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|All Files (*)|*");
    QTest::newRow("rich text") << documents << 0 << "rtf";
    QTest::newRow("text") << documents << 1 << "txt";
    QTest::newRow("all files: the request's own") << documents << 2 << "doc";
    QTest::newRow("no such filter") << documents << 7 << "doc";
    QTest::newRow("first of several patterns") << "Pictures|*.Png;*.jpg" << 0 << "png";
    QTest::newRow("a wildcard extension") << "Any|*.*" << 0 << "doc";
}

void TestDialogs::defaultExtensionFollowsTheChosenFilter()
{
    QFETCH(QString, filter);
    QFETCH(int, index);
    FileDialogRequest request;
    request.filter = filter;
    request.defaultExtension = QStringLiteral("doc");
    QTEST(defaultExtensionFor(request, index), "extension");
}

void TestDialogs::scriptedSaveDialogReportsTheChosenFilter()
{
    ScriptedDialogs dialogs;
    FileDialogRequest request;
    request.filter = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT");
    request.filterIndex = 1;
    dialogs.queueSaveFile(QStringLiteral("/tmp/notes"));
    dialogs.queueSaveFile(QStringLiteral("/tmp/letter"), 0);
    const FileChoice preselected = dialogs.saveFile(nullptr, request);
    QCOMPARE(preselected.fileName, QStringLiteral("/tmp/notes.txt"));
    QCOMPARE(preselected.filterIndex, 1);
    const FileChoice chosen = dialogs.saveFile(nullptr, request);
    QCOMPARE(chosen.fileName, QStringLiteral("/tmp/letter.rtf"));
    QCOMPARE(chosen.filterIndex, 0);
    QCOMPARE(dialogs.lastRequest().file.filterIndex, 1);
}

// A box narrower than its caption would have the caption cut in its title bar.
void TestDialogs::messageBoxIsWideEnoughForItsCaption()
{
    const QString caption = QStringLiteral("A Rather Long Application Title For A Small Message");
    int boxWidth = 0;
    int captionWidth = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxWidth = box->width();
        captionWidth = box->fontMetrics().horizontalAdvance(caption);
        box->buttons().constFirst()->click();
    });
    dialogs().messageBox(nullptr, caption, QStringLiteral("Hi"), MessageIcon::Information, MessageButtons::OK);
    QVERIFY(captionWidth > 0);
    QVERIFY2(boxWidth > captionWidth + 100, qPrintable(QStringLiteral("%1 <= %2").arg(boxWidth).arg(captionWidth)));
}

void TestDialogs::confirmAndErrorBoxesAsk()
{
    ScriptedDialogs dialogs;
    dialogs.queueMessage(MessageResult::No);
    dialogs.queueMessage(MessageResult::OK);
    QCOMPARE(confirmYesNoCancel(nullptr, QStringLiteral("Save changes to Untitled?")), MessageResult::No);
    showError(nullptr, QStringLiteral("Disk full"));

    QCOMPARE(int(dialogs.requests().size()), 2);
    const auto &confirm = dialogs.requests()[0];
    QCOMPARE(confirm.caption, QStringLiteral("Confirm"));
    QCOMPARE(confirm.text, QStringLiteral("Save changes to Untitled?"));
    QCOMPARE(confirm.icon, MessageIcon::Question);
    QCOMPARE(confirm.buttons, MessageButtons::YesNoCancel);
    const auto &error = dialogs.requests()[1];
    QCOMPARE(error.caption, QStringLiteral("Vantor Crestel Word Processor"));
    QCOMPARE(error.icon, MessageIcon::Error);
    QCOMPARE(error.buttons, MessageButtons::OK);
    QVERIFY(dialogs.problems().isEmpty());
}

void TestDialogs::scriptedDialogsRejectWhatWasNotQueued()
{
    {
        ScriptedDialogs dialogs;
        dialogs.queueSaveFile(QStringLiteral("/tmp/report"));
        FileDialogRequest request;
        request.defaultExtension = QStringLiteral("rtf");
        // The save answer is queued, so an open dialog is unexpected.
        QVERIFY_THROWS_EXCEPTION(UnexpectedDialog, dialogs.openFileName(nullptr, request));
        QCOMPARE(dialogs.saveFileName(nullptr, request), QStringLiteral("/tmp/report.rtf"));
        QCOMPARE(dialogs.count(ScriptedDialogs::Kind::OpenFile), 1);
        QCOMPARE(dialogs.problems().size(), 1);

        dialogs.clear();
        dialogs.queueFont(std::nullopt);
        QCOMPARE(dialogs.problems().size(), 1);  // queued but never asked
        QVERIFY(!dialogs.chooseFont(nullptr, FontChoice{}).has_value());
        QVERIFY(dialogs.problems().isEmpty());
        QCOMPARE(&platform::dialogs(), static_cast<DialogProvider *>(&dialogs));
    }
    // Destroying the scripted provider restores the real one.
    QVERIFY(dynamic_cast<ScriptedDialogs *>(&platform::dialogs()) == nullptr);
}

namespace {

// Answers the next modal message box by clicking the button with `caption`, or by
// pressing Escape when the caption is empty; records the captions it saw.
void answerNextBox(const QString &caption, QStringList *captionsSeen)
{
    QTimer::singleShot(0, [caption, captionsSeen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton *button : box->buttons())
            captionsSeen->append(button->text());
        if (caption.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton *button : box->buttons())
            if (button->text() == caption)
                button->click();
    });
}

}  // namespace

void TestDialogs::realMessageBoxButtonsAndClosing()
{
    QStringList seen;
    answerNextBox(QStringLiteral("&No"), &seen);
    QCOMPARE(confirmYesNoCancel(nullptr, QStringLiteral("Save?")), MessageResult::No);
    seen.sort();  // the style decides the order on screen
    QCOMPARE(seen, QStringList({QStringLiteral("&No"), QStringLiteral("&Yes"), QStringLiteral("Cancel")}));

    seen.clear();
    answerNextBox(QString(), &seen);  // closing the box
    QCOMPARE(confirmYesNoCancel(nullptr, QStringLiteral("Save?")), MessageResult::Cancel);

    seen.clear();
    answerNextBox(QString(), &seen);
    showError(nullptr, QStringLiteral("Broken"));
    QCOMPARE(seen, QStringList({QStringLiteral("OK")}));
}

void TestDialogs::exceptionsStopAtTheEventLoop()
{
    ScriptedDialogs dialogs;
    dialogs.queueMessage(MessageResult::OK);
    dialogs.queueMessage(MessageResult::OK);
    QTimer::singleShot(0, [] { throw EAbort(); });
    QTimer::singleShot(0, [] { throw EConvertError(QStringLiteral("'abc' is not a valid integer value")); });
    QTimer::singleShot(0, [] { throw std::runtime_error("out of range"); });
    bool stillRunning = false;
    QTimer::singleShot(0, [&] { stillRunning = true; });
    QTRY_VERIFY(stillRunning);

    QCOMPARE(int(dialogs.requests().size()), 2);  // the abort showed nothing
    QCOMPARE(dialogs.requests()[0].text, QStringLiteral("'abc' is not a valid integer value"));
    QCOMPARE(dialogs.requests()[0].caption, QStringLiteral("Vantor Crestel Word Processor"));
    QCOMPARE(dialogs.requests()[1].text, QStringLiteral("out of range"));
    QVERIFY(dialogs.problems().isEmpty());
}

void TestDialogs::guardedHandlerReportsAndContinues()
{
    ScriptedDialogs dialogs;
    // An error box that cannot be shown is logged, never thrown on.
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("Error box could not be shown"));
    bool after = false;
    runGuarded([] { throw Exception(QStringLiteral("no answer queued")); });
    after = true;
    QVERIFY(after);
    QCOMPARE(dialogs.problems().size(), 1);
}

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    Application app(argc, argv);
    platform::setApplicationTitle(QStringLiteral("Vantor Crestel Word Processor"));
    TestDialogs test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs.moc"
