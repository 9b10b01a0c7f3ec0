#include "tests/support/testsupport.h"
#include "app/WPForm.h"
#include "app/commandline.h"
#include "components/MRUList.h"
#include "platform/application.h"
#include "tests/support/scripteddialogs.h"
#include "platform/reginifile.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using platform::MessageResult;
using platform::ScriptedDialogs;

namespace {

const QString kTitle = QStringLiteral("Vantor Crestel Word Processor");
const QString kFilter = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|All Files (*)|*");
const QString kPlainTextQuestion = QStringLiteral("Save as plain text? Formatting, pictures and objects will be lost.");

// Also makes the folders on the way.
void writeFile(const QString &fileName, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(fileName).path()));
    testsupport::writeFile(fileName, bytes);
}

const auto fileBytes = testsupport::readFile;

QByteArray utf16(const QString &text, QStringConverter::Encoding encoding, const QByteArray &mark)
{
    QStringEncoder encoder(encoding);
    return mark + QByteArray(encoder(text));
}

}  // namespace

// The main window as a desktop user meets it: text files that stay text files, the
// file dialogs, a document named on the command line, and a damaged settings file.
class TestDesktopFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editedTextFileKeepsEncodingAndLineEnds_data();
    void editedTextFileKeepsEncodingAndLineEnds();
    void savingFormattingAsTextAsksFirst_data();
    void savingFormattingAsTextAsksFirst();
    void saveOfFormattedTextDocumentOffersRichText();
    void saveAsTypeDecidesTheFormat();
    void fileDialogsTitlesFiltersAndStartFolders();
    void commandLineNamesTheDocumentToOpen();
    void badSettingsLineLosesNoRecentEntry();
    void unreadableSettingsFileIsNamedAndLeftAlone();

private:
    void createWindow();
    QString path(const QString &name) const { return files->filePath(name); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    void openThroughDialog(const QString &name);
    QString settingsFile() const { return settingsDir.filePath(QStringLiteral("Penhaven/Wordprocessor.conf")); }
    QStringList recentNames() const;
    void expectNoProblems();

    QTemporaryDir settingsDir;
    std::unique_ptr<QTemporaryDir> files;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TfmPellWP> window;
    TwwDBRichEdit *editor = nullptr;
};

void TestDesktopFiles::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
}

void TestDesktopFiles::init()
{
    QFile::remove(settingsFile());
    files = std::make_unique<QTemporaryDir>();
    QVERIFY(files->isValid());
    dialogs = std::make_unique<ScriptedDialogs>();
    createWindow();
}

void TestDesktopFiles::createWindow()
{
    window = std::make_unique<TfmPellWP>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    editor = window->Editor();
    editor->setFocus();
}

void TestDesktopFiles::cleanup()
{
    window.reset();
    expectNoProblems();
    dialogs.reset();
    files.reset();
}

void TestDesktopFiles::expectNoProblems()
{
    QVERIFY2(dialogs->problems().isEmpty(), qPrintable(dialogs->problems().join(QLatin1Char('\n'))));
}

void TestDesktopFiles::openThroughDialog(const QString &name)
{
    dialogs->queueOpenFile(name);
    action("mmiOpen")->trigger();
}

QStringList TestDesktopFiles::recentNames() const
{
    QStringList names;
    const TRecentStrings &list = window->RecentFiles()->Strings();
    for (int i = 0; i < list.Count(); ++i)
        names << list.Strings(i);
    return names;
}

// ---- Text files ----

