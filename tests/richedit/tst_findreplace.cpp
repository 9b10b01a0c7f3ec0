#include "platform/application.h"
#include "tests/support/scripteddialogs.h"
#include "richedit/Wwintl.h"
#include "richedit/wwfinddialog.h"
#include "richedit/wwriched.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QtTest>
#include <memory>

using platform::MessageResult;
using platform::ScriptedDialogs;

namespace {

class CountingRichEdit : public TwwDBRichEdit {
public:
    using TwwDBRichEdit::TwwDBRichEdit;
    int beforeModifyCalls = 0;
    void BeforeModify() override { ++beforeModifyCalls; }
};

struct Selection {
    int start;
    int length;
    bool operator==(const Selection &) const = default;
};

}  // namespace

namespace QTest {
template <>
char *toString(const Selection &selection)
{
    return qstrdup(QByteArray::number(selection.start) + "+" + QByteArray::number(selection.length));
}
}  // namespace QTest

class TestFindReplace : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialogsCarryTheirControls();
    void actionButtonsNeedAFindText();
    void findTextComesFromASelectionWithinOneParagraph();
    void textsAreCutAt255Characters();
    void findNextVisitsTheRunInOrderThenEndsWithTheMessage();
    void messageStartsANewRunAtTheSelection();
    void noMatchLeavesTheSelection();
    void replaceAllReplacesEveryMatchOnce_data();
    void replaceAllReplacesEveryMatchOnce();
    void replaceAllIsOneUndoStep();
    void replaceAllWithoutMatchesLeavesTheDocumentUnmodified();
    void replaceOnANonMatchOnlySelectsTheNextMatch();
    void replaceIsOneUndoStepPerReplacement();
    void replaceKeepsTheFormatOfTheMatch();
    void findNextInTheReplaceDialogFindsOneMatchWithItsOwnOptions();
    void findNextRepeatsWithTheOptionsOfTheLastDialog();
    void optionsAreReplacedByEachAction();
    void readOnlyEditorIsSearchedButNotChanged();
    void enterPressesFindNextAndEscapeCloses();
    void selectionShownWhileADialogIsOpen();
    void dialogRemembersItsPlaceAndComesToTheTop();

private:
    TFindDialog *openFind();
    TReplaceDialog *openReplace();
    static void typeInto(TFindDialog *dialog, const char *field, const QString &text);
    static void press(TFindDialog *dialog, const char *button);
    static void check(TFindDialog *dialog, const char *box, bool on);
    void setText(const QString &text);
    void select(int start, int length) { m_edit->setSelectionRange({start, start + length}); }
    Selection selection() const { return {m_edit->SelStart(), m_edit->SelLength()}; }
    QString text() const { return m_edit->document()->toPlainText(); }
    int messagesShown() const { return m_dialogs->count(ScriptedDialogs::Kind::Message); }

    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<QWidget> m_form;
    CountingRichEdit *m_edit = nullptr;
};

void TestFindReplace::initTestCase()
{
    CreateGlobalIntl(*qApp);
    platform::setApplicationTitle(QStringLiteral("Vantor Crestel Word Processor"));
}

void TestFindReplace::init()
{
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_form = std::make_unique<QWidget>();
    m_form->resize(500, 300);
    m_edit = new CountingRichEdit(m_form.get());
    m_edit->setGeometry(0, 0, 400, 250);
    m_form->show();
}

void TestFindReplace::cleanup()
{
    m_form.reset();
    m_edit = nullptr;
    QVERIFY2(m_dialogs->problems().isEmpty(), qPrintable(m_dialogs->problems().join(QLatin1Char('\n'))));
    m_dialogs.reset();
}

void TestFindReplace::setText(const QString &content)
{
    m_edit->SelectAll();
    m_edit->SetSelText(content);
    m_edit->document()->clearUndoRedoStacks();
    m_edit->SetModified(false);
    select(0, 0);
}

TFindDialog *TestFindReplace::openFind()
{
    m_edit->ExecuteFindDialog();
    return m_edit->FindDialog();
}

TReplaceDialog *TestFindReplace::openReplace()
{
    m_edit->ExecuteReplaceDialog();
    return m_edit->ReplaceDialog();
}

