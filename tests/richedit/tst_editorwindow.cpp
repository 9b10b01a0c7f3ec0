#define QTEST_QPA_MOUSE_HANDLING
#include "platform/lockkeys.h"
#include "tests/support/recordingspooler.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/testsupport.h"
#include "components/Wwdbcomb.h"
#include "richedit/wwTrackIcon.h"
#include "richedit/wwpagesetupdialog.h"
#include "richedit/wwrich.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"
#include "richedit/wwriched_ruler.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

using platform::MessageResult;
using testsupport::child;

namespace {

using Steps = std::function<void(TwwRichEditForm &)>;

const QString kText = QStringLiteral("First paragraph of the document.\nSecond paragraph.");

bool shown(TwwRichEditForm &window, const char *name)
{
    return child<QAction>(&window, name)->isVisible();
}

bool menuShown(TwwRichEditForm &window, const char *name)
{
    return child<QMenu>(&window, name)->menuAction()->isVisible();
}

bool widgetShown(TwwRichEditForm &window, const char *name)
{
    return !child<QWidget>(&window, name)->isHidden();
}

void click(TwwRichEditForm &window, const char *item)
{
    child<QAction>(&window, item)->trigger();
}

}  // namespace

Q_DECLARE_METATYPE(TwwFormPosition)

class TestEditorWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void f2AndTheContextMenusEditItemOpenTheWindow();
    void aReadOnlyControlOpensAViewerThatEscCloses();
    void optionsDecideWhichCommandsExist_data();
    void optionsDecideWhichCommandsExist();
    void windowTakesTheControlsContentCaretAndSettings();
    void saveAndExitWithoutAChangeLeavesTheControlAlone();
    void saveAndExitWritesTheChangeBack();
    void exitAfterAChangeAsks_data();
    void exitAfterAChangeAsks();
    void aFaceThatIsNotInstalledShowsInRed();
    void placement_data();
    void placement();
    void draggingTheFirstLineMarkerIndentsTheParagraph();
    void colourMenuColoursTheSelection();
    void newAsksBeforeClearing_data();
    void newAsksBeforeClearing();
    void saveAsAsksBeforeOverwritingAndLoadReplaces();
    void keysToggleStylesUndoAndSave();
    void hidingBarsGivesTheEditorTheirRoom();
    void userButtonsAreBorrowedAndGivenBack();
    void captionsAndHintsComeFromTheTextTable();
    void printRunsOneJobPerCopyUnderTheControlsJobName();
    void pageSetupWithPrinterWidthResizesTheRuler();
    void withoutFlatButtonsTheBarsAreRaised();
    void escUndoesUnlessTheOptionsSayClose();

private:
    bool run(Steps steps);

    std::unique_ptr<QWidget> m_form;
    TwwDBRichEdit *m_source = nullptr;
    std::unique_ptr<platform::ScriptedDialogs> m_dialogs;
    QString m_originalText;
    QStringList m_events;
    bool m_leftOpen = false;
};

