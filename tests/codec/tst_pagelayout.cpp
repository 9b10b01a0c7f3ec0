#include "engine/codec/pagelayout.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

using namespace engine;

namespace {

constexpr int kTwipsPerInch = 1440;

// A document with its page layout, asked as a paged asks: a null request drops the layout.
struct PagedDocument {
    QTextDocument document;
    PageLayout pages{&document};

    void setPlainText(const QString &text) { document.setPlainText(text); }
    int textLength() const { return document.characterCount() - 1; }
    int formatRange(const FormatRange *range, bool render)
    {
        if (!range) {
            pages.release();
            return 0;
        }
        return pages.formatRange(*range, render);
    }
};
constexpr int kDpi = 96;

// A page device at 96 dpi, white, of the given size in inches.
QImage pageImage(double widthInches, double heightInches)
{
    QImage image(int(widthInches * kDpi), int(heightInches * kDpi), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(kDpi / 0.0254));
    image.setDotsPerMeterY(qRound(kDpi / 0.0254));
    image.fill(Qt::white);
    return image;
}

QFont fixedFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(12);
    return font;
}

// One short paragraph per entry, each one line at any usable width.
void fillParagraphs(PagedDocument &paged, int count)
{
    paged.document.setDefaultFont(fixedFont());
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("Line %1").arg(i);
    paged.setPlainText(lines.join(QLatin1Char('\n')));
}

int paragraphStart(const PagedDocument &paged, int paragraph)
{
    return paged.document.findBlockByNumber(paragraph).position();
}

// The height of one line of the default font on the page device, in twips.
int lineHeightTwips(QPaintDevice *device)
{
    return int(QFontMetricsF(fixedFont(), device).height() * kTwipsPerInch / device->logicalDpiY());
}

// Page starts found by measuring page after page, as a printer driver asks for them.
QList<int> measuredPageStarts(PagedDocument &paged, FormatRange range)
{
    QList<int> starts{0};
    const int length = paged.textLength();
    for (int position = 0;;) {
        range.chrg.min = position;
        const int next = paged.formatRange(&range, false);
        if (next <= position || next >= length)
            break;
        starts << next;
        position = next;
    }
    return starts;
}

int countPixels(const QImage &image, const QRect &area, const std::function<bool(QColor)> &test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

bool isReddish(QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; }

}  // namespace

class TestPageLayout : public QObject {
    Q_OBJECT

private slots:
    void pagesHoldWholeLinesAndFollowInOrder()
    {
        PagedDocument paged;
        fillParagraphs(paged, 45);
        QImage device = pageImage(4, 4);
        FormatRange range;
        range.target = &device;
        const int line = lineHeightTwips(&device);
        range.rc = QRect(0, 0, 4 * kTwipsPerInch, line * 10 + line / 2);  // room for 10.5 lines

        const QList<int> starts = measuredPageStarts(paged, range);
        QCOMPARE(starts, (QList<int>{0, paragraphStart(paged, 10), paragraphStart(paged, 20),
                                     paragraphStart(paged, 30), paragraphStart(paged, 40)}));
        range.chrg.min = starts.last();
        QCOMPARE(paged.formatRange(&range, false), paged.textLength());
    }

    void aPageBreakStartsANewPage()
    {
        PagedDocument paged;
        fillParagraphs(paged, 6);
        QTextCursor cursor(paged.document.findBlockByNumber(2));
        QTextBlockFormat format;
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.mergeBlockFormat(format);
        QImage device = pageImage(4, 4);
        FormatRange range;
        range.target = &device;
        range.rc = QRect(0, 0, 4 * kTwipsPerInch, 4 * kTwipsPerInch);

        QCOMPARE(measuredPageStarts(paged, range), (QList<int>{0, paragraphStart(paged, 2)}));
    }

