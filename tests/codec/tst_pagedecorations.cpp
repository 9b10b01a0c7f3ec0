#include "tests/support/testsupport.h"
#include "engine/codec/documentextras.h"
#include "engine/codec/pagedecorations.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"

#include <QImage>
#include <QPainter>
#include <QTest>
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

}  // namespace

class TestPageDecorations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::useTwelvePointApplicationFont(); }

    // The plain header and footer are the ones every page shows; left, right and first
    // page variants are kept for writing back only.
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

    void rightPageVariantsStandInForTheirPlainKind()
    {
        const PageDecorations decorations(extrasOf("{\\rtf1{\\headerr\\pard Right head\\par}{\\footerr\\pard Right foot\\par} Body\\par}"));
        QCOMPARE(decorations.headerText(), QStringLiteral("Right head"));
        QCOMPARE(decorations.footerText(), QStringLiteral("Right foot"));
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
        QImage page(850, 1100, QImage::Format_RGB32);  // Letter at 100 dots to the inch
        page.setDotsPerMeterX(3937);
        page.setDotsPerMeterY(3937);
        page.fill(Qt::white);
        QPainter painter(&page);
        const QRect paper(0, 0, 12240, 15840);
        decorations.draw(painter, page, QRect(1440, 1440, 12240 - 2880, 15840 - 2880), paper, 1, 1);
        painter.end();
        QVERIFY(!inked(page, 0, 45));        // above half an inch
        QVERIFY(inked(page, 50, 90));        // the header
        QVERIFY(!inked(page, 100, 1000));    // the text area
        QVERIFY(inked(page, 1010, 1050));    // the footer
        QVERIFY(!inked(page, 1051, 1100));   // below it
    }
};

QTEST_MAIN(TestPageDecorations)
#include "tst_pagedecorations.moc"
