#include "platform/exceptions.h"
#include "richedit/wwprinter.h"
#include "richedit/wwprintjob.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"
#include "tests/support/pdftools.h"
#include "tests/support/recordingspooler.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

constexpr double kPointsPerInch = 72.0;

// A spooler whose jobs fail when they are finished, as a printer that goes away would.
class FailingSpooler : public TwwPrintSpooler {
public:
    FailingSpooler() { SetPrintSpooler(this); }
    ~FailingSpooler() override { SetPrintSpooler(nullptr); }

    std::unique_ptr<TwwPrintJob> StartJob(QPrinter &printer, const QString &docName) override
    {
        class Job : public TwwPrintJob {
        public:
            explicit Job(std::unique_ptr<TwwPrintJob> inner) : m_inner(std::move(inner)) {}
            QPainter &Painter() override { return m_inner->Painter(); }
            QPaintDevice &Device() override { return m_inner->Device(); }
            void NewPage() override { m_inner->NewPage(); }
            void Finish() override { throw Exception(QStringLiteral("The printer went away.")); }

        private:
            std::unique_ptr<TwwPrintJob> m_inner;
        };
        return std::make_unique<Job>(StartPdfFileJob(printer, folder.filePath(QStringLiteral("job.pdf")), docName));
    }

    QTemporaryDir folder;
};

QString numberedLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("Line%1 of the document").arg(i);
    return lines.join(QLatin1Char('\n'));
}

void loadRtf(TwwCustomRichEdit &edit, QByteArray rtf)
{
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.Lines()->LoadFromStream(buffer);
}

}  // namespace

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void marginRectangle_data();
    void marginRectangle();
    void printsEveryPageWithItsOwnText();
    void aPageBreakStartsANewPage();
    void indentsAndBulletedTextPrintWhereTheScreenShowsThem();
    void listNumbersPrintInTheirHangingIndent();
    void anEmptyDocumentPrintsOnePage();
    void marginsMoveTheText();
    void landscapeSwapsWidthAndHeight();
    void printerWidthLayoutAppliesThePaperFirst();
    void paperSizeInWindowWidthOnlyStoresTheCode();
    void copiesGoIntoOneJobInOrder();
    void theJobIsNamedByTheTitleCutTo31Characters();
    void aFileThatCannotBeWrittenIsReportedAndLeftAlone();
    void aFailingJobIsReportedAndLeavesTheDocumentAsItWas();
    void marginsWithoutRoomAreRefused();
    void thePdfGoesToDocumentsOrHome();
    void headerAndFooterArePrintedOnEveryPageWithItsNumber();
    void aLoadedDocumentsPageSetupBecomesThePrintingDefault();
    void eachPagePrintsItsKindOfHeaderAndFooter();
    void aTallHeaderPushesTheTextDown();

private:
    QString printToPdf(TwwCustomRichEdit &edit, int copies = 1);

    std::unique_ptr<QWidget> m_form;
    TwwDBRichEdit *m_edit = nullptr;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestPrint::headerAndFooterArePrintedOnEveryPageWithItsNumber()
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs24"
                     "{\\header\\pard\\plain\\f0\\fs20 Head of page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} of "
                     "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}"
                     "{\\footer\\pard\\plain\\f0\\fs20 Foot text\\par}";
    for (int i = 0; i < 110; ++i)
        rtf += "Line" + QByteArray::number(i) + " of the document\\par ";
    loadRtf(*m_edit, rtf + "}");
    const QString pdf = printToPdf(*m_edit);
    QCOMPARE(pdftools::pageCount(pdf), 3);
    for (int page = 1; page <= 3; ++page) {
        const QString text = pdftools::pageText(pdf, page);
        QVERIFY2(text.contains(QStringLiteral("Head of page %1 of 3").arg(page)), qPrintable(text));
        QVERIFY2(text.contains(QLatin1String("Foot text")), qPrintable(text));
    }
    // Half an inch from the paper's top and bottom edges, in the margins.
    const QPointF head = pdftools::wordPosition(pdf, 1, QStringLiteral("Head"));
    const QPointF foot = pdftools::wordPosition(pdf, 1, QStringLiteral("Foot"));
    QVERIFY2(head.y() > 0.5 * kPointsPerInch - 1 && head.y() < kPointsPerInch - 8, qPrintable(QString::number(head.y())));
    QVERIFY2(foot.y() > 792 - kPointsPerInch && foot.y() < 792 - 0.5 * kPointsPerInch, qPrintable(QString::number(foot.y())));
    QVERIFY(qAbs(head.x() - kPointsPerInch) < 2);
}

