#include "tests/support/testsupport.h"
#include "platform/exceptions.h"
#include "platform/reginifile.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

using testsupport::readFile;
using testsupport::writeFile;

QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Exception &e) {
        return e.message();
    }
    return QString();
}

// Lowers the size a file may grow to for the life of the object, so that writing the
// settings file fails as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

}  // namespace

class TestRegIniFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_fileCount = 0;
    // A new file name for every use: QSettings caches what it has parsed per file.
    QString freshPath() { return m_dir.filePath(QStringLiteral("settings%1.conf").arg(++m_fileCount)); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void keyPathMapsToOrganisationAndApplication()
    {
        const QString configDir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        // The program's own key; other tests may use its file at the same time, so only look.
        QCOMPARE(TRegIniFile(QStringLiteral("\\Software\\Penhaven\\Wordprocessor\\")).FileName(),
                 configDir + QStringLiteral("/Penhaven/Wordprocessor.conf"));

        const QString expected = configDir + QStringLiteral("/PenhavenTests/RegIniFile.conf");
        QFile::remove(expected);
        {
            TRegIniFile ini(QStringLiteral("\\Software\\PenhavenTests\\RegIniFile\\"));
            QCOMPARE(ini.FileName(), expected);
            ini.WriteString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QStringLiteral("/home/u/a.rtf"));
        }
        TRegIniFile again(QStringLiteral("Software/PenhavenTests/RegIniFile"));
        QCOMPARE(again.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QString()),
                 QStringLiteral("/home/u/a.rtf"));
        QVERIFY(readFile(expected).contains("[Recent]"));
        QFile::remove(expected);

        // Deeper key levels become groups in the application's file.
        const QString deepFile = configDir + QStringLiteral("/PenhavenTests/Deep.conf");
        QFile::remove(deepFile);
        {
            TRegIniFile deep(QStringLiteral("\\Software\\PenhavenTests\\Deep\\Level\\"));
            deep.WriteString(QStringLiteral("S"), QStringLiteral("v"), QStringLiteral("x"));
        }
        QSettings raw(deepFile, QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("Level/S/v")).toString(), QStringLiteral("x"));
        QFile::remove(deepFile);
    }

    void stringsRoundTripExactly()
    {
        const QString path = freshPath();
        const QStringList texts = {QStringLiteral("C:\\Letters\\a, b.rtf"), QStringLiteral("  padded  "),
                                   QStringLiteral("\"quoted\""), QStringLiteral("@Variant(x)"),
                                   QStringLiteral("semi;colon=equals#hash"), QStringLiteral("Grüße ✓"),
                                   QStringLiteral("42"), QString()};
        {
            TRegIniFile ini(TRegIniFile::IniFile{path});
            for (int i = 0; i < texts.size(); ++i)
                ini.WriteString(QStringLiteral("Recent"), QStringLiteral("Item_%1").arg(i), texts[i]);
        }
        TRegIniFile ini(TRegIniFile::IniFile{path});
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_%1").arg(i), QStringLiteral("dflt")),
                     texts[i]);
        QCOMPARE(ini.ReadSection(QStringLiteral("Recent")).size(), texts.size());
    }

    void missingSectionsAndValuesGiveTheDefault()
    {
        const QString path = freshPath();
        writeFile(path, "[Recent]\nItem_0=a\n[Recent/Sub]\nItem_1=b\n");
        TRegIniFile ini(TRegIniFile::IniFile{path});
        QCOMPARE(ini.ReadString(QStringLiteral("Other"), QStringLiteral("Item_0"), QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_9"), QStringLiteral("d")), QStringLiteral("d"));
        // A subkey of the same name is not a value.
        QCOMPARE(ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Sub"), QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(ini.ReadSection(QStringLiteral("Recent")), QStringList{QStringLiteral("Item_0")});
        QVERIFY(ini.ValueExists(QStringLiteral("Recent"), QStringLiteral("Item_0")));
        QVERIFY(!ini.ValueExists(QStringLiteral("Recent"), QStringLiteral("Item_1")));
        QVERIFY(!ini.SectionExists(QStringLiteral("Other")));

        TRegIniFile absent(TRegIniFile::IniFile{m_dir.filePath(QStringLiteral("never/written.conf"))});
        QCOMPARE(absent.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QString()), QString());
    }

    void textIsCutAtItsFirstNul()
    {
        const QString path = freshPath();
        writeFile(path, "[Recent]\nItem_0=\"x\\0y\"\n");
        TRegIniFile ini(TRegIniFile::IniFile{path});
        QCOMPARE(ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QString()), QStringLiteral("x"));
    }

    void eraseSectionRemovesItWithItsSubsections()
    {
        const QString path = freshPath();
        writeFile(path, "[Recent]\nItem_0=a\n[Recent/Sub]\nx=1\n[Keep]\ny=2\n");
        {
            TRegIniFile ini(TRegIniFile::IniFile{path});
            ini.EraseSection(QStringLiteral("Recent"));
            ini.EraseSection(QStringLiteral("Missing"));
            ini.EraseSection(QString());  // must not wipe the store
            QVERIFY(!ini.SectionExists(QStringLiteral("Recent")));
            QVERIFY(ini.SectionExists(QStringLiteral("Keep")));
        }
        const QByteArray content = readFile(path);
        QVERIFY(!content.contains("Recent"));
        QVERIFY(content.contains("[Keep]"));

        // Erasing what is not there writes nothing, not even a new file.
        const QString untouched = freshPath();
        TRegIniFile ini(TRegIniFile::IniFile{untouched});
        ini.EraseSection(QStringLiteral("Recent"));
        QVERIFY(!QFile::exists(untouched));
    }

    void valuesThatAreNotStringsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("list") << QByteArray("a, b");
        QTest::newRow("bytes") << QByteArray("@ByteArray(xyz)");
        QTest::newRow("int") << QByteArray("@Variant(\\0\\0\\0\\x2\\0\\0\\0*)");
        QTest::newRow("rect") << QByteArray("@Rect(1 2 3 4)");
        QTest::newRow("invalid") << QByteArray("@Invalid()");
        QTest::newRow("broken variant") << QByteArray("@Variant(zz)");
    }

    void valuesThatAreNotStringsAreRefused()
    {
        QFETCH(QByteArray, stored);
        const QString path = freshPath();
        writeFile(path, "[Recent]\nItem_0=plain\nItem_3=" + stored + "\n");
        TRegIniFile ini(TRegIniFile::IniFile{path});
        QCOMPARE(messageOf([&] { ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_3"), QString()); }),
                 QStringLiteral("Invalid data type for 'Item_3'"));
        QCOMPARE(ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QString()), QStringLiteral("plain"));
    }

    void unreadableStoreFailsToGetData()
    {
        // A folder where the file should be cannot be read.
        const QString folder = freshPath();
        QVERIFY(QDir().mkpath(folder));
        TRegIniFile onFolder(TRegIniFile::IniFile{folder});
        QCOMPARE(messageOf([&] { onFolder.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_9"), QString()); }),
                 QStringLiteral("Failed to get data for 'Item_9'"));
        QCOMPARE(messageOf([&] { onFolder.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_8"), QString()); }),
                 QStringLiteral("Failed to get data for 'Item_8'"));

        // A damaged file is reported once; what could be parsed is read afterwards.
        const QString damaged = freshPath();
        writeFile(damaged, "[Recent\nItem_0=x\n");
        TRegIniFile ini(TRegIniFile::IniFile{damaged});
        QCOMPARE(messageOf([&] { ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QString()); }),
                 QStringLiteral("Failed to get data for 'Item_0'"));
        QCOMPARE(ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QStringLiteral("d")), QStringLiteral("x"));
        // ...and writing repairs it.
        ini.WriteString(QStringLiteral("Recent"), QStringLiteral("Item_1"), QStringLiteral("y"));
        QVERIFY(readFile(damaged).contains("[Recent]"));
    }

    void sectionThatCannotBeCreatedFailsToCreateKey()
    {
        const QString regular = freshPath();
        writeFile(regular, "not a folder");
        TRegIniFile ini(TRegIniFile::IniFile{regular + QStringLiteral("/sub/settings.conf")});  // never throws
        QCOMPARE(ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QStringLiteral("d")), QStringLiteral("d"));
        QCOMPARE(messageOf([&] { ini.WriteString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QStringLiteral("a")); }),
                 QStringLiteral("Failed to create key Recent"));
        ini.EraseSection(QStringLiteral("Recent"));  // nothing to erase, so nothing fails

        TRegIniFile good(TRegIniFile::IniFile{freshPath()});
        QCOMPARE(messageOf([&] { good.WriteString(QString(), QStringLiteral("Item_0"), QStringLiteral("a")); }),
                 QStringLiteral("Failed to create key "));
        QCOMPARE(messageOf([&] { good.WriteString(QStringLiteral("/"), QStringLiteral("Item_0"), QStringLiteral("a")); }),
                 QStringLiteral("Failed to create key /"));
    }

    void writeThatCannotBeStoredFailsToSetData()
    {
        const QString path = freshPath();
        TRegIniFile ini(TRegIniFile::IniFile{path});
        ini.WriteString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QStringLiteral("short"));
        {
            FileSizeLimit full(16);
            const QString message = messageOf([&] {
                ini.WriteString(QStringLiteral("Recent"), QStringLiteral("Item_1"), QString(200, QLatin1Char('x')));
            });
            QCOMPARE(message, QStringLiteral("Failed to set data for 'Item_1'"));
        }
        // The failure is not carried over: reading and writing work again.
        QCOMPARE(ini.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QString()), QStringLiteral("short"));
        ini.WriteString(QStringLiteral("Recent"), QStringLiteral("Item_2"), QStringLiteral("z"));
        QVERIFY(readFile(path).contains("Item_2=z"));

        {
            FileSizeLimit full(4);
            QCOMPARE(messageOf([&] { ini.EraseSection(QStringLiteral("Recent")); }),
                     QStringLiteral("Failed to set data for 'Recent'"));
        }

        // A folder in the file's place cannot be written either.
        const QString folder = freshPath();
        QVERIFY(QDir().mkpath(folder));
        TRegIniFile onFolder(TRegIniFile::IniFile{folder});
        QCOMPARE(messageOf([&] { onFolder.WriteString(QStringLiteral("Recent"), QStringLiteral("Item_0"), QStringLiteral("a")); }),
                 QStringLiteral("Failed to set data for 'Item_0'"));
    }
};

QTEST_GUILESS_MAIN(TestRegIniFile)
#include "tst_reginifile.moc"