void TestFindReplace::typeInto(TFindDialog *dialog, const char *field, const QString &typed)
{
    auto *edit = dialog->findChild<QLineEdit *>(QLatin1String(field));
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
}

void TestFindReplace::press(TFindDialog *dialog, const char *button)
{
    auto *found = dialog->findChild<QPushButton *>(QLatin1String(button));
    QVERIFY(found);
    QVERIFY(found->isEnabled());
    QTest::mouseClick(found, Qt::LeftButton);
}

void TestFindReplace::check(TFindDialog *dialog, const char *box, bool on)
{
    auto *found = dialog->findChild<QCheckBox *>(QLatin1String(box));
    QVERIFY(found);
    if (found->isChecked() != on)
        QTest::mouseClick(found, Qt::LeftButton, {}, QPoint(4, found->height() / 2));
    QCOMPARE(found->isChecked(), on);
}

// ---- The dialogs ----

void TestFindReplace::dialogsCarryTheirControls()
{
    TFindDialog *find = openFind();
    QVERIFY(find->isVisible());
    QVERIFY(!find->isModal());
    QCOMPARE(find->windowTitle(), QStringLiteral("Find"));
    QCOMPARE(find->parent(), static_cast<QObject *>(m_edit));
    QStringList labels;
    for (QLabel *label : find->findChildren<QLabel *>())
        labels << label->text();
    QCOMPARE(labels, QStringList{QStringLiteral("Fi&nd what:")});
    QCOMPARE(find->findChild<QCheckBox *>("WholeWordCheck")->text(), QStringLiteral("Match &whole word only"));
    QCOMPARE(find->findChild<QCheckBox *>("MatchCaseCheck")->text(), QStringLiteral("Match &case"));
    QCOMPARE(find->findChild<QPushButton *>("FindNextButton")->text(), QStringLiteral("&Find Next"));
    QCOMPARE(find->findChild<QPushButton *>("CancelButton")->text(), QStringLiteral("Cancel"));
    QVERIFY(!find->findChild<QPushButton *>("ReplaceButton"));
    // Its direction choice is hidden by its initial options.
    QCOMPARE(find->Options(), TFindOptions(frHideUpDown | frReplace | frReplaceAll));
    QVERIFY(!find->findChild<QGroupBox *>("DirectionGroup")->isVisible());

    TReplaceDialog *replace = openReplace();
    QVERIFY(replace->isVisible());
    QCOMPARE(replace->windowTitle(), QStringLiteral("Replace"));
    labels.clear();
    for (QLabel *label : replace->findChildren<QLabel *>())
        labels << label->text();
    QCOMPARE(labels, QStringList({QStringLiteral("Fi&nd what:"), QStringLiteral("Re&place with:")}));
    QCOMPARE(replace->findChild<QPushButton *>("ReplaceButton")->text(), QStringLiteral("&Replace"));
    QCOMPARE(replace->findChild<QPushButton *>("ReplaceAllButton")->text(), QStringLiteral("Replace &All"));
    QCOMPARE(replace->Options(), TFindOptions(frDown));
    QVERIFY(!replace->findChild<QGroupBox *>("DirectionGroup")->isVisible());

    // Hiding and disabling flags act on their controls.
    find->SetOptions(frHideMatchCase | frDisableWholeWord | frWholeWord);
    QVERIFY(!find->findChild<QCheckBox *>("MatchCaseCheck")->isVisible());
    QVERIFY(!find->findChild<QCheckBox *>("WholeWordCheck")->isEnabled());
    QVERIFY(find->findChild<QCheckBox *>("WholeWordCheck")->isChecked());
    QVERIFY(find->findChild<QGroupBox *>("DirectionGroup")->isVisible());
}