    void aNarrowerRectangleWrapsIntoMorePages()
    {
        PagedDocument paged;
        paged.document.setDefaultFont(fixedFont());
        paged.setPlainText(QStringLiteral("word ").repeated(400));
        QImage device = pageImage(6, 4);
        FormatRange range;
        range.target = &device;
        range.rc = QRect(0, 0, 6 * kTwipsPerInch, 2 * kTwipsPerInch);
        const qsizetype wide = measuredPageStarts(paged, range).size();
        range.rc.setWidth(2 * kTwipsPerInch);
        const qsizetype narrow = measuredPageStarts(paged, range).size();
        QVERIFY2(narrow > wide * 2, qPrintable(QStringLiteral("%1 pages wide, %2 narrow").arg(wide).arg(narrow)));
    }

    void anEmptyDocumentIsOnePage()
    {
        PagedDocument paged;
        QImage device = pageImage(4, 4);
        FormatRange range;
        range.target = &device;
        range.rc = QRect(0, 0, 4 * kTwipsPerInch, 4 * kTwipsPerInch);
        QCOMPARE(paged.formatRange(&range, false), 0);
        QCOMPARE(measuredPageStarts(paged, range), QList<int>{0});
    }

    void aLineTallerThanThePageIsPlacedOnAPageOfItsOwn()
    {
        PagedDocument paged;
        paged.setPlainText(QStringLiteral("hi\nsmall"));
        QTextCursor cursor(paged.document.firstBlock());
        cursor.select(QTextCursor::BlockUnderCursor);
        QTextCharFormat big;
        big.setFontPointSize(250);
        cursor.mergeCharFormat(big);
        QImage device = pageImage(8, 2);
        FormatRange range;
        range.target = &device;
        range.rc = QRect(0, 0, 8 * kTwipsPerInch, 2 * kTwipsPerInch);
        QCOMPARE(measuredPageStarts(paged, range), (QList<int>{0, paragraphStart(paged, 1)}));
    }

    void theRangeEndEndsThePage()
    {
        PagedDocument paged;
        fillParagraphs(paged, 20);
        QImage device = pageImage(4, 4);
        FormatRange range;
        range.target = &device;
        range.rc = QRect(0, 0, 4 * kTwipsPerInch, 4 * kTwipsPerInch);
        range.chrg = {0, paragraphStart(paged, 3)};
        QCOMPARE(paged.formatRange(&range, false), paragraphStart(paged, 3));
    }

    void requestsThatPlaceNothingAnswerMinusOne_data()
    {
        QTest::addColumn<bool>("withTarget");
        QTest::addColumn<QRect>("rc");
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("render");
        const QRect page(0, 0, 2880, 2880);
        QTest::newRow("no target device") << false << page << 0 << false;
        QTest::newRow("rectangle without width") << true << QRect(100, 0, 0, 2880) << 0 << false;
        QTest::newRow("rectangle without height") << true << QRect(0, 100, 2880, 0) << 0 << false;
        QTest::newRow("start past the end") << true << page << 500 << false;
        QTest::newRow("negative start") << true << page << -1 << false;
        QTest::newRow("rendering without a painter") << true << page << 0 << true;
    }

    void requestsThatPlaceNothingAnswerMinusOne()
    {
        QFETCH(bool, withTarget);
        QFETCH(QRect, rc);
        QFETCH(int, start);
        QFETCH(bool, render);
        PagedDocument paged;
        fillParagraphs(paged, 5);
        QImage device = pageImage(2, 2);
        FormatRange range;
        range.target = withTarget ? &device : nullptr;
        range.rc = rc;
        range.chrg = {start, -1};
        QCOMPARE(paged.formatRange(&range, render), -1);
    }

    void anEditAfterMeasuringIsSeenByTheNextRequest()
    {
        PagedDocument paged;
        fillParagraphs(paged, 30);
        QImage device = pageImage(4, 4);
        FormatRange range;
        range.target = &device;
        const int line = lineHeightTwips(&device);
        range.rc = QRect(0, 0, 4 * kTwipsPerInch, line * 10 + line / 2);
        QCOMPARE(paged.formatRange(&range, false), paragraphStart(paged, 10));

        QTextCursor(&paged.document).insertText(QStringLiteral("new\nnew\n"));
        QCOMPARE(paged.formatRange(&range, false), paragraphStart(paged, 10));
        QCOMPARE(paged.formatRange(nullptr, false), 0);  // dropping the layout is always possible
        QCOMPARE(paged.formatRange(&range, false), paragraphStart(paged, 10));
    }

