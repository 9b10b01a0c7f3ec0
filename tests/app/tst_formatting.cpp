#include "tests/support/testsupport.h"
#include "app/WPForm.h"
#include "components/RXCombos.h"
#include "components/Wwdbcomb.h"
#include "components/Wwdbcomb_popup.h"
#include "platform/application.h"
#include "tests/support/scripteddialogs.h"
#include "platform/lockkeys.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QFontDatabase>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

#include <memory>

using platform::MessageResult;
using platform::ScriptedDialogs;

namespace {

// Records the key presses other than modifier keys that reach a widget.
class KeySpy : public QObject {
public:
    QList<QKeyCombination> seen;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() != Qt::Key_Control && key->key() != Qt::Key_Shift)
                seen << key->keyCombination();
        }
        return false;
    }
};

// True when the RTF holds the control word (with its number, if given) as a whole word:
// "\b" matches "\b " and "\b\i" but not "\b0" or "\bullet".
bool hasControlWord(const QByteArray &rtf, const QString &word)
{
    const QRegularExpression pattern(QRegularExpression::escape(word) + QStringLiteral("(?![a-zA-Z0-9])"));
    return pattern.match(QString::fromLatin1(rtf)).hasMatch();
}

}  // namespace

class TestFormatting : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fontListFilledOnceAtShow();
    void firstShowBlackMakesNoUndoStepAndNoModified();
    void boldButtonOnPlainSelectionAndAgain();
    void italicAndUnderlineButtons();
    void ctrlLettersToggleAndNeverReachTheText();
    void alignmentButtonsFollowTheCaret();
    void bulletsFromButtonAndMenu();
    void numberedParagraphShowsNoBulletAndTheButtonMakesItBulleted();
    void sizeBoxAppliesAndKeepsTextForSizesNotListed();
    void sizeConversionErrorChangesNothing();
    void fontNameAppliedOnlyWhenItDiffers();
    void colourBoxAppliesColour();
    void colourShownInTheBoxAppliesWhenChosenAgain();
    void ctrlZUndoesOneStepPerRelease();
    void undoAndRedoButtons();
    void escapeWithListOpenClosesTheListOnly();
    void escapeUndoesWithoutCloseOnEscape();
    void escapeClosesTheWindow();
    void lockPanelsShowTheLockKeys();
    void editingKeysBelongToTheFocusedTextField();
    void mixedSelectionPutsBoldUp();
    void styleButtonLeavesTheOtherStylesOfAMixedSelection();
    void ctrlZUndoesWhenCtrlComesUpBeforeZ();
    void fontListNamesEachFamilyOnceWithoutItsFoundry();
    void heldCtrlZUndoesOncePerRepeat_data();
    void heldCtrlZUndoesOncePerRepeat();
    void ctrlShiftZRedoes();
    void alignmentKeys_data();
    void alignmentKeys();
    void f10OpensTheFileMenu();
    void fontBoxShowsTheFaceAtTheCaret();
    void enterInTheSizeBoxAppliesTheTypedSize();
    void sizeOutsideTheRangeIsRefused_data();
    void sizeOutsideTheRangeIsRefused();
    void enterOrTabInTheFontBoxAppliesTheTypedFace();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return testsupport::child<T>(window.get(), name);
    }
    QAction *action(const char *name) const { return child<QAction>(name); }
    QToolButton *button(const char *name) const { return child<QToolButton>(name); }
    TwwDBComboBox *combo(const char *name) const { return child<TwwDBComboBox>(name); }
    void type(const QString &text) { QTest::keyClicks(editor, text); }
    void select(int start, int length) { editor->setSelectionRange({start, start + length}); }
    TFontStyles style() const { return editor->SelectionAttributes().Style(); }
    // Steps the user can undo, one per command (an edit block counts once).
    int undoSteps() const { return undoStepsAdded; }
    QByteArray savedRtf() const;
    void chooseInBox(TwwDBComboBox *box, const QString &text);
    void pressCtrlZ();
    QStringList downAlignmentButtons() const;

    QTemporaryDir settingsDir;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TfmPellWP> window;
    TwwDBRichEdit *editor = nullptr;
    int undoStepsAdded = 0;
};

void TestFormatting::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
}

void TestFormatting::init()
{
    QGuiApplication::clipboard()->clear();
    platform::setLockKeyReader([] { return platform::LockKeyState{}; });
    dialogs = std::make_unique<ScriptedDialogs>();
    window = std::make_unique<TfmPellWP>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    editor = window->Editor();
    undoStepsAdded = 0;
    connect(editor->document(), &QTextDocument::undoCommandAdded, this, [this] { ++undoStepsAdded; });
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
}

void TestFormatting::cleanup()
{
    window.reset();
    platform::setLockKeyReader({});
    QVERIFY2(dialogs->problems().isEmpty(), qPrintable(dialogs->problems().join(QLatin1Char('\n'))));
    dialogs.reset();
}

QByteArray TestFormatting::savedRtf() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    editor->Lines()->SaveToStream(buffer);
    return buffer.data();
}

