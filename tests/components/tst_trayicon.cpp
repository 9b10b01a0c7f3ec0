#include "components/RXShell.h"
#include "components/Wwdbcomb.h"
#include "tests/support/scripteddialogs.h"
#include "platform/exceptions.h"
#include "tests/support/scriptednotifyarea.h"
#include "platform/popupmenu.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QTest>

#include <memory>

using platform::NotifyIconMessage;
using platform::ScriptedNotifyArea;

namespace {

QImage filled(int size, const QColor &colour)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

std::unique_ptr<TIcon> iconOf(const QColor &colour)
{
    auto icon = std::make_unique<TIcon>();
    icon->SetImages({filled(16, colour)});
    return icon;
}

// The colour of the icon as the notification area shows it.
QColor shownColour(const ScriptedNotifyArea &area, const TRxTrayIcon &tray)
{
    return area.shown(tray.Handle()).icon.pixmap(16, 16).toImage().pixelColor(8, 8);
}

QString buttonName(TMouseButton button)
{
    switch (button) {
    case mbLeft: return QStringLiteral("left");
    case mbRight: return QStringLiteral("right");
    case mbMiddle: return QStringLiteral("middle");
    }
    return {};
}

QString flagNames(TShiftState shift)
{
    QStringList names;
    if (shift & ssLeft)
        names << QStringLiteral("L");
    if (shift & ssRight)
        names << QStringLiteral("R");
    if (shift & ssMiddle)
        names << QStringLiteral("M");
    if (shift & ssDouble)
        names << QStringLiteral("D");
    return names.join(QString());
}

// A tray icon in a scripted notification area, logging its events as "down left L",
// "click right R", "up middle M", "dblclick", "move".
struct Tray {
    ScriptedNotifyArea area;
    TRxTrayIcon tray;
    QStringList log;

    Tray()
    {
        tray.OnMouseDown = [this](QObject *, TMouseButton button, TShiftState shift, int, int) {
            log << QStringLiteral("down %1 %2").arg(buttonName(button), flagNames(shift));
        };
        tray.OnMouseUp = [this](QObject *, TMouseButton button, TShiftState shift, int, int) {
            log << QStringLiteral("up %1 %2").arg(buttonName(button), flagNames(shift));
        };
        tray.OnClick = [this](QObject *sender, TMouseButton button, TShiftState shift, int, int) {
            QCOMPARE(sender, &tray);
            log << QStringLiteral("click %1 %2").arg(buttonName(button), flagNames(shift));
        };
        tray.OnDblClick = [this](QObject *) { log << QStringLiteral("dblclick"); };
        tray.OnMouseMove = [this](QObject *, TShiftState, int, int) { log << QStringLiteral("move"); };
    }

    void send(const QList<int> &messages)
    {
        for (int message : messages)
            tray.Handle()->deliver(message);
    }

    void setIcon(const QColor &colour) { tray.SetIcon(iconOf(colour).get()); }

    void setFrames(const QList<QColor> &colours)
    {
        TIconList frames;
        for (const QColor &colour : colours)
            frames.Add(iconOf(colour).get());
        tray.SetIcons(&frames);
    }
};

// A popup menu with items "One", "Two", "Three", counting which were run.
struct Menu {
    TPopupMenu menu;
    QStringList run;
    QList<QAction *> items;

    Menu()
    {
        for (const char *caption : {"One", "Two", "Three"}) {
            QAction *item = menu.addAction(QLatin1String(caption));
            QObject::connect(item, &QAction::triggered, &menu, [this, item] { run << item->text(); });
            items << item;
        }
    }
};

}  // namespace

