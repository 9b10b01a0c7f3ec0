#include "tests/support/testsupport.h"
#include "app/WPForm.h"
#include "platform/application.h"
#include "tests/support/scripteddialogs.h"
#include "platform/exceptions.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"

#include <QAction>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using platform::MessageResult;
using platform::ScriptedDialogs;

// Records the key presses other than modifier keys that reach a widget.
class KeySpy : public QObject {
public:
    QList<QKeyCombination> seen;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Control && key->key() != Qt::Key_Shift)
            seen << key->keyCombination();
        return false;
    }
};

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startState();
    void menusAndButtonsAwaitingTheirCommands();
    void tabTypesATabAndF2DoesNothing();
    void barsStackLineThenBar();
    void hidingFormatBarWithToolbarHiddenLeavesNoLine();
    void statusBarToggles();
    void deleteKeyWithAndWithoutSelection();
    void disabledShortcutIsConsumed();
    void ctrlZRefreshesTheEditMenuOnly();
    void openingTheEditMenuRefreshes();
    void clipboardCommandsAndStates();
    void pasteFollowsTheClipboardAtOnce();
    void selectAllOnlyWhenThereIsText();
    void readOnlyEditorDisablesChanges();
    void typingShowsModified();
    void hintsGoToPanelZero();
    void handlerExceptionsAreShownAndTheProgramRuns();
    void exitClosesTheWindow();
    void insertObjectAndTheEditorsMenuBeginningWithCut();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return testsupport::child<T>(window.get(), name);
    }
    QAction *action(const char *name) const { return child<QAction>(name); }
    QToolButton *button(const char *name) const { return child<QToolButton>(name); }
    QWidget *widget(const char *name) const { return child<QWidget>(name); }
    void type(const QString &text) { QTest::keyClicks(editor, text); }
    void settle() { QCoreApplication::processEvents(); }
    QStringList visibleBarsFromTop() const;

    QTemporaryDir settingsDir;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TfmPellWP> window;
    TwwDBRichEdit *editor = nullptr;
};

// Each test program keeps its settings in a folder of its own, so programs running side by
// side never see each other's recent list.
void TestMainWindow::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
}

void TestMainWindow::init()
{
    QGuiApplication::clipboard()->clear();
    dialogs = std::make_unique<ScriptedDialogs>();
    window = std::make_unique<TfmPellWP>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    editor = window->Editor();
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
}

void TestMainWindow::cleanup()
{
    window.reset();
    QVERIFY2(dialogs->problems().isEmpty(), qPrintable(dialogs->problems().join(QLatin1Char('\n'))));
    dialogs.reset();
}

QStringList TestMainWindow::visibleBarsFromTop() const
{
    QList<QWidget *> shown;
    for (const char *name : {"ToolBarBevel", "Toolbar", "FormatBarBevel", "FormatBar"}) {
        QWidget *piece = widget(name);
        if (piece->isVisible())
            shown << piece;
    }
    std::sort(shown.begin(), shown.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
    QStringList names;
    int expectedTop = 0;
    for (QWidget *piece : shown) {
        names << piece->objectName();
        if (piece->y() != expectedTop)  // no gaps, no overlaps
            names << QStringLiteral("(gap)");
        expectedTop = piece->y() + piece->height();
    }
    if (editor->y() != expectedTop)
        names << QStringLiteral("(editor misplaced)");
    return names;
}

void TestMainWindow::startState()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Vantor Crestel Word Processor - Untitled"));
    QCOMPARE(window->DocumentName(), QStringLiteral("Untitled"));
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    QCOMPARE(editor->toPlainText(), QString());
    QVERIFY(!editor->Modified());
    QCOMPARE(window->StatusPanelText(1), QString());
    QVERIFY(!window->findChild<QMenu *>(QStringLiteral("mmiRecent"))->menuAction()->isEnabled());
    QCOMPARE(visibleBarsFromTop(),
             QStringList({"ToolBarBevel", "Toolbar", "FormatBarBevel", "FormatBar"}));
    for (const char *name : {"Toolbar1", "FormatBar1", "StatusBar1"})
        QVERIFY2(action(name)->isChecked(), name);
    QVERIFY(widget("StatusBar")->isVisible());

    // The editor as the window sets it up.
    QCOMPARE(editor->LeftTextInset(), 6);
    QVERIFY(editor->WantTabs());
    QCOMPARE(editor->ScrollBars(), ssVertical);
    QVERIFY(!editor->AutoURLDetect());
    QVERIFY(!(editor->PopupOptions() & rpoPopupEdit));
    QVERIFY(editor->PopupOptions() & rpoPopupBold);
    QVERIFY(!(editor->EditorOptions() & reoShowRuler));
    QVERIFY(editor->EditorOptions() & reoCloseOnEscape);
    QCOMPARE(editor->EditorCaption(), QStringLiteral("Edit Rich Text"));
    QCOMPARE(editor->MeasurementUnits(), muInches);
    QCOMPARE(editor->SelectionAttributes().Size(), 8);

    // Five status panels of fixed widths; the "Modified" panel is centred.
    const int widths[5] = {300, 100, 60, 60, 50};
    for (int i = 0; i < 5; ++i) {
        auto *panel = window->findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(i));
        QVERIFY(panel);
        QCOMPARE(panel->width(), widths[i]);
        QCOMPARE(bool(panel->alignment() & Qt::AlignHCenter), i == 1);
    }
}