void TestEditorWindow::init()
{
    m_dialogs = std::make_unique<platform::ScriptedDialogs>();
    platform::setLockKeyReader([] { return platform::LockKeyState{true, false}; });
    m_form = std::make_unique<QWidget>();
    m_form->resize(500, 300);
    m_source = new TwwDBRichEdit(m_form.get());
    m_source->setGeometry(0, 0, 500, 300);
    m_source->SetPopupOptions(TwwRichEditPopupOptions(0x3FFF));
    m_source->Lines()->SetText(kText);
    m_source->SetModified(false);
    m_originalText = m_source->Lines()->Text();
    m_events.clear();
    m_leftOpen = false;
    m_source->OnInitDialog = [this](QWidget *) { m_events << QStringLiteral("init"); };
    m_source->OnCloseDialog = [this](QWidget *) { m_events << QStringLiteral("close"); };
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestEditorWindow::cleanup()
{
    m_form.reset();
    platform::setLockKeyReader({});
    QVERIFY2(!m_leftOpen, "the steps left the editor window open");
    QVERIFY2(m_dialogs->problems().isEmpty(), qPrintable(m_dialogs->problems().join('\n')));
    m_dialogs.reset();
}

// Opens the editor window of the control and runs the steps in it once it is shown, as
// a user would; the steps leave the window. A window they leave open is closed without
// its changes and fails the test.
bool TestEditorWindow::run(Steps steps)
{
    m_source->OnCreateDialog = [this, steps](QWidget *form) {
        m_events << QStringLiteral("create");
        QTimer::singleShot(0, form, [this, steps, form] {
            auto &window = static_cast<TwwRichEditForm &>(*form);
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            try {
                steps(window);
            } catch (const std::exception &error) {
                QTest::qFail(error.what(), __FILE__, __LINE__);
            }
            if (window.isVisible()) {
                m_leftOpen = true;
                window.Editor()->SetModified(false);
                window.Exit1Click();
            }
        });
    };
    return m_source->ExecuteEditorWindow();
}

void TestEditorWindow::f2AndTheContextMenusEditItemOpenTheWindow()
{
    int opened = 0;
    m_source->OnCreateDialog = [&](QWidget *form) {
        ++opened;
        QTimer::singleShot(0, form, [form] { static_cast<TwwRichEditForm *>(form)->Exit1Click(); });
    };
    m_source->setFocus();
    QTest::keyClick(m_source, Qt::Key_F2);
    QCOMPARE(opened, 1);
    m_source->PopupItem(1)->trigger();
    QCOMPARE(opened, 2);

    m_source->SetPopupOptions(m_source->PopupOptions() & ~TwwRichEditPopupOptions(rpoPopupEdit));
    QTest::keyClick(m_source, Qt::Key_F2);
    QCOMPARE(opened, 2);
    QCOMPARE(m_source->Lines()->Text(), m_originalText);
}

void TestEditorWindow::aReadOnlyControlOpensAViewerThatEscCloses()
{
    m_source->SetReadOnly(true);
    const bool saved = run([](TwwRichEditForm &window) {
        QVERIFY(window.Editor()->ReadOnly());
        QVERIFY(!menuShown(window, "Format1"));
        QVERIFY(!menuShown(window, "View1"));
        QVERIFY(menuShown(window, "File1"));
        QVERIFY(menuShown(window, "Edit1"));
        QVERIFY(!widgetShown(window, "NewButton"));
        for (const char *item : {"Load1", "SaveAs1", "SaveExit1"})
            QVERIFY2(!shown(window, item), item);
        QVERIFY(shown(window, "Print1"));
        QVERIFY(shown(window, "PageSetup1"));
        for (const char *bar : {"Toolbar", "FormatBar", "StatusBar", "Ruler"})
            QVERIFY2(!widgetShown(window, bar), bar);
        QTest::keyClick(window.Editor(), Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    });
    QVERIFY(!saved);
    QCOMPARE(m_events, QStringList({"create", "init", "close"}));
}

void TestEditorWindow::optionsDecideWhichCommandsExist_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<bool>("disableOle");
    QTest::addColumn<QStringList>("visible");
    QTest::addColumn<QStringList>("hidden");
    const QStringList never = {"LoadButton1", "SaveAsButton", "Options1", "DateandTime1"};
    QTest::newRow("defaults") << 0x1FFC << false
                              << QStringList{"SaveExit1", "FileSep1", "Print1", "PageSetup1", "FileSep2",
                                             "InsertObject1", "Insert1", "Toolbar", "FormatBar", "StatusBar",
                                             "Ruler", "NewButton", "PrintButton"}
                              << (QStringList{"Load1", "SaveAs1"} + never);
    QTest::newRow("every option") << 0x1FFF << false << QStringList{"Load1", "SaveAs1", "SaveExit1", "Insert1"}
                                  << never;
    QTest::newRow("no OLE with insert object") << 0x1FFF << true << QStringList{"Format1"}
                                               << QStringList{"Insert1", "InsertObject1"};
    QTest::newRow("no print, page setup, save and exit")
        << int(0x1FFC & ~(reoShowPrint | reoShowPageSetup | reoShowSaveExit)) << false << QStringList{"Exit1"}
        << QStringList{"Print1", "PrintButton", "PageSetup1", "FileSep2", "SaveExit1", "FileSep1"};
    QTest::newRow("no bars") << int(reoShowSaveExit) << false << QStringList{"SaveExit1"}
                             << QStringList{"Toolbar", "FormatBar", "StatusBar", "Ruler", "Insert1"};
}

void TestEditorWindow::optionsDecideWhichCommandsExist()
{
    QFETCH(int, options);
    QFETCH(bool, disableOle);
    QFETCH(QStringList, visible);
    QFETCH(QStringList, hidden);
    m_source->SetEditorOptions(TwwRichEditOptions(options));
    if (disableOle)
        m_source->SetOleOptions(m_source->OleOptions() | reoDisableOLE);
    run([&](TwwRichEditForm &window) {
        const auto isShown = [&](const QString &name) {
            QObject *found = window.findChild<QObject *>(name);
            if (auto *menu = qobject_cast<QMenu *>(found))
                return menu->menuAction()->isVisible();
            if (auto *item = qobject_cast<QAction *>(found))
                return item->isVisible();
            return !qobject_cast<QWidget *>(found)->isHidden();
        };
        for (const QString &name : visible)
            QVERIFY2(isShown(name), qPrintable(name));
        for (const QString &name : hidden)
            QVERIFY2(!isShown(name), qPrintable(name));
        QCOMPARE(child<QAction>(&window, "Toolbar1")->isChecked(), widgetShown(window, "Toolbar"));
        QCOMPARE(child<QAction>(&window, "Ruler1")->isChecked(), widgetShown(window, "Ruler"));
        window.Exit1Click();
    });
}

void TestEditorWindow::windowTakesTheControlsContentCaretAndSettings()
{
    m_source->SetEditorCaption(QStringLiteral("Notes"));
    m_source->SetMeasurementUnits(muCentimeters);
    m_source->SetPrintMargins(TwwPrintMargins{2.0, 2.0, 1.5, 1.5});
    m_source->SetSelStart(6);
    m_source->SetModified(true);
    run([this](TwwRichEditForm &window) {
        TwwCustomRichEdit *editor = window.Editor();
        QCOMPARE(window.windowTitle(), QStringLiteral("Notes"));
        QCOMPARE(editor->Lines()->Text(), m_originalText);
        QCOMPARE(editor->SelStart(), 6);
        QVERIFY(!editor->Modified());
        QCOMPARE(editor->MeasurementUnits(), muCentimeters);
        QCOMPARE(editor->PrintMargins().Left, 1.5);
        QCOMPARE(editor->LeftTextInset(), 6);
        QVERIFY(qobject_cast<TwwDBRichEdit *>(editor));
        QCOMPARE(window.StatusPanelText(1), QStringLiteral("CAP"));
        QCOMPARE(window.StatusPanelText(2), QString());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        window.Exit1Click();
    });
    QVERIFY(m_source->Modified());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void TestEditorWindow::saveAndExitWithoutAChangeLeavesTheControlAlone()
{
    const bool saved = run([](TwwRichEditForm &window) {
        window.Editor()->PrintMargins().Left = 2.5;
        QTest::keyClick(window.Editor(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!window.isVisible());
    });
    QVERIFY(saved);
    QCOMPARE(m_source->Lines()->Text(), m_originalText);
    QVERIFY(!m_source->Modified());
    QCOMPARE(m_source->PrintMargins().Left, 2.5);
    QCOMPARE(m_events, QStringList({"create", "init"}));
}

void TestEditorWindow::saveAndExitWritesTheChangeBack()
{
    const bool saved = run([](TwwRichEditForm &window) {
        window.Editor()->SetSelStart(0);
        QTest::keyClicks(window.Editor(), QStringLiteral("New "));
        click(window, "SaveExit1");
    });
    QVERIFY(saved);
    QCOMPARE(m_source->Lines()->Get(0), QStringLiteral("New First paragraph of the document."));
    QVERIFY(m_source->Modified());
    QCOMPARE(m_events, QStringList({"create", "init", "close"}));
}

void TestEditorWindow::exitAfterAChangeAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Yes writes back") << int(MessageResult::Yes) << true;
    QTest::newRow("No discards") << int(MessageResult::No) << false;
    QTest::newRow("Cancel stays, then No") << int(MessageResult::Cancel) << false;
}

void TestEditorWindow::exitAfterAChangeAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, saved);
    const bool result = run([&](TwwRichEditForm &window) {
        window.Editor()->SetSelStart(0);
        QTest::keyClicks(window.Editor(), QStringLiteral("Edited "));
        m_dialogs->queueMessage(MessageResult(answer));
        click(window, "Exit1");
        const platform::ScriptedDialogs::Request &question = m_dialogs->lastRequest();
        QCOMPARE(question.text, QStringLiteral("Changes have been made!  Do you wish to save your changes?"));
        QCOMPARE(question.caption, QStringLiteral("Confirm"));
        QCOMPARE(question.buttons, platform::MessageButtons::YesNoCancel);
        if (MessageResult(answer) == MessageResult::Cancel) {
            QVERIFY(window.isVisible());
            QVERIFY(window.Editor()->Lines()->Get(0).startsWith(QStringLiteral("Edited ")));
            m_dialogs->queueMessage(MessageResult::No);
            window.close();
        }
        QVERIFY(!window.isVisible());
    });
    QCOMPARE(result, saved);
    QCOMPARE(m_source->Lines()->Get(0).startsWith(QStringLiteral("Edited ")), saved);
    QCOMPARE(m_source->Modified(), saved);
    QCOMPARE(m_events, QStringList({"create", "init", "close"}));
}

