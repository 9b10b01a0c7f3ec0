#include "app/WPForm.h"
#include "tests/support/scripteddialogs.h"
#include "platform/lockkeys.h"
#include "richedit/wwriched.h"
#include "tests/support/dialogscript.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <memory>

using namespace dialogscript;
using platform::ScriptedDialogs;

// The Format menu's dialog commands, driven through the main window as a user would.
class TestFormatMenu : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formatDialogItemsAreEnabled();
    void fontItemAppliesTheFontAndRefreshesTheFormatBar();
    void paragraphAndTabsAreKeptThroughSaveAndOpen();

private:
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    // Triggers the menu item and runs the script in the dialog it opens.
    void runFromMenu(const char *item, const Script &script);

    QTemporaryDir dir;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TfmPellWP> window;
    TwwDBRichEdit *editor = nullptr;
};

void TestFormatMenu::initTestCase()
{
    QVERIFY(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
}

void TestFormatMenu::init()
{
    platform::setLockKeyReader([] { return platform::LockKeyState{}; });
    dialogs = std::make_unique<ScriptedDialogs>();
    window = std::make_unique<TfmPellWP>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    editor = window->Editor();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
}

void TestFormatMenu::cleanup()
{
    window.reset();
    platform::setLockKeyReader({});
    QVERIFY2(dialogs->problems().isEmpty(), qPrintable(dialogs->problems().join(QLatin1Char('\n'))));
    dialogs.reset();
}

void TestFormatMenu::runFromMenu(const char *item, const Script &script)
{
    bool ran = false;
    onNextDialog(script, &ran);
    action(item)->trigger();
    QVERIFY2(ran, item);
}

void TestFormatMenu::formatDialogItemsAreEnabled()
{
    for (const char *item : {"Font1", "Paragraph1", "Tabs1"})
        QVERIFY2(action(item)->isEnabled(), item);
}

void TestFormatMenu::fontItemAppliesTheFontAndRefreshesTheFormatBar()
{
    QTest::keyClicks(editor, QStringLiteral("word"));
    editor->SelectAll();
    platform::FontChoice bold;
    bold.family = QStringLiteral("Arial");
    bold.pointSize = 14;
    bold.bold = true;
    dialogs->queueFont(bold);
    action("Font1")->trigger();
    QVERIFY(editor->SelectionAttributes().Style().testFlag(fsBold));
    QCOMPARE(editor->SelectionAttributes().Size(), 14);
    QVERIFY(window->findChild<QToolButton *>(QStringLiteral("BoldButton"))->isChecked());
}

// Two paragraphs indented with a hanging first line, spaced by one and a half lines and
// with tab stops at 1'' and 3'': saved, opened again, and shown again in both dialogs.
void TestFormatMenu::paragraphAndTabsAreKeptThroughSaveAndOpen()
{
    QTest::keyClicks(editor, QStringLiteral("one\ttwo\tthree"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, QStringLiteral("four\tfive\tsix"));
    editor->SelectAll();
    runFromMenu("Paragraph1", [](QDialog *dialog) {
        retype(control<QLineEdit>(dialog, "LeftEdit"), QStringLiteral("0.5"));
        retype(control<QLineEdit>(dialog, "FirstLineEdit"), QStringLiteral("-0.25"));
        retype(control<QLineEdit>(dialog, "BeforeParagraphEdit"), QStringLiteral("0.1"));
        control<QComboBox>(dialog, "LineSpacingComboBox")->setFocus();
        QTest::keyClick(control<QComboBox>(dialog, "LineSpacingComboBox"), Qt::Key_Down);
        click(dialog, "OKBtn");
    });
    runFromMenu("Tabs1", [](QDialog *dialog) {
        for (const char *position : {"1", "3"}) {
            retype(control<QLineEdit>(dialog, "Edit1"), QLatin1String(position));
            QTest::keyClick(control<QLineEdit>(dialog, "Edit1"), Qt::Key_Return);
        }
        click(dialog, "OKButton");
    });
    QVERIFY(editor->Modified());

    const QString path = dir.filePath(QStringLiteral("formatted.rtf"));
    dialogs->queueSaveFile(path);
    action("mmiSaveAs")->trigger();
    action("mmiNew")->trigger();
    dialogs->queueOpenFile(path);
    action("mmiOpen")->trigger();
    QCOMPARE(editor->Lines()->Get(1), QStringLiteral("four\tfive\tsix"));

    editor->setSelectionRange({15, 15});  // in the second paragraph
    QStringList paragraphFields, tabs;
    int rule = -1;
    runFromMenu("Paragraph1", [&](QDialog *dialog) {
        for (const char *name : {"LeftEdit", "FirstLineEdit", "RightEdit", "BeforeParagraphEdit"})
            paragraphFields << control<QLineEdit>(dialog, name)->text();
        rule = control<QComboBox>(dialog, "LineSpacingComboBox")->currentIndex();
    });
    runFromMenu("Tabs1", [&](QDialog *dialog) {
        QListWidget *list = control<QListWidget>(dialog, "ListBox1");
        for (int row = 0; row < list->count(); ++row)
            tabs << list->item(row)->text();
    });
    QCOMPARE(paragraphFields, QStringList({"0.5''", "-0.25''", "0''", "0.1''"}));
    QCOMPARE(rule, 1);
    QCOMPARE(tabs, QStringList({"1''", "3''"}));
}

QTEST_MAIN(TestFormatMenu)
#include "tst_formatmenu.moc"
