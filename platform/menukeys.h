#pragma once
#include <QChar>
#include <QHash>
#include <QKeyCombination>
#include <QKeySequence>
#include <QList>
#include <QSet>
#include <functional>

class QAction;
class QObject;
class QWidget;
class QKeyEvent;
class QMenu;
class QMenuBar;

// Dispatches key presses to the items of a menu bar before the focused control sees
// them. The menu tree is searched depth first, each item before its children; the first
// item whose shortcut equals the key is taken. The click handlers of its ancestor menus
// run first, outermost first; then the item's own handler runs if the item is enabled.
// The key counts as consumed even when the item is disabled, unless the item was marked
// to pass the key on while disabled.
//
// Shortcuts live here rather than in QAction::shortcut so that Qt's own shortcut map
// never competes with this order; the menus still show them after a tab.
class MenuKeyDispatcher {
public:
    explicit MenuKeyDispatcher(QMenuBar *bar) : m_bar(bar) {}

    void setShortcut(QAction *item, const QKeySequence &key);
    QKeySequence shortcut(QAction *item) const { return m_shortcuts.value(item); }
    // A menu's own click handler: runs when the menu opens and when it is an ancestor
    // (or the owner) of the item a key selects.
    void setMenuClick(QMenu *menu, std::function<void()> click);
    void setPassKeyWhenDisabled(QAction *item) { m_passWhenDisabled.insert(item); }
    // A further key for `item`, not shown in the menu. It counts only when no item has it
    // as its own shortcut, so it never changes what an existing shortcut does.
    void addAlternativeShortcut(QAction *item, QKeyCombination key) { m_alternatives.insert(key.toCombined(), item); }

    // The path from the outermost menu title to the item whose shortcut is `key`;
    // empty when no item has it.
    QList<QAction *> find(QKeyCombination key) const;
    // Runs the handlers for `key`; true when the key is consumed.
    bool dispatch(QKeyCombination key);

private:
    bool search(const QList<QAction *> &items, QKeyCombination key, QList<QAction *> &path) const;
    bool searchItem(const QList<QAction *> &items, const QAction *target, QList<QAction *> &path) const;
    void click(QAction *item);

    QMenuBar *m_bar;
    QHash<QAction *, QKeySequence> m_shortcuts;
    QHash<QAction *, std::function<void()>> m_menuClicks;
    QSet<QAction *> m_passWhenDisabled;
    QHash<int, QAction *> m_alternatives;
};

// The key and modifiers of a key press as a menu shortcut compares them (the keypad
// flag does not count).
QKeyCombination shortcutKeyOf(int key, Qt::KeyboardModifiers modifiers);

// The character a key press types, as a window's key preview sees it: Ctrl with a letter
// types that letter's control character (Ctrl+B is 2), Esc types 27; null for none.
QChar typedCharacter(const QKeyEvent *event);

// Keys that edit a text field (Delete, Ctrl+A, C, V, X, Z): while a text field other than
// the document has the focus they are its own, not menu shortcuts.
bool isTextFieldEditingKey(const QKeyEvent *event);

// Whether a key event that reaches `watched` is one for `window`'s own key handling: the
// window is active, no popup and no other modal window has the keyboard, and `watched`
// is the key's first receiver (the focused widget, or the window when nothing has the
// focus), so that a key travelling on to the parents is not handled twice.
bool isWindowKeyFirstReceiver(const QWidget *window, const QObject *watched);
