// Keyboard handling of TwwDBComboBox: the keys while its list shows and while it is closed.
#include "components/Wwdbcomb.h"

#include "components/Wwdbcomb_popup.h"

#include <QKeyEvent>

namespace {

// Above this length the typed-ahead text is not predicted: the list matches the edit
// text as it stands.
constexpr int kMatchLengthLimit = 32;

bool isPrintable(const QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

bool isArrowUpDown(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down;
}

}  // namespace

// Keys the box takes for itself while its list shows, before any shortcut sees them.
bool TwwDBComboBox::claimsKeyWhileDropped(const QKeyEvent *event) const
{
    if (event->modifiers() & Qt::ShiftModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

void TwwDBComboBox::keyPressEvent(QKeyEvent *event)
{
    if (FDropped)
        keyWhileDropped(event);
    else
        keyWhileClosed(event);
}

// With Shift held every key belongs to the edit. Otherwise Enter, Escape and Alt+arrows
// close the list; Up, Down, Page Up and Page Down move the list's selection and never
// reach the edit; Home, End, Left and Right stay with the edit; a printable character
// selects the first row that starts with the text it will make, then goes to the edit.
void TwwDBComboBox::keyWhileDropped(QKeyEvent *event)
{
    if (event->modifiers() & Qt::ShiftModifier) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        CloseUp(true);
    } else if (key == Qt::Key_Escape) {
        CloseUp(false);
    } else if (isArrowUpDown(key) && (event->modifiers() & Qt::AltModifier)) {
        CloseUp(true);
    } else if (isArrowUpDown(key)) {
        FList->moveSelection(key == Qt::Key_Down ? 1 : -1);
    } else if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        FList->movePage(key == Qt::Key_PageDown ? 1 : -1);
    } else if (isPrintable(event)) {
        selectListRowForTyping(event->text());
        typeCharacter(event);
        return;
    } else {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

// Up and Down step through the entries; Alt+Up and Alt+Down open the list.
void TwwDBComboBox::keyWhileClosed(QKeyEvent *event)
{
    const int key = event->key();
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (isArrowUpDown(key) && alt) {
        DropDown();
        event->accept();
    } else if (isArrowUpDown(key) && !(event->modifiers() & Qt::ControlModifier)) {
        stepEntry(key == Qt::Key_Down ? 1 : -1);
        event->accept();
    } else if (FAllowClearKey && !textEditable() && (key == Qt::Key_Delete || key == Qt::Key_Backspace)) {
        clearByKey();
        event->accept();
    } else if (FAutoDropDown && textEditable() && !FReadOnly && isPrintable(event)) {
        DropDown();
        keyWhileDropped(event);
    } else if (isPrintable(event)) {
        typeCharacter(event);
    } else {
        QLineEdit::keyPressEvent(event);
    }
}

void TwwDBComboBox::typeCharacter(QKeyEvent *event)
{
    QLineEdit::keyPressEvent(event);
    if (FShowMatchText && textEditable() && !FReadOnly)
        completeFromItems();
}

// The list follows what the user types: the edit's text with the selection replaced by
// the character.
void TwwDBComboBox::selectListRowForTyping(const QString &character)
{
    const QString current = text();
    QString predicted = current;
    if (current.size() < kMatchLengthLimit) {
        const int start = hasSelectedText() ? selectionStart() : cursorPosition();
        const int length = hasSelectedText() ? selectionLength() : 0;
        predicted = current.left(start) + character + current.mid(start + length);
    }
    FList->selectRow(FList->rowStartingWith(predicted));
}

// Completion while typing: when an entry starts with the text typed so far, the rest of
// it follows the caret, selected, so that the next character types over it.
void TwwDBComboBox::completeFromItems()
{
    const QString typed = text();
    if (typed.isEmpty() || hasSelectedText() || cursorPosition() != typed.size())
        return;
    for (const QString &entry : std::as_const(FItems)) {
        const QString shown = shownPart(entry);
        if (shown.size() > typed.size() && shown.startsWith(typed, Qt::CaseInsensitive)) {
            setText(typed + shown.mid(typed.size()));
            setSelection(typed.size(), shown.size() - typed.size());
            return;
        }
    }
}

// The entry next to the one the edit shows (or, when the text matches none, to the last
// chosen one) goes into the edit.
void TwwDBComboBox::stepEntry(int delta)
{
    int current = indexOfShown(text());
    if (current < 0)
        current = ItemIndex();
    const int target = current + delta;
    if (target < 0 || target >= FItems.size() || FReadOnly)
        return;
    setItemIndex(target);
    setModified(true);
    selectAll();
}

void TwwDBComboBox::clearByKey()
{
    if (FReadOnly || text().isEmpty())
        return;
    setItemIndex(-1);
    setText(QString());
    setModified(true);
}