// Types the text into the box and accepts it from the open list, as a user picking or
// typing a value does.
void TestFormatting::chooseInBox(TwwDBComboBox *box, const QString &text)
{
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    box->selectAll();
    QTest::keyClicks(box, text);
    box->DropDown();
    QVERIFY(box->Dropped());
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(!box->Dropped());
}

void TestFormatting::pressCtrlZ()
{
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
}

QStringList TestFormatting::downAlignmentButtons() const
{
    QStringList down;
    for (const char *name : {"LeftButton", "CenterButton", "RightButton"})
        if (button(name)->isChecked())
            down << QLatin1String(name);
    return down;
}

// ---- Start-up ----

void TestFormatting::fontListFilledOnceAtShow()
{
    TwwDBComboBox *names = combo("FontNameCombo");
    QCOMPARE(names->geometry().x(), 7);
    QCOMPARE(names->width(), 198);
    QCOMPARE(names->DropDownCount(), 20);
    QCOMPARE(combo("FontSizeCombo")->geometry().x(), 216);
    QCOMPARE(combo("FontSizeCombo")->Items().mid(4, 3), QStringList({"12", "14", "16"}));
    QCOMPARE(child<TColorComboBox>("ColorComboBox1")->geometry(), QRect(372, 1, 120, 23));

    // Every screen font, in the box's sorted order; showing the window again does not
    // list a font twice.
    QStringList families;
    for (const QString &family : QFontDatabase::families())
        families << family.section(QStringLiteral(" ["), 0, 0);
    families.removeDuplicates();
    QStringList listed = names->Items();
    QCOMPARE(listed.size(), families.size());
    families.sort(Qt::CaseInsensitive);
    QStringList listedSorted = listed;
    listedSorted.sort(Qt::CaseInsensitive);
    QCOMPARE(listedSorted, families);
    for (qsizetype i = 1; i < listed.size(); ++i)
        QVERIFY2(listed.at(i - 1).compare(listed.at(i), Qt::CaseInsensitive) <= 0, qPrintable(listed.at(i)));
    window->hide();
    window->show();
    QCOMPARE(names->Items().size(), families.size());
}

void TestFormatting::firstShowBlackMakesNoUndoStepAndNoModified()
{
    // The colour box chose black when it was first shown: the typing format took it ...
    QCOMPARE(child<TColorComboBox>("ColorComboBox1")->ColorValue(), quint32(clBlack));
    QCOMPARE(editor->SelectionAttributes().Color(), TColor(clBlack));
    // ... and the document did not change.
    QVERIFY(!editor->CanUndo());
    QVERIFY(!editor->Modified());
    QCOMPARE(window->StatusPanelText(1), QString());
    QVERIFY(!action("mmiUndo")->isEnabled());
}

// ---- Style toggles ----

void TestFormatting::boldButtonOnPlainSelectionAndAgain()
{
    type(QStringLiteral("hello world"));
    select(0, 5);
    QVERIFY(!button("BoldButton")->isChecked());
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QVERIFY(style().testFlag(fsBold));
    QVERIFY(button("BoldButton")->isChecked());
    QVERIFY(hasControlWord(savedRtf(), QStringLiteral("\\b")));
    QVERIFY(action("mmiUndo")->isEnabled());
    // The text after the selection stayed plain.
    select(6, 5);
    QVERIFY(!style().testFlag(fsBold));
    QVERIFY(!button("BoldButton")->isChecked());

    select(0, 5);
    QVERIFY(button("BoldButton")->isChecked());
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QVERIFY(!style().testFlag(fsBold));
    QVERIFY(!button("BoldButton")->isChecked());
    QVERIFY(!hasControlWord(savedRtf(), QStringLiteral("\\b")));
}

void TestFormatting::italicAndUnderlineButtons()
{
    type(QStringLiteral("slanted and lined"));
    select(0, 7);
    QTest::mouseClick(button("ItalicButton"), Qt::LeftButton);
    select(12, 5);
    QTest::mouseClick(button("UnderlineButton"), Qt::LeftButton);
    QVERIFY(button("UnderlineButton")->isChecked());
    QVERIFY(!button("ItalicButton")->isChecked());
    select(0, 7);
    QCOMPARE(style(), TFontStyles(fsItalic));
    QVERIFY(button("ItalicButton")->isChecked());
    QVERIFY(!button("UnderlineButton")->isChecked());
    const QByteArray rtf = savedRtf();
    QVERIFY(hasControlWord(rtf, QStringLiteral("\\i")));
    QVERIFY(hasControlWord(rtf, QStringLiteral("\\ul")));
}