void TestDesktopFiles::editedTextFileKeepsEncodingAndLineEnds_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QByteArray>("edited");  // after "X" is typed at the start
    const QString text = QStringLiteral("gr\u00FC\u00DF\u20AC%1zwei%1");
    for (const auto &[name, lineEnd] : {std::pair{"CR LF", "\r\n"}, std::pair{"LF", "\n"}, std::pair{"CR", "\r"}}) {
        const QString lines = text.arg(QLatin1String(lineEnd));
        const QString edited = QLatin1Char('X') + lines;
        QTest::addRow("utf-8, %s", name) << lines.toUtf8() << edited.toUtf8();
        QTest::addRow("utf-8 with mark, %s", name)
            << QByteArray("\xEF\xBB\xBF") + lines.toUtf8() << QByteArray("\xEF\xBB\xBF") + edited.toUtf8();
        QTest::addRow("utf-16 LE, %s", name) << utf16(lines, QStringConverter::Utf16LE, "\xFF\xFE")
                                             << utf16(edited, QStringConverter::Utf16LE, "\xFF\xFE");
        QTest::addRow("utf-16 BE, %s", name) << utf16(lines, QStringConverter::Utf16BE, "\xFE\xFF")
                                             << utf16(edited, QStringConverter::Utf16BE, "\xFE\xFF");
        const QByteArray cp1252 = QByteArray("gr\xFC\xDF\x80") + lineEnd + "zwei" + lineEnd;
        QTest::addRow("windows-1252, %s", name) << cp1252 << QByteArray("X") + cp1252;
    }
}

// Open, type, Ctrl+S: the file is the same apart from the edit, and nothing is asked.
void TestDesktopFiles::editedTextFileKeepsEncodingAndLineEnds()
{
    QFETCH(QByteArray, original);
    const QString notes = path(QStringLiteral("notes.txt"));
    writeFile(notes, original);
    openThroughDialog(notes);
    QVERIFY(editor->toPlainText().startsWith(QStringLiteral("gr\u00FC\u00DF\u20AC\nzwei")));
    editor->SetSelStart(0);
    QTest::keyClicks(editor, QStringLiteral("X"));
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    QTEST(fileBytes(notes), "edited");
    QCOMPARE(window->StatusPanelText(1), QString());
    QCOMPARE(dialogs->requests().size(), std::size_t(1));  // the open dialog only
}

void TestDesktopFiles::savingFormattingAsTextAsksFirst_data()
{
    QTest::addColumn<MessageResult>("answer");
    QTest::newRow("yes saves plain text") << MessageResult::Yes;
    QTest::newRow("no offers the dialog again") << MessageResult::No;
    QTest::newRow("cancel saves nothing") << MessageResult::Cancel;
}

void TestDesktopFiles::savingFormattingAsTextAsksFirst()
{
    QFETCH(MessageResult, answer);
    QTest::keyClicks(editor, QStringLiteral("loud words"));
    editor->setSelectionRange({0, 4});
    editor->SelectionAttributes().SetStyle(TFontStyles(fsBold));
    const QString out = path(QStringLiteral("out"));
    dialogs->queueSaveFile(out, 1);  // Text Files
    dialogs->queueMessage(answer);
    if (answer == MessageResult::No)
        dialogs->queueSaveFile(QString());  // the second dialog is cancelled
    action("mmiSaveAs")->trigger();
    expectNoProblems();

    QCOMPARE(dialogs->requests()[1].text, kPlainTextQuestion);
    QCOMPARE(dialogs->requests()[1].caption, QStringLiteral("Confirm"));
    const QString written = out + QStringLiteral(".txt");
    if (answer == MessageResult::Yes) {
        QCOMPARE(fileBytes(written), QByteArray("loud words"));
        QCOMPARE(window->DocumentName(), written);
        QVERIFY(editor->Lines()->FileFormat().plainText);
        QCOMPARE(window->StatusPanelText(1), QString());
        return;
    }
    QVERIFY(!QFile::exists(written));
    QCOMPARE(window->DocumentName(), QStringLiteral("Untitled"));
    QCOMPARE(window->StatusPanelText(1), QStringLiteral("Modified"));
    if (answer == MessageResult::No) {
        QCOMPARE(dialogs->lastRequest().kind, ScriptedDialogs::Kind::SaveFile);
        QCOMPARE(dialogs->lastRequest().file.filterIndex, 0);  // Rich Text preselected
    } else {
        QCOMPARE(dialogs->requests().size(), std::size_t(2));
    }
}

