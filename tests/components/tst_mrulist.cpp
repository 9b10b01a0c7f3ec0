#include "tests/support/testsupport.h"
#include "components/MRUList.h"
#include "platform/exceptions.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QStringList namesOf(const TRecentStrings &list)
{
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << list.Strings(i);
    return names;
}

QStringList textsOf(const QMenu &menu)
{
    QStringList texts;
    for (QAction *action : menu.actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

void fill(TMRUManager &manager, const QStringList &newestFirst)
{
    for (qsizetype i = newestFirst.size() - 1; i >= 0; --i)
        manager.Add(newestFirst[i], 0);
}

using testsupport::readFile;
using testsupport::writeFile;

// Exposes the item handler so that a test can see what it lets through.
class OpenManager : public TMRUManager {
public:
    using TMRUManager::MenuItemClick;
};

}  // namespace

class TestMRUList : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_fileCount = 0;
    QString freshPath() { return m_dir.filePath(QStringLiteral("recent%1.conf").arg(++m_fileCount)); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    // ---- The list --------------------------------------------------------------------

    void insertModeAddsAtTopAndDropsTheOldest()
    {
        TRecentStrings list;
        for (int i = 0; i < 10; ++i)
            QCOMPARE(list.Add(QStringLiteral("/f%1").arg(i)), 0);
        QCOMPARE(list.Strings(0), QStringLiteral("/f9"));
        QCOMPARE(list.Add(QStringLiteral("/f10")), 0);
        QCOMPARE(list.Count(), 10);
        QCOMPARE(list.Strings(0), QStringLiteral("/f10"));
        QCOMPARE(list.Strings(9), QStringLiteral("/f1"));  // "/f0" was the oldest
        QCOMPARE(list.IndexOf(QStringLiteral("/f0")), -1);
    }

    void appendModeAddsAtBottomAndDropsTheOldest()
    {
        TRecentStrings list;
        list.SetMode(rmAppend);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(list.Add(QStringLiteral("/f%1").arg(i)), i);
        QCOMPARE(list.Add(QStringLiteral("/f10")), 9);
        QCOMPARE(list.Strings(0), QStringLiteral("/f1"));
        QCOMPARE(list.Strings(9), QStringLiteral("/f10"));
        // A known name goes to the bottom.
        QCOMPARE(list.Add(QStringLiteral("/f3")), 9);
        QCOMPARE(list.Strings(9), QStringLiteral("/f3"));
        QCOMPARE(list.Count(), 10);
    }

    void caseInsensitiveRulePromotesWithTheStoredSpelling()
    {
        TRecentStrings list;
        list.SetNameCase(Qt::CaseInsensitive);
        for (const char *name : {"E:\\d.txt", "d:\\letters\\a.RTF", "E:\\c.txt", "E:\\b.txt", "E:\\a.txt"})
            list.Add(QString::fromLatin1(name));
        QCOMPARE(list.IndexOf(QStringLiteral("D:\\LETTERS\\A.rtf")), 3);
        QCOMPARE(list.Add(QStringLiteral("D:\\Letters\\A.rtf")), 0);
        QCOMPARE(list.Count(), 5);
        QCOMPARE(list.Strings(0), QStringLiteral("d:\\letters\\a.RTF"));
        QCOMPARE(list.Strings(1), QStringLiteral("E:\\a.txt"));
        // Case folding beyond ASCII counts too.
        list.Add(QStringLiteral("/Übersicht.rtf"));
        list.Add(QStringLiteral("/x"));
        QCOMPARE(list.Add(QStringLiteral("/übersicht.RTF")), 0);
        QCOMPARE(list.Strings(0), QStringLiteral("/Übersicht.rtf"));
        list.Remove(QStringLiteral("/ÜBERSICHT.rtf"));
        QCOMPARE(list.IndexOf(QStringLiteral("/Übersicht.rtf")), -1);
    }

    void namesDifferingInCaseAreTwoFilesOnLinux()
    {
#if defined(Q_OS_LINUX)
        QCOMPARE(fileNameCaseSensitivity(), Qt::CaseSensitive);
#else
        QCOMPARE(fileNameCaseSensitivity(), Qt::CaseInsensitive);
#endif
        TRecentStrings list;
        list.SetNameCase(Qt::CaseSensitive);
        list.Add(QStringLiteral("/home/u/Report.rtf"));
        list.Add(QStringLiteral("/home/u/report.rtf"));
        QCOMPARE(namesOf(list), (QStringList{QStringLiteral("/home/u/report.rtf"), QStringLiteral("/home/u/Report.rtf")}));
        list.Remove(QStringLiteral("/home/u/REPORT.rtf"));
        QCOMPARE(list.Count(), 2);
        TMRUManager manager;
        QCOMPARE(manager.NameCase(), fileNameCaseSensitivity());
    }

    void capacityIsNeverBelowOneAndTrimsToTheNewest()
    {
        for (TRecentMode mode : {rmInsert, rmAppend}) {
            TRecentStrings list;
            list.SetMode(mode);
            for (const char *name : {"/a", "/b", "/c"})
                list.Add(QString::fromLatin1(name));
            int changes = 0;
            list.OnChange = [&] { ++changes; };
            list.SetMaxSize(0);
            QCOMPARE(list.MaxSize(), 1);
            QCOMPARE(namesOf(list), QStringList{QStringLiteral("/c")});
            QCOMPARE(changes, 1);
            list.SetMaxSize(-4);
            QCOMPARE(list.MaxSize(), 1);
            QCOMPARE(changes, 2);  // nothing trimmed, still reported
            list.SetMaxSize(1);
            QCOMPARE(changes, 2);
        }
    }

    void changesAreReportedOncePerOutermostBracket()
    {
        TRecentStrings list;
        int changes = 0;
        list.OnChange = [&] { ++changes; };
        list.Add(QStringLiteral("/a"));
        QCOMPARE(changes, 1);
        list.Add(QStringLiteral("/a"));  // already at the top: nothing moves, nothing reported
        QCOMPARE(changes, 1);
        list.BeginUpdate();
        list.BeginUpdate();
        list.Add(QStringLiteral("/b"));
        list.SetUserData(0, 5);
        list.EndUpdate();
        QCOMPARE(changes, 1);
        list.EndUpdate();
        QCOMPARE(changes, 2);
        list.BeginUpdate();
        list.EndUpdate();
        QCOMPARE(changes, 3);  // an empty bracket reports too
        list.EndUpdate();      // unbalanced: ignored
        QCOMPARE(changes, 3);
        list.Remove(QStringLiteral("/missing"));
        QCOMPARE(changes, 3);
        list.SetUserData(0, 5);  // same value, still a change
        QCOMPARE(changes, 4);
    }

    void bulkAddKeepsSourceOrderAndUserData()
    {
        TRecentStrings source;
        source.SetMode(rmAppend);
        source.SetMaxSize(5);
        for (int i = 0; i < 4; ++i) {
            source.Add(QStringLiteral("/s%1").arg(i));
            source.SetUserData(i, 100 + i);
        }
        for (TRecentMode mode : {rmInsert, rmAppend}) {
            TRecentStrings list;
            list.SetMode(mode);
            list.SetMaxSize(3);
            list.Add(QStringLiteral("/old"));
            int changes = 0;
            list.OnChange = [&] { ++changes; };
            list.Assign(source);
            QCOMPARE(changes, 1);
            QCOMPARE(namesOf(list), (QStringList{QStringLiteral("/s0"), QStringLiteral("/s1"), QStringLiteral("/s2")}));
            QCOMPARE(list.UserData(0), 100);
            QCOMPARE(list.UserData(2), 102);
            list.AddStrings(list);  // adding a list to itself changes nothing
            QCOMPARE(namesOf(list), (QStringList{QStringLiteral("/s0"), QStringLiteral("/s1"), QStringLiteral("/s2")}));
        }
        TRecentStrings fromNames;
        fromNames.Assign(QStringList{QStringLiteral("/x"), QStringLiteral("/y"), QStringLiteral("/x")});
        QCOMPARE(namesOf(fromNames), (QStringList{QStringLiteral("/x"), QStringLiteral("/y")}));
    }

    void indexesOutOfRangeAreErrors()
    {
        TRecentStrings list;
        list.Add(QStringLiteral("/a"));
        QVERIFY_THROWS_EXCEPTION(Exception, list.Strings(1));
        QVERIFY_THROWS_EXCEPTION(Exception, list.Delete(-1));
        QVERIFY_THROWS_EXCEPTION(Exception, list.Move(0, 1));
        QVERIFY_THROWS_EXCEPTION(Exception, list.Insert(2, QStringLiteral("/b")));
    }

    // ---- The manager and its menu ----------------------------------------------------

    void defaults()
    {
        TMRUManager manager;
        QCOMPARE(manager.AccelDelimiter(), adTab);
        QVERIFY(manager.AutoEnable());
        QVERIFY(manager.AutoUpdate());
        QCOMPARE(manager.Capacity(), 10);
        QCOMPARE(manager.Mode(), rmInsert);
        QVERIFY(!manager.RemoveOnSelect());
        QCOMPARE(manager.SeparateSize(), quint16(0));
        QVERIFY(!manager.RecentMenu());
        QVERIFY(manager.ShowAccelChar());
        QCOMPARE(manager.StartAccel(), 1u);
        QCOMPARE(manager.Strings().Count(), 0);
    }

    void captionsCarryAcceleratorPrefixes()
    {
        QMenu host(QStringLiteral("Recent"));
        TMRUManager manager;
        manager.SetRecentMenu(&host);
        manager.Add(QStringLiteral("E:\\b.txt"), 0);
        manager.Add(QStringLiteral("D:\\Letters\\a.rtf"), 0);
        QCOMPARE(textsOf(host), (QStringList{QStringLiteral("&1\tD:\\Letters\\a.rtf"), QStringLiteral("&2\tE:\\b.txt")}));

        TMRUManager ten;
        QMenu tenHost;
        ten.SetRecentMenu(&tenHost);
        for (int i = 10; i >= 1; --i)
            ten.Add(QStringLiteral("/f%1").arg(i), 0);
        const QStringList texts = textsOf(tenHost);
        QCOMPARE(texts.size(), 10);
        QCOMPARE(texts[0], QStringLiteral("&1\t/f1"));
        QCOMPARE(texts[8], QStringLiteral("&9\t/f9"));
        QCOMPARE(texts[9], QStringLiteral("&A\t/f10"));

        ten.SetStartAccel(0);
        QCOMPARE(textsOf(tenHost)[0], QStringLiteral("&0\t/f1"));
        ten.SetStartAccel(35);
        QCOMPARE(textsOf(tenHost)[0], QStringLiteral("&Z\t/f1"));
        QCOMPARE(textsOf(tenHost)[1], QStringLiteral("&[\t/f2"));
        ten.SetStartAccel(72);
        QCOMPARE(textsOf(tenHost)[1], QString(QStringLiteral("&") + QChar(0x20AC) + QStringLiteral("\t/f2")));  // code 128
        ten.SetStartAccel(99);
        QCOMPARE(textsOf(tenHost)[1], QString(QStringLiteral("&") + QChar(0x203A) + QStringLiteral("\t/f2")));  // code 155
        QCOMPARE(textsOf(tenHost)[2], QStringLiteral(" \t/f3"));
        ten.SetStartAccel(0xFFFFFFFFu);  // no wrap-around into small numbers
        QCOMPARE(textsOf(tenHost)[1], QStringLiteral(" \t/f2"));

        ten.SetStartAccel(1);
        ten.SetAccelDelimiter(adSpace);
        QCOMPARE(textsOf(tenHost)[0], QStringLiteral("&1 /f1"));
        ten.SetShowAccelChar(false);
        QCOMPARE(textsOf(tenHost)[0], QStringLiteral("/f1"));
        QCOMPARE(textsOf(tenHost)[9], QStringLiteral("/f10"));
    }

    void hostIsEnabledExactlyWhenItHasItems()
    {
        QMenu host;
        host.menuAction()->setEnabled(false);
        TMRUManager manager;
        manager.SetRecentMenu(&host);
        QVERIFY(host.actions().isEmpty());
        QVERIFY(!host.menuAction()->isEnabled());
        manager.Add(QStringLiteral("/a"), 0);
        QVERIFY(host.menuAction()->isEnabled());
        manager.Remove(QStringLiteral("/a"));
        QVERIFY(host.actions().isEmpty());
        QVERIFY(!host.menuAction()->isEnabled());

        manager.SetAutoEnable(false);
        manager.Add(QStringLiteral("/a"), 0);
        QVERIFY(!host.menuAction()->isEnabled());
        manager.SetAutoEnable(true);
        QVERIFY(host.menuAction()->isEnabled());
    }

    void separatorsBeforeForeignItemsAndEveryGroup()
    {
        QMenu host;
        QAction *own = host.addAction(QStringLiteral("Clear list"));
        TMRUManager manager;
        manager.SetRecentMenu(&host);
        QCOMPARE(host.actions(), QList<QAction *>{own});  // an empty list adds no separator
        fill(manager, {QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c"), QStringLiteral("/d"),
                       QStringLiteral("/e")});
        manager.SetSeparateSize(2);
        QCOMPARE(textsOf(host), (QStringList{QStringLiteral("Clear list"), QStringLiteral("-"), QStringLiteral("&1\t/a"),
                                             QStringLiteral("&2\t/b"), QStringLiteral("-"), QStringLiteral("&3\t/c"),
                                             QStringLiteral("&4\t/d"), QStringLiteral("-"), QStringLiteral("&5\t/e")}));
        manager.Strings().Clear();
        QCOMPARE(host.actions(), QList<QAction *>{own});
        QVERIFY(host.menuAction()->isEnabled());  // its own item keeps it enabled
    }

    void captionAndHintSplitAtTheBar()
    {
        QMenu host;
        TMRUManager manager;
        manager.SetRecentMenu(&host);
        manager.Add(QStringLiteral("Short|The long text"), 7);
        manager.Add(QStringLiteral("/plain"), 0);
        QAction *barred = host.actions().at(1);
        QCOMPARE(barred->text(), QStringLiteral("&2\tShort"));
        QCOMPARE(barred->statusTip(), QStringLiteral("The long text"));
        QCOMPARE(host.actions().at(0)->statusTip(), QStringLiteral("/plain"));

        QString name;
        QString caption;
        int userData = -1;
        manager.OnClick = [&](QObject *sender, const QString &recentName, const QString &cap, int data) {
            QCOMPARE(sender, &manager);
            name = recentName;
            caption = cap;
            userData = data;
        };
        barred->trigger();
        QCOMPARE(name, QStringLiteral("Short|The long text"));
        QCOMPARE(caption, QStringLiteral("&2\tShort"));
        QCOMPARE(userData, 7);
    }

    void ownerMayChangeCaptionAndShortcut()
    {
        QMenu host;
        TMRUManager manager;
        manager.SetRecentMenu(&host);
        manager.OnGetItemData = [](QObject *, QString &caption, QKeySequence &shortCut, int userData) {
            caption = QStringLiteral("Doc %1|hint").arg(userData);
            shortCut = QKeySequence(Qt::CTRL | Qt::Key_1);
        };
        manager.Add(QStringLiteral("/a"), 4);
        QAction *item = host.actions().at(0);
        QCOMPARE(item->text(), QStringLiteral("&1\tDoc 4"));
        QCOMPARE(item->statusTip(), QStringLiteral("hint"));
        QCOMPARE(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));
        QVERIFY(item->isEnabled());
        QVERIFY(!item->isCheckable());
    }

    void addingTheTopEntryAgainStillReportsAndRebuilds()
    {
        QMenu host;
        TMRUManager manager;
        manager.SetRecentMenu(&host);
        manager.Add(QStringLiteral("/a"), 1);
        int changes = 0;
        manager.OnChange = [&](QObject *sender) {
            QCOMPARE(sender, &manager);
            ++changes;
        };
        QPointer<QAction> before = host.actions().at(0);
        manager.Add(QStringLiteral("/a"), 2);
        QCOMPARE(changes, 1);
        QVERIFY(before.isNull());
        QCOMPARE(manager.Strings().UserData(0), 2);

        manager.SetAutoUpdate(false);
        manager.Add(QStringLiteral("/b"), 0);
        QCOMPARE(textsOf(host), QStringList{QStringLiteral("&1\t/a")});
        manager.UpdateRecentMenu();
        QCOMPARE(textsOf(host), (QStringList{QStringLiteral("&1\t/b"), QStringLiteral("&2\t/a")}));
    }

    void choosingAnItemLeavesTheListOrRemovesTheEntry()
    {
        QMenu host;
        OpenManager manager;
        manager.SetRecentMenu(&host);
        fill(manager, {QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")});
        QStringList chosen;
        manager.OnClick = [&](QObject *, const QString &recentName, const QString &, int) { chosen << recentName; };
        host.actions().at(1)->trigger();
        QCOMPARE(chosen, QStringList{QStringLiteral("/b")});
        QCOMPARE(namesOf(manager.Strings()), (QStringList{QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")}));

        manager.SetRemoveOnSelect(true);
        host.actions().at(1)->trigger();
        QCOMPARE(namesOf(manager.Strings()), (QStringList{QStringLiteral("/a"), QStringLiteral("/c")}));
        QCOMPARE(textsOf(host), (QStringList{QStringLiteral("&1\t/a"), QStringLiteral("&2\t/c")}));

        // A failing handler does not keep the entry, and its error goes on to the caller.
        manager.OnClick = [](QObject *, const QString &, const QString &, int) {
            throw Exception(QStringLiteral("cannot open"));
        };
        QAction *first = host.actions().at(0);
        QVERIFY_THROWS_EXCEPTION(Exception, manager.MenuItemClick(first));
        QCOMPARE(namesOf(manager.Strings()), QStringList{QStringLiteral("/c")});

        // Items whose tag names no entry, and senders that are no items, are ignored.
        QAction stray;
        stray.setData(5);
        manager.MenuItemClick(&stray);
        manager.MenuItemClick(&manager);
        QCOMPARE(manager.Strings().Count(), 1);

        // A handler that empties the list leaves nothing to remove.
        manager.OnClick = [&](QObject *, const QString &, const QString &, int) { manager.Strings().Clear(); };
        host.actions().at(0)->trigger();
        QCOMPARE(manager.Strings().Count(), 0);
    }

    void choosingFromTheOpenMenuWithTheKeyboard()
    {
        QMenu host;
        TMRUManager manager;
        manager.SetRecentMenu(&host);
        manager.SetRemoveOnSelect(true);
        fill(manager, {QStringLiteral("/a"), QStringLiteral("/b")});
        QString chosen;
        manager.OnClick = [&](QObject *, const QString &recentName, const QString &, int) { chosen = recentName; };
        host.popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QTest::keyClick(&host, Qt::Key_2);  // the item removes itself while it is being triggered
        QTRY_COMPARE(chosen, QStringLiteral("/b"));
        QCOMPARE(namesOf(manager.Strings()), QStringList{QStringLiteral("/a")});
        QCOMPARE(textsOf(host), QStringList{QStringLiteral("&1\t/a")});
    }

    void movingToAnotherHostAndLosingTheHost()
    {
        auto first = std::make_unique<QMenu>();
        QMenu second;
        TMRUManager manager;
        manager.SetRecentMenu(first.get());
        manager.Add(QStringLiteral("/a"), 0);
        QCOMPARE(first->actions().size(), 1);
        manager.SetRecentMenu(first.get());  // the same host again: rebuilt, not doubled
        QCOMPARE(first->actions().size(), 1);
        manager.SetRecentMenu(&second);
        QVERIFY(first->actions().isEmpty());
        QVERIFY(!first->menuAction()->isEnabled());
        QCOMPARE(textsOf(second), QStringList{QStringLiteral("&1\t/a")});

        manager.SetRecentMenu(first.get());
        first.reset();
        QVERIFY(!manager.RecentMenu());
        manager.Add(QStringLiteral("/b"), 0);  // works on without a host
        QCOMPARE(manager.Strings().Count(), 2);
        QVERIFY(second.actions().isEmpty());

        // A manager destroyed before its host takes its items along, never the host.
        QMenu host;
        {
            TMRUManager shortLived;
            shortLived.SetRecentMenu(&host);
            shortLived.Add(QStringLiteral("/a"), 0);
            QCOMPARE(host.actions().size(), 1);
        }
        QVERIFY(host.actions().isEmpty());
        QVERIFY(!host.menuAction()->isEnabled());
    }

    void propertySettersFollowTheirRules()
    {
        QMenu host;
        TMRUManager manager;
        manager.SetRecentMenu(&host);
        fill(manager, {QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")});
        int changes = 0;
        manager.OnChange = [&](QObject *) { ++changes; };
        manager.SetCapacity(10);
        QCOMPARE(changes, 0);
        manager.SetCapacity(0);
        QCOMPARE(manager.Capacity(), 1);
        QCOMPARE(changes, 1);
        QCOMPARE(textsOf(host), QStringList{QStringLiteral("&1\t/a")});

        manager.SetCapacity(5);
        manager.SetMode(rmAppend);  // only stored: nothing moves, nothing is rebuilt
        QCOMPARE(changes, 2);
        manager.Add(QStringLiteral("/z"), 0);
        QCOMPARE(namesOf(manager.Strings()), (QStringList{QStringLiteral("/a"), QStringLiteral("/z")}));

        QPointer<QAction> item = host.actions().at(0);
        manager.SetShowAccelChar(false);  // the delimiter then does not matter
        item = host.actions().at(0);
        manager.SetAccelDelimiter(adSpace);
        QVERIFY(!item.isNull());
        manager.SetAutoUpdate(false);
        manager.SetSeparateSize(1);
        QVERIFY(!item.isNull());
    }

    // ---- Settings --------------------------------------------------------------------

    void loadingSkipsMissingNumbersAndReadsBelowCapacityOnly()
    {
        const QString path = freshPath();
        writeFile(path, "[Recent]\nItem_0=/zero\nItem_2=/two\nItem_12=/twelve\n");
        TRegIniFile ini(TRegIniFile::IniFile{path});
        QMenu host;
        TMRUManager manager;
        manager.SetRecentMenu(&host);
        manager.Add(QStringLiteral("/previous"), 0);
        manager.SetMode(rmAppend);
        int changes = 0;
        manager.OnChange = [&](QObject *) { ++changes; };
        manager.LoadFromRegistry(ini, QStringLiteral("Recent"));
        QCOMPARE(namesOf(manager.Strings()), (QStringList{QStringLiteral("/zero"), QStringLiteral("/two")}));
        QCOMPARE(changes, 1);
        QCOMPARE(manager.Mode(), rmAppend);
        QCOMPARE(textsOf(host), (QStringList{QStringLiteral("&1\t/zero"), QStringLiteral("&2\t/two")}));
        QVERIFY(host.menuAction()->isEnabled());

        manager.SetCapacity(2);
        manager.LoadFromRegistry(ini, QStringLiteral("Recent"));
        QCOMPARE(namesOf(manager.Strings()), QStringList{QStringLiteral("/zero")});

        manager.SetCapacity(20);
        manager.LoadFromRegistry(ini, QStringLiteral("Recent"));
        QCOMPARE(manager.Strings().Count(), 3);
        QCOMPARE(manager.Strings().Strings(2), QStringLiteral("/twelve"));

        manager.LoadFromRegistry(ini, QStringLiteral("Missing"));
        QCOMPARE(manager.Strings().Count(), 0);
        QVERIFY(!host.menuAction()->isEnabled());
    }

    void equalStoredNamesCollapseAtTheLowerNumber()
    {
        const QString path = freshPath();
        writeFile(path, "[Recent]\nItem_0=/a\nItem_1=/Doc.rtf\nItem_2=/b\nItem_4=/DOC.RTF\nItem_5=\n");
        TRegIniFile ini(TRegIniFile::IniFile{path});
        TMRUManager manager;
        manager.SetNameCase(Qt::CaseInsensitive);
        manager.LoadFromRegistry(ini, QStringLiteral("Recent"));
        QCOMPARE(namesOf(manager.Strings()),
                 (QStringList{QStringLiteral("/a"), QStringLiteral("/DOC.RTF"), QStringLiteral("/b")}));

        TMRUManager exact;
        exact.SetNameCase(Qt::CaseSensitive);
        exact.LoadFromRegistry(ini, QStringLiteral("Recent"));
        QCOMPARE(exact.Strings().Count(), 4);
    }

    void valueThatIsNotAStringStopsLoading()
    {
        const QString path = freshPath();
        writeFile(path, "[Recent]\nItem_0=/zero\nItem_3=@Variant(\\0\\0\\0\\x2\\0\\0\\0*)\nItem_5=/five\n");
        TRegIniFile ini(TRegIniFile::IniFile{path});
        TMRUManager manager;
        manager.SetMode(rmAppend);
        int changes = 0;
        manager.OnChange = [&](QObject *) { ++changes; };
        QString message;
        try {
            manager.LoadFromRegistry(ini, QStringLiteral("Recent"));
        } catch (const Exception &e) {
            message = e.message();
        }
        QCOMPARE(message, QStringLiteral("Invalid data type for 'Item_3'"));
        QCOMPARE(namesOf(manager.Strings()), QStringList{QStringLiteral("/five")});  // as far as it got
        QCOMPARE(manager.Mode(), rmAppend);
        QCOMPARE(changes, 1);
    }

    void savingWritesNewestFirstAndLeavesNoEmptySection()
    {
        const QString path = freshPath();
        writeFile(path, "[Recent]\nItem_0=/old0\nItem_7=/old7\n[Other]\nx=1\n");
        {
            TRegIniFile ini(TRegIniFile::IniFile{path});
            TMRUManager manager;
            manager.Add(QStringLiteral("/older"), 3);
            manager.Add(QStringLiteral("/newest"), 4);
            manager.SaveToRegistry(ini, QStringLiteral("Recent"));
            QCOMPARE(ini.ReadSection(QStringLiteral("Recent")), (QStringList{QStringLiteral("Item_0"), QStringLiteral("Item_1")}));
            QCOMPARE(ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QString()), QStringLiteral("/newest"));

            TMRUManager reloaded;
            reloaded.LoadFromRegistry(ini, QStringLiteral("Recent"));
            QCOMPARE(namesOf(reloaded.Strings()), (QStringList{QStringLiteral("/newest"), QStringLiteral("/older")}));
            QCOMPARE(reloaded.Strings().UserData(0), 0);  // user data is not stored

            TMRUManager empty;
            empty.SaveToRegistry(ini, QStringLiteral("Recent"));
            QVERIFY(!ini.SectionExists(QStringLiteral("Recent")));
        }
        const QByteArray content = readFile(path);
        QVERIFY(!content.contains("Recent"));
        QVERIFY(content.contains("[Other]"));
    }

    void ownerMayReadAndWriteEntriesItself()
    {
        const QString path = freshPath();
        TRegIniFile ini(TRegIniFile::IniFile{path});
        TMRUManager manager;
        manager.OnWriteItem = [](QObject *, TRegIniFile &file, const QString &section, int index,
                                 const QString &recentName, int userData) {
            file.WriteString(section, QStringLiteral("File%1").arg(index), recentName);
            file.WriteString(section, QStringLiteral("Data%1").arg(index), QString::number(userData));
        };
        manager.Add(QStringLiteral("/b"), 20);
        manager.Add(QStringLiteral("/a"), 10);
        manager.SaveToRegistry(ini, QStringLiteral("Recent"));
        QVERIFY(!ini.ValueExists(QStringLiteral("Recent"), QStringLiteral("Item_0")));

        TMRUManager reader;
        QList<int> asked;
        reader.OnReadItem = [&](QObject *, TRegIniFile &file, const QString &section, int index, QString &recentName,
                                int &userData) {
            asked << index;
            recentName = file.ReadString(section, QStringLiteral("File%1").arg(index), QString());
            userData = file.ReadString(section, QStringLiteral("Data%1").arg(index), QStringLiteral("0")).toInt();
        };
        reader.SetCapacity(3);
        reader.LoadFromRegistry(ini, QStringLiteral("Recent"));
        QCOMPARE(asked, (QList<int>{2, 1, 0}));
        QCOMPARE(namesOf(reader.Strings()), (QStringList{QStringLiteral("/a"), QStringLiteral("/b")}));
        QCOMPARE(reader.Strings().UserData(1), 20);
    }
};

QTEST_MAIN(TestMRUList)
#include "tst_mrulist.moc"
