#include "tests/support/testsupport.h"
#include "app/WPForm.h"
#include "components/MRUList.h"
#include "platform/application.h"
#include "tests/support/scripteddialogs.h"
#include "platform/reginifile.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using platform::MessageResult;
using platform::ScriptedDialogs;

namespace {

const QString kTitle = QStringLiteral("Vantor Crestel Word Processor");

QString readDocumentText(const QString &fileName)
{
    TwwDBRichEdit reader;
    reader.Lines()->LoadFromFile(fileName);
    return reader.toPlainText();
}

const auto writeTextFile = testsupport::writeFile;
const auto fileBytes = testsupport::readFile;

}  // namespace

class TestFileCommands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void saveChangesQuestionOnEveryWayOut_data();
    void saveChangesQuestionOnEveryWayOut();
    void cancelledSaveAsAfterYesCancelsTheCommand_data();
    void cancelledSaveAsAfterYesCancelsTheCommand();
    void untitledQuestionAndCleanDocumentAsksNothing();
    void newDocumentStartsWithTheDefaultFormats();
    void saveOnUntitledOpensSaveAsThenSavesInPlace();
    void saveAsOntoAnExistingFile();
    void failedLoadKeepsTheDocument_data();
    void failedLoadKeepsTheDocument();
    void failedSaveKeepsNameAndModified();
    void damagedFileOpensWithAWarning();
    void recentListGrowsOnlyThroughOpen();
    void dropsOpenTheFirstLocalFileOnly();
    void textDroppedOnTheEditorIsInserted();
    void closeSavesTheRecentListEveryTime();
    void closeWithAFailingSaveStaysOpen();
    void showingTheWindowAgainKeepsUnsavedChanges();
    void closeWithUnwritableSettingsStillCloses();
    void damagedRecentListDoesNotStopTheStart();
    void formattedDocumentSurvivesARestart();

private:
    void createWindow();
    void closeWindowForRestart();
    QString path(const QString &name) const { return files->filePath(name); }
    void type(const QString &text) { QTest::keyClicks(editor, text); }
    QString caption() const { return window->windowTitle(); }
    QString modifiedPanel() const { return window->StatusPanelText(1); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    QStringList recentNames() const;
    void chooseRecent(const QString &name);
    void dropOn(QWidget *target, const QList<QUrl> &entries);
    void openThroughDialog(const QString &name);
    void runCommand(const QString &command, const QString &target);
    void expectNoProblems();
    QString settingsRecentItem(int index) const;

    QTemporaryDir settingsDir;
    std::unique_ptr<QTemporaryDir> files;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TfmPellWP> window;
    TwwDBRichEdit *editor = nullptr;
};

// Each test program keeps its settings in a folder of its own, so that test programs
// running side by side never share a recent list.
void TestFileCommands::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    TRegIniFile probe(QStringLiteral("\\Software\\Penhaven\\Wordprocessor\\"));
    QVERIFY2(probe.FileName().startsWith(settingsDir.path()), qPrintable(probe.FileName()));
}

void TestFileCommands::init()
{
    QFile::remove(settingsDir.filePath(QStringLiteral("Penhaven/Wordprocessor.conf")));
    files = std::make_unique<QTemporaryDir>();
    QVERIFY(files->isValid());
    dialogs = std::make_unique<ScriptedDialogs>();
    createWindow();
}

void TestFileCommands::createWindow()
{
    window = std::make_unique<TfmPellWP>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    editor = window->Editor();
    editor->setFocus();
}

void TestFileCommands::cleanup()
{
    window.reset();
    expectNoProblems();
    dialogs.reset();
    files.reset();
}

void TestFileCommands::expectNoProblems()
{
    QVERIFY2(dialogs->problems().isEmpty(), qPrintable(dialogs->problems().join(QLatin1Char('\n'))));
}

QStringList TestFileCommands::recentNames() const
{
    QStringList names;
    const TRecentStrings &list = window->RecentFiles()->Strings();
    for (int i = 0; i < list.Count(); ++i)
        names << list.Strings(i);
    return names;
}