void TestMainWindow::insertObjectAndTheEditorsMenuBeginningWithCut()
{
    QVERIFY(action("InsertObject1")->isEnabled());
    type(QStringLiteral("ab"));
    dialogs->queueInsertObject(platform::InsertObjectChoice{});
    action("InsertObject1")->trigger();
    QCOMPARE(editor->SelStart(), 2);
    QCOMPARE(editor->SelLength(), 1);

    editor->ContextMenuPopup();
    QList<QAction *> shown;
    for (QAction *item : editor->PopupMenu()->actions())
        if (item->isVisible())
            shown << item;
    QCOMPARE(shown.first()->text(), QStringLiteral("Cu&t"));
    QCOMPARE(shown.last()->text(), QStringLiteral("&Insert &Object..."));
}

void TestMainWindow::menusAndButtonsAwaitingTheirCommands()
{
    QCOMPARE(action("Cut1")->text(), QStringLiteral("Cu&t\tCtrl+X"));
    QCOMPARE(action("Clear1")->text(), QStringLiteral("Cle&ar\tDel"));
    QCOMPARE(action("FindNext1")->text(), QStringLiteral("Find &Next\tF3"));
    QCOMPARE(action("mmiSaveAs")->text(), QStringLiteral("Save &As..."));
    for (const char *name : {"Find1", "FindNext1", "Replace1"})
        QVERIFY2(!action(name)->isEnabled(), name);
    QVERIFY(!button("FindButton")->isEnabled());
    for (const char *name : {"mmiNew", "mmiOpen", "mmiSave", "mmiSaveAs", "mmiPageSetup", "mmiPrint", "mmiExit",
                             "Toolbar1", "FormatBar1", "StatusBar1", "DateandTime1", "About1"})
        QVERIFY2(action(name)->isEnabled(), name);
    for (const char *name : {"NewButton", "LoadButton1", "SaveAsButton", "PrintButton"})
        QVERIFY2(button(name)->isEnabled(), name);
    // Every button shows its hint and sits where the bar's layout puts it.
    QCOMPARE(button("BoldButton")->toolTip(), QStringLiteral("Bold"));
    QCOMPARE(button("CenterButton")->statusTip(), QStringLiteral("Center Justified"));
    QCOMPARE(button("PasteButton")->geometry(), QRect(208, 1, 23, 24));
    QCOMPARE(button("BulletButton")->geometry(), QRect(587, 1, 23, 24));
}