void TestFindReplace::actionButtonsNeedAFindText()
{
    TReplaceDialog *replace = openReplace();
    for (const char *name : {"FindNextButton", "ReplaceButton", "ReplaceAllButton"})
        QVERIFY2(!replace->findChild<QPushButton *>(name)->isEnabled(), name);
    typeInto(replace, "FindEdit", QStringLiteral("x"));
    for (const char *name : {"FindNextButton", "ReplaceButton", "ReplaceAllButton"})
        QVERIFY2(replace->findChild<QPushButton *>(name)->isEnabled(), name);
    typeInto(replace, "FindEdit", QString());
    QVERIFY(!replace->findChild<QPushButton *>("FindNextButton")->isEnabled());
    // Enter with an empty find text searches nothing.
    QTest::keyClick(replace->findChild<QLineEdit *>("FindEdit"), Qt::Key_Return);
    QCOMPARE(messagesShown(), 0);
    QVERIFY(!m_edit->CanFindNext());
}

void TestFindReplace::findTextComesFromASelectionWithinOneParagraph()
{
    setText(QStringLiteral("alpha beta\rgamma"));
    QCOMPARE(openFind()->FindText(), QString());  // nothing selected, nothing searched yet

    select(6, 4);
    QCOMPARE(openFind()->FindText(), QStringLiteral("beta"));
    m_edit->FindDialog()->CloseDialog();
    m_edit->LastFindText = QStringLiteral("earlier");
    select(6, 6);  // spans the paragraph end
    QCOMPARE(openFind()->FindText(), QStringLiteral("earlier"));
    select(0, 0);
    QCOMPARE(openReplace()->FindText(), QStringLiteral("earlier"));
}

void TestFindReplace::textsAreCutAt255Characters()
{
    const QString longText(300, QLatin1Char('q'));
    setText(longText);
    m_edit->SelectAll();
    TReplaceDialog *replace = openReplace();
    QCOMPARE(replace->FindText().size(), 255);
    replace->SetReplaceText(longText);
    QCOMPARE(replace->ReplaceText().size(), 255);
    typeInto(replace, "FindEdit", longText);
    QCOMPARE(replace->FindText().size(), 255);
}

// ---- Finding ----

void TestFindReplace::findNextVisitsTheRunInOrderThenEndsWithTheMessage()
{
    setText(QStringLiteral("x-x-x"));
    TFindDialog *find = openFind();
    typeInto(find, "FindEdit", QStringLiteral("x"));
    QVERIFY(!m_edit->CanFindNext());

    press(find, "FindNextButton");
    QCOMPARE(selection(), (Selection{2, 1}));
    QVERIFY(m_edit->CanFindNext());
    press(find, "FindNextButton");
    QCOMPARE(selection(), (Selection{4, 1}));
    press(find, "FindNextButton");
    QCOMPARE(selection(), (Selection{0, 1}));
    QCOMPARE(messagesShown(), 0);

    m_dialogs->queueMessage(MessageResult::OK);
    press(find, "FindNextButton");
    QCOMPARE(messagesShown(), 1);
    const ScriptedDialogs::Request &message = m_dialogs->lastRequest();
    QCOMPARE(message.caption, QStringLiteral("Vantor Crestel Word Processor"));
    QCOMPARE(message.text, QStringLiteral("No more matches found"));
    QCOMPARE(message.icon, platform::MessageIcon::Information);
    QCOMPARE(message.buttons, platform::MessageButtons::OK);
    QCOMPARE(selection(), (Selection{0, 1}));
    QCOMPARE(text(), QStringLiteral("x-x-x"));
}

void TestFindReplace::messageStartsANewRunAtTheSelection()
{
    setText(QStringLiteral("x-x-x"));
    select(2, 1);
    TFindDialog *find = openFind();
    press(find, "FindNextButton");  // the selection gave the find text
    QCOMPARE(selection(), (Selection{4, 1}));
    press(find, "FindNextButton");
    QCOMPARE(selection(), (Selection{0, 1}));
    press(find, "FindNextButton");
    QCOMPARE(selection(), (Selection{2, 1}));  // the run's start is found again
    m_dialogs->queueMessage(MessageResult::OK);
    press(find, "FindNextButton");
    QCOMPARE(messagesShown(), 1);
    QCOMPARE(m_edit->FindStartPos, 2);
    QVERIFY(!m_edit->FindWrapped);

    // The new run starts at the selection: the next match and round again.
    press(find, "FindNextButton");
    QCOMPARE(selection(), (Selection{4, 1}));
}