void TestFileCommands::chooseRecent(const QString &name)
{
    QMenu *recent = window->findChild<QMenu *>(QStringLiteral("mmiRecent"));
    QVERIFY(recent);
    for (QAction *item : recent->actions()) {
        if (item->text().endsWith(QLatin1Char('\t') + name)) {
            item->trigger();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no recent item for %1").arg(name)));
}

// What the file manager sends: the drag enters, then the entries are dropped. The
// window opens the file once the drop has finished.
void TestFileCommands::dropOn(QWidget *target, const QList<QUrl> &entries)
{
    QMimeData data;
    data.setUrls(entries);
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
}

void TestFileCommands::openThroughDialog(const QString &name)
{
    dialogs->queueOpenFile(name);
    action("mmiOpen")->trigger();
}

// The ways out of a document: New, Open, a recent file, a drop and closing the window.
// `target` is the file the command opens; the open dialog is scripted only when the
// command gets as far as showing it.
void TestFileCommands::runCommand(const QString &command, const QString &target)
{
    if (command == QLatin1String("new")) {
        action("mmiNew")->trigger();
    } else if (command == QLatin1String("open")) {
        action("mmiOpen")->trigger();
    } else if (command == QLatin1String("recent")) {
        chooseRecent(target);
    } else if (command == QLatin1String("drop")) {
        dropOn(window.get(), {QUrl::fromLocalFile(target)});
    } else if (command == QLatin1String("close")) {
        window->close();
    }
}

QString TestFileCommands::settingsRecentItem(int index) const
{
    TRegIniFile settings(QStringLiteral("\\Software\\Penhaven\\Wordprocessor\\"));
    return settings.ReadString(QStringLiteral("Recent"), QStringLiteral("Item_%1").arg(index), QString());
}

void TestFileCommands::saveChangesQuestionOnEveryWayOut_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<MessageResult>("answer");
    for (const char *command : {"new", "open", "recent", "drop", "close"}) {
        QTest::addRow("%s, yes", command) << QString::fromLatin1(command) << MessageResult::Yes;
        QTest::addRow("%s, no", command) << QString::fromLatin1(command) << MessageResult::No;
        QTest::addRow("%s, cancel", command) << QString::fromLatin1(command) << MessageResult::Cancel;
    }
}

void TestFileCommands::saveChangesQuestionOnEveryWayOut()
{
    QFETCH(QString, command);
    QFETCH(MessageResult, answer);
    const QString first = path(QStringLiteral("first.txt"));
    const QString second = path(QStringLiteral("second.txt"));
    writeTextFile(first, "first text");
    writeTextFile(second, "second text");
    openThroughDialog(second);
    openThroughDialog(first);
    editor->moveCursor(QTextCursor::End);
    type(QStringLiteral(" changed"));
    QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
    const QByteArray firstOnDisk = fileBytes(first);
    dialogs->clear();

    dialogs->queueMessage(answer);
    if (command == QLatin1String("open") && answer != MessageResult::Cancel)
        dialogs->queueOpenFile(second);
    runCommand(command, second);

    QCOMPARE(dialogs->count(ScriptedDialogs::Kind::Message), 1);
    const auto &question = dialogs->requests().front();
    QCOMPARE(question.caption, QStringLiteral("Confirm"));
    QCOMPARE(question.text, QStringLiteral("Save changes to %1?").arg(first));
    QCOMPARE(question.icon, platform::MessageIcon::Question);
    QCOMPARE(question.buttons, platform::MessageButtons::YesNoCancel);

    if (answer == MessageResult::Cancel) {
        // Stopped where it stood, silently: nothing written, nothing changed.
        QCOMPARE(fileBytes(first), firstOnDisk);
        QCOMPARE(editor->toPlainText(), QStringLiteral("first text changed"));
        QCOMPARE(caption(), kTitle + QStringLiteral(" - first.txt"));
        QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
        QVERIFY(editor->Modified());
        QVERIFY(window->isVisible());
        return;
    }
    if (answer == MessageResult::Yes)
        QCOMPARE(readDocumentText(first), QStringLiteral("first text changed"));
    else
        QCOMPARE(fileBytes(first), firstOnDisk);

    if (command == QLatin1String("close")) {
        QVERIFY(!window->isVisible());
        return;
    }
    const bool opened = command != QLatin1String("new");
    QCOMPARE(editor->toPlainText(), opened ? QStringLiteral("second text") : QString());
    QCOMPARE(window->DocumentName(), opened ? second : QStringLiteral("Untitled"));
    QCOMPARE(caption(), kTitle + (opened ? QStringLiteral(" - second.txt") : QStringLiteral(" - Untitled")));
    QCOMPARE(modifiedPanel(), QString());
    QVERIFY(!editor->Modified());
}

void TestFileCommands::cancelledSaveAsAfterYesCancelsTheCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("declineOverwrite");
    for (const char *command : {"new", "open", "recent", "drop", "close"})
        QTest::addRow("%s, dialog cancelled", command) << QString::fromLatin1(command) << false;
    QTest::newRow("new, overwrite declined") << QStringLiteral("new") << true;
    QTest::newRow("close, overwrite declined") << QStringLiteral("close") << true;
}