class TestTrayIcon : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void tipIsTheHintBeforeTheBarCutTo63_data();
    void tipIsTheHintBeforeTheBarCutTo63();
    void iconIsShownOnlyWhileNotEmpty();
    void activeOffRemovesAndOnShowsAgain();
    void hintChangeUpdatesTheShownTip();
    void withoutNotificationAreaTheIconWaitsForOne();
    void refusedAddIsTriedAgainOnTheNextChange();
    void mouseMessagesBecomeEvents_data();
    void mouseMessagesBecomeEvents();
    void rightClickShowsThePopupMenuInsteadOfClick();
    void popupIsNotShownWhenSwitchedOffOrInactive();
    void popupClosesAnOpenListOfTheActiveWindow();
    void doubleClickRunsTheFirstEnabledDefaultItem_data();
    void doubleClickRunsTheFirstEnabledDefaultItem();
    void destroyedPopupMenuIsForgotten();
    void handlerErrorsAreShownAndTheIconKeepsWorking();
    void animatedNeedsFrames();
    void framesAlternateStartingWithTheFirst();
    void workerWaitsTheCurrentInterval();
    void emptyingTheFramesStopsTheAnimation();
    void absentFrameTakesTheIconOutUntilTheNextFrame();
    void workerSleepsWhileTheIconIsNotShown();
    void retiredWorkerNeverTouchesTheIcon();
    void destroyingRemovesTheIcon();
};

void TestTrayIcon::defaults()
{
    Tray t;
    QVERIFY(t.tray.Active());
    QVERIFY(t.tray.Hint().isEmpty());
    QVERIFY(t.tray.Icon()->Empty());
    QCOMPARE(t.tray.Icons()->Count(), 0);
    QVERIFY(!t.tray.Animated());
    QCOMPARE(t.tray.Interval(), quint16(150));
    QVERIFY(!t.tray.PopupMenu());
    QVERIFY(!t.tray.ShowDesign());
    QCOMPARE(t.tray.FrameIndex(), -1);
    t.tray.Loaded();
    QVERIFY(!t.tray.Added());  // nothing to show without an icon
    QCOMPARE(t.area.count(NotifyIconMessage::Add), 0);
}

void TestTrayIcon::tipIsTheHintBeforeTheBarCutTo63_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("tip");
    const QString hundred = QString(100, QLatin1Char('x'));
    QTest::newRow("100 characters") << hundred << hundred.left(63);
    QTest::newRow("63 characters") << hundred.left(63) << hundred.left(63);
    QTest::newRow("short and long text") << "short|long" << "short";
    QTest::newRow("first bar counts") << "a|b|c" << "a";
    QTest::newRow("bar first") << "|long" << "";
    QTest::newRow("long before the bar") << hundred + "|x" << hundred.left(63);
    QTest::newRow("no surrogate cut in half")
        << QString(62, QLatin1Char('x')) + QString::fromUtf8("\xF0\x9F\x98\x80") << QString(62, QLatin1Char('x'));
    QTest::newRow("empty") << "" << "";
}

void TestTrayIcon::tipIsTheHintBeforeTheBarCutTo63()
{
    QFETCH(QString, hint);
    QFETCH(QString, tip);
    QCOMPARE(TRxTrayIcon::TipOf(hint), tip);
    Tray t;
    t.tray.SetHint(hint);
    t.setIcon(Qt::red);
    QCOMPARE(t.area.shown(t.tray.Handle()).tip, tip);
}

void TestTrayIcon::iconIsShownOnlyWhileNotEmpty()
{
    Tray t;
    t.setIcon(Qt::red);
    QVERIFY(t.tray.Added());
    QVERIFY(t.area.isRegistered(t.tray.Handle()));
    QCOMPARE(shownColour(t.area, t.tray), QColor(Qt::red));

    t.setIcon(Qt::blue);
    QCOMPARE(t.area.requests().last().message, NotifyIconMessage::Modify);
    QCOMPARE(shownColour(t.area, t.tray), QColor(Qt::blue));

    t.tray.Icon()->Clear();
    QVERIFY(!t.tray.Added());
    QVERIFY(!t.area.isRegistered(t.tray.Handle()));
}

