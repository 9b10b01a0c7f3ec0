#include "tests/support/scripteddialogs.h"
#include "richedit/wwpagesetupdialog.h"
#include "richedit/wwprinter.h"
#include "richedit/wwriched.h"
#include "tests/support/testsupport.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using platform::PageSetupChoice;
using platform::ScriptedDialogs;

class TestPageSetup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void marginsAreSentInThousandthsOfTheUnit_data();
    void marginsAreSentInThousandthsOfTheUnit();
    void aMarginComesBackAsThousandths();
    void paperIsFixedWhileLayingOutToTheWindow();
    void paperFollowsTheEditorInPrinterWidth();
    void okWritesMarginsOrientationPaperAndPrinter();
    void cancelChangesNothing();
    void aChangedPageSetupIsSavedWithTheDocument();
    void confirmingWithoutAChangeLeavesTheDocumentAlone();
    void whatTheUserDidNotChangeKeepsTheDocumentsValue();
    void anOpenedFileWithoutPageSetupGetsAFreshDocumentsPage();

private:
    PageSetupChoice choiceFromRequest() const;
    bool runDialog(const std::optional<PageSetupChoice> &choice);
    QByteArray saved() const;
    void open(const QByteArray &rtf);

    std::unique_ptr<QWidget> m_form;
    TwwDBRichEdit *m_edit = nullptr;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

// A PDF printer on Letter paper, portrait; an editor on a form with the default margins.
void TestPageSetup::init()
{
    QPrinter &printer = CurrentPrinter();
    UsePdfFile(printer, QString());
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    m_form = std::make_unique<QWidget>();
    m_edit = new TwwDBRichEdit(m_form.get());
    m_dialogs = std::make_unique<ScriptedDialogs>();
}

// What a user who changes nothing gives back.
PageSetupChoice TestPageSetup::choiceFromRequest() const
{
    const platform::PageSetupRequest &shown = m_dialogs->lastRequest().pageSetup;
    PageSetupChoice choice;
    choice.margins = shown.margins;
    choice.paperCode = shown.paperCode;
    choice.paperSource = shown.paperSource;
    choice.landscape = shown.landscape;
    choice.printer = shown.printer;
    return choice;
}

void TestPageSetup::marginsAreSentInThousandthsOfTheUnit_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<double>("margin");
    QTest::addColumn<int>("sent");
    QTest::newRow("one inch") << int(muInches) << 1.0 << 1000;
    QTest::newRow("2.54 cm") << int(muCentimeters) << 2.54 << 2540;
    QTest::newRow("half a thousandth is cut off") << int(muInches) << 0.0015 << 1;
    QTest::newRow("0.29 stays 290") << int(muInches) << 0.29 << 290;
    QTest::newRow("zero") << int(muInches) << 0.0 << 0;
}

void TestPageSetup::marginsAreSentInThousandthsOfTheUnit()
{
    QFETCH(int, units);
    QFETCH(double, margin);
    QFETCH(int, sent);
    m_edit->SetMeasurementUnits(TwwMeasurementUnits(units));
    m_edit->SetPrintMargins(TwwPrintMargins{margin, margin, margin, margin});
    m_dialogs->queuePageSetup(std::nullopt);
    TwwPageSetupDialog dialog(m_form.get());
    dialog.RichEdit = m_edit;
    QVERIFY(!dialog.Execute());
    const platform::PageSetupRequest &request = m_dialogs->lastRequest().pageSetup;
    QCOMPARE(request.margins, QMargins(sent, sent, sent, sent));
    QCOMPARE(request.inInches, units == muInches);
}

// A margin that went out as 1 thousandth comes back as 0.001; one that the user does
// not touch keeps its value however often the dialog is confirmed.
void TestPageSetup::aMarginComesBackAsThousandths()
{
    m_edit->SetPrintMargins(TwwPrintMargins{0.29, 0.29, 0.0015, 0.29});
    TwwPageSetupDialog dialog(m_form.get());
    dialog.RichEdit = m_edit;
    for (int round = 0; round < 3; ++round) {
        m_dialogs->queuePageSetup(std::nullopt);
        QVERIFY(!dialog.Execute());
        const PageSetupChoice unchanged = choiceFromRequest();
        m_dialogs->queuePageSetup(unchanged);
        QVERIFY(dialog.Execute());
    }
    const TwwPrintMargins &margins = m_edit->PrintMargins();
    QCOMPARE(margins.Left, 0.001);
    QCOMPARE(margins.Top, 0.29);
    QCOMPARE(margins.Right, 0.29);
    QCOMPARE(margins.Bottom, 0.29);
}