// Yes asks to keep the changes; when the Save As that follows saves nothing, going on
// would throw them away, so the command stops as after Cancel.
void TestFileCommands::cancelledSaveAsAfterYesCancelsTheCommand()
{
    QFETCH(QString, command);
    QFETCH(bool, declineOverwrite);
    const QString other = path(QStringLiteral("other.txt"));
    writeTextFile(other, "other text");
    window->RecentFiles()->Add(other, 0);
    type(QStringLiteral("unsaved work"));

    dialogs->queueMessage(MessageResult::Yes);
    if (declineOverwrite) {
        dialogs->queueSaveFile(other);
        dialogs->queueMessage(MessageResult::No);
    } else {
        dialogs->queueSaveFile(QString());
    }
    runCommand(command, other);

    QCOMPARE(dialogs->requests().front().text, QStringLiteral("Save changes to Untitled?"));
    QCOMPARE(dialogs->count(ScriptedDialogs::Kind::SaveFile), 1);
    QCOMPARE(dialogs->count(ScriptedDialogs::Kind::OpenFile), 0);
    QCOMPARE(editor->toPlainText(), QStringLiteral("unsaved work"));
    QCOMPARE(caption(), kTitle + QStringLiteral(" - Untitled"));
    QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
    QVERIFY(window->isVisible());
    QCOMPARE(fileBytes(other), QByteArray("other text"));
    QCOMPARE(dialogs->count(ScriptedDialogs::Kind::Message), declineOverwrite ? 2 : 1);  // no error box
}

void TestFileCommands::untitledQuestionAndCleanDocumentAsksNothing()
{
    // A clean document goes without a question.
    const QString plain = path(QStringLiteral("plain.txt"));
    writeTextFile(plain, "line one\r\nline two\r\n");
    openThroughDialog(plain);
    QCOMPARE(editor->Lines()->Count(), 2);
    action("mmiNew")->trigger();
    QCOMPARE(dialogs->count(ScriptedDialogs::Kind::Message), 0);
    QCOMPARE(editor->toPlainText(), QString());

    // New, then No: the new document's changes are dropped.
    type(QStringLiteral("draft"));
    dialogs->queueMessage(MessageResult::No);
    action("mmiNew")->trigger();
    QCOMPARE(dialogs->lastRequest().text, QStringLiteral("Save changes to Untitled?"));
    QCOMPARE(editor->toPlainText(), QString());
    QCOMPARE(modifiedPanel(), QString());
}