void TestFindReplace::noMatchLeavesTheSelection()
{
    setText(QStringLiteral("one two"));
    select(4, 2);
    TFindDialog *find = openFind();
    typeInto(find, "FindEdit", QStringLiteral("three"));
    m_dialogs->queueMessage(MessageResult::OK);
    press(find, "FindNextButton");
    QCOMPARE(messagesShown(), 1);
    QCOMPARE(selection(), (Selection{4, 2}));
    QCOMPARE(m_edit->LastFindText, QStringLiteral("three"));
}

// ---- Replacing ----

void TestFindReplace::replaceAllReplacesEveryMatchOnce_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("expected");

    QTest::newRow("every letter, caret at the start") << "aaaa" << 0 << 0 << "a" << "b" << false << false << "bbbb";
    QTest::newRow("two letters, first selected") << "aa" << 0 << 1 << "a" << "b" << false << false << "bb";
    QTest::newRow("replacement holds the find text") << "aaaa" << 0 << 0 << "a" << "aa" << false << false
                                                     << "aaaaaaaa";
    QTest::newRow("selected match grows") << "a" << 0 << 1 << "a" << "aa" << false << false << "aa";
    QTest::newRow("caret in the middle") << "a b a b a" << 4 << 0 << "a" << "x" << false << false << "x b x b x";
    QTest::newRow("replacement is empty") << "abab-ab" << 3 << 0 << "ab" << "" << false << false << "-";
    QTest::newRow("whole word") << "cat concatenate cat." << 0 << 0 << "cat" << "dog" << true << false
                                << "dog concatenate dog.";
    QTest::newRow("match case") << "Cat cat CAT" << 0 << 0 << "cat" << "dog" << false << true << "Cat dog CAT";
    QTest::newRow("any case") << "Cat cat CAT" << 0 << 0 << "cat" << "dog" << false << false << "dog dog dog";
    QTest::newRow("over paragraphs") << "one\rtwo one\rone" << 5 << 0 << "one" << "1" << false << false
                                     << "1\ntwo 1\n1";
}

void TestFindReplace::replaceAllReplacesEveryMatchOnce()
{
    QFETCH(QString, content);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(bool, wholeWord);
    QFETCH(bool, matchCase);
    QFETCH(QString, expected);

    setText(content);
    select(selStart, selLength);
    TReplaceDialog *replace = openReplace();
    typeInto(replace, "FindEdit", find);
    typeInto(replace, "ReplaceEdit", replacement);
    check(replace, "WholeWordCheck", wholeWord);
    check(replace, "MatchCaseCheck", matchCase);
    m_dialogs->queueMessage(MessageResult::OK);
    press(replace, "ReplaceAllButton");

    QCOMPARE(text(), expected);
    QCOMPARE(messagesShown(), 1);
    QCOMPARE(m_edit->LastFindText, find);
    QVERIFY(!m_edit->FindWrapped);
}

void TestFindReplace::replaceAllIsOneUndoStep()
{
    setText(QStringLiteral("red green red blue red"));
    select(4, 0);
    TReplaceDialog *replace = openReplace();
    typeInto(replace, "FindEdit", QStringLiteral("red"));
    typeInto(replace, "ReplaceEdit", QStringLiteral("yellow"));
    m_dialogs->queueMessage(MessageResult::OK);
    press(replace, "ReplaceAllButton");
    QCOMPARE(text(), QStringLiteral("yellow green yellow blue yellow"));
    QVERIFY(m_edit->Modified());
    QCOMPARE(m_edit->beforeModifyCalls, 1);
    // The caret stands after the last replacement, the one that wrapped to the top.
    QCOMPARE(selection(), (Selection{6, 0}));

    m_edit->Undo();
    QCOMPARE(text(), QStringLiteral("red green red blue red"));
    QVERIFY(!m_edit->CanUndo());
    QVERIFY(!m_edit->Modified());
}

void TestFindReplace::replaceAllWithoutMatchesLeavesTheDocumentUnmodified()
{
    setText(QStringLiteral("nothing here"));
    TReplaceDialog *replace = openReplace();
    typeInto(replace, "FindEdit", QStringLiteral("absent"));
    typeInto(replace, "ReplaceEdit", QStringLiteral("x"));
    m_dialogs->queueMessage(MessageResult::OK);
    press(replace, "ReplaceAllButton");
    QCOMPARE(messagesShown(), 1);
    QVERIFY(!m_edit->Modified());
    QVERIFY(!m_edit->CanUndo());
    QCOMPARE(m_edit->beforeModifyCalls, 0);
}