void TestPageSetup::paperIsFixedWhileLayingOutToTheWindow()
{
    CurrentPrinter().setPageSize(QPageSize(QPageSize::A4));
    m_edit->SetPaperSize(5);  // only stored in window width
    m_dialogs->queuePageSetup(std::nullopt);
    TwwPageSetupDialog dialog(m_form.get());
    dialog.RichEdit = m_edit;
    dialog.Execute();
    const platform::PageSetupRequest &request = m_dialogs->lastRequest().pageSetup;
    QVERIFY(!request.paperEnabled);
    QCOMPARE(request.paperCode, 9);  // the printer's paper, not the stored code
    QVERIFY(request.printers.contains(TwwPageSetupDialog::PdfFilePrinterName()));
    QCOMPARE(request.printer, TwwPageSetupDialog::PdfFilePrinterName());
}

void TestPageSetup::paperFollowsTheEditorInPrinterWidth()
{
    m_edit->SetEditWidth(rewPrinterSize);
    m_edit->SetPaperSize(5);
    CurrentPrinter().setPageSize(QPageSize(QPageSize::A4));
    m_dialogs->queuePageSetup(std::nullopt);
    TwwPageSetupDialog dialog(m_form.get());
    dialog.RichEdit = m_edit;
    dialog.Execute();
    const platform::PageSetupRequest &request = m_dialogs->lastRequest().pageSetup;
    QVERIFY(request.paperEnabled);
    QCOMPARE(request.paperCode, 5);
}

void TestPageSetup::okWritesMarginsOrientationPaperAndPrinter()
{
    m_edit->SetEditWidth(rewPrinterSize);
    m_dialogs->queuePageSetup(PageSetupChoice{QMargins(1500, 1250, 500, 2000), 9, 0, true,
                                              TwwPageSetupDialog::PdfFilePrinterName()});
    TwwPageSetupDialog dialog(m_form.get());
    dialog.RichEdit = m_edit;
    const int layouts = m_edit->FormatRectSendCount();
    QVERIFY(dialog.Execute());
    QCOMPARE(m_edit->PrintMargins(), (TwwPrintMargins{1.25, 2.0, 1.5, 0.5}));
    QCOMPARE(m_edit->PaperSize(), qint16(9));
    const QPrinter &printer = CurrentPrinter();
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
    QVERIFY(PrintsToFile(printer));
    QVERIFY(m_edit->FormatRectSendCount() > layouts);  // printer width lays the text out again
}

void TestPageSetup::cancelChangesNothing()
{
    m_edit->SetPrintMargins(TwwPrintMargins{0.5, 0.5, 0.5, 0.5});
    m_dialogs->queuePageSetup(std::nullopt);
    TwwPageSetupDialog dialog(m_form.get());
    dialog.RichEdit = m_edit;
    QVERIFY(!dialog.Execute());
    QCOMPARE(m_edit->PrintMargins(), (TwwPrintMargins{0.5, 0.5, 0.5, 0.5}));
    QCOMPARE(m_edit->PaperSize(), qint16(1));
    QCOMPARE(CurrentPrinter().pageLayout().orientation(), QPageLayout::Portrait);
    QCOMPARE(CurrentPrinter().pageLayout().pageSize().id(), QPageSize::Letter);
    QVERIFY(m_dialogs->problems().isEmpty());
}

bool TestPageSetup::runDialog(const std::optional<PageSetupChoice> &choice)
{
    m_dialogs->queuePageSetup(choice);
    TwwPageSetupDialog dialog(m_form.get());
    dialog.RichEdit = m_edit;
    return dialog.Execute();
}