void TestFileCommands::newDocumentStartsWithTheDefaultFormats()
{
    editor->ParagraphAttributes().SetAlignment(taCenter);
    editor->ParagraphAttributes().SetNumbering(nsBullet);
    editor->SelectionAttributes().SetSize(20);
    type(QStringLiteral("centred"));
    dialogs->queueMessage(MessageResult::No);
    action("mmiNew")->trigger();
    type(QStringLiteral("plain"));
    QCOMPARE(editor->ParagraphAttributes().Alignment(), taLeftJustify);
    QCOMPARE(editor->ParagraphAttributes().Numbering(), nsNone);
    editor->setSelectionRange({0, 5});
    QCOMPARE(editor->SelectionAttributes().Name(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(editor->SelectionAttributes().Size(), 8);
}

void TestFileCommands::saveOnUntitledOpensSaveAsThenSavesInPlace()
{
    type(QStringLiteral("hello"));
    const QString chosen = path(QStringLiteral("letter"));
    dialogs->queueSaveFile(chosen);
    action("mmiSave")->trigger();

    const auto &request = dialogs->lastRequest();
    QCOMPARE(request.kind, ScriptedDialogs::Kind::SaveFile);
    QCOMPARE(request.file.filter,
             QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|All Files (*)|*"));
    QCOMPARE(request.file.defaultExtension, QStringLiteral("rtf"));
    QCOMPARE(request.file.filterIndex, 0);
    const QString saved = chosen + QStringLiteral(".rtf");
    QCOMPARE(window->DocumentName(), saved);
    QCOMPARE(caption(), kTitle + QStringLiteral(" - letter.rtf"));
    QCOMPARE(modifiedPanel(), QString());
    QVERIFY(fileBytes(saved).startsWith("{\\rtf1"));
    QCOMPARE(readDocumentText(saved), QStringLiteral("hello"));
    QVERIFY(recentNames().isEmpty());  // saving does not add to the recent list

    // A named document is saved in place without a dialog or a question, also through
    // the toolbar button; the extension does not decide the format.
    type(QStringLiteral(" world"));
    QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
    window->findChild<QAbstractButton *>(QStringLiteral("SaveAsButton"))->click();
    QCOMPARE(dialogs->requests().size(), std::size_t(1));
    QCOMPARE(readDocumentText(saved), QStringLiteral("hello world"));
    QCOMPARE(modifiedPanel(), QString());

    const QString asText = path(QStringLiteral("copy.TXT"));
    dialogs->queueSaveFile(asText);
    action("mmiSaveAs")->trigger();
    QVERIFY(fileBytes(asText).startsWith("{\\rtf1"));
    QCOMPARE(caption(), kTitle + QStringLiteral(" - copy.TXT"));
}

void TestFileCommands::saveAsOntoAnExistingFile()
{
    const QString existing = path(QStringLiteral("existing.rtf"));
    writeTextFile(existing, "keep me");
    type(QStringLiteral("new text"));
    for (MessageResult answer : {MessageResult::No, MessageResult::Cancel}) {
        dialogs->queueSaveFile(existing);
        dialogs->queueMessage(answer);
        action("mmiSaveAs")->trigger();
        QCOMPARE(dialogs->lastRequest().text, QStringLiteral("OK to overwrite %1").arg(existing));
        QCOMPARE(dialogs->lastRequest().caption, QStringLiteral("Confirm"));
        QCOMPARE(fileBytes(existing), QByteArray("keep me"));
        QCOMPARE(window->DocumentName(), QStringLiteral("Untitled"));
        QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
    }
    dialogs->queueSaveFile(existing);
    dialogs->queueMessage(MessageResult::Yes);
    action("mmiSaveAs")->trigger();
    QCOMPARE(readDocumentText(existing), QStringLiteral("new text"));
    QCOMPARE(window->DocumentName(), existing);
    QCOMPARE(modifiedPanel(), QString());
    // Cancelling the dialog changes nothing either.
    type(QStringLiteral("!"));
    dialogs->queueSaveFile(QString());
    action("mmiSaveAs")->trigger();
    QCOMPARE(window->DocumentName(), existing);
    QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
}

void TestFileCommands::failedLoadKeepsTheDocument_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("badName");
    for (const char *command : {"open", "recent", "drop"}) {
        QTest::addRow("%s, vanished file", command) << QString::fromLatin1(command) << QStringLiteral("gone.rtf");
        QTest::addRow("%s, folder", command) << QString::fromLatin1(command) << QStringLiteral("folder");
        QTest::addRow("%s, through a file", command) << QString::fromLatin1(command)
                                                     << QStringLiteral("current.txt/inner.rtf");
    }
}

void TestFileCommands::failedLoadKeepsTheDocument()
{
    QFETCH(QString, command);
    QFETCH(QString, badName);
    const QString current = path(QStringLiteral("current.txt"));
    writeTextFile(current, "current text");
    QVERIFY(QDir(files->path()).mkdir(QStringLiteral("folder")));
    openThroughDialog(current);
    type(QStringLiteral("typed "));
    const QString bad = path(badName);
    window->RecentFiles()->Add(bad, 0);
    const QStringList recentBefore = recentNames();

    dialogs->queueMessage(MessageResult::No);  // the save-changes question
    if (command == QLatin1String("open"))
        dialogs->queueOpenFile(bad);
    dialogs->queueMessage(MessageResult::OK);  // the error box
    runCommand(command, bad);

    const auto &error = dialogs->lastRequest();
    QCOMPARE(error.icon, platform::MessageIcon::Error);
    QCOMPARE(error.caption, kTitle);
    QVERIFY2(error.text.contains(bad), qPrintable(error.text));
    QCOMPARE(editor->toPlainText(), QStringLiteral("typed current text"));
    QCOMPARE(window->DocumentName(), current);
    QCOMPARE(caption(), kTitle + QStringLiteral(" - current.txt"));
    QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
    QVERIFY(editor->Modified());
    QCOMPARE(recentNames(), recentBefore);  // a failed open adds nothing and moves nothing
}

// A cut RTF file shows what it holds, and the user learns that the rest is missing.
void TestFileCommands::damagedFileOpensWithAWarning()
{
    const QString cut = path(QStringLiteral("letter.rtf"));
    writeTextFile(cut, "{\\rtf1\\ansi Dear reader,\\par the rest is lo");
    dialogs->queueOpenFile(cut);
    dialogs->queueMessage(MessageResult::OK);  // the warning
    action("mmiOpen")->trigger();

    const auto &warning = dialogs->lastRequest();
    QCOMPARE(warning.icon, platform::MessageIcon::Warning);
    QCOMPARE(warning.caption, kTitle);
    QCOMPARE(warning.text, QStringLiteral("letter.rtf is damaged: it ends before its last group is closed (byte 43). "
                                          "The readable part is shown."));
    QCOMPARE(editor->toPlainText(), QStringLiteral("Dear reader,\nthe rest is lo"));
    QCOMPARE(window->DocumentName(), cut);
    QVERIFY(!editor->Modified());

    // A whole file opens without a word.
    const QString whole = path(QStringLiteral("whole.rtf"));
    writeTextFile(whole, "{\\rtf1 whole\\par}");
    const auto asked = dialogs->requests().size();
    openThroughDialog(whole);
    QCOMPARE(dialogs->requests().size(), asked + 1);  // only the open dialog
}

void TestFileCommands::failedSaveKeepsNameAndModified()
{
    const QString folder = path(QStringLiteral("sub"));
    QVERIFY(QDir().mkdir(folder));
    const QString doc = folder + QStringLiteral("/doc.rtf");
    type(QStringLiteral("text"));
    dialogs->queueSaveFile(doc);
    action("mmiSave")->trigger();
    type(QStringLiteral(" more"));
    QVERIFY(QDir(folder).removeRecursively());

    dialogs->queueMessage(MessageResult::OK);
    action("mmiSave")->trigger();
    QCOMPARE(dialogs->lastRequest().icon, platform::MessageIcon::Error);
    QCOMPARE(window->DocumentName(), doc);
    QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));

    // Save As onto a folder fails the same way and keeps the old name.
    const QString folderAsName = path(QStringLiteral("box.rtf"));
    QVERIFY(QDir().mkdir(folderAsName));
    dialogs->queueSaveFile(folderAsName);
    dialogs->queueMessage(MessageResult::Yes);  // "OK to overwrite"
    dialogs->queueMessage(MessageResult::OK);
    action("mmiSaveAs")->trigger();
    QCOMPARE(dialogs->lastRequest().icon, platform::MessageIcon::Error);
    QCOMPARE(window->DocumentName(), doc);
    QCOMPARE(caption(), kTitle + QStringLiteral(" - doc.rtf"));
    QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
}

