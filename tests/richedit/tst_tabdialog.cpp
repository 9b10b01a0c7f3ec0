#include "tests/support/dialogscript.h"
#include "tests/support/scripteddialogs.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QBuffer>
#include <QListWidget>
#include <memory>

using namespace dialogscript;

namespace {

QLineEdit *positionField(QDialog *dialog)
{
    return control<QLineEdit>(dialog, "Edit1");
}

QListWidget *positionList(QDialog *dialog)
{
    return control<QListWidget>(dialog, "ListBox1");
}

QStringList entries(QDialog *dialog)
{
    QStringList texts;
    for (int row = 0; row < positionList(dialog)->count(); ++row)
        texts << positionList(dialog)->item(row)->text();
    return texts;
}

// Types a position and sets it with Enter, as a user does.
void enterPosition(QDialog *dialog, const QString &text)
{
    retype(positionField(dialog), text);
    QTest::keyClick(positionField(dialog), Qt::Key_Return);
}

QList<int> tabsOf(const engine::ParaFormat &format)
{
    return QList<int>(format.tabs.begin(), format.tabs.begin() + format.tabCount);
}

QByteArray rtfOf(TwwCustomRichEdit &editor)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    editor.Lines()->SaveToStream(buffer);
    return buffer.data();
}

}  // namespace

class TestTabDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsTheSelectionsStopsInTheUnit();
    void setAddsEachPositionOnce();
    void positionsOutsideTheRangeAreRefused_data();
    void positionsOutsideTheRangeAreRefused();
    void listIsKeptAndWrittenInNumericOrder();
    void clearRemovesTheSelectedEntriesOnly();
    void clearAllThenOkRemovesEveryStop();
    void enterInTheEmptyFieldClosesWithOk();
    void okSetsAValidPendingPosition();
    void okWithAnInvalidPendingPositionStaysOpen();
    void aThirtyThirdPositionIsRefused();
    void okIsNotTheDefaultButtonWhileThePositionFieldHasTheFocus();
    void stopsShowInTheEditorAndSurviveRtf();
    void okTouchesNothingButTheTabStops();
    void cancelChangesNothing();

private:
    bool runDialog(const Script &script);
    engine::ParaFormat firstParagraph() const;

    std::unique_ptr<QWidget> window;
    TwwDBRichEdit *editor = nullptr;
    std::unique_ptr<platform::ScriptedDialogs> messages;
};

void TestTabDialog::initTestCase()
{
    CreateGlobalIntl(*qApp);
}

void TestTabDialog::init()
{
    messages = std::make_unique<platform::ScriptedDialogs>();
    window = std::make_unique<QWidget>();
    window->resize(800, 300);
    editor = new TwwDBRichEdit(window.get());
    editor->setGeometry(0, 0, 800, 300);
    editor->SetWantTabs(true);
    editor->Lines()->SetText(QStringLiteral("a\tb\tc\nsecond"));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    editor->setSelectionRange({0, 0});
}

void TestTabDialog::cleanup()
{
    QVERIFY2(messages->requests().empty(), "no message box belongs to the tab dialog");
    window.reset();
    messages.reset();
}

bool TestTabDialog::runDialog(const Script &script)
{
    bool ran = false;
    onNextDialog(script, &ran);
    const bool result = editor->ExecuteTabDialog();
    if (!ran)
        QTest::qFail("the tab dialog did not show", __FILE__, __LINE__);
    return result;
}

engine::ParaFormat TestTabDialog::firstParagraph() const
{
    editor->setSelectionRange({0, 0});
    return editor->paraFormat();
}

void TestTabDialog::listsTheSelectionsStopsInTheUnit()
{
    editor->SetParagraphFormat(pmTabs, QString(), false, 0, 0, 0, 2, {720, 2880}, 0, 0, 0, 0);
    QStringList inches, centimetres;
    runDialog([&](QDialog *dialog) { inches = entries(dialog); });
    editor->SetMeasurementUnits(muCentimeters);
    runDialog([&](QDialog *dialog) { centimetres = entries(dialog); });
    QCOMPARE(inches, QStringList({"0.5''", "2''"}));
    QCOMPARE(centimetres, QStringList({"1.27 cm", "5.07 cm"}));
}

void TestTabDialog::setAddsEachPositionOnce()
{
    QStringList listed;
    QString leftInField;
    QVERIFY(runDialog([&](QDialog *dialog) {
        enterPosition(dialog, QStringLiteral("1"));
        retype(positionField(dialog), QStringLiteral("1.0"));
        click(dialog, "Button1");  // Set
        leftInField = positionField(dialog)->text();
        listed = entries(dialog);
        positionField(dialog)->clear();
        click(dialog, "OKButton");
    }));
    QCOMPARE(listed, QStringList({"1''"}));
    QCOMPARE(leftInField, QStringLiteral("1.0"));
    QCOMPARE(tabsOf(firstParagraph()), QList<int>({1440}));
}

