#include "app/WPForm.h"

#include "components/Wwdbcomb.h"
#include "platform/application.h"
#include "platform/lockkeys.h"
#include "richedit/Wwintl.h"
#include "richedit/wwformatcommands.h"
#include "richedit/wwriched.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>

namespace {

constexpr char16_t kCtrlB = 2;
constexpr char16_t kCtrlE = 5;
constexpr char16_t kCtrlI = 9;
constexpr char16_t kCtrlJ = 10;
constexpr char16_t kCtrlL = 12;
constexpr char16_t kCtrlR = 18;
constexpr char16_t kCtrlU = 21;
constexpr char16_t kEscape = 27;

}  // namespace

// True while a text field other than the editor (the font name or size box) has the
// focus: its editing keys are then its own.
bool TfmPellWP::OtherTextFieldHasFocus() const
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus == RichEdit1)
        return false;
    return qobject_cast<QLineEdit *>(focus) || qobject_cast<QTextEdit *>(focus)
           || qobject_cast<QPlainTextEdit *>(focus);
}

// An open drop-down list keeps Esc, which closes the list and leaves the window open.
bool TfmPellWP::OpenListTakesKey(const QKeyEvent *event) const
{
    auto *combo = qobject_cast<TwwDBComboBox *>(QApplication::focusWidget());
    return combo && combo->Dropped() && event->key() == Qt::Key_Escape;
}

// Every key meant for this window passes here before the focused control sees it:
// first the menu shortcuts, then the window's own character handling (FormKeyPress);
// releases go to FormKeyUp and travel on. Returns true when the key is consumed.
bool TfmPellWP::PreviewKeyEvent(QEvent *event)
{
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    if (event->type() == QEvent::KeyRelease) {
        int key = keyEvent->key();
        platform::runGuarded([&] { FormKeyUp(key, keyEvent->modifiers(), keyEvent->isAutoRepeat()); });
        return false;
    }
    if (OpenListTakesKey(keyEvent) || (OtherTextFieldHasFocus() && isTextFieldEditingKey(keyEvent)))
        return false;
    if (event->type() == QEvent::ShortcutOverride)
        return FilterKeyEvent(event);
    if (keyEvent->key() == Qt::Key_Z)
        NoteUndoKeyPress(keyEvent);
    if (FilterKeyEvent(event))
        return true;
    if (OpensMenuBar(keyEvent) || FormatBoxTakesKey(keyEvent))
        return true;
    QChar character = typedCharacter(keyEvent);
    if (character.isNull())
        return false;
    platform::runGuarded([&] { FormKeyPress(character, keyEvent->modifiers()); });
    return character.isNull();
}

// The window's character handling; a character set to 0 is consumed.
void TfmPellWP::FormKeyPress(QChar &Key, Qt::KeyboardModifiers Shift)
{
    if (RichEdit1->ReadOnly()) {
        if (Key == QChar(kEscape))
            close();
        return;
    }
    if (Key == QChar(kEscape)) {
        if (RichEdit1->EditorOptions().testFlag(reoCloseOnEscape))
            close();
        else
            mmiUndoClick();
        return;
    }
    if (!(Shift & Qt::ControlModifier))
        return;
    if (Key == QChar(kCtrlB)) {
        FFormatCommands->ToggleStyleByKey(fsBold);
    } else if (Key == QChar(kCtrlU)) {
        FFormatCommands->ToggleStyleByKey(fsUnderline);
    } else if (Key == QChar(kCtrlI)) {
        FFormatCommands->ToggleStyleByKey(fsItalic);
    } else if (!ApplyAlignmentKey(Key)) {
        return;
    }
    Key = QChar();
}

// Ctrl+L, Ctrl+E, Ctrl+R and Ctrl+J align the selected paragraphs as the desktop's
// other editors do.
bool TfmPellWP::ApplyAlignmentKey(QChar Key)
{
    if (Key == QChar(kCtrlL))
        LeftButtonClick();
    else if (Key == QChar(kCtrlE))
        CenterButtonClick();
    else if (Key == QChar(kCtrlR))
        RightButtonClick();
    else if (Key == QChar(kCtrlJ))
        JustifyKeyPress();
    else
        return false;
    return true;
}

void TfmPellWP::JustifyKeyPress()
{
    RichEdit1->ParagraphAttributes().SetAlignment(taJustify);
    UpdateControlStates();
}

// F10 opens the File menu, as on the desktop's other programs.
bool TfmPellWP::OpensMenuBar(const QKeyEvent *event)
{
    if (event->key() != Qt::Key_F10 || shortcutKeyOf(event->key(), event->modifiers()).keyboardModifiers() != Qt::NoModifier)
        return false;
    menuBar()->setActiveAction(File1->menuAction());
    return true;
}

// A Z pressed with Ctrl (and without Shift, which makes it redo) undoes when it comes
// up. A held key repeats press and release, and each repeat undoes once; where the
// platform repeats only the press, the repeated press undoes the step before it.
void TfmPellWP::NoteUndoKeyPress(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool undoKey = modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::ShiftModifier);
    if (event->isAutoRepeat() && FUndoKeyDown && undoKey && !OtherTextFieldHasFocus())
        mmiUndoClick();
    FUndoKeyDown = undoKey;
}

// Ctrl+Z undoes here, on the release: its press only refreshes the Edit menu, whose
// title carries the same shortcut. Ctrl often comes up a moment before Z, so a Z pressed
// with Ctrl undoes on its release either way; Ctrl+Shift+Z redoes instead. In another
// text field Ctrl+Z belongs to that field.
void TfmPellWP::FormKeyUp(int &Key, Qt::KeyboardModifiers Shift, bool)
{
    if (Key == Qt::Key_Z) {
        const bool pressedWithCtrl =
            FUndoKeyDown || ((Shift & Qt::ControlModifier) && !(Shift & Qt::ShiftModifier));
        FUndoKeyDown = false;
        if (pressedWithCtrl && !OtherTextFieldHasFocus())
            mmiUndoClick();
    }
    UpdateLockKeyPanels();
}

void TfmPellWP::UpdateLockKeyPanels()
{
    const platform::LockKeyState locks = platform::lockKeyState();
    const TwwDBRichEditIntl &texts = RichEditTexts();
    StatusPanels[3]->setText(locks.numLock ? texts.NUMLockCaption : QString());
    StatusPanels[2]->setText(locks.capsLock ? texts.CAPLockCaption : QString());
}