QByteArray TestPageSetup::saved() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    m_edit->Lines()->SaveToStream(buffer);
    return buffer.data();
}

// As the File menu opens a file.
void TestPageSetup::open(const QByteArray &rtf)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("page.rtf"));
    testsupport::writeFile(file, rtf);
    m_edit->Lines()->LoadFromFile(file);
}

// Paper, orientation and margins (0 too) go into the document, which becomes modified;
// saved and opened again, they are the page once more.
void TestPageSetup::aChangedPageSetupIsSavedWithTheDocument()
{
    m_edit->setPlainText(QStringLiteral("Body"));
    m_edit->SetModified(false);
    QVERIFY(runDialog(PageSetupChoice{QMargins(1500, 1250, 0, 2000), 1, 0, true,
                                      TwwPageSetupDialog::PdfFilePrinterName()}));
    QVERIFY(m_edit->Modified());
    const QByteArray rtf = saved();
    for (const char *word : {"\\paperw15840", "\\paperh12240", "\\margl2160", "\\margr0", "\\margt1800",
                             "\\margb2880", "\\landscape"})
        QVERIFY2(rtf.contains(word), word);

    CurrentPrinter().setPageOrientation(QPageLayout::Portrait);
    open(rtf);
    QCOMPARE(m_edit->PrintMargins(), (TwwPrintMargins{1.25, 2.0, 1.5, 0.0}));
    QCOMPARE(CurrentPrinter().pageLayout().orientation(), QPageLayout::Landscape);
}

void TestPageSetup::confirmingWithoutAChangeLeavesTheDocumentAlone()
{
    m_edit->setPlainText(QStringLiteral("Body"));
    m_edit->SetModified(false);
    QVERIFY(!runDialog(std::nullopt));
    QVERIFY(runDialog(choiceFromRequest()));
    QVERIFY(!m_edit->Modified());
    QVERIFY(!saved().contains("\\margl"));
    QVERIFY(!saved().contains("\\paperw"));
}

// A margin the document gives to the twip shows rounded in the dialog; changing only the
// orientation leaves it as the document gave it.
void TestPageSetup::whatTheUserDidNotChangeKeepsTheDocumentsValue()
{
    open("{\\rtf1\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1417\\margb1134\\headery709 Body\\par}");
    QCOMPARE(CurrentPrinter().pageLayout().pageSize().id(), QPageSize::A4);
    QVERIFY(!runDialog(std::nullopt));
    QVERIFY(runDialog(choiceFromRequest()));
    QVERIFY(!m_edit->Modified());

    QVERIFY(!runDialog(std::nullopt));
    PageSetupChoice turned = choiceFromRequest();
    turned.landscape = true;
    QVERIFY(runDialog(turned));
    QVERIFY(m_edit->Modified());
    const QByteArray rtf = saved();
    for (const char *word : {"\\paperw16838", "\\paperh11906", "\\margl1134", "\\margr1134", "\\margt1417",
                             "\\margb1134", "\\headery709", "\\landscape"})
        QVERIFY2(rtf.contains(word), word);
}

// Opening a file without a page setup forgets the previous document's.
void TestPageSetup::anOpenedFileWithoutPageSetupGetsAFreshDocumentsPage()
{
    open("{\\rtf1\\paperw11906\\paperh8391\\margl1800\\margt720\\landscape Body\\par}");
    QCOMPARE(CurrentPrinter().pageLayout().pageSize().id(), QPageSize::A5);
    open("{\\rtf1 Plain\\par}");
    QCOMPARE(m_edit->PrintMargins(), TwwPrintMargins{});
    QVERIFY(CurrentPrinter().pageLayout().pageSize().isEquivalentTo(DefaultPaperSize()));
    QCOMPARE(CurrentPrinter().pageLayout().orientation(), QPageLayout::Portrait);

    open("{\\rtf1\\margl2880 Wide\\par}");
    open("Plain text, no page setup at all");
    QCOMPARE(m_edit->PrintMargins(), TwwPrintMargins{});
}

QTEST_MAIN(TestPageSetup)
#include "tst_pagesetup.moc"