void TestTabDialog::positionsOutsideTheRangeAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("negative") << "-1" << QStringList();
    QTest::newRow("beyond 22 inches") << "22.5''" << QStringList();
    QTest::newRow("no number") << "one" << QStringList();
    QTest::newRow("22 inches") << "22''" << QStringList({"22''"});
    QTest::newRow("nought") << "0" << QStringList({"0''"});
}

void TestTabDialog::positionsOutsideTheRangeAreRefused()
{
    QFETCH(QString, text);
    QFETCH(QStringList, listed);
    QStringList shown;
    QString leftInField;
    runDialog([&](QDialog *dialog) {
        enterPosition(dialog, text);
        shown = entries(dialog);
        leftInField = positionField(dialog)->text();
    });
    QCOMPARE(shown, listed);
    QCOMPARE(leftInField, listed.isEmpty() ? text : QString());
}

void TestTabDialog::listIsKeptAndWrittenInNumericOrder()
{
    QStringList listed;
    QVERIFY(runDialog([&](QDialog *dialog) {
        for (const char *position : {"10", "0.5", "2"})
            enterPosition(dialog, QLatin1String(position));
        listed = entries(dialog);
        click(dialog, "OKButton");
    }));
    QCOMPARE(listed, QStringList({"0.5''", "2''", "10''"}));
    QCOMPARE(tabsOf(firstParagraph()), QList<int>({720, 2880, 14400}));
    QVERIFY(rtfOf(*editor).contains("\\tx720\\tx2880\\tx14400"));
}

void TestTabDialog::clearRemovesTheSelectedEntriesOnly()
{
    editor->SetParagraphFormat(pmTabs, QString(), false, 0, 0, 0, 3, {720, 1440, 2160}, 0, 0, 0, 0);
    QStringList afterClearWithoutSelection, afterClear;
    QVERIFY(runDialog([&](QDialog *dialog) {
        click(dialog, "Button2");
        afterClearWithoutSelection = entries(dialog);
        QListWidget *list = positionList(dialog);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualItemRect(list->item(2)).center());
        click(dialog, "Button2");
        afterClear = entries(dialog);
        click(dialog, "OKButton");
    }));
    QCOMPARE(afterClearWithoutSelection, QStringList({"0.5''", "1''", "1.5''"}));
    QCOMPARE(afterClear, QStringList({"1''"}));
    QCOMPARE(tabsOf(firstParagraph()), QList<int>({1440}));
}

void TestTabDialog::clearAllThenOkRemovesEveryStop()
{
    editor->SelectAll();
    editor->SetParagraphFormat(pmTabs, QString(), false, 0, 0, 0, 2, {720, 1440}, 0, 0, 0, 0);
    QVERIFY(runDialog([](QDialog *dialog) {
        click(dialog, "Button4");
        click(dialog, "OKButton");
    }));
    QCOMPARE(firstParagraph().tabCount, qint16(0));
    editor->setSelectionRange({8, 8});
    QCOMPARE(editor->paraFormat().tabCount, qint16(0));
    QVERIFY(!rtfOf(*editor).contains("\\tx"));
}

void TestTabDialog::enterInTheEmptyFieldClosesWithOk()
{
    bool closed = false;
    QVERIFY(runDialog([&](QDialog *dialog) {
        enterPosition(dialog, QStringLiteral("3"));
        QTest::keyClick(positionField(dialog), Qt::Key_Return);
        closed = !dialog->isVisible();
    }));
    QVERIFY(closed);
    QCOMPARE(tabsOf(firstParagraph()), QList<int>({4320}));
}

void TestTabDialog::okSetsAValidPendingPosition()
{
    QVERIFY(runDialog([](QDialog *dialog) {
        enterPosition(dialog, QStringLiteral("1"));
        retype(positionField(dialog), QStringLiteral("3 cm"));  // the suffix letters are stripped
        click(dialog, "OKButton");
    }));
    QCOMPARE(tabsOf(firstParagraph()), QList<int>({1440, 4320}));
}

void TestTabDialog::okWithAnInvalidPendingPositionStaysOpen()
{
    bool stayedOpen = false;
    QString focused;  // a name: the dialog and its widgets are gone once it closes
    QVERIFY(runDialog([&](QDialog *dialog) {
        retype(positionField(dialog), QStringLiteral("25"));
        click(dialog, "OKButton");
        stayedOpen = dialog->isVisible();
        focused = focusedName(dialog);
        retype(positionField(dialog), QStringLiteral("2"));
        click(dialog, "OKButton");
    }));
    QVERIFY(stayedOpen);
    QCOMPARE(focused, QStringLiteral("Edit1"));
    QCOMPARE(tabsOf(firstParagraph()), QList<int>({2880}));
}