void TestPrint::aLoadedDocumentsPageSetupBecomesThePrintingDefault()
{
    // A5 landscape with margins of 1.25, 0.75, 0.5 and 0.5 inches.
    loadRtf(*m_edit, "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\paperw11906\\paperh8391\\margl1800\\margr1080"
                     "\\margt720\\margb720\\landscape\\f0\\fs24 Marker\\par}");
    QCOMPARE(m_edit->PrintMargins(), (TwwPrintMargins{0.5, 0.5, 1.25, 0.75}));
    QCOMPARE(CurrentPrinter().pageLayout().pageSize().id(), QPageSize::A5);
    const QString pdf = printToPdf(*m_edit);
    const QSizeF size = pdftools::pageSize(pdf);
    QVERIFY2(qAbs(size.width() - 595) < 2 && qAbs(size.height() - 420) < 2,
             qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
    const QPointF marker = pdftools::wordPosition(pdf, 1, QStringLiteral("Marker"));
    QVERIFY(qAbs(marker.x() - 1.25 * kPointsPerInch) < 2);

    // A stream without a page setup leaves the printing setup as it is (a file would not).
    loadRtf(*m_edit, "{\\rtf1 Plain\\par}");
    QCOMPARE(m_edit->PrintMargins(), (TwwPrintMargins{0.5, 0.5, 1.25, 0.75}));
}

// A title page, then right and left pages, each with its own header and footer.
void TestPrint::eachPagePrintsItsKindOfHeaderAndFooter()
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\facingp\\titlepg\\f0\\fs24"
                     "{\\headerf\\pard TitleHead\\par}{\\footerf\\pard TitleFoot\\par}"
                     "{\\headerl\\pard LeftHead\\par}{\\footerl\\pard LeftFoot\\par}"
                     "{\\headerr\\pard RightHead\\par}{\\footerr\\pard RightFoot\\par}";
    for (int i = 0; i < 110; ++i)
        rtf += "Line" + QByteArray::number(i) + " of the document\\par ";
    loadRtf(*m_edit, rtf + "}");
    const QString pdf = printToPdf(*m_edit);
    QCOMPARE(pdftools::pageCount(pdf), 3);
    const QStringList kinds{QStringLiteral("Title"), QStringLiteral("Left"), QStringLiteral("Right")};
    for (int page = 1; page <= 3; ++page) {
        const QString text = pdftools::pageText(pdf, page);
        for (const QString &kind : kinds) {
            const bool shown = kind == kinds.at(page - 1);
            QVERIFY2(text.contains(kind + QLatin1String("Head")) == shown, qPrintable(text));
            QVERIFY2(text.contains(kind + QLatin1String("Foot")) == shown, qPrintable(text));
        }
    }
}

// The header at its distance from the paper's top; a header reaching below the top
// margin pushes the text down, a footer reaching above the bottom margin pushes it up,
// and the body text neither overlaps them nor is lost.
void TestPrint::aTallHeaderPushesTheTextDown()
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\margt1440\\margb1440\\headery1080\\footery360"
                     "\\f0\\fs24{\\header\\pard\\f0\\fs24 HeadA\\par HeadB\\par HeadC\\par}"
                     "{\\footer\\pard\\f0\\fs24 FootA\\par FootB\\par FootC\\par FootD\\par}";
    for (int i = 0; i < 110; ++i)
        rtf += "Line" + QByteArray::number(i) + " of the document\\par ";
    loadRtf(*m_edit, rtf + "}");
    const QString pdf = printToPdf(*m_edit);
    const QPointF headA = pdftools::wordPosition(pdf, 1, QStringLiteral("HeadA"));
    QVERIFY2(headA.y() > 0.75 * kPointsPerInch - 1 && headA.y() < 0.75 * kPointsPerInch + 8,
             qPrintable(QString::number(headA.y())));
    const QPointF headC = pdftools::wordPosition(pdf, 1, QStringLiteral("HeadC"));
    const QPointF first = pdftools::wordPosition(pdf, 1, QStringLiteral("Line0"));
    QVERIFY2(first.y() > headC.y() + 12, qPrintable(QStringLiteral("%1 %2").arg(first.y()).arg(headC.y())));
    const QPointF footA = pdftools::wordPosition(pdf, 1, QStringLiteral("FootA"));
    const QPointF footD = pdftools::wordPosition(pdf, 1, QStringLiteral("FootD"));
    QVERIFY2(footD.y() < 792 - 0.25 * kPointsPerInch - 12, qPrintable(QString::number(footD.y())));
    QString all;
    for (int page = 1; page <= pdftools::pageCount(pdf); ++page) {
        const QString text = pdftools::pageText(pdf, page);
        all += text;
        // The last body line of each page lies above the footer.
        const QRegularExpression lines(QStringLiteral("Line(\\d+) "));
        QString last;
        for (const QRegularExpressionMatch &match : lines.globalMatch(text))
            last = QStringLiteral("Line") + match.captured(1);
        const QPointF lastLine = pdftools::wordPosition(pdf, page, last);
        QVERIFY2(lastLine.y() + 12 < footA.y(), qPrintable(QStringLiteral("%1 %2").arg(lastLine.y()).arg(footA.y())));
    }
    for (int i = 0; i < 110; ++i)
        QCOMPARE(all.count(QStringLiteral("Line%1 ").arg(i)), 1);
}