    void renderingPlacesThePageAtTheRectangleAndOnlyThatPage()
    {
        PagedDocument paged;
        paged.document.setDefaultFont(fixedFont());
        paged.setPlainText(QStringLiteral("first\nsecond"));
        QTextCursor cursor(paged.document.lastBlock());
        cursor.select(QTextCursor::BlockUnderCursor);
        QTextCharFormat red;
        red.setForeground(QColor(220, 0, 0));
        cursor.mergeCharFormat(red);
        QImage device = pageImage(4, 4);
        const int line = lineHeightTwips(&device);
        FormatRange range;
        range.target = &device;
        range.rc = QRect(kTwipsPerInch, kTwipsPerInch, 2 * kTwipsPerInch, line);  // one line per page
        QPainter painter(&device);
        range.painter = &painter;

        range.chrg.min = paragraphStart(paged, 1);
        QCOMPARE(paged.formatRange(&range, true), paged.textLength());
        painter.end();
        const QRect inside(kDpi, kDpi, 2 * kDpi, line * kDpi / kTwipsPerInch);
        QVERIFY(countPixels(device, inside, isReddish) > 10);
        QCOMPARE(countPixels(device, QRect(0, 0, device.width(), kDpi), [](QColor c) { return c != Qt::white; }), 0);
        QCOMPARE(countPixels(device, QRect(0, inside.bottom() + 2, device.width(), device.height() - inside.bottom() - 2),
                             [](QColor c) { return c != Qt::white; }), 0);
    }

    void automaticColourTextPrintsBlackAndHighlightShows()
    {
        PagedDocument paged;
        paged.document.setDefaultFont(fixedFont());
        paged.setPlainText(QStringLiteral("MMMM"));
        QTextCursor cursor(&paged.document);
        cursor.select(QTextCursor::Document);
        QTextCharFormat highlight;
        highlight.setBackground(QColor(255, 255, 0));
        cursor.mergeCharFormat(highlight);
        QImage device = pageImage(2, 1);
        QPainter painter(&device);
        FormatRange range;
        range.target = &device;
        range.painter = &painter;
        range.rc = QRect(0, 0, 2 * kTwipsPerInch, kTwipsPerInch);
        paged.formatRange(&range, true);
        painter.end();
        QVERIFY(countPixels(device, device.rect(), [](QColor c) { return c == QColor(255, 255, 0); }) > 20);
        QVERIFY(countPixels(device, device.rect(), [](QColor c) { return c.lightness() < 40; }) > 20);
    }

    void aPictureLargerThanThePageShrinksToFitIt()
    {
        PagedDocument paged;
        QImage picture(50, 1000, QImage::Format_RGB32);
        picture.fill(QColor(230, 0, 0));
        paged.document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("tall")), picture);
        QTextImageFormat format;
        format.setName(QStringLiteral("tall"));
        format.setWidth(50);
        format.setHeight(1000);
        QTextCursor(&paged.document).insertImage(format);
        QImage device = pageImage(2, 3);
        QPainter painter(&device);
        FormatRange range;
        range.target = &device;
        range.painter = &painter;
        range.rc = QRect(0, 0, 2 * kTwipsPerInch, 2 * kTwipsPerInch);
        QCOMPARE(paged.formatRange(&range, true), paged.textLength());
        painter.end();

        // The picture keeps its proportions at the page's height: 2 inches, 10 pixels wide.
        QVERIFY(countPixels(device, QRect(0, 2 * kDpi - 12, 10, 8), isReddish) > 40);
        QCOMPARE(countPixels(device, QRect(0, 2 * kDpi + 2, device.width(), kDpi - 2), isReddish), 0);
        QCOMPARE(countPixels(device, QRect(14, 0, device.width() - 14, device.height()), isReddish), 0);
        // The document itself keeps the picture's size.
        const QTextImageFormat kept = paged.document.begin().begin().fragment().charFormat().toImageFormat();
        QCOMPARE(kept.height(), 1000.0);
    }
};

QTEST_MAIN(TestPageLayout)
#include "tst_pagelayout.moc"