void TestEditorWindow::aFaceThatIsNotInstalledShowsInRed()
{
    m_source->SelectAll();
    m_source->SelectionAttributes().SetName(QStringLiteral("No Such Face Anywhere"));
    m_source->SetSelStart(3);
    run([](TwwRichEditForm &window) {
        auto *combo = child<TwwDBComboBox>(&window, "FontNameCombo");
        QCOMPARE(combo->text(), QStringLiteral("No Such Face Anywhere"));
        QCOMPARE(combo->FontColor(), QColor(Qt::red));
        window.Editor()->SelectAll();
        window.Editor()->SetSelectionFaceName(combo->Items().value(0));
        window.Editor()->SetSelStart(1);
        QCOMPARE(combo->FontColor(), combo->palette().color(QPalette::WindowText));
        window.Editor()->SetModified(false);
        window.Exit1Click();
    });
}

void TestEditorWindow::placement_data()
{
    QTest::addColumn<TwwFormPosition>("position");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<QSize>("size");
    QTest::newRow("no stored place: centred") << TwwFormPosition{0, 0, 0, 0} << true << QSize(610, 455);
    QTest::newRow("stored size, no place") << TwwFormPosition{0, 50, 500, 400} << true << QSize(500, 400);
    QTest::newRow("stored place") << TwwFormPosition{30, 40, 0, 0} << false << QSize(610, 455);
}