void TestFindReplace::replaceOnANonMatchOnlySelectsTheNextMatch()
{
    setText(QStringLiteral("one two one"));
    select(4, 3);
    TReplaceDialog *replace = openReplace();
    typeInto(replace, "FindEdit", QStringLiteral("one"));
    typeInto(replace, "ReplaceEdit", QStringLiteral("1"));
    press(replace, "ReplaceButton");
    QCOMPARE(text(), QStringLiteral("one two one"));
    QCOMPARE(selection(), (Selection{8, 3}));
    QVERIFY(!m_edit->Modified());

    press(replace, "ReplaceButton");  // replaces it, then wraps to the first
    QCOMPARE(text(), QStringLiteral("one two 1"));
    QCOMPARE(selection(), (Selection{0, 3}));
    m_dialogs->queueMessage(MessageResult::OK);
    press(replace, "ReplaceButton");
    QCOMPARE(text(), QStringLiteral("1 two 1"));
    QCOMPARE(messagesShown(), 1);
}

void TestFindReplace::replaceIsOneUndoStepPerReplacement()
{
    setText(QStringLiteral("ab ab ab"));
    select(0, 2);
    TReplaceDialog *replace = openReplace();
    typeInto(replace, "ReplaceEdit", QStringLiteral("xyz"));
    press(replace, "ReplaceButton");
    press(replace, "ReplaceButton");
    QCOMPARE(text(), QStringLiteral("xyz xyz ab"));
    m_edit->Undo();
    QCOMPARE(text(), QStringLiteral("xyz ab ab"));
    m_edit->Undo();
    QCOMPARE(text(), QStringLiteral("ab ab ab"));
    QVERIFY(!m_edit->CanUndo());
}

void TestFindReplace::replaceKeepsTheFormatOfTheMatch()
{
    setText(QStringLiteral("plain bold plain"));
    select(6, 4);
    m_edit->SelectionAttributes().SetStyle(fsBold);
    TReplaceDialog *replace = openReplace();
    typeInto(replace, "ReplaceEdit", QStringLiteral("strong"));
    m_dialogs->queueMessage(MessageResult::OK);
    press(replace, "ReplaceButton");
    QCOMPARE(text(), QStringLiteral("plain strong plain"));
    select(6, 6);
    QCOMPARE(m_edit->SelectionAttributes().Style(), TFontStyles(fsBold));
}

// ---- Options ----

void TestFindReplace::findNextInTheReplaceDialogFindsOneMatchWithItsOwnOptions()
{
    setText(QStringLiteral("Word word WORD word"));
    TReplaceDialog *replace = openReplace();  // the find dialog was never used
    typeInto(replace, "FindEdit", QStringLiteral("word"));
    check(replace, "MatchCaseCheck", true);
    press(replace, "FindNextButton");
    QCOMPARE(selection(), (Selection{5, 4}));
    QCOMPARE(messagesShown(), 0);
    press(replace, "FindNextButton");
    QCOMPARE(selection(), (Selection{15, 4}));
    QCOMPARE(text(), QStringLiteral("Word word WORD word"));
    // The find dialog shows what was searched.
    QCOMPARE(m_edit->FindDialog()->FindText(), QStringLiteral("word"));
}

void TestFindReplace::findNextRepeatsWithTheOptionsOfTheLastDialog()
{
    setText(QStringLiteral("cat Cat concat cat"));
    TReplaceDialog *replace = openReplace();
    typeInto(replace, "FindEdit", QStringLiteral("cat"));
    check(replace, "WholeWordCheck", true);
    check(replace, "MatchCaseCheck", true);
    press(replace, "FindNextButton");
    QCOMPARE(selection(), (Selection{15, 3}));
    replace->CloseDialog();

    m_edit->FindNext();  // as F3 does
    QCOMPARE(selection(), (Selection{0, 3}));
    QCOMPARE(text(), QStringLiteral("cat Cat concat cat"));

    // A search in the find dialog makes its options the ones repeated.
    TFindDialog *find = openFind();
    QCOMPARE(find->FindText(), QStringLiteral("cat"));
    press(find, "FindNextButton");
    QCOMPARE(selection(), (Selection{4, 3}));
    find->CloseDialog();
    m_edit->FindNext();
    QCOMPARE(selection(), (Selection{11, 3}));
}