void TestTabDialog::aThirtyThirdPositionIsRefused()
{
    QList<int> stops;
    for (int i = 1; i <= 32; ++i)
        stops << i * 720;
    editor->SetParagraphFormat(pmTabs, QString(), false, 0, 0, 0, int(stops.size()), stops, 0, 0, 0, 0);
    int listedAfterSet = 0;
    QString leftInField;
    bool stayedOpen = false;
    QVERIFY(runDialog([&](QDialog *dialog) {
        enterPosition(dialog, QStringLiteral("0.25"));
        listedAfterSet = positionList(dialog)->count();
        leftInField = positionField(dialog)->text();
        click(dialog, "OKButton");
        stayedOpen = dialog->isVisible();
        enterPosition(dialog, QStringLiteral("1"));  // listed already: nothing to lose
        click(dialog, "OKButton");
    }));
    QCOMPARE(listedAfterSet, 32);
    QCOMPARE(leftInField, QStringLiteral("0.25"));
    QVERIFY(stayedOpen);
    QCOMPARE(tabsOf(firstParagraph()), stops);
}

void TestTabDialog::okIsNotTheDefaultButtonWhileThePositionFieldHasTheFocus()
{
    bool defaultInField = true, defaultInList = false;
    runDialog([&](QDialog *dialog) {
        dialog->activateWindow();
        positionField(dialog)->setFocus();
        QTRY_VERIFY(positionField(dialog)->hasFocus());
        defaultInField = control<QPushButton>(dialog, "OKButton")->isDefault();
        positionList(dialog)->setFocus();
        QTRY_VERIFY(positionList(dialog)->hasFocus());
        defaultInList = control<QPushButton>(dialog, "OKButton")->isDefault();
    });
    QVERIFY(!defaultInField);
    QVERIFY(defaultInList);
}

// A tab typed into the text jumps to the next stop set in the dialog.
void TestTabDialog::stopsShowInTheEditorAndSurviveRtf()
{
    QVERIFY(runDialog([](QDialog *dialog) {
        enterPosition(dialog, QStringLiteral("1"));
        enterPosition(dialog, QStringLiteral("3"));
        click(dialog, "OKButton");
    }));
    auto xOf = [](TwwCustomRichEdit &edit, int position) {
        QTextCursor cursor(edit.document());
        cursor.setPosition(position);
        return edit.cursorRect(cursor).x();
    };
    const int lineStart = xOf(*editor, 0);
    QVERIFY(qAbs(xOf(*editor, 2) - lineStart - 96) <= 2);   // b at 1 inch
    QVERIFY(qAbs(xOf(*editor, 4) - lineStart - 288) <= 2);  // c at 3 inches

    TwwDBRichEdit reloaded(window.get());
    reloaded.setGeometry(0, 0, 800, 300);
    QBuffer buffer;
    buffer.setData(rtfOf(*editor));
    buffer.open(QIODevice::ReadOnly);
    reloaded.Lines()->LoadFromStream(buffer);
    reloaded.setSelectionRange({0, 0});
    QStringList shown;
    onNextDialog([&](QDialog *dialog) { shown = entries(dialog); });
    reloaded.ExecuteTabDialog();
    QCOMPARE(shown, QStringList({"1''", "3''"}));
}

void TestTabDialog::okTouchesNothingButTheTabStops()
{
    editor->SetParagraphFormat(pmAlignment | pmStartIndent | pmLineSpacing, RichEditTexts().ParagraphDialog.AlignRight,
                               false, 0, 0, 720, 0, {}, 0, 0, 0, 2);
    QVERIFY(runDialog([](QDialog *dialog) {
        enterPosition(dialog, QStringLiteral("2"));
        click(dialog, "OKButton");
    }));
    const engine::ParaFormat format = firstParagraph();
    QCOMPARE(format.alignment, quint16(engine::PFA_RIGHT));
    QCOMPARE(format.startIndent, 720);
    QCOMPARE(format.lineSpacingRule, quint8(2));
    QCOMPARE(tabsOf(format), QList<int>({2880}));
}

void TestTabDialog::cancelChangesNothing()
{
    const QByteArray before = rtfOf(*editor);
    QVERIFY(!runDialog([](QDialog *dialog) {
        enterPosition(dialog, QStringLiteral("2"));
        click(dialog, "Button3");
    }));
    QCOMPARE(rtfOf(*editor), before);
}

QTEST_MAIN(TestTabDialog)
#include "tst_tabdialog.moc"