void TestPrint::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    if (!pdftools::available())
        QSKIP("poppler-utils (pdfinfo, pdftotext) are needed to read the printed files");
}

// Every test starts from a PDF printer on Letter paper, portrait, without unprintable
// edges, and a fresh editor on a form with 1-inch margins.
void TestPrint::init()
{
    QPrinter &printer = CurrentPrinter();
    UsePdfFile(printer, QString());
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
    m_folder = std::make_unique<QTemporaryDir>();
    printer.setOutputFileName(m_folder->filePath(QStringLiteral("out.pdf")));
    m_form = std::make_unique<QWidget>();
    m_edit = new TwwDBRichEdit(m_form.get());
    m_edit->document()->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
}

QString TestPrint::printToPdf(TwwCustomRichEdit &edit, int copies)
{
    edit.Print(QStringLiteral("Printing"), copies);
    return CurrentPrinter().outputFileName();
}

void TestPrint::marginRectangle_data()
{
    QTest::addColumn<double>("offsetInches");
    QTest::addColumn<int>("units");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("right");
    QTest::addColumn<double>("bottom");
    QTest::addColumn<QRect>("expected");  // left, top, right, bottom edges in twips

    // Letter paper: 12240 x 15840 twips.
    QTest::newRow("inch margins") << 0.0 << int(muInches) << 1.0 << 1.0 << 1.0 << 1.0
                                  << QRect(QPoint(1440, 1440), QPoint(10800, 14400));
    QTest::newRow("margins count from the paper's edge")
        << 0.25 << int(muInches) << 1.0 << 1.0 << 1.0 << 1.0 << QRect(QPoint(1080, 1080), QPoint(10440, 14040));
    QTest::newRow("zero margins clamp to the printable corner")
        << 0.25 << int(muInches) << 0.0 << 0.0 << 0.0 << 0.0 << QRect(QPoint(0, 0), QPoint(11520, 15120));
    QTest::newRow("left beyond the printable width")
        << 0.25 << int(muInches) << 20.0 << 1.0 << 1.0 << 1.0 << QRect(QPoint(11520, 1080), QPoint(11520, 14040));
    QTest::newRow("top beyond the page is kept one offset in")
        << 0.25 << int(muInches) << 1.0 << 30.0 << 1.0 << 1.0 << QRect(QPoint(1080, 15480), QPoint(10440, 15120));
    QTest::newRow("2.537 cm is one inch") << 0.0 << int(muCentimeters) << 2.537 << 2.537 << 2.537 << 2.537
                                          << QRect(QPoint(1440, 1440), QPoint(10800, 14400));
}

void TestPrint::marginRectangle()
{
    QFETCH(double, offsetInches);
    QFETCH(int, units);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, right);
    QFETCH(double, bottom);
    QFETCH(QRect, expected);
    const double o = offsetInches;
    CurrentPrinter().setPageMargins(QMarginsF(o, o, o, o), QPageLayout::Inch);
    m_edit->SetMeasurementUnits(TwwMeasurementUnits(units));
    m_edit->SetPrintMargins(TwwPrintMargins{top, bottom, left, right});
    const QRect rect = m_edit->PrintMarginRect();
    QCOMPARE(rect.left(), expected.left());
    QCOMPARE(rect.top(), expected.top());
    QCOMPARE(rect.left() + rect.width(), expected.right());
    QCOMPARE(rect.top() + rect.height(), expected.bottom());
}