void TestFileCommands::recentListGrowsOnlyThroughOpen()
{
    const QString a = path(QStringLiteral("a.txt"));
    const QString b = path(QStringLiteral("b.txt"));
    const QString dropped = path(QStringLiteral("dropped.txt"));
    writeTextFile(a, "A");
    writeTextFile(b, "B");
    writeTextFile(dropped, "D");
    QAction *recentItem = action("mmiRecentItem");
    QVERIFY(!recentItem->isEnabled());

    openThroughDialog(a);
    QVERIFY(recentItem->isEnabled());
    openThroughDialog(b);
    QCOMPARE(recentNames(), QStringList({b, a}));
    QVERIFY(!editor->ReadOnly());

    dialogs->queueSaveFile(path(QStringLiteral("saved.rtf")));
    action("mmiSaveAs")->trigger();
    dropOn(window.get(), {QUrl::fromLocalFile(dropped)});
    QCOMPARE(editor->toPlainText(), QStringLiteral("D"));
    QCOMPARE(recentNames(), QStringList({b, a}));

    chooseRecent(a);
    QCOMPARE(editor->toPlainText(), QStringLiteral("A"));
    QCOMPARE(window->DocumentName(), a);
    QCOMPARE(recentNames(), QStringList({b, a}));  // choosing does not reorder

    // Opening a file already in the list moves it to the top.
    openThroughDialog(a);
    QCOMPARE(recentNames(), QStringList({a, b}));
}