void TestEditorWindow::placement()
{
    QFETCH(TwwFormPosition, position);
    QFETCH(bool, centred);
    QFETCH(QSize, size);
    m_source->SetEditorPosition(position);
    run([&](TwwRichEditForm &window) {
        if (window.logicalDpiY() == 96)
            QCOMPARE(window.size(), size);
        const QRect area = window.screen()->availableGeometry();
        // Centred by the window's own size; its frame adds a pixel or two.
        const QPoint offCentre = window.frameGeometry().center() - area.center();
        if (centred)
            QVERIFY2(qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2,
                     qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        else
            QCOMPARE(window.pos(), QPoint(position.Left, position.Top));
        window.Exit1Click();
    });
}

// The user drags the first-line marker one inch to the right and saves: the first line
// of the paragraph under the caret is indented, in the window and then in the control.
void TestEditorWindow::draggingTheFirstLineMarkerIndentsTheParagraph()
{
    m_source->SetSelStart(3);
    const bool saved = run([](TwwRichEditForm &window) {
        TwwRulerPanel *ruler = window.Ruler();
        TwwTrackIcon *marker = ruler->FirstLineMarker();
        const int perInch = window.Editor()->ScreenPixelsPerInch();
        QCOMPARE(marker->Left(), marker->MinValue());
        const QPoint start = marker->geometry().center();
        QTest::mousePress(ruler, Qt::LeftButton, {}, start);
        QTest::mouseMove(ruler, start + QPoint(perInch / 2, 0));
        QCOMPARE(window.Editor()->paraFormat().startIndent, 0);  // nothing changes before the release
        QTest::mouseMove(ruler, start + QPoint(perInch, 0));
        QTest::mouseRelease(ruler, Qt::LeftButton, {}, start + QPoint(perInch, 0));
        QCOMPARE(window.Editor()->paraFormat().startIndent, 1440);
        QCOMPARE(window.Editor()->paraFormat().startIndent + window.Editor()->paraFormat().offset, 0);
        QVERIFY(window.Editor()->Modified());
        window.SaveExit1Click();
    });
    QVERIFY(saved);
    QCOMPARE(m_source->paraFormat().startIndent, 1440);
    m_source->SetSelStart(m_source->Lines()->Get(0).size() + 2);
    QCOMPARE(m_source->paraFormat().startIndent, 0);
}

void TestEditorWindow::colourMenuColoursTheSelection()
{
    m_source->SetFontColor(0x00FF00);
    m_source->SetSelStart(8);
    const TColor before = m_source->SelectionAttributes().Color();
    run([](TwwRichEditForm &window) {
        QMenu *colours = window.ColorMenu();
        QCOMPARE(colours->actions().size(), TwwRichEditForm::kColorItems);
        QCOMPARE(colours->actions().constLast()->text(), QStringLiteral("Automatic"));
        QCOMPARE(colours->actions().constLast()->data().toUInt(), 0x00FF00u);
        auto *button = child<QToolButton>(&window, "SpeedButton1");
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(colours->isVisible());
        const QPoint corner = button->mapToGlobal(QPoint(-1, button->height()));
        QVERIFY((colours->pos() - corner).manhattanLength() <= 1);
        window.Editor()->SetSelStart(0);
        window.Editor()->SetSelLength(5);
        child<QAction>(colours, "Red")->trigger();
        colours->close();
        QCOMPARE(window.Editor()->SelectionAttributes().Color(), TColor(0x0000FF));
        window.SaveExit1Click();
    });
    m_source->SetSelStart(1);
    QCOMPARE(m_source->SelectionAttributes().Color(), TColor(0x0000FF));
    m_source->SetSelStart(8);
    QCOMPARE(m_source->SelectionAttributes().Color(), before);
}

void TestEditorWindow::newAsksBeforeClearing_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("OK clears") << int(MessageResult::OK) << true;
    QTest::newRow("Cancel keeps") << int(MessageResult::Cancel) << false;
}