void TestTrayIcon::activeOffRemovesAndOnShowsAgain()
{
    Tray t;
    t.setIcon(Qt::red);
    t.tray.SetActive(false);
    QVERIFY(!t.tray.Added());
    QVERIFY(!t.area.isRegistered(t.tray.Handle()));
    t.setIcon(Qt::green);  // an inactive icon stays away
    QVERIFY(!t.area.isRegistered(t.tray.Handle()));

    t.tray.SetActive(true);
    QVERIFY(t.tray.Added());
    QCOMPARE(shownColour(t.area, t.tray), QColor(Qt::green));

    t.tray.SetActive(false);
    t.tray.Icon()->Clear();
    t.tray.SetActive(true);
    QVERIFY(!t.tray.Added());  // no icon, nothing to show
}

void TestTrayIcon::hintChangeUpdatesTheShownTip()
{
    Tray t;
    t.setIcon(Qt::red);
    t.area.clearRequests();
    t.tray.SetHint(QStringLiteral("Penhaven Word Processor"));
    QCOMPARE(t.area.requests().size(), 1);
    QCOMPARE(t.area.shown(t.tray.Handle()).tip, QStringLiteral("Penhaven Word Processor"));
    t.tray.SetHint(QStringLiteral("Penhaven Word Processor"));
    QCOMPARE(t.area.requests().size(), 1);  // the same hint sends nothing
}

void TestTrayIcon::withoutNotificationAreaTheIconWaitsForOne()
{
    Tray t;
    t.area.setAvailable(false);
    t.tray.SetHint(QStringLiteral("tip"));
    t.setIcon(Qt::red);
    QVERIFY(!t.tray.Added());
    QVERIFY(t.tray.Active());
    QVERIFY(!t.tray.Icon()->Empty());

    t.area.setAvailable(true);
    QVERIFY(t.tray.Added());
    QCOMPARE(t.area.shown(t.tray.Handle()).tip, QStringLiteral("tip"));
    QCOMPARE(shownColour(t.area, t.tray), QColor(Qt::red));
}

void TestTrayIcon::refusedAddIsTriedAgainOnTheNextChange()
{
    Tray t;
    t.area.setAvailable(false);
    t.setIcon(Qt::red);
    QCOMPARE(t.area.count(NotifyIconMessage::Add), 1);
    t.tray.SetHint(QStringLiteral("again"));
    QCOMPARE(t.area.count(NotifyIconMessage::Add), 2);
    QVERIFY(!t.tray.Added());
}

void TestTrayIcon::mouseMessagesBecomeEvents_data()
{
    using namespace platform;
    QTest::addColumn<QList<int>>("messages");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("left click") << QList<int>{WM_LBUTTONDOWN, WM_LBUTTONUP}
                                << QStringList{"down left L", "click left L", "up left L"};
    QTest::newRow("left double click")
        << QList<int>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}
        << QStringList{"down left L", "click left L", "up left L", "dblclick", "down left D", "up left L"};
    QTest::newRow("right click without menu")
        << QList<int>{WM_RBUTTONDOWN, WM_RBUTTONUP} << QStringList{"down right R", "click right R", "up right R"};
    QTest::newRow("right double click")
        << QList<int>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP}
        << QStringList{"down right R", "click right R", "up right R", "down right D", "up right R"};
    QTest::newRow("right pressed elsewhere, released over the icon")
        << QList<int>{WM_RBUTTONUP} << QStringList{"up right R"};
    QTest::newRow("middle click never clicks")
        << QList<int>{WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK}
        << QStringList{"down middle M", "up middle M", "down middle D"};
    QTest::newRow("moving") << QList<int>{WM_MOUSEMOVE} << QStringList{"move"};
    QTest::newRow("other messages") << QList<int>{0x20A, 0x100, 0} << QStringList{};
    QTest::newRow("each button keeps its own press")
        << QList<int>{WM_LBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONUP}
        << QStringList{"down left L", "up right R", "click left L", "up left L"};
}

