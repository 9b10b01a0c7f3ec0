#include "app/WPForm.h"
#include "tests/support/scripteddialogs.h"
#include "richedit/wwpagesetupdialog.h"
#include "richedit/wwprinter.h"
#include "richedit/wwriched.h"
#include "tests/support/pdftools.h"
#include "tests/support/recordingspooler.h"

#include <QAction>
#include <QDir>
#include <QPageLayout>
#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

using platform::MessageResult;
using platform::PageSetupChoice;
using platform::ScriptedDialogs;

class TestPrintCommands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void bothCommandsAreEnabled();
    void eachCopyIsAJobOfItsOwnOnAPrinter();
    void copiesIntoAPdfFileGoIntoOneFile();
    void thePrintButtonPrintsToo();
    void cancellingThePrintDialogPrintsNothing();
    void aFailedPrintIsReportedAndChangesNothing();
    void pageSetupSetsMarginsAndLandscapeForThePrint();
    void pageSetupIsSavedWithTheDocumentAndNewForgetsIt();

private:
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }

    QTemporaryDir settingsDir;
    std::unique_ptr<QTemporaryDir> files;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TfmPellWP> window;
};

void TestPrintCommands::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
}

void TestPrintCommands::init()
{
    QPrinter &printer = CurrentPrinter();
    UsePdfFile(printer, QString());
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setCopyCount(1);
    files = std::make_unique<QTemporaryDir>();
    dialogs = std::make_unique<ScriptedDialogs>();
    window = std::make_unique<TfmPellWP>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->Editor()->setPlainText(QStringLiteral("Hello printed world"));
    window->Editor()->SetModified(false);
}

void TestPrintCommands::cleanup()
{
    if (dialogs)
        QVERIFY2(dialogs->problems().isEmpty(), qPrintable(dialogs->problems().join(QLatin1Char('\n'))));
    window->Editor()->SetModified(false);
    window.reset();
    dialogs.reset();
}

void TestPrintCommands::bothCommandsAreEnabled()
{
    QVERIFY(action("mmiPageSetup")->isEnabled());
    QVERIFY(action("mmiPrint")->isEnabled());
}

void TestPrintCommands::eachCopyIsAJobOfItsOwnOnAPrinter()
{
    RecordingSpooler printer;
    dialogs->queuePrint(ScriptedDialogs::PrintChoice{3, QString()});
    action("mmiPrint")->trigger();
    QCOMPARE(printer.jobNames, QStringList(3, QStringLiteral("Printing")));
    const ScriptedDialogs::Request &shown = dialogs->lastRequest();
    QVERIFY(shown.collate);
    QCOMPARE(shown.maxCopies, TfmPellWP::kMaxPrintCopies);
    if (pdftools::available()) {
        for (const QString &job : printer.files)
            QCOMPARE(pdftools::pageCount(job), 1);
    }
}

void TestPrintCommands::copiesIntoAPdfFileGoIntoOneFile()
{
    if (!pdftools::available())
        QSKIP("poppler-utils are needed to read the printed file");
    const QString pdf = files->filePath(QStringLiteral("copies.pdf"));
    dialogs->queuePrint(ScriptedDialogs::PrintChoice{2, pdf});
    action("mmiPrint")->trigger();
    // The dialog proposed the document's name in the documents folder.
    QVERIFY2(dialogs->lastRequest().pdfFileName.endsWith(QStringLiteral("/Untitled.pdf")),
             qPrintable(dialogs->lastRequest().pdfFileName));
    QCOMPARE(pdftools::pageCount(pdf), 2);
    QVERIFY(pdftools::pageText(pdf, 1).contains(QLatin1String("Hello printed world")));
    QVERIFY(pdftools::pageText(pdf, 2).contains(QLatin1String("Hello printed world")));
}

void TestPrintCommands::thePrintButtonPrintsToo()
{
    RecordingSpooler printer;
    dialogs->queuePrint(ScriptedDialogs::PrintChoice{1, QString()});
    window->findChild<QToolButton *>(QStringLiteral("PrintButton"))->click();
    QCOMPARE(printer.jobNames, QStringList{QStringLiteral("Printing")});
}

