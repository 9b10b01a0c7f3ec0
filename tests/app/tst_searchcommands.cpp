#include "tests/support/testsupport.h"
#include "app/WPForm.h"
#include "platform/clock.h"
#include "tests/support/scripteddialogs.h"
#include "richedit/wwfinddialog.h"
#include "richedit/wwriched.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using platform::MessageResult;
using platform::ScriptedDialogs;

class TestSearchCommands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void emptyDocumentDisablesFindAndReplace();
    void findNextEnabledOnceASearchWasRequested();
    void readOnlyEditorDisablesReplaceOnly();
    void ctrlFAndTheFindButtonOpenTheFindDialog();
    void f3RepeatsTheLastSearch();
    void ctrlHOpensTheReplaceDialogAndReplaceAllUndoesInOneStep();
    void dateAndTimeGoesInFrontOfTheSelection();
    void dateAloneAtMidnight();
    void dateAndTimeFollowTheLocale_data();
    void dateAndTimeFollowTheLocale();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return testsupport::child<T>(window.get(), name);
    }
    QAction *action(const char *name) const { return child<QAction>(name); }
    void type(const QString &text) { QTest::keyClicks(editor, text); }
    void key(int keyCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(editor, Qt::Key(keyCode), modifiers);
    }
    // Newer locale data puts a narrow no-break space before AM and PM.
    QString textWithPlainSpaces() const { return editor->toPlainText().replace(QChar(0x202F), QLatin1Char(' ')); }
    void setClock(QDate date, QTime time)
    {
        platform::setClockReader([date, time] { return QDateTime(date, time); });
    }

    QTemporaryDir settingsDir;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TfmPellWP> window;
    TwwDBRichEdit *editor = nullptr;
};

void TestSearchCommands::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
}

void TestSearchCommands::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    dialogs = std::make_unique<ScriptedDialogs>();
    window = std::make_unique<TfmPellWP>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    editor = window->Editor();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
}

void TestSearchCommands::cleanup()
{
    window.reset();
    platform::setClockReader({});
    QLocale::setDefault(QLocale::system());
    QVERIFY2(dialogs->problems().isEmpty(), qPrintable(dialogs->problems().join(QLatin1Char('\n'))));
    dialogs.reset();
}

// ---- Edit menu states ----

void TestSearchCommands::emptyDocumentDisablesFindAndReplace()
{
    for (const char *name : {"Find1", "FindNext1", "Replace1"})
        QVERIFY2(!action(name)->isEnabled(), name);
    QVERIFY(!child<QToolButton>("FindButton")->isEnabled());
    type(QStringLiteral("x"));
    for (const char *name : {"Find1", "Replace1"})
        QVERIFY2(action(name)->isEnabled(), name);
    QVERIFY(child<QToolButton>("FindButton")->isEnabled());
    QVERIFY(!action("FindNext1")->isEnabled());
    // A paragraph end alone is no text (the empty last line does not count); two are.
    key(Qt::Key_Backspace);
    QVERIFY(!action("Find1")->isEnabled());
    editor->SetSelText(QStringLiteral("\r"));
    QVERIFY(!action("Find1")->isEnabled());
    editor->SetSelText(QStringLiteral("\r"));
    QVERIFY(action("Find1")->isEnabled());
    QVERIFY(action("Replace1")->isEnabled());
}

void TestSearchCommands::findNextEnabledOnceASearchWasRequested()
{
    type(QStringLiteral("one two"));
    // F3 before any search: the item is disabled and the key does nothing.
    key(Qt::Key_F3);
    QCOMPARE(dialogs->count(ScriptedDialogs::Kind::Message), 0);

    editor->ExecuteFindDialog();
    TFindDialog *find = editor->FindDialog();
    QTest::keyClicks(find->findChild<QLineEdit *>("FindEdit"), QStringLiteral("absent"));
    dialogs->queueMessage(MessageResult::OK);
    QTest::mouseClick(find->findChild<QPushButton *>("FindNextButton"), Qt::LeftButton);
    find->CloseDialog();
    // Nothing was found, so no selection change refreshed the menu; opening it does.
    window->Edit1Click();
    QVERIFY(action("FindNext1")->isEnabled());
}

void TestSearchCommands::readOnlyEditorDisablesReplaceOnly()
{
    type(QStringLiteral("text"));
    editor->SetReadOnly(true);
    window->Edit1Click();
    QVERIFY(!action("Replace1")->isEnabled());
    QVERIFY(action("Find1")->isEnabled());
    QVERIFY(child<QToolButton>("FindButton")->isEnabled());
    key(Qt::Key_H, Qt::ControlModifier);
    QVERIFY(!editor->ReplaceDialog()->isVisible());
}