void TestMainWindow::tabTypesATabAndF2DoesNothing()
{
    const int windowsBefore = QApplication::topLevelWidgets().size();
    type(QStringLiteral("a"));
    QTest::keyClick(editor, Qt::Key_Tab);
    type(QStringLiteral("b"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("a\tb"));
    QVERIFY(editor->hasFocus());
    QTest::keyClick(editor, Qt::Key_F2);
    settle();
    QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);
    QCOMPARE(editor->toPlainText(), QStringLiteral("a\tb"));
}

void TestMainWindow::barsStackLineThenBar()
{
    action("Toolbar1")->trigger();
    settle();
    QCOMPARE(visibleBarsFromTop(), QStringList({"FormatBarBevel", "FormatBar"}));
    QVERIFY(!action("Toolbar1")->isChecked());
    action("FormatBar1")->trigger();
    settle();
    QCOMPARE(visibleBarsFromTop(), QStringList());
    QVERIFY(!action("FormatBar1")->isChecked());

    action("Toolbar1")->trigger();
    settle();
    QCOMPARE(visibleBarsFromTop(), QStringList({"ToolBarBevel", "Toolbar"}));
    QVERIFY(action("Toolbar1")->isChecked());
    QVERIFY(!action("FormatBar1")->isChecked());
    action("FormatBar1")->trigger();
    settle();
    QCOMPARE(visibleBarsFromTop(), QStringList({"ToolBarBevel", "Toolbar", "FormatBarBevel", "FormatBar"}));
    QVERIFY(action("FormatBar1")->isChecked());
}

void TestMainWindow::hidingFormatBarWithToolbarHiddenLeavesNoLine()
{
    window->ShowToolbars(false, true);
    window->ShowToolbars(false, false);
    settle();
    for (const char *name : {"ToolBarBevel", "FormatBarBevel", "Toolbar", "FormatBar"})
        QVERIFY2(!widget(name)->isVisible(), name);
    QCOMPARE(editor->y(), 0);
    // Showing only the format bar brings its own line with it.
    window->ShowToolbars(false, true);
    settle();
    QCOMPARE(visibleBarsFromTop(), QStringList({"FormatBarBevel", "FormatBar"}));
}

void TestMainWindow::statusBarToggles()
{
    action("StatusBar1")->trigger();
    QVERIFY(!widget("StatusBar")->isVisible());
    QVERIFY(!action("StatusBar1")->isChecked());
    action("StatusBar1")->trigger();
    QVERIFY(widget("StatusBar")->isVisible());
    QVERIFY(action("StatusBar1")->isChecked());
}

void TestMainWindow::deleteKeyWithAndWithoutSelection()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("keep"));
    type(QStringLiteral("abcd"));
    QTest::keyClick(editor, Qt::Key_Home);
    // No selection: Clear is disabled and the editor deletes the next character.
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(editor->toPlainText(), QStringLiteral("bcd"));
    QVERIFY(!action("Clear1")->isEnabled());
    // A selection: Delete runs Clear, which leaves the clipboard alone.
    QTest::keyClick(editor, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(editor, Qt::Key_Right, Qt::ShiftModifier);
    QVERIFY(action("Clear1")->isEnabled());
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(editor->toPlainText(), QStringLiteral("d"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("keep"));
    // The menu item does the same.
    editor->SelectAll();
    action("Clear1")->trigger();
    QCOMPARE(editor->toPlainText(), QString());
}

void TestMainWindow::disabledShortcutIsConsumed()
{
    KeySpy spy;
    editor->installEventFilter(&spy);
    type(QStringLiteral("text"));
    spy.seen.clear();
    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);  // Find: disabled
    QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);  // Cut: nothing selected
    QTest::keyClick(editor, Qt::Key_K, Qt::ControlModifier);  // no menu item has it
    QCOMPARE(spy.seen, QList<QKeyCombination>({QKeyCombination(Qt::CTRL, Qt::Key_K)}));
    QCOMPARE(editor->toPlainText(), QStringLiteral("text"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    editor->removeEventFilter(&spy);
}

void TestMainWindow::ctrlZRefreshesTheEditMenuOnly()
{
    type(QStringLiteral("abc"));
    QVERIFY(action("mmiUndo")->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    QVERIFY(action("Paste1")->isEnabled());
    // The editor turns read-only behind the window's back: the Paste state is stale
    // until something refreshes it.
    editor->SetReadOnly(true);
    QVERIFY(action("Paste1")->isEnabled());
    KeySpy spy;
    editor->installEventFilter(&spy);
    QTest::keyPress(editor, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(spy.seen.isEmpty());
    QVERIFY(!action("Paste1")->isEnabled());  // Edit1Click ran
    QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));  // the Undo item did not
    editor->SetReadOnly(false);
    QTest::keyRelease(editor, Qt::Key_Z, Qt::ControlModifier);
    editor->removeEventFilter(&spy);
    QCOMPARE(editor->toPlainText(), QString());  // the release undid the typing

    // Ctrl+Y reaches Redo after the refresh; with nothing left to redo it does nothing.
    QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));
    QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));
    // The Undo item itself undoes, and then Redo is enabled and redoes.
    action("mmiUndo")->trigger();
    QCOMPARE(editor->toPlainText(), QString());
    QVERIFY(action("Redo1")->isEnabled());
    QVERIFY(button("RedoButton")->isEnabled());
    QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));
}