void TestTrayIcon::mouseMessagesBecomeEvents()
{
    QFETCH(QList<int>, messages);
    QFETCH(QStringList, events);
    Tray t;
    t.setIcon(Qt::red);
    t.send(messages);
    QCOMPARE(t.log, events);
}

void TestTrayIcon::rightClickShowsThePopupMenuInsteadOfClick()
{
    Tray t;
    Menu m;
    t.setIcon(Qt::red);
    t.tray.SetPopupMenu(&m.menu);
    QCursor::setPos(200, 150);
    t.send({platform::WM_RBUTTONDOWN, platform::WM_RBUTTONUP});
    QCOMPARE(t.log, QStringList({"down right R", "up right R"}));
    QVERIFY(m.menu.isVisible());
    QCOMPARE(m.menu.PopupComponent(), &t.tray);
    m.menu.close();

    t.log.clear();
    t.send({platform::WM_LBUTTONDOWN, platform::WM_LBUTTONUP});
    QCOMPARE(t.log, QStringList({"down left L", "click left L", "up left L"}));  // only the right button
    QVERIFY(!m.menu.isVisible());
}

void TestTrayIcon::popupIsNotShownWhenSwitchedOffOrInactive()
{
    Tray t;
    Menu m;
    t.setIcon(Qt::red);
    t.tray.SetPopupMenu(&m.menu);
    m.menu.SetAutoPopup(false);
    t.send({platform::WM_RBUTTONDOWN, platform::WM_RBUTTONUP});
    QVERIFY(t.log.contains("click right R"));
    QVERIFY(!m.menu.isVisible());

    m.menu.SetAutoPopup(true);
    t.tray.SetActive(false);
    QVERIFY(!t.tray.ShowPopup(10, 10));
    QVERIFY(!m.menu.isVisible());
    t.tray.SetActive(true);
    QVERIFY(t.tray.ShowPopup(10, 10));
    QVERIFY(m.menu.isVisible());
    m.menu.close();
}

void TestTrayIcon::popupClosesAnOpenListOfTheActiveWindow()
{
    QWidget window;
    auto *combo = new TwwDBComboBox(&window);
    combo->setItems({"8", "10", "12"});
    QList<bool> closedWith;
    combo->OnCloseUp = [&](TwwDBComboBox *, bool select) { closedWith << select; };
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    combo->setFocus();
    combo->DropDown();
    QVERIFY(combo->Dropped());

    Tray t;
    Menu m;
    t.setIcon(Qt::red);
    t.tray.SetPopupMenu(&m.menu);
    QVERIFY(t.tray.ShowPopup(100, 100));
    QVERIFY(!combo->Dropped());
    QCOMPARE(closedWith, QList<bool>({false}));  // no choice was made
    m.menu.close();
}

void TestTrayIcon::doubleClickRunsTheFirstEnabledDefaultItem_data()
{
    QTest::addColumn<QList<int>>("defaults");
    QTest::addColumn<QList<int>>("disabled");
    QTest::addColumn<QStringList>("run");
    QTest::addColumn<bool>("dblClickFired");
    QTest::newRow("enabled default") << QList<int>{1} << QList<int>{} << QStringList{"Two"} << false;
    QTest::newRow("disabled default") << QList<int>{1} << QList<int>{1} << QStringList{} << true;
    QTest::newRow("first default disabled, second enabled")
        << QList<int>{0, 2} << QList<int>{0} << QStringList{"Three"} << false;
    QTest::newRow("two enabled defaults run the first") << QList<int>{2, 1} << QList<int>{} << QStringList{"Two"}
                                                        << false;
    QTest::newRow("no default") << QList<int>{} << QList<int>{} << QStringList{} << true;
}

