#include "platform/exceptions.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_files.h"
#include "richedit/wwriched_lines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Exception &error) {
        return error.message();
    }
    return QString();
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeContents(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

constexpr uid_t kUnprivilegedId = 65534;

// A folder holding one file, both handed to an unprivileged user when the tests run as
// root (folder permissions do not stop the superuser), for use by runUnprivileged. A
// locked folder refuses new files.
struct UserFolder {
    QTemporaryDir base;
    QString folder;
    QString file;
    bool locked;

    UserFolder(const QByteArray &contents, bool isLocked) : locked(isLocked)
    {
        folder = base.filePath(QStringLiteral("folder"));
        file = folder + QStringLiteral("/doc.txt");
        QDir().mkdir(folder);
        writeContents(file, contents);
        ::chmod(QFile::encodeName(base.path()).constData(), 0755);
        if (::geteuid() == 0) {
            ::chown(QFile::encodeName(folder).constData(), kUnprivilegedId, kUnprivilegedId);
            ::chown(QFile::encodeName(file).constData(), kUnprivilegedId, kUnprivilegedId);
        }
        ::chmod(QFile::encodeName(folder).constData(), locked ? 0555 : 0755);
    }
    ~UserFolder() { ::chmod(QFile::encodeName(folder).constData(), 0755); }
};

// Child exit codes of runUnprivileged besides the action's own results.
constexpr int kActionThrew = 99;
constexpr int kNoUserChange = 98;
constexpr int kLockNotEnforced = 97;

// Runs `action` in a child process, as an unprivileged user when this process is root,
// with file sizes limited to `sizeLimit` bytes (0: no limit). Returns the child's exit
// code. A locked `folder` is first checked to refuse new files.
int runUnprivileged(const UserFolder &folder, const std::function<int()> &action, rlim_t sizeLimit = 0)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(kUnprivilegedId) != 0 || ::setuid(kUnprivilegedId) != 0))
            ::_exit(kNoUserChange);
        if (folder.locked && QFile(folder.folder + QStringLiteral("/probe")).open(QIODevice::WriteOnly))
            ::_exit(kLockNotEnforced);
        if (sizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{sizeLimit, sizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        int result = kActionThrew;
        try {
            result = action();
        } catch (...) {
        }
        ::_exit(result);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Why a child's result tells nothing on this system, or nullptr.
const char *unsupportedReason(int result)
{
    if (result == kNoUserChange)
        return "the test cannot run as an unprivileged user here";
    if (result == kLockNotEnforced)
        return "folder permissions are not enforced here";
    return nullptr;
}

}  // namespace

class TestFileSave : public QObject {
    Q_OBJECT
private slots:
    void init();
    void saveAndLoadRoundTrip();
    void txtNameStillSavesRtf();
    void textFilesLoadWhateverTheirName();
    void failedWriteLeavesOldFileUntouched();
    void deviceFullIsReportedWithTheFileName();
    void pathThroughRegularFileFails();
    void savingThroughSymlinkUpdatesTarget();
    void permissionsAreKept();
    void newFileGetsOrdinaryPermissions();
    void readOnlyFolderWritesInPlace();
    void fullDiskKeepsOldContent_data();
    void fullDiskKeepsOldContent();
    void failedLoadsKeepContent_data();
    void failedLoadsKeepContent();

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void TestFileSave::init()
{
    QVERIFY(m_dir.isValid());
    for (const QString &entry : entriesOf(m_dir.path()))
        QFile::remove(path(entry));
}

void TestFileSave::saveAndLoadRoundTrip()
{
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("caf\u00e9 first\nsecond \u4e2d"));
    edit.setSelectionRange({0, 4});
    edit.SelectionAttributes().SetStyle(TFontStyles(fsItalic));
    edit.Lines()->SaveToFile(path("doc.rtf"));
    QCOMPARE(entriesOf(m_dir.path()), QStringList({"doc.rtf"}));  // no temporary left

    TwwDBRichEdit loaded;
    loaded.Lines()->LoadFromFile(path("doc.rtf"));
    QCOMPARE(loaded.Lines()->ToStringList(), edit.Lines()->ToStringList());
    loaded.setSelectionRange({0, 4});
    QVERIFY(loaded.SelectionAttributes().Style().testFlag(fsItalic));

    edit.SetPlainText(true);
    edit.Lines()->SaveToFile(path("doc.rtf"));  // overwriting an existing file
    QCOMPARE(contentsOf(path("doc.rtf")), QStringLiteral("caf\u00e9 first\r\nsecond \u4e2d\r\n").toUtf8());
}

void TestFileSave::txtNameStillSavesRtf()
{
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("hello"));
    edit.Lines()->SaveToFile(path("note.txt"));
    QVERIFY(contentsOf(path("note.txt")).startsWith("{\\rtf1"));
}