void TestEditorWindow::newAsksBeforeClearing()
{
    QFETCH(int, answer);
    QFETCH(bool, cleared);
    run([&](TwwRichEditForm &window) {
        m_dialogs->queueMessage(MessageResult(answer));
        QTest::mouseClick(child<QToolButton>(&window, "NewButton"), Qt::LeftButton);
        QCOMPARE(m_dialogs->lastRequest().text, QStringLiteral("Clear entire text?"));
        QCOMPARE(m_dialogs->lastRequest().buttons, platform::MessageButtons::OKCancel);
        QCOMPARE(window.Editor()->Lines()->Text().isEmpty(), cleared);
        QCOMPARE(window.Editor()->Modified(), cleared);
        window.SaveExit1Click();
    });
    QCOMPARE(m_source->Lines()->Text().isEmpty(), cleared);
}

void TestEditorWindow::saveAsAsksBeforeOverwritingAndLoadReplaces()
{
    QTemporaryDir folder;
    const QString existing = folder.filePath(QStringLiteral("existing.rtf"));
    testsupport::writeFile(existing, QByteArrayLiteral("{\\rtf1 Loaded from a file.\\par}"));
    m_source->SetEditorOptions(TwwRichEditOptions(0x1FFF));
    run([&](TwwRichEditForm &window) {
        m_dialogs->queueSaveFile(existing);
        m_dialogs->queueMessage(MessageResult::No);
        click(window, "SaveAs1");
        QCOMPARE(m_dialogs->lastRequest().text, QStringLiteral("OK to overwrite %1").arg(existing));
        QVERIFY(testsupport::readFile(existing).contains("Loaded from a file."));

        m_dialogs->queueSaveFile(existing);
        m_dialogs->queueMessage(MessageResult::Yes);
        click(window, "SaveAs1");
        QVERIFY(testsupport::readFile(existing).contains("Second paragraph."));

        const QString other = folder.filePath(QStringLiteral("other.rtf"));
        testsupport::writeFile(other, QByteArrayLiteral("{\\rtf1 Another text.\\par}"));
        m_dialogs->queueOpenFile(other);
        click(window, "Load1");
        QCOMPARE(window.Editor()->Lines()->Get(0), QStringLiteral("Another text."));
        QCOMPARE(m_dialogs->lastRequest().file.filter,
                 QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT"));
        window.Editor()->SetModified(false);
        window.Exit1Click();
    });
    QCOMPARE(m_source->Lines()->Text(), m_originalText);
}

void TestEditorWindow::keysToggleStylesUndoAndSave()
{
    run([](TwwRichEditForm &window) {
        TwwCustomRichEdit *editor = window.Editor();
        editor->SetSelStart(0);
        editor->SetSelLength(5);
        QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(editor->SelectionAttributes().Style().testFlag(fsBold));
        QVERIFY(child<QToolButton>(&window, "BoldButton")->isChecked());
        QCOMPARE(editor->Lines()->Get(0), QStringLiteral("First paragraph of the document."));

        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!editor->SelectionAttributes().Style().testFlag(fsBold));
        QVERIFY(!child<QToolButton>(&window, "BoldButton")->isChecked());

        QTest::keyClick(editor, Qt::Key_Escape);  // with reoCloseOnEscape the close question comes
        QVERIFY(!window.isVisible());
    });
    QCOMPARE(m_source->Lines()->Text(), m_originalText);
}