void TestTrayIcon::doubleClickRunsTheFirstEnabledDefaultItem()
{
    QFETCH(QList<int>, defaults);
    QFETCH(QList<int>, disabled);
    QFETCH(QStringList, run);
    QFETCH(bool, dblClickFired);
    Tray t;
    Menu m;
    t.setIcon(Qt::red);
    t.tray.SetPopupMenu(&m.menu);
    for (int index : defaults)
        m.menu.SetDefault(m.items[index], true);
    for (int index : disabled)
        m.items[index]->setEnabled(false);
    t.send({platform::WM_LBUTTONDBLCLK});
    QCOMPARE(m.run, run);
    QCOMPARE(t.log.contains("dblclick"), dblClickFired);

    // An inactive icon runs no default item.
    t.log.clear();
    m.run.clear();
    t.tray.SetActive(false);
    t.send({platform::WM_LBUTTONDBLCLK});
    QVERIFY(m.run.isEmpty());
    QVERIFY(t.log.contains("dblclick"));
}

void TestTrayIcon::destroyedPopupMenuIsForgotten()
{
    Tray t;
    t.setIcon(Qt::red);
    {
        Menu m;
        t.tray.SetPopupMenu(&m.menu);
        QCOMPARE(t.tray.PopupMenu(), &m.menu);
    }
    QVERIFY(!t.tray.PopupMenu());
    t.send({platform::WM_RBUTTONDOWN, platform::WM_RBUTTONUP, platform::WM_LBUTTONDBLCLK});
    QVERIFY(t.log.contains("click right R"));
    QVERIFY(t.log.contains("dblclick"));
}

void TestTrayIcon::handlerErrorsAreShownAndTheIconKeepsWorking()
{
    platform::ScriptedDialogs dialogs;
    dialogs.queueMessage(platform::MessageResult::OK);
    Tray t;
    t.setIcon(Qt::red);
    t.tray.OnClick = [](QObject *, TMouseButton, TShiftState, int, int) { throw Exception("click failed"); };
    t.send({platform::WM_LBUTTONDOWN, platform::WM_LBUTTONUP});
    QCOMPARE(dialogs.count(platform::ScriptedDialogs::Kind::Message), 1);
    QCOMPARE(dialogs.lastRequest().text, QStringLiteral("click failed"));
    // The failed step stopped that message only; the icon goes on with the next ones.
    QCOMPARE(t.log, QStringList({"down left L"}));
    t.send({platform::WM_LBUTTONDOWN});
    QCOMPARE(t.log.last(), QStringLiteral("down left L"));
    QVERIFY(dialogs.problems().isEmpty());
}

void TestTrayIcon::animatedNeedsFrames()
{
    Tray t;
    t.setIcon(Qt::red);
    t.tray.SetAnimated(true);
    QVERIFY(!t.tray.Animated());
    QVERIFY(!t.tray.AnimationWorker());
}

void TestTrayIcon::framesAlternateStartingWithTheFirst()
{
    Tray t;
    t.setIcon(Qt::red);
    t.setFrames({Qt::green, Qt::blue});
    t.tray.SetAnimated(true);
    QVERIFY(t.tray.Animated());
    QCOMPARE(t.tray.FrameIndex(), 0);
    QCOMPARE(shownColour(t.area, t.tray), QColor(Qt::green));
    TTimerThread *worker = t.tray.AnimationWorker();
    QVERIFY(!worker->Suspended());

    QList<QColor> seen;
    for (int frame = 0; frame < 4; ++frame) {
        worker->Expire();
        seen << shownColour(t.area, t.tray);
    }
    QCOMPARE(seen, QList<QColor>({Qt::blue, Qt::green, Qt::blue, Qt::green}));

    t.tray.SetAnimated(false);
    QCOMPARE(t.tray.FrameIndex(), 0);
    QCOMPARE(shownColour(t.area, t.tray), QColor(Qt::red));
}