// A text file that was given formatting asks on Save; No leads to Save As, where Rich
// Text is chosen and the document becomes a rich text document.
void TestDesktopFiles::saveOfFormattedTextDocumentOffersRichText()
{
    const QString notes = path(QStringLiteral("notes.txt"));
    writeFile(notes, "title\nbody\n");
    openThroughDialog(notes);
    editor->setSelectionRange({0, 5});
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    dialogs->queueMessage(MessageResult::No);
    dialogs->queueSaveFile(path(QStringLiteral("notes")));
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    expectNoProblems();
    QCOMPARE(dialogs->requests()[1].text, kPlainTextQuestion);
    QCOMPARE(fileBytes(notes), QByteArray("title\nbody\n"));
    const QString rich = path(QStringLiteral("notes.rtf"));
    QVERIFY(fileBytes(rich).startsWith("{\\rtf1"));
    QCOMPARE(window->DocumentName(), rich);

    // Now a rich text document, it saves without a question.
    QTest::keyClicks(editor, QStringLiteral("!"));
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(dialogs->requests().size(), std::size_t(3));
    QVERIFY(fileBytes(rich).startsWith("{\\rtf1"));
}

void TestDesktopFiles::saveAsTypeDecidesTheFormat()
{
    const QString notes = path(QStringLiteral("notes.txt"));
    writeFile(notes, "a\r\nb");
    openThroughDialog(notes);

    // Save As preselects the document's own type: text, with its line ends.
    dialogs->queueSaveFile(path(QStringLiteral("copy")));
    action("mmiSaveAs")->trigger();
    QCOMPARE(dialogs->lastRequest().file.filterIndex, 1);
    QCOMPARE(fileBytes(path(QStringLiteral("copy.txt"))), QByteArray("a\r\nb"));

    // Rich Text chosen for a name ending in .txt: the type decides, not the name.
    dialogs->queueSaveFile(path(QStringLiteral("rich.txt")), 0);
    action("mmiSaveAs")->trigger();
    QVERIFY(fileBytes(path(QStringLiteral("rich.txt"))).startsWith("{\\rtf1"));
    QVERIFY(!editor->Lines()->FileFormat().plainText);

    // Under All Files the extension decides.
    dialogs->queueSaveFile(path(QStringLiteral("plain.TXT")), 2);
    action("mmiSaveAs")->trigger();
    QCOMPARE(fileBytes(path(QStringLiteral("plain.TXT"))), QByteArray("a\nb"));

    // A new document is rich text again.
    action("mmiNew")->trigger();
    dialogs->queueSaveFile(QString());
    action("mmiSaveAs")->trigger();
    QCOMPARE(dialogs->lastRequest().file.filterIndex, 0);
    QCOMPARE(dialogs->lastRequest().file.defaultExtension, QStringLiteral("rtf"));
}

// ---- File dialogs ----

void TestDesktopFiles::fileDialogsTitlesFiltersAndStartFolders()
{
    // Nothing opened yet: the user's documents folder, or home when there is none.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fallback = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    dialogs->queueOpenFile(QString());
    action("mmiOpen")->trigger();
    auto request = dialogs->lastRequest().file;
    QCOMPARE(request.title, QStringLiteral("Open"));
    QCOMPARE(request.filter, kFilter);
    QCOMPARE(request.initialDir, fallback);
    QCOMPARE(request.filterIndex, 0);

    // The folder of the document in the window.
    const QString letters = path(QStringLiteral("letters/a.txt"));
    writeFile(letters, "A");
    openThroughDialog(letters);
    dialogs->queueSaveFile(QString());
    action("mmiSaveAs")->trigger();
    request = dialogs->lastRequest().file;
    QCOMPARE(request.title, QStringLiteral("Save As"));
    QCOMPARE(request.filter, kFilter);
    QCOMPARE(request.initialDir, QFileInfo(letters).absolutePath());
    QCOMPARE(request.filterIndex, 1);
    QCOMPARE(request.defaultExtension, QStringLiteral("txt"));

    // Right after saving elsewhere, that folder.
    const QString archive = path(QStringLiteral("archive/b.txt"));
    QVERIFY(QDir().mkpath(QFileInfo(archive).path()));
    dialogs->queueSaveFile(archive);
    action("mmiSaveAs")->trigger();
    dialogs->queueOpenFile(QString());
    action("mmiOpen")->trigger();
    QCOMPARE(dialogs->lastRequest().file.initialDir, QFileInfo(archive).absolutePath());

    // An untitled document: the folder of the most recent file.
    action("mmiNew")->trigger();
    dialogs->queueOpenFile(QString());
    action("mmiOpen")->trigger();
    QCOMPARE(dialogs->lastRequest().file.initialDir, QFileInfo(letters).absolutePath());
}

