#include "platform/menukeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

QKeyCombination shortcutKeyOf(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers relevant =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return QKeyCombination(relevant, Qt::Key(key));
}

void MenuKeyDispatcher::setShortcut(QAction *item, const QKeySequence &key)
{
    m_shortcuts.insert(item, key);
    if (item->menu())
        return;  // a menu bar title shows no shortcut
    const QString caption = item->text().section(QLatin1Char('\t'), 0, 0);
    item->setText(caption + QLatin1Char('\t') + key.toString(QKeySequence::NativeText));
}

void MenuKeyDispatcher::setMenuClick(QMenu *menu, std::function<void()> click)
{
    m_menuClicks.insert(menu->menuAction(), click);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [click] { click(); });
}

bool MenuKeyDispatcher::search(const QList<QAction *> &items, QKeyCombination key,
                               QList<QAction *> &path) const
{
    for (QAction *item : items) {
        path.append(item);
        const QKeySequence shortcut = m_shortcuts.value(item);
        if (shortcut.count() == 1 && shortcut[0] == key)
            return true;
        if (item->menu() && search(item->menu()->actions(), key, path))
            return true;
        path.removeLast();
    }
    return false;
}

bool MenuKeyDispatcher::searchItem(const QList<QAction *> &items, const QAction *target,
                                   QList<QAction *> &path) const
{
    for (QAction *item : items) {
        path.append(item);
        if (item == target)
            return true;
        if (item->menu() && searchItem(item->menu()->actions(), target, path))
            return true;
        path.removeLast();
    }
    return false;
}

QList<QAction *> MenuKeyDispatcher::find(QKeyCombination key) const
{
    QList<QAction *> path;
    if (key.key() == Qt::Key_unknown || key.key() == 0)
        return path;
    if (!search(m_bar->actions(), key, path)) {
        if (const QAction *alternative = m_alternatives.value(key.toCombined()))
            searchItem(m_bar->actions(), alternative, path);
    }
    return path;
}

void MenuKeyDispatcher::click(QAction *item)
{
    if (item->menu()) {
        if (const auto handler = m_menuClicks.value(item))
            handler();
    } else {
        item->trigger();
    }
}

bool MenuKeyDispatcher::dispatch(QKeyCombination key)
{
    const QList<QAction *> path = find(key);
    if (path.isEmpty())
        return false;
    for (qsizetype i = 0; i + 1 < path.size(); ++i)
        click(path[i]);
    QAction *item = path.constLast();
    if (item->isEnabled()) {
        click(item);
        return true;
    }
    return !m_passWhenDisabled.contains(item);
}

QChar typedCharacter(const QKeyEvent *event)
{
    constexpr char16_t kEscape = 27;
    if (event->key() == Qt::Key_Escape)
        return QChar(kEscape);
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier) && event->key() >= Qt::Key_A
        && event->key() <= Qt::Key_Z)
        return QChar(char16_t(event->key() - Qt::Key_A + 1));
    const QString text = event->text();
    return text.isEmpty() ? QChar() : text.at(0);
}

bool isTextFieldEditingKey(const QKeyEvent *event)
{
    const QKeyCombination key = shortcutKeyOf(event->key(), event->modifiers());
    if (key == QKeyCombination(Qt::Key_Delete))
        return true;
    if (key.keyboardModifiers() != Qt::ControlModifier)
        return false;
    switch (key.key()) {
    case Qt::Key_A:
    case Qt::Key_C:
    case Qt::Key_V:
    case Qt::Key_X:
    case Qt::Key_Z: return true;
    default: return false;
    }
}

bool isWindowKeyFirstReceiver(const QWidget *window, const QObject *watched)
{
    if (!watched->isWidgetType() || !window->isActiveWindow() || QApplication::activePopupWidget())
        return false;
    if (const QWidget *modal = QApplication::activeModalWidget(); modal && modal != window)
        return false;
    const auto *widget = static_cast<const QWidget *>(watched);
    if (widget->window() != window)
        return false;
    const QWidget *focus = QApplication::focusWidget();
    return focus ? widget == focus : widget == window;
}