void TestMainWindow::openingTheEditMenuRefreshes()
{
    type(QStringLiteral("abc"));
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    editor->SetReadOnly(true);
    QVERIFY(action("Paste1")->isEnabled());
    auto *edit = window->findChild<QMenu *>(QStringLiteral("Edit1"));
    edit->popup(window->mapToGlobal(QPoint(40, 40)));
    QTRY_VERIFY(edit->isVisible());
    QVERIFY(!action("Paste1")->isEnabled());
    edit->close();
}

void TestMainWindow::clipboardCommandsAndStates()
{
    type(QStringLiteral("hello world"));
    for (const char *name : {"Cut1", "Copy1", "Clear1"})
        QVERIFY2(!action(name)->isEnabled(), name);
    QVERIFY(!button("CutButton")->isEnabled());
    QVERIFY(!button("CopyButton")->isEnabled());

    editor->SetSelStart(0);
    editor->SetSelLength(5);
    for (const char *name : {"Cut1", "Copy1", "Clear1"})
        QVERIFY2(action(name)->isEnabled(), name);
    QVERIFY(button("CutButton")->isEnabled());
    QVERIFY(button("CopyButton")->isEnabled());

    QTest::mouseClick(button("CopyButton"), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
    QVERIFY(button("PasteButton")->isEnabled());
    QVERIFY(action("Paste1")->isEnabled());

    QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(editor->toPlainText(), QStringLiteral(" world"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
    QVERIFY(!action("Cut1")->isEnabled());

    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editor->toPlainText(), QStringLiteral(" worldhello"));
    QTest::mouseClick(button("PasteButton"), Qt::LeftButton);
    QCOMPARE(editor->toPlainText(), QStringLiteral(" worldhellohello"));

    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(editor->SelText(), QStringLiteral(" worldhellohello"));
    QTest::mouseClick(button("CutButton"), Qt::LeftButton);
    QCOMPARE(editor->toPlainText(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" worldhellohello"));

    // A picture alone on the clipboard is not something to paste.
    auto *picture = new QMimeData;
    picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(picture);
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(action("Paste1")->isEnabled(), editor->CanPaste());
    QCOMPARE(button("PasteButton")->isEnabled(), editor->CanPaste());
}

void TestMainWindow::pasteFollowsTheClipboardAtOnce()
{
    type(QStringLiteral("abc"));
    QVERIFY(!action("Paste1")->isEnabled());
    // Another program fills the clipboard while nothing in the editor changes.
    QGuiApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
    QVERIFY(action("Paste1")->isEnabled());
    QVERIFY(button("PasteButton")->isEnabled());
    QGuiApplication::clipboard()->clear();
    QVERIFY(!action("Paste1")->isEnabled());
    QVERIFY(!button("PasteButton")->isEnabled());
    // A read-only editor takes nothing, whatever the clipboard holds.
    editor->SetReadOnly(true);
    QGuiApplication::clipboard()->setText(QStringLiteral("again"));
    QVERIFY(!action("Paste1")->isEnabled());
    QVERIFY(!button("PasteButton")->isEnabled());
}

void TestMainWindow::selectAllOnlyWhenThereIsText()
{
    QVERIFY(!action("SelectAll1")->isEnabled());
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);  // consumed, selects nothing
    QCOMPARE(editor->toPlainText(), QString());
    type(QStringLiteral("ab"));
    QVERIFY(action("SelectAll1")->isEnabled());
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(editor->SelText(), QStringLiteral("ab"));
    QTest::keyClick(editor, Qt::Key_Backspace);
    QVERIFY(!action("SelectAll1")->isEnabled());
}

void TestMainWindow::readOnlyEditorDisablesChanges()
{
    type(QStringLiteral("fixed text"));
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    editor->SetReadOnly(true);
    editor->SetSelStart(0);
    editor->SetSelLength(5);
    QTest::keyPress(editor, Qt::Key_Z, Qt::ControlModifier);  // the press refreshes the states
    QVERIFY(!action("Cut1")->isEnabled());
    QVERIFY(!button("CutButton")->isEnabled());
    QVERIFY(!action("Clear1")->isEnabled());
    QVERIFY(!action("Paste1")->isEnabled());
    QVERIFY(!button("PasteButton")->isEnabled());
    QVERIFY(action("Copy1")->isEnabled());
    QVERIFY(button("CopyButton")->isEnabled());
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editor->toPlainText(), QStringLiteral("fixed text"));
}