void TestPrint::printsEveryPageWithItsOwnText()
{
    m_edit->setPlainText(numberedLines(110));
    const QString pdf = printToPdf(*m_edit);
    QCOMPARE(pdftools::pageCount(pdf), 3);
    QCOMPARE(pdftools::pageSize(pdf), QSizeF(612, 792));
    const QString first = pdftools::pageText(pdf, 1);
    const QString last = pdftools::pageText(pdf, 3);
    QVERIFY(first.contains(QLatin1String("Line0 ")));
    QVERIFY(!first.contains(QLatin1String("Line60 ")));
    QVERIFY(last.contains(QLatin1String("Line109 ")));
    QVERIFY(!last.contains(QLatin1String("Line0 ")));
    // Every line is printed once: no line is lost or repeated at a page boundary.
    QString all;
    for (int page = 1; page <= 3; ++page)
        all += pdftools::pageText(pdf, page);
    for (int i = 0; i < 110; ++i)
        QCOMPARE(all.count(QStringLiteral("Line%1 ").arg(i)), 1);
}

void TestPrint::aPageBreakStartsANewPage()
{
    loadRtf(*m_edit, "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs24 Alpha\\par\\page Beta\\par}");
    const QString pdf = printToPdf(*m_edit);
    QCOMPARE(pdftools::pageCount(pdf), 2);
    QVERIFY(pdftools::pageText(pdf, 1).contains(QLatin1String("Alpha")));
    QVERIFY(pdftools::pageText(pdf, 2).contains(QLatin1String("Beta")));
    QVERIFY(!pdftools::pageText(pdf, 1).contains(QLatin1String("Beta")));
}

void TestPrint::indentsAndBulletedTextPrintWhereTheScreenShowsThem()
{
    loadRtf(*m_edit, "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs24\\pard\\li1440 Indented\\par"
                     "\\pard{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-360\\li720 Bulleted\\par}");
    const QString pdf = printToPdf(*m_edit);
    QVERIFY(qAbs(pdftools::wordPosition(pdf, 1, QStringLiteral("Indented")).x() - 2 * kPointsPerInch) < 2);
    QVERIFY(qAbs(pdftools::wordPosition(pdf, 1, QStringLiteral("Bulleted")).x() - 1.5 * kPointsPerInch) < 2);
}

void TestPrint::listNumbersPrintInTheirHangingIndent()
{
    loadRtf(*m_edit, "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs24"
                     "{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}\\fi-360\\li1440 First\\par Second\\par}");
    const QString pdf = printToPdf(*m_edit);
    // The margin is an inch; the number at 1.75 inches, the text at 2.
    QVERIFY(qAbs(pdftools::wordPosition(pdf, 1, QStringLiteral("2.")).x() - 1.75 * kPointsPerInch) < 2);
    QVERIFY(qAbs(pdftools::wordPosition(pdf, 1, QStringLiteral("Second")).x() - 2 * kPointsPerInch) < 2);
}

void TestPrint::anEmptyDocumentPrintsOnePage()
{
    m_edit->Clear();
    QCOMPARE(pdftools::pageCount(printToPdf(*m_edit)), 1);
}

void TestPrint::marginsMoveTheText()
{
    m_edit->setPlainText(QStringLiteral("Marker"));
    const QPointF oneInch = pdftools::wordPosition(printToPdf(*m_edit), 1, QStringLiteral("Marker"));
    QVERIFY(qAbs(oneInch.x() - kPointsPerInch) < 2);
    QVERIFY(oneInch.y() > kPointsPerInch - 1 && oneInch.y() < kPointsPerInch + 8);

    m_edit->SetPrintMargins(TwwPrintMargins{2.0, 1.0, 1.5, 1.0});
    const QPointF moved = pdftools::wordPosition(printToPdf(*m_edit), 1, QStringLiteral("Marker"));
    QVERIFY(qAbs(moved.x() - 1.5 * kPointsPerInch) < 2);
    QVERIFY(moved.y() > 2 * kPointsPerInch - 1 && moved.y() < 2 * kPointsPerInch + 8);
}

void TestPrint::landscapeSwapsWidthAndHeight()
{
    m_edit->setPlainText(QStringLiteral("Wide"));
    CurrentPrinter().setPageOrientation(QPageLayout::Landscape);
    const QString pdf = printToPdf(*m_edit);
    QCOMPARE(pdftools::pageSize(pdf), QSizeF(792, 612));
}

void TestPrint::printerWidthLayoutAppliesThePaperFirst()
{
    m_edit->SetEditWidth(rewPrinterSize);
    m_edit->SetPaperSize(9);  // A4
    CurrentPrinter().setPageSize(QPageSize(QPageSize::Letter));
    m_edit->setPlainText(QStringLiteral("A4"));
    QCOMPARE(pdftools::pageSize(printToPdf(*m_edit)), QSizeF(595, 842));
}