void TestEditorWindow::hidingBarsGivesTheEditorTheirRoom()
{
    run([](TwwRichEditForm &window) {
        TwwCustomRichEdit *editor = window.Editor();
        auto *toolbar = child<QWidget>(&window, "Toolbar");
        auto *formatBar = child<QWidget>(&window, "FormatBar");
        const int top = editor->y();
        QCOMPARE(top, toolbar->height() + 2 + formatBar->height() + 2 + window.Ruler()->height() + 2);
        click(window, "Toolbar1");
        QVERIFY(toolbar->isHidden());
        QVERIFY(!child<QAction>(&window, "Toolbar1")->isChecked());
        QCOMPARE(formatBar->y(), 2);
        QCOMPARE(editor->y(), top - toolbar->height() - 2);
        click(window, "Ruler1");
        QCOMPARE(editor->y(), formatBar->height() + 2);
        click(window, "StatusBar1");
        QCOMPARE(editor->geometry().bottom(), editor->parentWidget()->height() - 1);
        click(window, "Toolbar1");
        QCOMPARE(toolbar->y(), 2);
        QCOMPARE(formatBar->y(), toolbar->height() + 4 + 2 - 2);
        window.Exit1Click();
    });
}

void TestEditorWindow::userButtonsAreBorrowedAndGivenBack()
{
    auto *button = new QToolButton(m_form.get());
    button->setObjectName(QStringLiteral("UserButton"));
    button->resize(23, 22);
    m_source->SetUserSpeedButton2(button);
    run([button](TwwRichEditForm &window) {
        auto *undo = child<QToolButton>(&window, "UndoButton");
        QCOMPARE(button->parentWidget(), child<QWidget>(&window, "Toolbar"));
        QVERIFY(button->isVisible());
        QCOMPARE(button->x(), undo->x() + undo->width() + 32);
        QVERIFY(widgetShown(window, "UserButtonBevel"));
        window.Exit1Click();
    });
    QCOMPARE(button->parentWidget(), m_form.get());
    QVERIFY(button->isHidden());
}