void TestFormatting::ctrlLettersToggleAndNeverReachTheText()
{
    type(QStringLiteral("strong words"));
    select(0, 6);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QVERIFY(style().testFlag(fsBold));

    KeySpy spy;
    editor->installEventFilter(&spy);
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(!style().testFlag(fsBold));
    QVERIFY(!button("BoldButton")->isChecked());
    QTest::keyClick(editor, Qt::Key_I, Qt::ControlModifier);  // Ctrl+I is also the Tab character
    QTest::keyClick(editor, Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(style(), TFontStyles(fsItalic | fsUnderline));
    QVERIFY(button("ItalicButton")->isChecked());
    QVERIFY(button("UnderlineButton")->isChecked());
    editor->removeEventFilter(&spy);
    QVERIFY(spy.seen.isEmpty());
    QCOMPARE(editor->toPlainText(), QStringLiteral("strong words"));
    const QByteArray rtf = savedRtf();
    QVERIFY(!hasControlWord(rtf, QStringLiteral("\\b")));
    QVERIFY(hasControlWord(rtf, QStringLiteral("\\i")));

    // A read-only editor lets the characters pass: nothing toggles.
    editor->SetReadOnly(true);
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(!style().testFlag(fsBold));
}

void TestFormatting::mixedSelectionPutsBoldUp()
{
    type(QStringLiteral("ab"));
    select(0, 1);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QVERIFY(button("BoldButton")->isChecked());
    select(0, 2);
    QVERIFY(!button("BoldButton")->isChecked());
    // Bold on a mixed selection makes all of it bold.
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QVERIFY(style().testFlag(fsBold));
    select(1, 1);
    QVERIFY(style().testFlag(fsBold));
    QVERIFY(button("BoldButton")->isChecked());
}

void TestFormatting::styleButtonLeavesTheOtherStylesOfAMixedSelection()
{
    type(QStringLiteral("ab"));
    select(0, 1);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    select(0, 2);
    QTest::mouseClick(button("UnderlineButton"), Qt::LeftButton);
    QVERIFY(button("UnderlineButton")->isChecked());
    select(0, 1);
    QCOMPARE(style(), TFontStyles(fsBold | fsUnderline));
    select(1, 1);
    QCOMPARE(style(), TFontStyles(fsUnderline));
    // Ctrl+I and switching off work on that one style as well.
    select(0, 2);
    QTest::keyClick(editor, Qt::Key_I, Qt::ControlModifier);
    QTest::mouseClick(button("UnderlineButton"), Qt::LeftButton);
    select(0, 1);
    QCOMPARE(style(), TFontStyles(fsBold | fsItalic));
    select(1, 1);
    QCOMPARE(style(), TFontStyles(fsItalic));
}

void TestFormatting::ctrlZUndoesWhenCtrlComesUpBeforeZ()
{
    type(QStringLiteral("one"));
    select(0, 3);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QTest::mouseClick(button("ItalicButton"), Qt::LeftButton);

    QTest::keyPress(editor, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyRelease(editor, Qt::Key_Control, Qt::ControlModifier);
    QTest::keyRelease(editor, Qt::Key_Z);
    select(0, 3);
    QCOMPARE(style(), TFontStyles(fsBold));  // one step, not more
    // A Z typed on its own afterwards is text, not another undo, also when the release
    // of an earlier Ctrl+Z never reached the window.
    QTest::keyPress(editor, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Z);
    QCOMPARE(editor->toPlainText(), QStringLiteral("onez"));
    select(0, 3);
    QCOMPARE(style(), TFontStyles(fsBold));
}

void TestFormatting::fontListNamesEachFamilyOnceWithoutItsFoundry()
{
    const QStringList listed = combo("FontNameCombo")->Items();
    QCOMPARE(QSet<QString>(listed.begin(), listed.end()).size(), listed.size());
    for (const QString &name : listed)
        QVERIFY2(!name.endsWith(QLatin1Char(']')), qPrintable(name));
    // Every family is there by its plain name, also one that several foundries make.
    for (const QString &family : QFontDatabase::families()) {
        const QString plain = family.section(QStringLiteral(" ["), 0, 0);
        QVERIFY2(listed.contains(plain), qPrintable(family));
    }
}

// ---- Paragraphs ----

void TestFormatting::alignmentButtonsFollowTheCaret()
{
    type(QStringLiteral("first"));
    QTest::keyClick(editor, Qt::Key_Return);
    type(QStringLiteral("second"));
    QTest::mouseClick(button("CenterButton"), Qt::LeftButton);
    QCOMPARE(downAlignmentButtons(), QStringList({"CenterButton"}));
    QVERIFY(hasControlWord(savedRtf(), QStringLiteral("\\qc")));
    QCOMPARE(editor->ParagraphAttributes().Alignment(), taCenter);

    editor->SetSelStart(2);
    QCOMPARE(downAlignmentButtons(), QStringList({"LeftButton"}));
    editor->SetSelStart(9);
    QCOMPARE(downAlignmentButtons(), QStringList({"CenterButton"}));

    // A justified paragraph has no button: the buttons stay as they were.
    editor->SetSelStart(2);
    engine::ParaFormat justify;
    justify.mask = engine::PFM_ALIGNMENT;
    justify.alignment = engine::PFA_JUSTIFY;
    editor->setParaFormat(justify);
    editor->SetSelStart(9);
    QCOMPARE(downAlignmentButtons(), QStringList({"CenterButton"}));
    editor->SetSelStart(1);
    QCOMPARE(downAlignmentButtons(), QStringList({"CenterButton"}));

    // The same holds for a selection over differing alignments.
    editor->SetSelStart(9);
    QTest::mouseClick(button("RightButton"), Qt::LeftButton);
    QCOMPARE(downAlignmentButtons(), QStringList({"RightButton"}));
    QVERIFY(hasControlWord(savedRtf(), QStringLiteral("\\qr")));
    select(0, 9);
    QCOMPARE(downAlignmentButtons(), QStringList({"RightButton"}));
    QTest::mouseClick(button("LeftButton"), Qt::LeftButton);
    QCOMPARE(downAlignmentButtons(), QStringList({"LeftButton"}));
    QVERIFY(!hasControlWord(savedRtf(), QStringLiteral("\\qr")));
}

void TestFormatting::bulletsFromButtonAndMenu()
{
    type(QStringLiteral("item"));
    QVERIFY(action("BulletStyle1")->isEnabled());
    QTest::mouseClick(button("BulletButton"), Qt::LeftButton);
    QCOMPARE(editor->ParagraphAttributes().Numbering(), nsBullet);
    QVERIFY(button("BulletButton")->isChecked());
    QVERIFY(action("BulletStyle1")->isChecked());
    const QByteArray rtf = savedRtf();
    QVERIFY2(rtf.contains("\\pn") || rtf.contains("\\ls"), rtf.constData());

    // The menu item reads the paragraph, not the button: it switches bullets off.
    action("BulletStyle1")->trigger();
    QCOMPARE(editor->ParagraphAttributes().Numbering(), nsNone);
    QVERIFY(!button("BulletButton")->isChecked());
    QVERIFY(!action("BulletStyle1")->isChecked());
    action("BulletStyle1")->trigger();
    QCOMPARE(editor->ParagraphAttributes().Numbering(), nsBullet);
}

void TestFormatting::numberedParagraphShowsNoBulletAndTheButtonMakesItBulleted()
{
    QBuffer numbered;
    numbered.setData("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
                     "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
                     "\\pard\\ls1\\fi-360\\li720 one\\par\\pard\\ls1\\fi-360\\li720 two\\par}");
    numbered.open(QIODevice::ReadOnly);
    editor->Lines()->LoadFromStream(numbered);
    editor->SetSelStart(0);
    QCOMPARE(editor->ParagraphAttributes().Numbering(), nsNone);
    QVERIFY(!button("BulletButton")->isChecked());
    QTest::mouseClick(button("BulletButton"), Qt::LeftButton);
    QCOMPARE(editor->ParagraphAttributes().Numbering(), nsBullet);
    QVERIFY(button("BulletButton")->isChecked());
    // The other item stays numbered.
    editor->SetSelStart(5);
    QCOMPARE(editor->ParagraphAttributes().Numbering(), nsNone);
}

// ---- Size, name and colour boxes ----

void TestFormatting::sizeBoxAppliesAndKeepsTextForSizesNotListed()
{
    type(QStringLiteral("big small"));
    select(0, 3);
    TwwDBComboBox *sizes = combo("FontSizeCombo");
    QCOMPARE(sizes->text(), QStringLiteral("8"));
    chooseInBox(sizes, QStringLiteral("14"));
    QCOMPARE(editor->SelectionAttributes().Size(), 14);
    QVERIFY(hasControlWord(savedRtf(), QStringLiteral("\\fs28")));
    QVERIFY(editor->hasFocus());
    QCOMPARE(sizes->text(), QStringLiteral("14"));

    // 13 points is not in the list: the box keeps showing what it showed.
    select(4, 5);
    editor->SelectionAttributes().SetSize(13);
    select(0, 3);
    select(4, 5);
    QCOMPARE(sizes->text(), QStringLiteral("14"));
    // A listed size shows again; so does a mixed selection leave the text alone.
    editor->SetSelStart(5);
    QCOMPARE(sizes->text(), QStringLiteral("14"));
    select(0, 9);
    QCOMPARE(editor->SelectionAttributes().Size(), 0);
    QCOMPARE(sizes->text(), QStringLiteral("14"));

    // Closing the list without a choice changes nothing.
    select(0, 3);
    sizes->setFocus();
    sizes->setText(QStringLiteral("20"));
    sizes->DropDown();
    QTest::keyClick(sizes, Qt::Key_Escape);
    QVERIFY(window->isVisible());
    QCOMPARE(editor->SelectionAttributes().Size(), 14);
}

void TestFormatting::sizeConversionErrorChangesNothing()
{
    type(QStringLiteral("text"));
    select(0, 4);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    const int stepsBefore = undoSteps();
    TwwDBComboBox *sizes = combo("FontSizeCombo");
    dialogs->queueMessage(MessageResult::OK);
    chooseInBox(sizes, QStringLiteral("1x"));
    QCOMPARE(dialogs->count(ScriptedDialogs::Kind::Message), 1);
    QCOMPARE(dialogs->lastRequest().text, QStringLiteral("Please enter a font size from 1 to 1638."));
    QCOMPARE(dialogs->lastRequest().caption, QStringLiteral("Vantor Crestel Word Processor"));
    QCOMPARE(editor->SelectionAttributes().Size(), 8);
    QCOMPARE(undoSteps(), stepsBefore);
    QVERIFY(sizes->hasFocus());
    QCOMPARE(sizes->text(), QStringLiteral("1x"));
    QVERIFY(button("BoldButton")->isChecked());

    // An empty text is no choice at all.
    sizes->clear();
    sizes->DropDown();
    QTest::keyClick(sizes, Qt::Key_Return);
    QCOMPARE(dialogs->count(ScriptedDialogs::Kind::Message), 1);
    QCOMPARE(editor->SelectionAttributes().Size(), 8);
}

void TestFormatting::fontNameAppliedOnlyWhenItDiffers()
{
    TwwDBComboBox *names = combo("FontNameCombo");
    names->setItems({QStringLiteral("Alpha Sans"), QStringLiteral("Beta Serif")});
    type(QStringLiteral("face"));
    select(0, 4);
    const int stepsBefore = undoSteps();
    chooseInBox(names, QStringLiteral("Beta Serif"));
    QCOMPARE(editor->SelectionAttributes().Name(), QStringLiteral("Beta Serif"));
    QVERIFY(savedRtf().contains("Beta Serif;"));
    QVERIFY(editor->hasFocus());
    QCOMPARE(undoSteps(), stepsBefore + 1);

    // The font already in effect: nothing is sent, so no undo step appears.
    editor->SetModified(false);
    chooseInBox(names, QStringLiteral("Beta Serif"));
    QCOMPARE(undoSteps(), stepsBefore + 1);
    QVERIFY(!editor->Modified());

    // The box finds the selection's face whatever its case, and keeps its text for a
    // face it does not list.
    names->setText(QString());
    select(0, 4);
    select(0, 2);
    QCOMPARE(names->text(), QStringLiteral("Beta Serif"));
    editor->SelectionAttributes().SetName(QStringLiteral("alpha sans"));
    select(0, 1);
    QCOMPARE(names->text(), QStringLiteral("Alpha Sans"));
    editor->SelectionAttributes().SetName(QStringLiteral("Gamma Mono"));
    select(0, 0);
    select(0, 1);
    QCOMPARE(names->text(), QStringLiteral("Gamma Mono"));

    // Dropping the list down paints its text black again.
    names->setFontColor(Qt::red);
    names->DropDown();
    QCOMPARE(names->FontColor(), QColor(Qt::black));
    names->CloseUp(false);
}

void TestFormatting::colourBoxAppliesColour()
{
    type(QStringLiteral("red word"));
    select(0, 3);
    auto *colours = child<TColorComboBox>("ColorComboBox1");
    int red = -1;
    for (int i = 0; i < colours->count(); ++i)
        if (colours->itemColor(i) == 0x0000FFu)
            red = i;
    QVERIFY(red > 0);
    colours->setCurrentIndex(red - 1);
    colours->setFocus();
    QTest::keyClick(colours, Qt::Key_Down);
    QCOMPARE(colours->ColorValue(), quint32(0x0000FF));
    QCOMPARE(editor->SelectionAttributes().Color(), TColor(0x0000FF));
    const QByteArray rtf = savedRtf();
    QVERIFY(rtf.contains("\\red255\\green0\\blue0"));
    QVERIFY(QRegularExpression(QStringLiteral("\\\\cf[1-9]")).match(QString::fromLatin1(rtf)).hasMatch());
    QVERIFY(colours->hasFocus());  // the colour change leaves the focus where it was
    select(4, 4);
    QCOMPARE(editor->SelectionAttributes().Color(), TColor(clBlack));
}

void TestFormatting::colourShownInTheBoxAppliesWhenChosenAgain()
{
    type(QStringLiteral("one two"));
    auto *colours = child<TColorComboBox>("ColorComboBox1");
    const auto chooseShownColour = [&] {
        colours->showPopup();
        QTRY_VERIFY(colours->view()->isVisible());
        QTest::keyClick(colours->view(), Qt::Key_Return);
        QTRY_VERIFY(!colours->view()->isVisible());
    };
    colours->setFocus();
    QTRY_VERIFY(colours->hasFocus());
    select(0, 3);
    QTest::keyClick(colours, Qt::Key_Down);  // Black to Maroon
    QCOMPARE(editor->SelectionAttributes().Color(), TColor(0x000080));
    QCOMPARE(undoSteps(), 2);  // the typing and the colour: a change applies once

    select(4, 3);
    chooseShownColour();
    QCOMPARE(editor->SelectionAttributes().Color(), TColor(0x000080));
    QCOMPARE(undoSteps(), 3);
    // Choosing it once more for text that has it already adds nothing.
    chooseShownColour();
    QCOMPARE(undoSteps(), 3);
}

// ---- Undo and redo ----

void TestFormatting::ctrlZUndoesOneStepPerRelease()
{
    type(QStringLiteral("one"));
    select(0, 3);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QTest::mouseClick(button("ItalicButton"), Qt::LeftButton);
    QCOMPARE(style(), TFontStyles(fsBold | fsItalic));

    // The press only refreshes (the Edit menu title has Ctrl+Z); the release undoes.
    KeySpy spy;
    editor->installEventFilter(&spy);
    QTest::keyPress(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(style(), TFontStyles(fsBold | fsItalic));
    QVERIFY(spy.seen.isEmpty());
    QTest::keyRelease(editor, Qt::Key_Z, Qt::ControlModifier);
    select(0, 3);  // an undo puts the caret where it changed the text
    QCOMPARE(style(), TFontStyles(fsBold));
    QVERIFY(!button("ItalicButton")->isChecked());
    editor->removeEventFilter(&spy);

    // Holding Ctrl and pressing Z again undoes the next step, and only that one.
    pressCtrlZ();
    select(0, 3);
    QCOMPARE(style(), TFontStyles());
    QVERIFY(!button("BoldButton")->isChecked());
    QCOMPARE(editor->toPlainText(), QStringLiteral("one"));
    QVERIFY(action("Redo1")->isEnabled());
}

void TestFormatting::undoAndRedoButtons()
{
    type(QStringLiteral("abc"));
    select(0, 3);
    QTest::mouseClick(button("UnderlineButton"), Qt::LeftButton);
    QVERIFY(button("UndoButton")->isEnabled());
    QVERIFY(!button("RedoButton")->isEnabled());
    QTest::mouseClick(button("UndoButton"), Qt::LeftButton);
    QVERIFY(!style().testFlag(fsUnderline));
    QVERIFY(!button("UnderlineButton")->isChecked());
    QVERIFY(button("RedoButton")->isEnabled());
    QTest::mouseClick(button("RedoButton"), Qt::LeftButton);
    QVERIFY(style().testFlag(fsUnderline));
    QVERIFY(button("UnderlineButton")->isChecked());
    QVERIFY(!button("RedoButton")->isEnabled());
    action("mmiUndo")->trigger();
    QVERIFY(!style().testFlag(fsUnderline));
    action("Redo1")->trigger();
    QVERIFY(style().testFlag(fsUnderline));
}

// ---- Esc ----

void TestFormatting::escapeWithListOpenClosesTheListOnly()
{
    TwwDBComboBox *names = combo("FontNameCombo");
    names->setItems({QStringLiteral("Alpha Sans")});
    names->setFocus();
    QTRY_VERIFY(names->hasFocus());
    QTest::mouseClick(names->findChild<QToolButton *>(), Qt::LeftButton);
    QVERIFY(names->Dropped());
    QTest::keyClick(names, Qt::Key_Escape);
    QVERIFY(!names->Dropped());
    QVERIFY(window->isVisible());
    // With the list closed, Esc is the window's again.
    QTest::keyClick(names, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

void TestFormatting::escapeUndoesWithoutCloseOnEscape()
{
    editor->SetEditorOptions(editor->EditorOptions() & ~TwwRichEditOptions(reoCloseOnEscape));
    type(QStringLiteral("xy"));
    select(0, 2);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    QVERIFY(style().testFlag(fsBold));
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(window->isVisible());
    QVERIFY(!style().testFlag(fsBold));
    QVERIFY(!button("BoldButton")->isChecked());
    QCOMPARE(editor->toPlainText(), QStringLiteral("xy"));
}

void TestFormatting::escapeClosesTheWindow()
{
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

// ---- Status panels ----

void TestFormatting::lockPanelsShowTheLockKeys()
{
    QCOMPARE(window->StatusPanelText(2), QString());
    QCOMPARE(window->StatusPanelText(3), QString());
    platform::LockKeyState locks;
    platform::setLockKeyReader([&locks] { return locks; });

    // The panels follow the lock keys at the next key release, not before.
    locks.capsLock = true;
    QTest::keyPress(editor, Qt::Key_CapsLock);
    QCOMPARE(window->StatusPanelText(2), QString());
    QTest::keyRelease(editor, Qt::Key_CapsLock);
    QCOMPARE(window->StatusPanelText(2), QStringLiteral("CAP"));
    QCOMPARE(window->StatusPanelText(3), QString());

    locks = {false, true};
    type(QStringLiteral("a"));
    QCOMPARE(window->StatusPanelText(2), QString());
    QCOMPARE(window->StatusPanelText(3), QStringLiteral("NUM"));

    // The captions come from the text table.
    GlobalIntl->RichEdit.CAPLockCaption = QStringLiteral("MAJ");
    locks = {true, true};
    type(QStringLiteral("b"));
    GlobalIntl->RichEdit.CAPLockCaption = QStringLiteral("CAP");
    QCOMPARE(window->StatusPanelText(2), QStringLiteral("MAJ"));
    QCOMPARE(window->StatusPanelText(3), QStringLiteral("NUM"));
}

// ---- Keys in the other text fields ----

void TestFormatting::editingKeysBelongToTheFocusedTextField()
{
    type(QStringLiteral("document"));
    select(0, 3);
    const int steps = undoSteps();
    TwwDBComboBox *names = combo("FontNameCombo");
    names->setFocus();
    QTRY_VERIFY(names->hasFocus());
    names->clear();
    QTest::keyClicks(names, QStringLiteral("Sans"));

    QTest::keyClick(names, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(names->selectedText(), QStringLiteral("Sans"));
    QTest::keyClick(names, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Sans"));
    QTest::keyClick(names, Qt::Key_Delete);
    QCOMPARE(names->text(), QString());
    QTest::keyClick(names, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(names, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(names->text(), QStringLiteral("SansSans"));
    pressCtrlZ();
    QCOMPARE(names->text(), QStringLiteral("Sans"));
    QTest::keyClick(names, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(names, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(names->text(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Sans"));

    // The document saw none of it.
    QCOMPARE(editor->toPlainText(), QStringLiteral("document"));
    QCOMPARE(editor->SelText(), QStringLiteral("doc"));
    QCOMPARE(undoSteps(), steps);

    // Other menu shortcuts and the style keys still work from the field.
    QTest::keyClick(names, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(style().testFlag(fsBold));
    QCOMPARE(names->text(), QStringLiteral("MS Sans Serif"));  // the face at the selection
    // Back in the editor the same keys act on the document.
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    pressCtrlZ();
    QVERIFY(!style().testFlag(fsBold));
    select(0, 3);
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(editor->toPlainText(), QStringLiteral("ument"));
}

// ---- Keys the desktop's other programs use ----

void TestFormatting::heldCtrlZUndoesOncePerRepeat_data()
{
    QTest::addColumn<bool>("releasesRepeat");
    QTest::newRow("press and release repeat") << true;
    QTest::newRow("only the press repeats") << false;
}

void TestFormatting::heldCtrlZUndoesOncePerRepeat()
{
    QFETCH(bool, releasesRepeat);
    type(QStringLiteral("one"));
    select(0, 3);
    for (const char *name : {"BoldButton", "ItalicButton", "UnderlineButton"})
        QTest::mouseClick(button(name), Qt::LeftButton);
    const auto send = [this](QEvent::Type type, bool autoRepeat) {
        QKeyEvent key(type, Qt::Key_Z, Qt::ControlModifier, QStringLiteral("z"), autoRepeat);
        QApplication::sendEvent(editor, &key);
    };
    // Z held down: two repeats after the first press, then the release.
    send(QEvent::KeyPress, false);
    for (int repeat = 0; repeat < 2; ++repeat) {
        if (releasesRepeat)
            send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    send(QEvent::KeyRelease, false);
    select(0, 3);
    QCOMPARE(style(), TFontStyles());
    QCOMPARE(editor->toPlainText(), QStringLiteral("one"));
}

void TestFormatting::ctrlShiftZRedoes()
{
    type(QStringLiteral("abc"));
    select(0, 3);
    QTest::mouseClick(button("BoldButton"), Qt::LeftButton);
    pressCtrlZ();
    select(0, 3);
    QVERIFY(!style().testFlag(fsBold));
    QTest::keyPress(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyRelease(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    select(0, 3);
    QVERIFY(style().testFlag(fsBold));
    QVERIFY(button("BoldButton")->isChecked());
    QCOMPARE(editor->toPlainText(), QStringLiteral("abc"));
    // Ctrl+Y still redoes, and Ctrl+Z still undoes.
    pressCtrlZ();
    QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
    select(0, 3);
    QVERIFY(style().testFlag(fsBold));
}

void TestFormatting::alignmentKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QStringList>("downButtons");
    QTest::newRow("Ctrl+E centres") << int(Qt::Key_E) << int(taCenter) << QStringList({"CenterButton"});
    QTest::newRow("Ctrl+R right") << int(Qt::Key_R) << int(taRightJustify) << QStringList({"RightButton"});
    QTest::newRow("Ctrl+L left") << int(Qt::Key_L) << int(taLeftJustify) << QStringList({"LeftButton"});
    // Justified has no button: the one down stays down.
    QTest::newRow("Ctrl+J justifies") << int(Qt::Key_J) << int(taJustify) << QStringList({"CenterButton"});
}

void TestFormatting::alignmentKeys()
{
    QFETCH(int, key);
    type(QStringLiteral("first"));
    QTest::keyClick(editor, Qt::Key_Return);
    type(QStringLiteral("second"));
    select(2, 6);  // both paragraphs
    QTest::keyClick(editor, Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(editor->toPlainText(), QStringLiteral("first\nsecond"));
    for (int at : {0, 9}) {
        editor->SetSelStart(at);
        QTEST(int(editor->ParagraphAttributes().Alignment()), "alignment");
    }
    QTEST(downAlignmentButtons(), "downButtons");
}

void TestFormatting::f10OpensTheFileMenu()
{
    QMenu *file = window->findChild<QMenu *>(QStringLiteral("File1"));
    QVERIFY(file);
    QTest::keyClick(editor, Qt::Key_F10);
    QTRY_VERIFY(file->isVisible());
    file->hide();
}

void TestFormatting::fontBoxShowsTheFaceAtTheCaret()
{
    TwwDBComboBox *names = combo("FontNameCombo");
    const QString installed = names->Items().constFirst();
    // At the start: the editor's own face, which this machine lacks, in red.
    QCOMPARE(names->text(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(names->FontColor(), QColor(Qt::red));

    type(QStringLiteral("one two"));
    select(0, 3);
    editor->SelectionAttributes().SetName(installed);
    select(0, 0);
    select(1, 1);
    QCOMPARE(names->text(), installed);
    QVERIFY(names->FontColor() != QColor(Qt::red));
    select(5, 1);
    QCOMPARE(names->text(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(names->FontColor(), QColor(Qt::red));
    select(1, 5);  // mixed faces
    QCOMPARE(names->text(), QString());
}

void TestFormatting::enterInTheSizeBoxAppliesTheTypedSize()
{
    type(QStringLiteral("grow"));
    select(0, 4);
    TwwDBComboBox *sizes = combo("FontSizeCombo");
    sizes->setFocus();
    QTRY_VERIFY(sizes->hasFocus());
    sizes->selectAll();
    QTest::keyClicks(sizes, QStringLiteral("20"));
    QTest::keyClick(sizes, Qt::Key_Return);
    QCOMPARE(editor->SelectionAttributes().Size(), 20);
    QVERIFY(editor->hasFocus());
    QVERIFY(!sizes->Dropped());

    // Tab does the same, with a size not in the list.
    sizes->setFocus();
    sizes->selectAll();
    QTest::keyClicks(sizes, QStringLiteral("13"));
    QTest::keyClick(sizes, Qt::Key_Tab);
    QCOMPARE(editor->SelectionAttributes().Size(), 13);
    QVERIFY(editor->hasFocus());
    QCOMPARE(editor->toPlainText(), QStringLiteral("grow"));  // no tab reached the text
}

void TestFormatting::sizeOutsideTheRangeIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("zero") << QStringLiteral("0");
    QTest::newRow("negative") << QStringLiteral("-4");
    QTest::newRow("too large") << QStringLiteral("1639");
    QTest::newRow("fraction") << QStringLiteral("10.5");
}

void TestFormatting::sizeOutsideTheRangeIsRefused()
{
    QFETCH(QString, typed);
    type(QStringLiteral("text"));
    select(0, 4);
    TwwDBComboBox *sizes = combo("FontSizeCombo");
    sizes->setFocus();
    QTRY_VERIFY(sizes->hasFocus());
    sizes->selectAll();
    QTest::keyClicks(sizes, typed);
    dialogs->queueMessage(MessageResult::OK);
    QTest::keyClick(sizes, Qt::Key_Return);
    QCOMPARE(dialogs->lastRequest().text, QStringLiteral("Please enter a font size from 1 to 1638."));
    QCOMPARE(editor->SelectionAttributes().Size(), 8);
    QVERIFY(sizes->hasFocus());
    QCOMPARE(sizes->selectedText(), typed);

    // The correction is applied; 1638 is the largest size.
    QTest::keyClicks(sizes, QStringLiteral("1638"));
    QTest::keyClick(sizes, Qt::Key_Enter);
    QCOMPARE(editor->SelectionAttributes().Size(), 1638);
}

void TestFormatting::enterOrTabInTheFontBoxAppliesTheTypedFace()
{
    TwwDBComboBox *names = combo("FontNameCombo");
    names->setItems({QStringLiteral("Alpha Sans"), QStringLiteral("Beta Serif")});
    type(QStringLiteral("face"));
    select(0, 4);
    names->setFocus();
    QTRY_VERIFY(names->hasFocus());
    names->selectAll();
    QTest::keyClicks(names, QStringLiteral("Beta Serif"));
    QTest::keyClick(names, Qt::Key_Return);
    QCOMPARE(editor->SelectionAttributes().Name(), QStringLiteral("Beta Serif"));
    QVERIFY(editor->hasFocus());

    // A face the machine lacks is applied as typed, and shown in red.
    names->setFocus();
    names->selectAll();
    QTest::keyClicks(names, QStringLiteral("Gamma Mono"));
    QTest::keyClick(names, Qt::Key_Tab);
    QCOMPARE(editor->SelectionAttributes().Name(), QStringLiteral("Gamma Mono"));
    QCOMPARE(names->text(), QStringLiteral("Gamma Mono"));
    QCOMPARE(names->FontColor(), QColor(Qt::red));
    QVERIFY(editor->hasFocus());
    QCOMPARE(editor->toPlainText(), QStringLiteral("face"));
}

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    platform::Application app(argc, argv);
    platform::setApplicationTitle(QStringLiteral("Vantor Crestel Word Processor"));
    CreateGlobalIntl(app);
    TestFormatting test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_formatting.moc"