void TestFileCommands::dropsOpenTheFirstLocalFileOnly()
{
    const QString first = path(QStringLiteral("first.txt"));
    const QString second = path(QStringLiteral("second.txt"));
    writeTextFile(first, "first");
    writeTextFile(second, "second");
    type(QStringLiteral("typed"));

    // A first entry that is not a local file: nothing happens, also not to the window.
    dropOn(window.get(), {QUrl(QStringLiteral("https://example.com/a.rtf")), QUrl::fromLocalFile(second)});
    QCOMPARE(editor->toPlainText(), QStringLiteral("typed"));
    QCOMPARE(dialogs->requests().size(), std::size_t(0));

    dialogs->queueMessage(MessageResult::No);
    dropOn(window.get(),
           {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second), QUrl::fromLocalFile(path(QStringLiteral("third")))});
    QCOMPARE(editor->toPlainText(), QStringLiteral("first"));
    QCOMPARE(window->DocumentName(), first);
    QCOMPARE(modifiedPanel(), QString());

    dropOn(window.get(), {QUrl::fromLocalFile(second)});
    QCOMPARE(editor->toPlainText(), QStringLiteral("second"));
    QCOMPARE(caption(), kTitle + QStringLiteral(" - second.txt"));
}

void TestFileCommands::textDroppedOnTheEditorIsInserted()
{
    QMimeData data;
    data.setText(QStringLiteral("dropped words"));
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &drop);
    QCoreApplication::processEvents();
    QCOMPARE(editor->toPlainText(), QStringLiteral("dropped words"));
    QCOMPARE(window->DocumentName(), QStringLiteral("Untitled"));
    QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
}

// A close that ends without ending the program (a cancelled log-off) released the
// settings; the next close opens them again, so the list is still stored.
void TestFileCommands::closeSavesTheRecentListEveryTime()
{
    const QString a = path(QStringLiteral("a.txt"));
    const QString b = path(QStringLiteral("b.txt"));
    writeTextFile(a, "A");
    writeTextFile(b, "B");
    openThroughDialog(a);
    type(QStringLiteral("x"));

    dialogs->queueMessage(MessageResult::Cancel);
    QVERIFY(!window->close());
    QCOMPARE(settingsRecentItem(0), QString());  // a refused close stores nothing

    dialogs->queueMessage(MessageResult::No);
    QVERIFY(window->close());
    QCOMPARE(settingsRecentItem(0), a);

    window->show();
    dialogs->queueMessage(MessageResult::No);  // the changes are still there
    openThroughDialog(b);
    QVERIFY(window->close());
    QCOMPARE(settingsRecentItem(0), b);
    QCOMPARE(settingsRecentItem(1), a);
}

void TestFileCommands::closeWithAFailingSaveStaysOpen()
{
    const QString folder = path(QStringLiteral("sub"));
    QVERIFY(QDir().mkdir(folder));
    const QString doc = folder + QStringLiteral("/doc.rtf");
    type(QStringLiteral("precious"));
    dialogs->queueSaveFile(doc);
    action("mmiSave")->trigger();
    type(QStringLiteral(" words"));
    QVERIFY(QDir(folder).removeRecursively());

    dialogs->queueMessage(MessageResult::Yes);
    dialogs->queueMessage(MessageResult::OK);
    QVERIFY(!window->close());
    QCOMPARE(dialogs->lastRequest().icon, platform::MessageIcon::Error);
    QVERIFY2(dialogs->lastRequest().text.contains(doc), qPrintable(dialogs->lastRequest().text));
    QVERIFY(window->isVisible());
    QCOMPARE(editor->toPlainText(), QStringLiteral("precious words"));
    QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
}