void TestPrint::paperSizeInWindowWidthOnlyStoresTheCode()
{
    m_edit->SetPaperSize(5);  // Legal
    QCOMPARE(m_edit->PaperSize(), qint16(5));
    QCOMPARE(CurrentPrinter().pageLayout().pageSize().id(), QPageSize::Letter);
    m_edit->ApplyPaperSize();
    QCOMPARE(CurrentPrinter().pageLayout().pageSize().id(), QPageSize::Legal);
}

void TestPrint::copiesGoIntoOneJobInOrder()
{
    m_edit->setPlainText(numberedLines(60));  // two pages
    const QString pdf = printToPdf(*m_edit, 3);
    QCOMPARE(pdftools::pageCount(pdf), 6);
    for (int copy = 0; copy < 3; ++copy) {
        QVERIFY(pdftools::pageText(pdf, 2 * copy + 1).contains(QLatin1String("Line0 ")));
        QVERIFY(pdftools::pageText(pdf, 2 * copy + 2).contains(QLatin1String("Line59 ")));
    }
}

void TestPrint::theJobIsNamedByTheTitleCutTo31Characters()
{
    RecordingSpooler spooler;
    m_edit->setPlainText(QStringLiteral("text"));
    m_edit->Print(QStringLiteral("Printing"));
    m_edit->Print(QStringLiteral("A title that is longer than thirty-one characters"));
    QCOMPARE(spooler.jobNames, (QStringList{QStringLiteral("Printing"), QStringLiteral("A title that is longer than thi")}));
    QCOMPARE(pdftools::infoField(spooler.files.at(0), QStringLiteral("Title")), QStringLiteral("Printing"));
}

void TestPrint::aFileThatCannotBeWrittenIsReportedAndLeftAlone()
{
    QFile blocker(m_folder->filePath(QStringLiteral("plain.txt")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString target = m_folder->filePath(QStringLiteral("plain.txt/out.pdf"));
    CurrentPrinter().setOutputFileName(target);
    m_edit->setPlainText(QStringLiteral("keep me"));
    m_edit->SetModified(false);
    try {
        m_edit->Print(QStringLiteral("Printing"));
        QFAIL("printing into a file below a regular file succeeded");
    } catch (const Exception &error) {
        QVERIFY2(error.message().contains(QDir::toNativeSeparators(target)), qPrintable(error.message()));
    }
    QVERIFY(!QFile::exists(target));
    QCOMPARE(m_edit->toPlainText(), QStringLiteral("keep me"));
    QVERIFY(!m_edit->Modified());
}

void TestPrint::aFailingJobIsReportedAndLeavesTheDocumentAsItWas()
{
    m_edit->setPlainText(numberedLines(60));
    m_edit->SetModified(false);
    {
        FailingSpooler spooler;
        QVERIFY_THROWS_EXCEPTION(Exception, m_edit->Print(QStringLiteral("Printing")));
        QVERIFY(QDir(spooler.folder.path()).entryList(QDir::Files).isEmpty());  // no partial PDF
    }
    QVERIFY(!m_edit->Modified());
    QCOMPARE(pdftools::pageCount(printToPdf(*m_edit)), 2);  // the next print works as usual
}

void TestPrint::marginsWithoutRoomAreRefused()
{
    RecordingSpooler spooler;
    m_edit->setPlainText(QStringLiteral("text"));
    m_edit->SetPrintMargins(TwwPrintMargins{1.0, 1.0, 5.0, 4.0});  // 9 inches of an 8.5-inch width
    QVERIFY_THROWS_EXCEPTION(Exception, m_edit->Print(QStringLiteral("Printing")));
    QVERIFY(spooler.jobNames.isEmpty());
}

void TestPrint::thePdfGoesToDocumentsOrHome()
{
    const QByteArray savedHome = qgetenv("HOME");
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    const QString withoutDocuments = DefaultPdfFileName(QStringLiteral("/x/Letter.rtf"));
    QDir(home.path()).mkdir(QStringLiteral("Documents"));
    const QString withDocuments = DefaultPdfFileName(QStringLiteral("/x/Letter.rtf"));
    const QString untitled = DefaultPdfFileName(QString());
    qputenv("HOME", savedHome);
    QCOMPARE(withoutDocuments, QDir(home.path()).filePath(QStringLiteral("Letter.pdf")));
    QCOMPARE(withDocuments, QDir(home.path()).filePath(QStringLiteral("Documents/Letter.pdf")));
    QCOMPARE(untitled, QDir(home.path()).filePath(QStringLiteral("Documents/Untitled.pdf")));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