void TestPrintCommands::cancellingThePrintDialogPrintsNothing()
{
    RecordingSpooler printer;
    dialogs->queuePrint(std::nullopt);
    action("mmiPrint")->trigger();
    QVERIFY(printer.jobNames.isEmpty());
}

void TestPrintCommands::aFailedPrintIsReportedAndChangesNothing()
{
    QFile blocker(files->filePath(QStringLiteral("plain.txt")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString target = files->filePath(QStringLiteral("plain.txt/out.pdf"));
    dialogs->queuePrint(ScriptedDialogs::PrintChoice{1, target});
    dialogs->queueMessage(MessageResult::OK);
    action("mmiPrint")->trigger();
    const ScriptedDialogs::Request &error = dialogs->lastRequest();
    QCOMPARE(error.kind, ScriptedDialogs::Kind::Message);
    QVERIFY2(error.text.contains(QDir::toNativeSeparators(target)), qPrintable(error.text));
    QVERIFY(!QFile::exists(target));
    QCOMPARE(window->Editor()->toPlainText(), QStringLiteral("Hello printed world"));
    QVERIFY(!window->Editor()->Modified());
}

// As a user would: page setup with 1.5-inch margins and landscape, then print.
void TestPrintCommands::pageSetupSetsMarginsAndLandscapeForThePrint()
{
    dialogs->queuePageSetup(PageSetupChoice{QMargins(1500, 1500, 1500, 1500), 1, 0, true,
                                            TwwPageSetupDialog::PdfFilePrinterName()});
    action("mmiPageSetup")->trigger();
    const platform::PageSetupRequest &shown = dialogs->lastRequest().pageSetup;
    QCOMPARE(shown.margins, QMargins(1000, 1000, 1000, 1000));
    QVERIFY(!shown.paperEnabled);  // the main window lays out to its own width
    QCOMPARE(window->Editor()->PrintMargins(), (TwwPrintMargins{1.5, 1.5, 1.5, 1.5}));
    if (!pdftools::available())
        return;
    const QString pdf = files->filePath(QStringLiteral("setup.pdf"));
    dialogs->queuePrint(ScriptedDialogs::PrintChoice{1, pdf});
    action("mmiPrint")->trigger();
    QCOMPARE(pdftools::pageSize(pdf), QSizeF(792, 612));
    const QPointF word = pdftools::wordPosition(pdf, 1, QStringLiteral("Hello"));
    QVERIFY2(qAbs(word.x() - 108) < 2, qPrintable(QString::number(word.x())));
}

// As a user would: a page setup change shows the document modified, is saved with it and
// comes back when the file is opened again; New starts from a fresh document's page.
void TestPrintCommands::pageSetupIsSavedWithTheDocumentAndNewForgetsIt()
{
    dialogs->queuePageSetup(PageSetupChoice{QMargins(1500, 750, 500, 2000), 1, 0, true,
                                            TwwPageSetupDialog::PdfFilePrinterName()});
    action("mmiPageSetup")->trigger();
    QVERIFY(window->Editor()->Modified());
    const QString file = files->filePath(QStringLiteral("setup.rtf"));
    dialogs->queueSaveFile(file);
    action("mmiSaveAs")->trigger();
    QVERIFY(!window->Editor()->Modified());

    action("mmiNew")->trigger();
    QCOMPARE(window->Editor()->PrintMargins(), TwwPrintMargins{});
    QCOMPARE(CurrentPrinter().pageLayout().orientation(), QPageLayout::Portrait);

    dialogs->queueOpenFile(file);
    action("mmiOpen")->trigger();
    QCOMPARE(window->Editor()->PrintMargins(), (TwwPrintMargins{0.75, 2.0, 1.5, 0.5}));
    QCOMPARE(CurrentPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    QVERIFY(!window->Editor()->Modified());
}

QTEST_MAIN(TestPrintCommands)
#include "tst_printcommands.moc"