void TestTrayIcon::workerWaitsTheCurrentInterval()
{
    Tray t;
    t.setIcon(Qt::red);
    t.setFrames({Qt::green, Qt::blue});
    t.tray.SetAnimated(true);
    TTimerThread *worker = t.tray.AnimationWorker();
    QCOMPARE(worker->WaitInterval(), 150);
    t.tray.SetInterval(40);
    QCOMPARE(worker->WaitInterval(), 150);  // the wait under way keeps its length
    worker->Expire();
    QCOMPARE(worker->WaitInterval(), 40);
}

void TestTrayIcon::emptyingTheFramesStopsTheAnimation()
{
    Tray t;
    t.setIcon(Qt::red);
    t.setFrames({Qt::green, Qt::blue});
    t.tray.SetAnimated(true);
    t.tray.AnimationWorker()->Expire();
    QCOMPARE(shownColour(t.area, t.tray), QColor(Qt::blue));

    t.tray.Icons()->Clear();
    QVERIFY(!t.tray.Animated());
    QVERIFY(!t.tray.AnimationWorker());
    QVERIFY(t.tray.Added());
    QCOMPARE(shownColour(t.area, t.tray), QColor(Qt::red));
}

void TestTrayIcon::absentFrameTakesTheIconOutUntilTheNextFrame()
{
    Tray t;
    t.setIcon(Qt::red);
    t.setFrames({Qt::green});
    t.tray.Icons()->SetItems(1, nullptr);  // an empty second frame
    t.tray.SetAnimated(true);
    TTimerThread *worker = t.tray.AnimationWorker();
    worker->Expire();
    QVERIFY(!t.tray.Added());
    QVERIFY(worker->Suspended());
    // Any later change shows the icon again, from the frame it stopped at.
    t.tray.Icons()->Move(1, 0);
    QVERIFY(t.tray.Added());
    QVERIFY(!worker->Suspended());
    QCOMPARE(shownColour(t.area, t.tray), QColor(Qt::green));
}

void TestTrayIcon::workerSleepsWhileTheIconIsNotShown()
{
    Tray t;
    t.setFrames({Qt::green, Qt::blue});
    t.tray.SetActive(false);
    t.tray.SetAnimated(true);
    TTimerThread *worker = t.tray.AnimationWorker();
    QVERIFY(worker->Suspended());
    worker->Expire();
    QCOMPARE(t.tray.FrameIndex(), 0);  // a suspended worker advances nothing

    t.tray.SetActive(true);
    QVERIFY(t.tray.Added());
    QVERIFY(!worker->Suspended());
    QCOMPARE(shownColour(t.area, t.tray), QColor(Qt::green));
    t.tray.SetActive(false);
    QVERIFY(worker->Suspended());
}

void TestTrayIcon::retiredWorkerNeverTouchesTheIcon()
{
    Tray t;
    t.setIcon(Qt::red);
    t.setFrames({Qt::green, Qt::blue});
    t.tray.SetAnimated(true);
    QPointer<TTimerThread> worker = t.tray.AnimationWorker();
    t.tray.SetAnimated(false);
    QVERIFY(worker);
    QVERIFY(worker->Terminated());
    QVERIFY(!worker->OwnerTray());
    t.area.clearRequests();
    worker->Expire();
    QVERIFY(t.area.requests().isEmpty());
    QCOMPARE(t.tray.FrameIndex(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!worker);  // it freed itself
}

void TestTrayIcon::destroyingRemovesTheIcon()
{
    ScriptedNotifyArea area;
    auto tray = std::make_unique<TRxTrayIcon>();
    tray->SetIcon(iconOf(Qt::red).get());
    TIconList frames;
    frames.Add(iconOf(Qt::green).get());
    tray->SetIcons(&frames);
    tray->SetAnimated(true);
    QPointer<TTimerThread> worker = tray->AnimationWorker();
    const platform::NotifyIconWindow *handle = tray->Handle();
    tray.reset();
    QVERIFY(!area.isRegistered(handle));
    QVERIFY(worker && !worker->OwnerTray());
    worker->Expire();
}

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