// ---- Commands ----

void TestSearchCommands::ctrlFAndTheFindButtonOpenTheFindDialog()
{
    type(QStringLiteral("word"));
    key(Qt::Key_F, Qt::ControlModifier);
    TFindDialog *find = editor->FindDialog();
    QVERIFY(find->isVisible());
    find->CloseDialog();
    QVERIFY(!find->isVisible());
    QTest::mouseClick(child<QToolButton>("FindButton"), Qt::LeftButton);
    QVERIFY(find->isVisible());
    // The editor stays usable while the dialog is open.
    editor->activateWindow();
    editor->setFocus();
    type(QStringLiteral("s"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("words"));
    find->CloseDialog();
}

void TestSearchCommands::f3RepeatsTheLastSearch()
{
    type(QStringLiteral("ab ab ab"));
    editor->SetSelStart(0);
    key(Qt::Key_F, Qt::ControlModifier);
    TFindDialog *find = editor->FindDialog();
    QTest::keyClicks(find->findChild<QLineEdit *>("FindEdit"), QStringLiteral("ab"));
    QTest::keyClick(find->findChild<QLineEdit *>("FindEdit"), Qt::Key_Return);
    QCOMPARE(editor->SelStart(), 3);
    find->CloseDialog();
    QTRY_VERIFY(window->isActiveWindow());
    editor->setFocus();
    QVERIFY(action("FindNext1")->isEnabled());
    key(Qt::Key_F3);
    QCOMPARE(editor->SelStart(), 6);
    key(Qt::Key_F3);
    QCOMPARE(editor->SelStart(), 0);
    dialogs->queueMessage(MessageResult::OK);
    key(Qt::Key_F3);
    QCOMPARE(dialogs->count(ScriptedDialogs::Kind::Message), 1);
}

void TestSearchCommands::ctrlHOpensTheReplaceDialogAndReplaceAllUndoesInOneStep()
{
    type(QStringLiteral("the cat saw the other cat"));
    key(Qt::Key_H, Qt::ControlModifier);
    TReplaceDialog *replace = editor->ReplaceDialog();
    QVERIFY(replace->isVisible());
    QTest::keyClicks(replace->findChild<QLineEdit *>("FindEdit"), QStringLiteral("cat"));
    QTest::keyClicks(replace->findChild<QLineEdit *>("ReplaceEdit"), QStringLiteral("dog"));
    dialogs->queueMessage(MessageResult::OK);
    QTest::mouseClick(replace->findChild<QPushButton *>("ReplaceAllButton"), Qt::LeftButton);
    QCOMPARE(editor->toPlainText(), QStringLiteral("the dog saw the other dog"));
    QCOMPARE(window->StatusPanelText(1), QStringLiteral("Modified"));
    replace->CloseDialog();
    QTRY_VERIFY(window->isActiveWindow());
    editor->setFocus();

    QTest::keyPress(editor, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyRelease(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->toPlainText(), QStringLiteral("the cat saw the other cat"));
}

// ---- Date and time ----

void TestSearchCommands::dateAndTimeGoesInFrontOfTheSelection()
{
    setClock(QDate(2026, 3, 5), QTime(14, 7, 9));
    type(QStringLiteral("say word"));
    editor->setSelectionRange({4, 8});
    action("DateandTime1")->trigger();
    QCOMPARE(textWithPlainSpaces(), QStringLiteral("say 3/5/26 2:07:09 PMword"));
    QVERIFY(editor->CanUndo());
}

void TestSearchCommands::dateAloneAtMidnight()
{
    setClock(QDate(2026, 12, 31), QTime(0, 0));
    action("DateandTime1")->trigger();
    QCOMPARE(editor->toPlainText(), QStringLiteral("12/31/26"));
    // A millisecond later is not midnight.
    setClock(QDate(2027, 1, 1), QTime(0, 0, 0, 1));
    editor->SelectAll();
    editor->ClearSelection();
    action("DateandTime1")->trigger();
    QVERIFY(editor->toPlainText().startsWith(QStringLiteral("1/1/27 12:00:00")));
}

void TestSearchCommands::dateAndTimeFollowTheLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "3/5/26 9:07:09 AM";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "05.03.26 09:07:09";
}

void TestSearchCommands::dateAndTimeFollowTheLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QLocale::setDefault(locale);
    setClock(QDate(2026, 3, 5), QTime(9, 7, 9));
    action("DateandTime1")->trigger();
    QCOMPARE(textWithPlainSpaces(), expected);
}

QTEST_MAIN(TestSearchCommands)
#include "tst_searchcommands.moc"
