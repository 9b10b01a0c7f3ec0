#include "platform/menukeys.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

// The dispatch order of menu shortcuts, on a menu tree of its own.
class TestMenuKeys : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void menuTitleBeforeItsItems();
    void ancestorsRunOutermostFirst();
    void disabledItemConsumesTheKey();
    void passOnWhenDisabledOnly();
    void shortcutsShowInCaptions();
    void keypadAndModifiers();
    void alternativeKeyNeverOverridesAShortcut();

private:
    QAction *item(QMenu *menu, const QString &name, const QKeySequence &key = {});

    QMenuBar *bar = nullptr;
    QMenu *file = nullptr;
    QMenu *edit = nullptr;
    QMenu *sub = nullptr;
    MenuKeyDispatcher *keys = nullptr;
    QStringList log;
};

QAction *TestMenuKeys::item(QMenu *menu, const QString &name, const QKeySequence &key)
{
    QAction *action = menu->addAction(name);
    connect(action, &QAction::triggered, this, [this, name] { log << name; });
    if (!key.isEmpty())
        keys->setShortcut(action, key);
    return action;
}

void TestMenuKeys::init()
{
    log.clear();
    bar = new QMenuBar;
    keys = new MenuKeyDispatcher(bar);
    file = bar->addMenu(QStringLiteral("&File"));
    edit = bar->addMenu(QStringLiteral("&Edit"));
    keys->setMenuClick(file, [this] { log << QStringLiteral("File"); });
    keys->setMenuClick(edit, [this] { log << QStringLiteral("Edit"); });
    keys->setShortcut(edit->menuAction(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    item(file, QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    sub = file->addMenu(QStringLiteral("More"));
    keys->setMenuClick(sub, [this] { log << QStringLiteral("More"); });
    item(sub, QStringLiteral("Deep"), QKeySequence(Qt::Key_F5));
    item(file, QStringLiteral("AfterSub"), QKeySequence(Qt::Key_F5));
    item(edit, QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    item(edit, QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y));
}

void TestMenuKeys::cleanup()
{
    delete keys;
    delete bar;
}

void TestMenuKeys::menuTitleBeforeItsItems()
{
    QVERIFY(keys->dispatch(QKeyCombination(Qt::CTRL, Qt::Key_Z)));
    QCOMPARE(log, QStringList({QStringLiteral("Edit")}));  // Undo shares the key and never runs
}

void TestMenuKeys::ancestorsRunOutermostFirst()
{
    QVERIFY(keys->dispatch(QKeyCombination(Qt::CTRL, Qt::Key_Y)));
    QCOMPARE(log, QStringList({QStringLiteral("Edit"), QStringLiteral("Redo")}));
    log.clear();
    // Depth first: the submenu's item comes before the later item with the same key.
    QVERIFY(keys->dispatch(QKeyCombination(Qt::NoModifier, Qt::Key_F5)));
    QCOMPARE(log, QStringList({QStringLiteral("File"), QStringLiteral("More"), QStringLiteral("Deep")}));
    log.clear();
    QVERIFY(!keys->dispatch(QKeyCombination(Qt::CTRL, Qt::Key_K)));
    QVERIFY(log.isEmpty());
}

void TestMenuKeys::disabledItemConsumesTheKey()
{
    edit->actions().at(1)->setEnabled(false);  // Redo
    QVERIFY(keys->dispatch(QKeyCombination(Qt::CTRL, Qt::Key_Y)));
    QCOMPARE(log, QStringList({QStringLiteral("Edit")}));
}

void TestMenuKeys::passOnWhenDisabledOnly()
{
    QAction *clear = item(edit, QStringLiteral("Clear"), QKeySequence(Qt::Key_Delete));
    keys->setPassKeyWhenDisabled(clear);
    QVERIFY(keys->dispatch(QKeyCombination(Qt::NoModifier, Qt::Key_Delete)));
    QCOMPARE(log, QStringList({QStringLiteral("Edit"), QStringLiteral("Clear")}));
    log.clear();
    clear->setEnabled(false);
    QVERIFY(!keys->dispatch(QKeyCombination(Qt::NoModifier, Qt::Key_Delete)));
    QCOMPARE(log, QStringList({QStringLiteral("Edit")}));  // the menu still refreshed
}

void TestMenuKeys::shortcutsShowInCaptions()
{
    QCOMPARE(file->actions().at(0)->text(), QStringLiteral("New\tCtrl+N"));
    keys->setShortcut(file->actions().at(0), QKeySequence(Qt::CTRL | Qt::Key_M));
    QCOMPARE(file->actions().at(0)->text(), QStringLiteral("New\tCtrl+M"));
    QCOMPARE(edit->menuAction()->text(), QStringLiteral("&Edit"));  // titles show none
    QVERIFY(file->actions().at(0)->shortcut().isEmpty());  // Qt's shortcut map stays out
}

void TestMenuKeys::keypadAndModifiers()
{
    QCOMPARE(shortcutKeyOf(Qt::Key_Delete, Qt::KeypadModifier), QKeyCombination(Qt::Key_Delete));
    QCOMPARE(shortcutKeyOf(Qt::Key_Z, Qt::ControlModifier | Qt::KeypadModifier),
             QKeyCombination(Qt::CTRL, Qt::Key_Z));
    QVERIFY(!keys->dispatch(shortcutKeyOf(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier)));
}

QTEST_MAIN(TestMenuKeys)
#include "tst_menukeys.moc"

void TestMenuKeys::alternativeKeyNeverOverridesAShortcut()
{
    QAction *redo = edit->actions().at(1);
    keys->addAlternativeShortcut(redo, QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z));
    keys->addAlternativeShortcut(redo, QKeyCombination(Qt::CTRL, Qt::Key_N));  // New's own key
    QVERIFY(keys->dispatch(QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)));
    QCOMPARE(log, QStringList({QStringLiteral("Edit"), QStringLiteral("Redo")}));
    log.clear();
    QVERIFY(keys->dispatch(QKeyCombination(Qt::CTRL, Qt::Key_N)));
    QCOMPARE(log, QStringList({QStringLiteral("File"), QStringLiteral("New")}));
    QCOMPARE(redo->text(), QStringLiteral("Redo\tCtrl+Y"));  // the menu shows its own key only
}