void TestFileCommands::showingTheWindowAgainKeepsUnsavedChanges()
{
    type(QStringLiteral("unsaved"));
    window->hide();
    window->show();
    QVERIFY(editor->Modified());
    QCOMPARE(modifiedPanel(), QStringLiteral("Modified"));
    // Closing still asks about the changes.
    dialogs->queueMessage(MessageResult::Cancel);
    QVERIFY(!window->close());
    QCOMPARE(dialogs->lastRequest().text, QStringLiteral("Save changes to Untitled?"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("unsaved"));
}

void TestFileCommands::closeWithUnwritableSettingsStillCloses()
{
    window.reset();
    // Settings in a folder that cannot be made: a path runs through a regular file.
    const QString blocker = path(QStringLiteral("blocker"));
    writeTextFile(blocker, "not a folder");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocker + QStringLiteral("/settings"));
    createWindow();
    const QString a = path(QStringLiteral("a.txt"));
    writeTextFile(a, "A");
    openThroughDialog(a);

    dialogs->queueMessage(MessageResult::OK);
    const bool closed = window->close();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QVERIFY(closed);
    QCOMPARE(dialogs->lastRequest().icon, platform::MessageIcon::Error);
    QVERIFY(!window->isVisible());
}

void TestFileCommands::damagedRecentListDoesNotStopTheStart()
{
    window.reset();
    const QString conf = settingsDir.filePath(QStringLiteral("Penhaven/Wordprocessor.conf"));
    QVERIFY(QDir().mkpath(QFileInfo(conf).path()));
    // A value that is not a string is left out without a word; the others are read.
    writeTextFile(conf, "[Recent]\nItem_0=a, b\nItem_1=/docs/kept.rtf\n");
    createWindow();
    QCOMPARE(dialogs->requests().size(), std::size_t(0));
    QCOMPARE(recentNames(), QStringList({QStringLiteral("/docs/kept.rtf")}));
    QCOMPARE(caption(), kTitle + QStringLiteral(" - Untitled"));
    type(QStringLiteral("still works"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("still works"));
}

// The whole cycle a user goes through: write formatted text, save, quit, start again,
// open the document from the recent list.
void TestFileCommands::formattedDocumentSurvivesARestart()
{
    const QString doc = path(QStringLiteral("formatted.rtf"));
    writeTextFile(doc, "");
    type(QStringLiteral("Plain "));
    editor->SelectionAttributes().SetStyle(TFontStyles(fsBold) | fsItalic);
    editor->SelectionAttributes().SetSize(18);
    editor->SelectionAttributes().SetColor(0x000000FF);  // red
    type(QStringLiteral("Loud"));
    editor->SelectionAttributes().SetStyle(TFontStyles(fsUnderline));
    editor->SelectionAttributes().SetSize(10);
    editor->SelectionAttributes().SetColor(0x00FF0000);  // blue
    type(QStringLiteral(" quiet"));

    dialogs->queueSaveFile(doc);
    dialogs->queueMessage(MessageResult::Yes);  // the file exists: overwrite it
    action("mmiSaveAs")->trigger();
    openThroughDialog(doc);  // puts it in the recent list
    QVERIFY(window->close());

    window.reset();
    createWindow();
    QCOMPARE(editor->toPlainText(), QString());
    chooseRecent(doc);
    expectNoProblems();
    QCOMPARE(editor->toPlainText(), QStringLiteral("Plain Loud quiet"));
    QCOMPARE(caption(), kTitle + QStringLiteral(" - formatted.rtf"));

    editor->SetSelStart(6);
    editor->SetSelLength(4);
    QCOMPARE(editor->SelectionAttributes().Style(), TFontStyles(fsBold) | fsItalic);
    QCOMPARE(editor->SelectionAttributes().Size(), 18);
    QCOMPARE(editor->SelectionAttributes().Color(), TColor(0x000000FF));
    editor->SetSelStart(10);
    editor->SetSelLength(6);
    QCOMPARE(editor->SelectionAttributes().Style(), TFontStyles(fsUnderline));
    QCOMPARE(editor->SelectionAttributes().Size(), 10);
    QCOMPARE(editor->SelectionAttributes().Color(), TColor(0x00FF0000));
    editor->SetSelStart(0);
    editor->SetSelLength(5);
    QCOMPARE(editor->SelectionAttributes().Style(), TFontStyles());
    QCOMPARE(modifiedPanel(), QString());
}

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    platform::Application app(argc, argv);
    platform::setApplicationTitle(kTitle);
    CreateGlobalIntl(app);
    TestFileCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filecommands.moc"