void TestFileSave::textFilesLoadWhateverTheirName()
{
    // A file named .rtf that does not start as RTF is read as text.
    writeContents(path("plain.rtf"), "{rtf1 unclosed\nsecond\rthird");
    TwwDBRichEdit edit;
    edit.Lines()->LoadFromFile(path("plain.rtf"));
    QCOMPARE(edit.Lines()->ToStringList(), QStringList({"{rtf1 unclosed", "second", "third"}));
    writeContents(path("rich.txt"), "{\\rtf1\\ansi {\\b rich} text}");
    edit.Lines()->LoadFromFile(path("rich.txt"));
    QCOMPARE(edit.Lines()->ToStringList(), QStringList({"rich text"}));
}

void TestFileSave::failedWriteLeavesOldFileUntouched()
{
    writeContents(path("old.rtf"), "precious");
    const QString message = failureOf([&] {
        writeFileSafely(path("old.rtf"), [](QIODevice &device) {
            device.write(QByteArray(100000, 'n'));
            throw EStreamError(QStringLiteral("Failed to Save Stream"));
        });
    });
    QVERIFY(message.contains(path("old.rtf")));
    QCOMPARE(contentsOf(path("old.rtf")), QByteArray("precious"));
    QCOMPARE(entriesOf(m_dir.path()), QStringList({"old.rtf"}));
}

void TestFileSave::deviceFullIsReportedWithTheFileName()
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full on this system");
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("does not fit"));
    const QString message = failureOf([&] { edit.Lines()->SaveToFile(QStringLiteral("/dev/full")); });
    QVERIFY2(message.contains(QStringLiteral("/dev/full")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("space"), Qt::CaseInsensitive), qPrintable(message));
    // The device is written to, never replaced by a regular file.
    struct stat info;
    QCOMPARE(::stat("/dev/full", &info), 0);
    QVERIFY(S_ISCHR(info.st_mode));
}

void TestFileSave::pathThroughRegularFileFails()
{
    writeContents(path("plain"), "x");
    const QString target = path("plain/doc.rtf");
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("text"));
    const QString message = failureOf([&] { edit.Lines()->SaveToFile(target); });
    QVERIFY2(message.contains(target), qPrintable(message));
    QCOMPARE(contentsOf(path("plain")), QByteArray("x"));
}

void TestFileSave::savingThroughSymlinkUpdatesTarget()
{
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("real")));
    writeContents(path("real/target.txt"), "old");
    QVERIFY(QFile::link(path("real/target.txt"), path("link.txt")));
    TwwDBRichEdit edit;
    edit.SetPlainText(true);
    edit.Lines()->SetText(QStringLiteral("new"));
    edit.Lines()->SaveToFile(path("link.txt"));
    QVERIFY(QFileInfo(path("link.txt")).isSymLink());
    QCOMPARE(contentsOf(path("real/target.txt")), QByteArray("new\r\n"));
    QCOMPARE(entriesOf(path("real")), QStringList({"target.txt"}));

    // A link whose target does not exist yet creates the target.
    QVERIFY(QFile::link(path("real/later.txt"), path("dangling.txt")));
    edit.Lines()->SaveToFile(path("dangling.txt"));
    QVERIFY(QFileInfo(path("dangling.txt")).isSymLink());
    QCOMPARE(contentsOf(path("real/later.txt")), QByteArray("new\r\n"));
}

