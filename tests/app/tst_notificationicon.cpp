#include "tests/support/testsupport.h"
#include "app/WPAbout.h"
#include "app/WPForm.h"
#include "components/RXShell.h"
#include "platform/application.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/scriptednotifyarea.h"
#include "platform/popupmenu.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"

#include <QAction>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using platform::MessageResult;
using platform::ScriptedDialogs;
using platform::ScriptedNotifyArea;

// The main window's icon in a scripted notification area, and its menu.
class TestNotificationIcon : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void iconShowsTheProgramPictureAndName();
    void rightClickShowsKeloAboutExit();
    void doubleClickDoesNothing();
    void aboutOpensTheAboutBoxFromBothMenus_data();
    void aboutOpensTheAboutBoxFromBothMenus();
    void keloBringsAMinimisedWindowBack();
    void exitAsksAboutChangesAndCloses();
    void closedWindowKeepsTheIconUntilDestroyed();
    void destroyingTheWindowRemovesTheIcon();

private:
    QAction *item(const char *name) const { return testsupport::child<QAction>(window.get(), name); }
    TRxTrayIcon *tray() const { return window->NotificationIcon(); }
    // Runs `open`, which shows a modal box, and answers the box with `key` once it is up;
    // returns the class name and caption of the box that was shown.
    QString answerModal(const std::function<void()> &open, Qt::Key key);

    QTemporaryDir settingsDir;
    std::unique_ptr<ScriptedNotifyArea> area;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TfmPellWP> window;
};

void TestNotificationIcon::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
}

void TestNotificationIcon::init()
{
    area = std::make_unique<ScriptedNotifyArea>();
    dialogs = std::make_unique<ScriptedDialogs>();
    window = std::make_unique<TfmPellWP>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestNotificationIcon::cleanup()
{
    window.reset();
    QVERIFY2(dialogs->problems().isEmpty(), qPrintable(dialogs->problems().join(QLatin1Char('\n'))));
    dialogs.reset();
    area.reset();
}

QString TestNotificationIcon::answerModal(const std::function<void()> &open, Qt::Key key)
{
    QString shown;
    std::function<void()> answer = [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box) {
            QTimer::singleShot(10, answer);
            return;
        }
        shown = QStringLiteral("%1 %2").arg(QLatin1String(box->metaObject()->className()), box->windowTitle());
        QTest::keyClick(box, key);
    };
    QTimer::singleShot(0, answer);
    open();
    return shown;
}

void TestNotificationIcon::iconShowsTheProgramPictureAndName()
{
    QVERIFY(tray()->Active());
    QVERIFY(tray()->Added());
    QVERIFY(!tray()->Animated());
    QCOMPARE(tray()->Interval(), quint16(150));
    const platform::NotifyIconData shown = area->shown(tray()->Handle());
    QCOMPARE(shown.tip, QStringLiteral("Penhaven Word Processor"));
    QCOMPARE(shown.icon.availableSizes(), QList<QSize>({QSize(32, 32), QSize(16, 16)}));
    // The same picture as the window's icon.
    QCOMPARE(shown.icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
             window->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32));
}

void TestNotificationIcon::rightClickShowsKeloAboutExit()
{
    TPopupMenu *menu = tray()->PopupMenu();
    QVERIFY(menu);
    QStringList captions;
    for (QAction *entry : menu->actions())
        captions << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    QCOMPARE(captions, QStringList({"Kelo", "About", "-", "Exit"}));

    tray()->Handle()->deliver(platform::WM_RBUTTONDOWN);
    tray()->Handle()->deliver(platform::WM_RBUTTONUP);
    QVERIFY(menu->isVisible());
    menu->close();
}

void TestNotificationIcon::doubleClickDoesNothing()
{
    for (QAction *entry : tray()->PopupMenu()->actions())
        QVERIFY(!tray()->PopupMenu()->IsDefault(entry));
    tray()->Handle()->deliver(platform::WM_LBUTTONDBLCLK);
    tray()->Handle()->deliver(platform::WM_LBUTTONUP);
    QVERIFY(window->isVisible());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestNotificationIcon::aboutOpensTheAboutBoxFromBothMenus_data()
{
    QTest::addColumn<QString>("itemName");
    QTest::addColumn<int>("key");
    QTest::newRow("Help, About, closed with Esc") << "About1" << int(Qt::Key_Escape);
    QTest::newRow("tray About, closed with Enter") << "MenuItem1" << int(Qt::Key_Return);
}

void TestNotificationIcon::aboutOpensTheAboutBoxFromBothMenus()
{
    QFETCH(QString, itemName);
    QFETCH(int, key);
    QAction *entry = item(itemName.toLatin1().constData());
    QVERIFY(entry->isEnabled());
    const QString shown = answerModal([entry] { entry->trigger(); }, Qt::Key(key));
    QCOMPARE(shown, QStringLiteral("TAboutBox About Wordprocessor"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window->findChildren<TAboutBox *>().isEmpty());  // freed when it closed
}

void TestNotificationIcon::keloBringsAMinimisedWindowBack()
{
    window->showMaximized();
    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    item("RXDemo1")->trigger();
    QTRY_VERIFY(!window->isMinimized());
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    QVERIFY(window->isVisible());
}

void TestNotificationIcon::exitAsksAboutChangesAndCloses()
{
    QTest::keyClicks(window->Editor(), QStringLiteral("unsaved"));
    dialogs->queueMessage(MessageResult::Cancel);
    item("Exit1")->trigger();
    QVERIFY(window->isVisible());  // Cancel keeps the window and the text
    QCOMPARE(dialogs->lastRequest().text, QStringLiteral("Save changes to Untitled?"));

    dialogs->queueMessage(MessageResult::No);
    item("Exit1")->trigger();
    QVERIFY(!window->isVisible());
}

void TestNotificationIcon::closedWindowKeepsTheIconUntilDestroyed()
{
    // Closing hides the window; the icon stays until the window is destroyed with the
    // program's end.
    window->close();
    QVERIFY(area->isRegistered(tray()->Handle()));
}

void TestNotificationIcon::destroyingTheWindowRemovesTheIcon()
{
    const platform::NotifyIconWindow *handle = tray()->Handle();
    window.reset();
    QVERIFY(!area->isRegistered(handle));
}

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    platform::Application app(argc, argv);
    platform::setApplicationTitle(QStringLiteral("Vantor Crestel Word Processor"));
    CreateGlobalIntl(app);
    TestNotificationIcon test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_notificationicon.moc"
