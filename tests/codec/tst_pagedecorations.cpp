#include "tests/support/testsupport.h"
#include "engine/codec/documentextras.h"
#include "engine/codec/pagedecorations.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace engine;

namespace {

DocumentExtras extrasOf(const QByteArray &rtf)
{
    QTextDocument document;
    if (!readRtf(rtf, &document).ok())
        return {};
    return documentExtras(&document);
}

// Whether anything but white is drawn in the rows.
bool inked(const QImage &image, int fromRow, int toRow)
{
    for (int y = std::max(0, fromRow); y < std::min(image.height(), toRow); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return true;
    return false;
}

// Letter paper at 100 dots to the inch with the decorations of page 1 drawn on it.
QImage drawnPage(const PageDecorations &decorations, const QRect &text)
{
    QImage page(850, 1100, QImage::Format_RGB32);
    page.setDotsPerMeterX(3937);
    page.setDotsPerMeterY(3937);
    page.fill(Qt::white);
    QPainter painter(&page);
    decorations.draw(painter, page, text, QRect(0, 0, 12240, 15840), 1, 1);
    return page;
}

}  // namespace

class TestPageDecorations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::useTwelvePointApplicationFont(); }

    void theHeaderAndFooterOfAFileAreTaken()
    {
        const PageDecorations decorations(extrasOf(testsupport::readRtfFixture("kept_parts.rtf")));
        QCOMPARE(decorations.headerText(), QStringLiteral("Header text"));
        QCOMPARE(decorations.footerText(), QStringLiteral("Footer text"));
    }

    void aFileWithoutThemHasNone()
    {
        const PageDecorations decorations(extrasOf("{\\rtf1{\\info{\\title T}} Body\\par}"));
        QVERIFY(!decorations.hasHeader());
        QVERIFY(!decorations.hasFooter());
    }

    // `groups` names headers; the same groups as footers must give the same choice.
    void eachPageShowsItsKind_data()
    {
        QTest::addColumn<QByteArray>("words");
        QTest::addColumn<QByteArray>("groups");
        QTest::addColumn<QStringList>("pages");  // what pages 1, 2, 3 show

        const QByteArray all = "{\\header\\pard All\\par}";
        const QByteArray first = "{\\headerf\\pard First\\par}";
        const QByteArray left = "{\\headerl\\pard Left\\par}";
        const QByteArray right = "{\\headerr\\pard Right\\par}";
        QTest::newRow("the plain kind on every page") << QByteArray() << all << QStringList{"All", "All", "All"};
        QTest::newRow("a right kind stands in for a missing plain one")
            << QByteArray() << right << QStringList{"Right", "Right", "Right"};
        QTest::newRow("the variants are not shown unless asked for")
            << QByteArray() << all + first + left << QStringList{"All", "All", "All"};
        QTest::newRow("a title page has its own") << QByteArray("\\titlepg") << first + all
                                                  << QStringList{"First", "All", "All"};
        QTest::newRow("a title page without its own has none")
            << QByteArray("\\titlepg") << all << QStringList{"", "All", "All"};
        QTest::newRow("facing pages: right on odd, left on even")
            << QByteArray("\\facingp") << left + right << QStringList{"Right", "Left", "Right"};
        QTest::newRow("facing pages: the plain kind on odd pages")
            << QByteArray("\\facingp") << all + left << QStringList{"All", "Left", "All"};
        QTest::newRow("facing pages: none on even pages without a left kind")
            << QByteArray("\\facingp") << all << QStringList{"All", "", "All"};
        QTest::newRow("title page and facing pages") << QByteArray("\\facingp\\titlepg") << first + left + right
                                                     << QStringList{"First", "Left", "Right"};
    }

    void eachPageShowsItsKind()
    {
        QFETCH(QByteArray, words);
        QFETCH(QByteArray, groups);
        QFETCH(QStringList, pages);
        const QByteArray footers = QByteArray(groups).replace("\\header", "\\footer");
        const PageDecorations decorations(extrasOf("{\\rtf1" + words + groups + footers + " Body\\par}"));
        for (int page = 1; page <= 3; ++page) {
            QCOMPARE(decorations.headerText(page), pages.at(page - 1));
            QCOMPARE(decorations.footerText(page), pages.at(page - 1));
        }
    }

    // Still there after the document is written and read again.
    void theyComeBackFromTheWrittenFile()
    {
        QTextDocument document;
        QVERIFY(readRtf(testsupport::readRtfFixture("kept_parts.rtf"), &document).ok());
        const PageDecorations decorations(extrasOf(writeRtf(&document)));
        QCOMPARE(decorations.headerText(), QStringLiteral("Header text"));
    }

    // Drawn in the margins: the header below the paper's top edge, the footer above its
    // bottom edge, nothing over the text.
    void theyAreDrawnInTheMargins()
    {
        const PageDecorations decorations(extrasOf(testsupport::readRtfFixture("kept_parts.rtf")));
        const QImage page = drawnPage(decorations, QRect(1440, 1440, 12240 - 2880, 15840 - 2880));
        QVERIFY(!inked(page, 0, 45));        // above half an inch
        QVERIFY(inked(page, 50, 90));        // the header
        QVERIFY(!inked(page, 100, 1000));    // the text area
        QVERIFY(inked(page, 1010, 1050));    // the footer
        QVERIFY(!inked(page, 1051, 1100));   // below it
    }

    // The header's top and the footer's bottom stand where the document puts them.
    void theHeaderAndFooterDistancesAreUsed()
    {
        const PageDecorations decorations(extrasOf(
            "{\\rtf1\\headery360\\footery1080{\\header\\pard H\\par}{\\footer\\pard F\\par} Body\\par}"));
        const QImage page = drawnPage(decorations, QRect(1440, 1440, 12240 - 2880, 15840 - 2880));
        QVERIFY(!inked(page, 0, 24));     // above a quarter inch
        QVERIFY(inked(page, 25, 45));     // the header
        QVERIFY(!inked(page, 50, 1000));  // down to the footer
        QVERIFY(inked(page, 1010, 1025)); // the footer, ending three quarters of an inch up
        QVERIFY(!inked(page, 1026, 1100));
    }

    // A header taller than the room above the text pushes the text down, a footer pushes
    // its end up; short ones leave the margins as they are.
    void tallDecorationsPushTheTextAway()
    {
        QByteArray lines;
        for (int i = 0; i < 6; ++i)
            lines += "Line " + QByteArray::number(i) + "\\par ";
        const QRect text(1440, 1440, 12240 - 2880, 15840 - 2880);
        const QRect paper(0, 0, 12240, 15840);
        const PageDecorations tall(
            extrasOf("{\\rtf1{\\header\\pard " + lines + "}{\\footer\\pard " + lines + "} Body\\par}"));
        const QRect pushed = tall.textRect(text, paper, 1);
        QVERIFY2(pushed.top() > 720 + 5 * 240, qPrintable(QString::number(pushed.top())));
        QVERIFY2(pushed.bottom() < 15840 - 720 - 5 * 240, qPrintable(QString::number(pushed.bottom())));
        QCOMPARE(pushed.left(), text.left());
        QCOMPARE(pushed.width(), text.width());

        const PageDecorations shortOnes(extrasOf(testsupport::readRtfFixture("kept_parts.rtf")));
        QCOMPARE(shortOnes.textRect(text, paper, 1), text);

        // Even a header longer than the page leaves the text some room, at the bottom.
        const PageDecorations huge(extrasOf("{\\rtf1{\\header\\pard " + lines.repeated(20) + "} B\\par}"));
        const QRect least = huge.textRect(text, paper, 1);
        QCOMPARE(least.height(), PageDecorations::kLeastTextHeight);
        QCOMPARE(least.top() + least.height(), text.top() + text.height());
    }

    // What the page setup holds comes back from the written file: distances, title page,
    // facing pages, and a margin of 0.
    void thePageSetupComesBackFromTheWrittenFile()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\paperw11906\\paperh16838\\margl0\\margr1134\\margt1417\\margb1134\\facingp"
                        "\\sectd\\headery567\\footery850\\titlepg{\\headerf\\pard F\\par} Body\\par}",
                        &document)
                    .ok());
        PageSetup expected{11906, 16838, 0, 1134, 1417, 1134, false};
        expected.headerY = 567;
        expected.footerY = 850;
        expected.titlePage = true;
        expected.facingPages = true;
        QCOMPARE(documentExtras(&document).page, expected);
        for (int cycle = 0; cycle < 3; ++cycle) {
            QTextDocument again;
            QVERIFY(readRtf(writeRtf(&document), &again).ok());
            QCOMPARE(documentExtras(&again).page, expected);
        }
    }

    // A writer that gives the page for the section (as LibreOffice does, with the margin
    // that clears its header) is read for the first section; later sections are not.
    // A field's number is text in the field's character format, also where the field had
    // no result and stood as a mark.
    void pageNumbersAreTextInTheFieldsFormat_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("page with a result") << QByteArray("{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}") << "p 3";
        QTest::newRow("page without a result") << QByteArray("{\\field{\\*\\fldinst PAGE}{\\fldrslt}}") << "p 3";
        QTest::newRow("page count without a result") << QByteArray("{\\field{\\*\\fldinst NUMPAGES}}") << "p 5";
    }

    void pageNumbersAreTextInTheFieldsFormat()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, shown);
        QTextDocument source;
        QVERIFY(readRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\f0 p \\f1\\fs20\\b " + field + "\\par}", &source).ok());
        const std::unique_ptr<QTextDocument> page = withPageNumbers(source, 3, 5);
        QCOMPARE(page->toPlainText(), shown);
        QTextCursor number(page.get());
        number.setPosition(3);
        const QTextCharFormat format = number.charFormat();
        QVERIFY(!format.isImageFormat());
        QVERIFY(!format.hasProperty(QTextFormat::ImageName));
        QVERIFY(!format.hasProperty(QTextFormat::ImageWidth));
        QCOMPARE(format.fontFamilies().toStringList(), QStringList{"Courier New"});
        QCOMPARE(format.fontPointSize(), 10.0);
        QCOMPARE(format.fontWeight(), int(QFont::Bold));
    }

    void theFirstSectionsPageIsTheDocumentsPage()
    {
        const DocumentExtras extras = extrasOf(
            "{\\rtf1\\paperw11906\\paperh16838\\margl1417\\margt1134\\sectd\\pgwsxn16838\\pghsxn11906"
            "\\lndscpsxn\\marglsxn1000\\margtsxn1693\\headery1134 One\\sect\\sectd\\marglsxn5000\\headery99"
            "\\titlepg Two\\par}");
        QCOMPARE(extras.page.paperWidth, 16838);
        QCOMPARE(extras.page.paperHeight, 11906);
        QVERIFY(extras.page.landscape);
        QCOMPARE(extras.page.marginLeft, 1000);
        QCOMPARE(extras.page.marginTop, 1693);
        QCOMPARE(extras.page.headerY, 1134);
        QVERIFY(!extras.page.titlePage);
    }
};

QTEST_MAIN(TestPageDecorations)
#include "tst_pagedecorations.moc"