void TestEditorWindow::captionsAndHintsComeFromTheTextTable()
{
    run([](TwwRichEditForm &window) {
        QCOMPARE(child<QAction>(&window, "SaveExit1")->text(), QStringLiteral("&Save and Exit\tCtrl+S"));
        QCOMPARE(child<QAction>(&window, "SelectAll1")->text(), QStringLiteral("Select A&ll\tCtrl+A"));
        QCOMPARE(child<QAction>(&window, "SaveExit1")->statusTip(), QStringLiteral("Saves changes and exits editor"));
        QCOMPARE(child<QAction>(&window, "Print1")->statusTip(), QStringLiteral("Prints the active document"));
        auto *bold = child<QToolButton>(&window, "BoldButton");
        QCOMPARE(bold->toolTip(), QStringLiteral("Bold"));
        QCOMPARE(bold->statusTip(), QStringLiteral("Makes the selection bold (toggle)"));
        QCOMPARE(child<QToolButton>(&window, "RedoButton")->toolTip(), QString());
        QStatusTipEvent hint(bold->statusTip());
        QApplication::sendEvent(bold, &hint);
        QCOMPARE(window.StatusPanelText(0), bold->statusTip());
        window.Exit1Click();
    });
}

void TestEditorWindow::printRunsOneJobPerCopyUnderTheControlsJobName()
{
    RecordingSpooler spooler;
    m_source->SetPrintJobName(QStringLiteral("Notes job"));
    run([this](TwwRichEditForm &window) {
        m_dialogs->queuePrint(platform::ScriptedDialogs::PrintChoice{2, QString()});
        QTest::mouseClick(child<QToolButton>(&window, "PrintButton"), Qt::LeftButton);
        QVERIFY(m_dialogs->lastRequest().collate);
        window.Exit1Click();
    });
    QCOMPARE(spooler.jobNames, QStringList({"Notes job", "Notes job"}));
}

// Margins one inch wider on each side make the ruler two inches shorter; the right
// indent follows the right marker, which stays at the ruler's end.
void TestEditorWindow::pageSetupWithPrinterWidthResizesTheRuler()
{
    m_source->SetEditWidth(rewPrinterSize);
    run([this](TwwRichEditForm &window) {
        TwwRulerPanel *ruler = window.Ruler();
        const auto pageSetup = [&](int sideMargins) {
            m_dialogs->queuePageSetup(platform::PageSetupChoice{QMargins(sideMargins, 1000, sideMargins, 1000), 1,
                                                                0, false, TwwPageSetupDialog::PdfFilePrinterName()});
            click(window, "PageSetup1");
        };
        pageSetup(1000);  // Letter paper, one-inch margins
        const int before = ruler->width();
        pageSetup(2000);
        QCOMPARE(window.Editor()->PrintMargins().Left, 2.0);
        QCOMPARE(before - ruler->width(), 2 * window.Editor()->ScreenPixelsPerInch());
        QCOMPARE(ruler->RightMarker()->Left(), ruler->RightMarker()->MaxValue());
        QCOMPARE(window.Editor()->paraFormat().rightIndent, 0);
        window.SaveExit1Click();
    });
    QCOMPARE(m_source->PrintMargins().Left, 2.0);
}

void TestEditorWindow::withoutFlatButtonsTheBarsAreRaised()
{
    m_source->SetEditorOptions(TwwRichEditOptions(0x1FFC) & ~TwwRichEditOptions(reoFlatButtons));
    run([](TwwRichEditForm &window) {
        QCOMPARE(child<QWidget>(&window, "Toolbar")->height(), 28);
        QCOMPARE(child<QWidget>(&window, "FormatBar")->height(), 28);
        auto *newButton = child<QToolButton>(&window, "NewButton");
        QCOMPARE(newButton->y(), 3);
        QVERIFY(!newButton->autoRaise());
        QCOMPARE(child<QToolButton>(&window, "BoldButton")->y(), 3);
        QVERIFY(child<QWidget>(&window, "ToolbarSep1")->isHidden());
        window.Exit1Click();
    });
}

void TestEditorWindow::escUndoesUnlessTheOptionsSayClose()
{
    m_source->SetEditorOptions(TwwRichEditOptions(0x1FFC) & ~TwwRichEditOptions(reoCloseOnEscape));
    run([](TwwRichEditForm &window) {
        window.Editor()->SetSelStart(0);
        QTest::keyClicks(window.Editor(), QStringLiteral("x"));
        QTest::keyClick(window.Editor(), Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QCOMPARE(window.Editor()->Lines()->Get(0), QStringLiteral("First paragraph of the document."));
        window.Editor()->SetModified(false);
        window.Exit1Click();
    });
}

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