// ---- Command line ----

void TestDesktopFiles::commandLineNamesTheDocumentToOpen()
{
    const QString letter = path(QStringLiteral("letter.rtf"));
    const QString other = path(QStringLiteral("other.rtf"));
    writeFile(letter, "{\\rtf1\\ansi Dear friend}");
    writeFile(other, "other");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(files->path());
    const QList<QUrl> documents = documentsFromArguments(
        {QStringLiteral("-style"), QStringLiteral("--"), QStringLiteral("letter.rtf"), other});
    QDir::setCurrent(previous);
    QCOMPARE(documents, QList<QUrl>({QUrl::fromLocalFile(letter), QUrl::fromLocalFile(other)}));
    QCOMPARE(documentsFromArguments({QStringLiteral("-x"), QStringLiteral("file:///tmp/a.rtf")}),
             QList<QUrl>({QUrl(QStringLiteral("file:///tmp/a.rtf"))}));

    window->WMDropFiles(documents);  // as the program's start does
    QCOMPARE(editor->toPlainText(), QStringLiteral("Dear friend"));
    QCOMPARE(window->windowTitle(), kTitle + QStringLiteral(" - letter.rtf"));
}

// ---- Settings ----

void TestDesktopFiles::badSettingsLineLosesNoRecentEntry()
{
    window.reset();
    writeFile(settingsFile(), "[Recent]\nItem_0=/docs/newest.rtf\nthis line is broken\nItem_1=/docs/older.rtf\n"
                              "Item_2=a, list\nItem_9=/docs/oldest.rtf\n");
    createWindow();  // no message box: none is queued
    QCOMPARE(recentNames(), QStringList({QStringLiteral("/docs/newest.rtf"), QStringLiteral("/docs/older.rtf"),
                                         QStringLiteral("/docs/oldest.rtf")}));
    QVERIFY(window->close());
    TRegIniFile settings(QStringLiteral("\\Software\\Penhaven\\Wordprocessor\\"));
    QCOMPARE(settings.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_2"), QString()),
             QStringLiteral("/docs/oldest.rtf"));
}

void TestDesktopFiles::unreadableSettingsFileIsNamedAndLeftAlone()
{
    window.reset();
    QVERIFY(QDir().mkpath(settingsFile()));  // a folder where the file should be
    dialogs->queueMessage(MessageResult::OK);
    createWindow();
    QCOMPARE(dialogs->lastRequest().icon, platform::MessageIcon::Warning);
    QVERIFY2(dialogs->lastRequest().text.contains(settingsFile()), qPrintable(dialogs->lastRequest().text));

    const QString a = path(QStringLiteral("a.txt"));
    writeFile(a, "A");
    openThroughDialog(a);
    QCOMPARE(recentNames(), QStringList({a}));  // kept for the session
    QVERIFY(window->close());  // no second message
    QVERIFY(QFileInfo(settingsFile()).isDir());
    QVERIFY(QDir().rmdir(settingsFile()));
}

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    platform::Application app(argc, argv);
    platform::setApplicationTitle(kTitle);
    CreateGlobalIntl(app);
    TestDesktopFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktopfiles.moc"