void TestFileSave::permissionsAreKept()
{
    writeContents(path("shared.rtf"), "old");
    QVERIFY(::chmod(QFile::encodeName(path("shared.rtf")).constData(), 0640) == 0);
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("new content"));
    edit.Lines()->SaveToFile(path("shared.rtf"));
    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(path("shared.rtf")).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), 0640);
}

void TestFileSave::newFileGetsOrdinaryPermissions()
{
    const mode_t mask = ::umask(022);
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("fresh"));
    edit.Lines()->SaveToFile(path("fresh.rtf"));
    ::umask(mask);
    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(path("fresh.rtf")).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), 0644);
}

void TestFileSave::readOnlyFolderWritesInPlace()
{
    UserFolder locked("old", true);
    TwwDBRichEdit edit;
    edit.SetPlainText(true);
    edit.Lines()->SetText(QStringLiteral("updated"));
    const int result = runUnprivileged(locked, [&] {
        edit.Lines()->SaveToFile(locked.file);
        return 0;
    });
    if (const char *reason = unsupportedReason(result))
        QSKIP(reason);
    QCOMPARE(result, 0);
    QCOMPARE(contentsOf(locked.file), QByteArray("updated\r\n"));
    QCOMPARE(entriesOf(locked.folder), QStringList({"doc.txt"}));
}

void TestFileSave::fullDiskKeepsOldContent_data()
{
    QTest::addColumn<bool>("folderLocked");
    QTest::newRow("folder takes new files") << false;
    QTest::newRow("folder refuses new files") << true;
}

void TestFileSave::fullDiskKeepsOldContent()
{
    // The disk fills (here: the file size limit is reached) halfway through the new
    // content: the save fails, and the old content is what the file holds.
    QFETCH(bool, folderLocked);
    const QByteArray old("the only copy of the old text");
    UserFolder folder(old, folderLocked);
    const int result = runUnprivileged(
        folder,
        [&] {
            try {
                writeFileSafely(folder.file, [](QIODevice &device) { device.write(QByteArray(4000, 'n')); });
            } catch (const EStreamError &error) {
                return error.message().contains(folder.file) ? 0 : 1;
            }
            return 2;  // reported as saved
        },
        1024);
    if (const char *reason = unsupportedReason(result))
        QSKIP(reason);
    QCOMPARE(result, 0);
    QCOMPARE(contentsOf(folder.file), old);
    QCOMPARE(entriesOf(folder.folder), QStringList({"doc.txt"}));
}

void TestFileSave::failedLoadsKeepContent_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("missing") << QStringLiteral("missing.rtf");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("through a regular file") << QStringLiteral("plain/inner.rtf");
    QTest::newRow("read error") << QStringLiteral("/proc/self/mem");
    QTest::newRow("endless device") << QStringLiteral("/dev/zero");
}

void TestFileSave::failedLoadsKeepContent()
{
    QFETCH(QString, file);
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
    writeContents(path("plain"), "x");
    const QString fileName = QFileInfo(file).isAbsolute() ? file : path(file);
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("keep\nthis"));
    const QString message = failureOf([&] { edit.Lines()->LoadFromFile(fileName); });
    QVERIFY2(message.contains(fileName), qPrintable(message));
    QVERIFY2(message.size() > fileName.size() + 12, qPrintable(message));  // carries a reason
    QCOMPARE(edit.Lines()->ToStringList(), QStringList({"keep", "this"}));
}

QTEST_MAIN(TestFileSave)
#include "tst_filesave.moc"
