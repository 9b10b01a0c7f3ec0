#include "richedit/wwrich.h"

#include "platform/application.h"
#include "platform/menukeys.h"
#include "richedit/wwformatcommands.h"
#include "richedit/wwriched.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

// The window sees every key meant for it before the focused control: menu shortcuts in
// menu order first, then its own character handling; every release updates the lock-key
// panels.

namespace {

constexpr char16_t kCtrlB = 2;
constexpr char16_t kCtrlI = 9;
constexpr char16_t kCtrlU = 21;
constexpr char16_t kEscape = 27;

}  // namespace

bool TwwRichEditForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride || type == QEvent::KeyRelease)
        && HandlesKeysFor(watched))
        return PreviewKeyEvent(event);
    return QDialog::eventFilter(watched, event);
}

bool TwwRichEditForm::HandlesKeysFor(QObject *watched) const
{
    return isWindowKeyFirstReceiver(this, watched);
}

bool TwwRichEditForm::PreviewKeyEvent(QEvent *event)
{
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    if (event->type() == QEvent::KeyRelease) {
        platform::runGuarded([&] { FormKeyUp(keyEvent->key(), keyEvent->modifiers()); });
        return false;
    }
    // The face and size boxes keep their own editing keys.
    if (qobject_cast<QLineEdit *>(QApplication::focusWidget()) && isTextFieldEditingKey(keyEvent))
        return false;
    const QKeyCombination key = shortcutKeyOf(keyEvent->key(), keyEvent->modifiers());
    if (event->type() == QEvent::ShortcutOverride) {
        if (FMenuKeys->find(key).isEmpty())
            return false;
        event->accept();
        return true;
    }
    if (keyEvent->key() == Qt::Key_Z)
        FUndoKeyDown = keyEvent->modifiers().testFlag(Qt::ControlModifier)
                       && !keyEvent->modifiers().testFlag(Qt::ShiftModifier);
    if (FMenuKeys->dispatch(key))
        return true;
    QChar character = typedCharacter(keyEvent);
    if (character.isNull())
        return false;
    platform::runGuarded([&] { FormKeyPress(character, keyEvent->modifiers()); });
    return character.isNull();
}

// Esc closes a viewer, or any window whose options say so (through the close question);
// otherwise it undoes. Ctrl+B, Ctrl+U and Ctrl+I toggle a style and are consumed.
void TwwRichEditForm::FormKeyPress(QChar &key, Qt::KeyboardModifiers shift)
{
    if (key == QChar(kEscape)) {
        if (RichEdit1->ReadOnly() || RichEdit1->EditorOptions().testFlag(reoCloseOnEscape))
            reject();
        else
            Undo1Click();
        key = QChar();
        return;
    }
    if (RichEdit1->ReadOnly() || !(shift & Qt::ControlModifier))
        return;
    if (key == QChar(kCtrlB))
        FFormatCommands->ToggleStyleByKey(fsBold);
    else if (key == QChar(kCtrlU))
        FFormatCommands->ToggleStyleByKey(fsUnderline);
    else if (key == QChar(kCtrlI))
        FFormatCommands->ToggleStyleByKey(fsItalic);
    else
        return;
    key = QChar();
}

// Ctrl+Z undoes when Z comes up: its press only refreshed the Edit menu, whose title
// carries the same shortcut.
void TwwRichEditForm::FormKeyUp(int key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_Z) {
        const bool pressedWithCtrl =
            FUndoKeyDown || ((shift & Qt::ControlModifier) && !(shift & Qt::ShiftModifier));
        FUndoKeyDown = false;
        if (pressedWithCtrl)
            Undo1Click();
    }
    UpdateLockKeyPanels();
}