void TestFindReplace::optionsAreReplacedByEachAction()
{
    setText(QStringLiteral("text text"));
    TFindDialog *find = openFind();
    typeInto(find, "FindEdit", QStringLiteral("text"));
    check(find, "MatchCaseCheck", true);
    press(find, "FindNextButton");
    QCOMPARE(find->Options(), TFindOptions(frHideUpDown | frFindNext | frMatchCase));

    TReplaceDialog *replace = openReplace();
    check(replace, "WholeWordCheck", true);
    press(replace, "ReplaceButton");
    QCOMPARE(replace->Options(), TFindOptions(frDown | frReplace | frWholeWord));
    m_dialogs->queueMessage(MessageResult::OK);
    press(replace, "ReplaceAllButton");
    QCOMPARE(replace->Options(), TFindOptions(frDown | frReplaceAll | frWholeWord));
    replace->CloseDialog();
    QCOMPARE(replace->Options(), TFindOptions(frDown | frWholeWord));
}

void TestFindReplace::readOnlyEditorIsSearchedButNotChanged()
{
    setText(QStringLiteral("a a"));
    m_edit->SetReadOnly(true);
    select(0, 1);
    TReplaceDialog *replace = openReplace();
    typeInto(replace, "ReplaceEdit", QStringLiteral("b"));
    press(replace, "ReplaceButton");
    QCOMPARE(selection(), (Selection{2, 1}));
    m_dialogs->queueMessage(MessageResult::OK);
    press(replace, "ReplaceAllButton");
    QCOMPARE(messagesShown(), 1);
    QCOMPARE(text(), QStringLiteral("a a"));
    QVERIFY(!m_edit->Modified());
}

// ---- Keys and windows ----

void TestFindReplace::enterPressesFindNextAndEscapeCloses()
{
    setText(QStringLiteral("find me, find me"));
    TFindDialog *find = openFind();
    auto *field = find->findChild<QLineEdit *>("FindEdit");
    QTest::keyClicks(field, QStringLiteral("me"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(selection(), (Selection{5, 2}));
    QTest::keyClick(field, Qt::Key_Enter);
    QCOMPARE(selection(), (Selection{14, 2}));

    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!find->isVisible());
}

void TestFindReplace::selectionShownWhileADialogIsOpen()
{
    QVERIFY(m_edit->HideSelection());
    openFind();
    QVERIFY(!m_edit->HideSelection());
    openReplace();
    openFind();  // opening one again keeps the value from before the first
    m_edit->FindDialog()->CloseDialog();
    QVERIFY(!m_edit->HideSelection());  // the replace dialog is still open
    m_edit->ReplaceDialog()->CloseDialog();
    QVERIFY(m_edit->HideSelection());

    m_edit->SetHideSelection(false);
    openFind();
    m_edit->FindDialog()->CloseDialog();
    QVERIFY(!m_edit->HideSelection());
}

void TestFindReplace::dialogRemembersItsPlaceAndComesToTheTop()
{
    TFindDialog *find = openFind();
    QVERIFY(QTest::qWaitForWindowExposed(find));
    find->move(find->pos() + QPoint(37, 23));
    const QPoint placed = find->pos();
    QTest::keyClick(find, Qt::Key_Escape);
    QVERIFY(!find->isVisible());
    QCOMPARE(openFind(), find);
    QCOMPARE(find->pos(), placed);

    // Opening it while it is open brings it to the top without a second window.
    m_form->activateWindow();
    openFind();
    QVERIFY(find->isVisible());
    QCOMPARE(m_edit->findChildren<TFindDialog *>().size(), 2);  // find and replace, made once
}

QTEST_MAIN(TestFindReplace)
#include "tst_findreplace.moc"