void TestMainWindow::typingShowsModified()
{
    QCOMPARE(window->StatusPanelText(1), QString());
    type(QStringLiteral("x"));
    QVERIFY(editor->Modified());
    // The change event reports the flag as it is after the change.
    QCOMPARE(window->StatusPanelText(1), QStringLiteral("Modified"));
    window->ShowModified(false);
    QCOMPARE(window->StatusPanelText(1), QString());
}

void TestMainWindow::hintsGoToPanelZero()
{
    QWidget *statusBar = widget("StatusBar");
    QTest::mouseMove(button("UnderlineButton"));
    QTRY_COMPARE(window->StatusPanelText(0), QStringLiteral("Underline"));
    QTest::mouseMove(editor->viewport());
    QTRY_COMPARE(window->StatusPanelText(0), QString());
    // The other panels stay in place: no temporary message replaces them.
    QCOMPARE(statusBar->findChild<QLabel *>(QStringLiteral("StatusPanel1"))->isVisible(), true);
}

void TestMainWindow::handlerExceptionsAreShownAndTheProgramRuns()
{
    dialogs->queueMessage(MessageResult::OK);
    // Handlers that fail while the window's event loop delivers them.
    QTimer::singleShot(0, window.get(), [] { throw EStreamError(QStringLiteral("Failed to Load Stream")); });
    QTimer::singleShot(0, window.get(), [] { throw EAbort(); });
    QTRY_COMPARE(dialogs->count(ScriptedDialogs::Kind::Message), 1);
    settle();
    QCOMPARE(dialogs->lastRequest().caption, QStringLiteral("Vantor Crestel Word Processor"));
    QCOMPARE(dialogs->lastRequest().text, QStringLiteral("Failed to Load Stream"));
    QCOMPARE(dialogs->lastRequest().icon, platform::MessageIcon::Error);
    QCOMPARE(dialogs->count(ScriptedDialogs::Kind::Message), 1);  // the abort showed nothing
    // The window still works.
    type(QStringLiteral("ok"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("ok"));
    QVERIFY(window->isVisible());
}

void TestMainWindow::exitClosesTheWindow()
{
    action("mmiExit")->trigger();
    QVERIFY(!window->isVisible());
}

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    platform::Application app(argc, argv);
    platform::setApplicationTitle(QStringLiteral("Vantor Crestel Word Processor"));
    CreateGlobalIntl(app);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
