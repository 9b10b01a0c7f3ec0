#include "app/WPForm.h"

#include <QApplication>
#include <QKeyEvent>

bool TfmPellWP::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride || type == QEvent::KeyRelease)
        && HandlesKeysFor(watched))
        return PreviewKeyEvent(event);
    return QMainWindow::eventFilter(watched, event);
}

// Menu shortcuts apply to keys meant for this window while it is active and no popup
// or modal dialog has the keyboard.
bool TfmPellWP::HandlesKeysFor(QObject *watched) const
{
    return isWindowKeyFirstReceiver(this, watched);
}

bool TfmPellWP::FilterKeyEvent(QEvent *event)
{
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    const QKeyCombination key = shortcutKeyOf(keyEvent->key(), keyEvent->modifiers());
    if (event->type() == QEvent::ShortcutOverride) {
        // Claim the key so that it arrives as a key press, where the menu order decides.
        if (!FMenuKeys->find(key).isEmpty()) {
            event->accept();
            return true;
        }
        return false;
    }
    return FMenuKeys->dispatch(key);
}

// Keys the desktop's other programs use for commands the menus already offer under
// another key: Ctrl+Shift+Z redoes and Ctrl+Shift+S saves under a new name.
void TfmPellWP::BindDesktopKeys()
{
    FMenuKeys->addAlternativeShortcut(Redo1, QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z));
    FMenuKeys->addAlternativeShortcut(mmiSaveAs, QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_S));
}
