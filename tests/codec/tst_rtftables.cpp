#include "tests/support/testsupport.h"
#include "engine/codec/pagelayout.h"
#include "engine/codec/rtf/tablelengths.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/read/rtftablecollector.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/codec/textprops.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <memory>

using namespace engine;

namespace {

std::unique_ptr<QTextDocument> read(const QByteArray &rtf)
{
    auto document = std::make_unique<QTextDocument>();
    const RtfReadResult result = readRtf(rtf, document.get());
    if (!result.ok())
        qWarning() << result.message();
    return document;
}

QString describeFrame(const QTextFrame *frame);

// "[A|B]" per row; a cell spanning shows its spans, "{2x1}" (columns x rows); a cell's
// paragraphs are joined by "/", a nested table is "T(...)".
QString describeTable(const QTextTable *table)
{
    QString text = QStringLiteral("T%1x%2(").arg(table->rows()).arg(table->columns());
    for (int row = 0; row < table->rows(); ++row) {
        text += u'[';
        for (int column = 0; column < table->columns();) {
            const QTextTableCell cell = table->cellAt(row, column);
            column = cell.column() + cell.columnSpan();
            if (cell.column() + cell.columnSpan() != column || cell.row() != row) {
                text += QStringLiteral("^|");
                continue;
            }
            if (cell.columnSpan() > 1 || cell.rowSpan() > 1)
                text += QStringLiteral("{%1x%2}").arg(cell.columnSpan()).arg(cell.rowSpan());
            QStringList parts;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (const auto *nested = qobject_cast<QTextTable *>(it.currentFrame()))
                    parts << describeTable(nested);
                else if (!it.currentFrame())
                    parts << it.currentBlock().text();
            }
            text += parts.join(u'/') + u'|';
        }
        text.chop(1);
        text += u']';
    }
    return text + u')';
}

QString describeFrame(const QTextFrame *frame)
{
    QStringList parts;
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const auto *table = qobject_cast<QTextTable *>(it.currentFrame()))
            parts << describeTable(table);
        else if (!it.currentFrame())
            parts << it.currentBlock().text();
    }
    return parts.join(u'/');
}

QString describe(const QByteArray &rtf)
{
    return describeFrame(read(rtf)->rootFrame());
}

QTextTable *firstTable(QTextDocument *document)
{
    for (QTextFrame *frame : document->rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame))
            return table;
    }
    return nullptr;
}

QByteArray rtf(const char *body)
{
    return QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n")
           + body + "}";
}

const char *kTwoByTwo = "\\pard Before\\par\n"
                        "\\trowd\\trgaph108\\cellx1000\\cellx3000\n"
                        "\\pard\\intbl A\\cell B\\cell\\row\n"
                        "\\trowd\\trgaph108\\cellx1000\\cellx3000\n"
                        "\\pard\\intbl C\\cell D\\cell\\row\n"
                        "\\pard After\\par\n";

}  // namespace

class TestRtfTables : public QObject {
    Q_OBJECT
private slots:
    void readsTableStructure_data();
    void readsTableStructure();
    void readsColumnEdgesAsWidths();
    void readsCellBordersShadingAndAlignment();
    void readsRowProperties();
    void limitsKeepAllText_data();
    void limitsKeepAllText();
    void writesTablesThatReadBackTheSame_data();
    void writesTablesThatReadBackTheSame();
    void writesRowDefinitionsOtherReadersUnderstand();
    void writesTablesTooWideToReadBackAsFarAsTheyRead_data();
    void writesTablesTooWideToReadBackAsFarAsTheyRead();
    void editsInsideCellsKeepTheTable();
    void pagesBreakBetweenRows();
};

void TestRtfTables::readsTableStructure_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two rows of two cells, text around") << QByteArray(kTwoByTwo)
                                                        << QStringLiteral("Before/T2x2([A|B][C|D])/After");
    QTest::newRow("paragraphs inside a cell")
        << QByteArray("\\trowd\\cellx1000\\cellx2000\\pard\\intbl A1\\par A2\\cell B\\cell\\row\\pard\\par")
        << QStringLiteral("/T1x2([A1/A2|B])/");
    QTest::newRow("horizontal merge")
        << QByteArray("\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\pard\\intbl A\\cell\\cell C\\cell\\row"
                      "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl D\\cell E\\cell F\\cell\\row\\pard\\par")
        << QStringLiteral("/T2x3([{2x1}A|C][D|E|F])/");
    QTest::newRow("a wider cell spans the columns under it")
        << QByteArray("\\trowd\\cellx2000\\cellx3000\\pard\\intbl A\\cell C\\cell\\row"
                      "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl D\\cell E\\cell F\\cell\\row\\pard\\par")
        << QStringLiteral("/T2x3([{2x1}A|C][D|E|F])/");
    QTest::newRow("vertical merge")
        << QByteArray("\\trowd\\clvmgf\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl\\cell D\\cell\\row\\pard\\par")
        << QStringLiteral("/T2x2([{1x2}A|B][^|D])/");
    QTest::newRow("text of a merged-away cell is kept")
        << QByteArray("\\trowd\\clvmgf\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl X\\cell D\\cell\\row\\pard\\par")
        << QStringLiteral("/T2x2([{1x2}A/X|B][^|D])/");
    QTest::newRow("more cells than cellx keep their text")
        << QByteArray("\\trowd\\cellx1000\\pard\\intbl A\\cell B\\cell C\\cell\\row\\pard\\par")
        << QStringLiteral("/T1x3([A|B|C])/");
    // A \cellx reads as 1,000 inches at most: the cells past it are narrowed to fit.
    QTest::newRow("cells past the farthest edge keep their text")
        << QByteArray("\\trowd\\cellx1440000\\pard\\intbl A\\cell\\row"
                      "\\trowd\\cellx1440000\\pard\\intbl B\\cell C\\cell\\row\\pard\\par")
        << QStringLiteral("/T2x2([{2x1}A][B|C])/");
    QTest::newRow("a row starting past the farthest edge")
        << QByteArray("\\trowd\\trleft2000000\\cellx2000000\\cellx3000000\\pard\\intbl A\\cell B\\cell\\row\\pard\\par")
        << QStringLiteral("/T1x2([A|B])/");
    QTest::newRow("a shorter row is filled")
        << QByteArray("\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row"
                      "\\trowd\\cellx1000\\pard\\intbl C\\cell\\row\\pard\\par")
        << QStringLiteral("/T2x2([A|B][C|])/");
    QTest::newRow("row properties after the cells, as newer writers repeat them")
        << QByteArray("\\pard\\intbl A\\cell B\\cell{\\trowd\\cellx1000\\cellx2000\\row}\\pard\\par")
        << QStringLiteral("/T1x2([A|B])/");
    QTest::newRow("text after the last cell mark is one more cell")
        << QByteArray("\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\row\\pard\\par")
        << QStringLiteral("/T1x2([A|B])/");
    QTest::newRow("nested table in the nesting form")
        << QByteArray("\\trowd\\cellx3000\\cellx6000\n"
                      "\\pard\\intbl\\itap1 Outer\\par\n"
                      "\\pard\\intbl\\itap2 N1\\nestcell N2\\nestcell\n"
                      "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}\n"
                      "\\pard\\intbl\\itap1 \\cell B\\cell\\row\\pard\\par")
        << QStringLiteral("/T1x2([Outer/T1x2([N1|N2])/|B])/");
    QTest::newRow("a table at the end of the data, without its row mark")
        << QByteArray("\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B") << QStringLiteral("/T1x2([A|B])/");
}

void TestRtfTables::readsTableStructure()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QCOMPARE(describe(rtf(body.constData())), expected);
}

void TestRtfTables::readsColumnEdgesAsWidths()
{
    auto document = read(rtf("\\trowd\\trleft-108\\cellx1000\\cellx4000\\pard\\intbl A\\cell B\\cell\\row\\pard\\par"));
    QTextTable *table = firstTable(document.get());
    QVERIFY(table);
    QCOMPARE(table->format().property(prop::TableColumnEdgesTwips).value<QList<int>>(), QList<int>({-108, 1000, 4000}));
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    QCOMPARE(widths.size(), 2);
    QCOMPARE(widths[1].type(), QTextLength::FixedLength);
    QCOMPARE(widths[1].rawValue(), 200.0);  // 3000 twips at 15 twips a pixel
}

void TestRtfTables::readsCellBordersShadingAndAlignment()
{
    auto document = read(rtf("\\trowd\\clvertalc\\clbrdrt\\brdrs\\brdrw30\\brdrcf1\\clbrdrb\\brdrdb\\clcbpat2\\cellx1000"
                             "\\clvertalb\\clcbpat2\\clcfpat1\\clshdng5000\\clpadl30\\clpadfl3\\clpadt60\\clpadft3\\cellx2000"
                             "\\pard\\intbl A\\cell B\\cell\\row\\pard\\par"));
    QTextTable *table = firstTable(document.get());
    QVERIFY(table);
    const QTextTableCellFormat first = table->cellAt(0, 0).format().toTableCellFormat();
    QCOMPARE(first.verticalAlignment(), QTextCharFormat::AlignMiddle);
    QCOMPARE(first.topBorder(), 2.0);
    QCOMPARE(first.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    QCOMPARE(first.topBorderBrush().color(), QColor(255, 0, 0));
    QCOMPARE(first.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    QCOMPARE(first.leftBorder(), 0.0);
    QCOMPARE(first.background().color(), QColor(0, 0, 255));
    const QTextTableCellFormat second = table->cellAt(0, 1).format().toTableCellFormat();
    QCOMPARE(second.verticalAlignment(), QTextCharFormat::AlignBottom);
    // As other writers write them, \clpadl is the top padding and \clpadt the left.
    QCOMPARE(second.topPadding(), 2.0);
    QCOMPARE(second.leftPadding(), 4.0);
    // Half red over blue.
    QCOMPARE(second.background().color().red(), 128);
    QCOMPARE(second.background().color().blue(), 128);
}

void TestRtfTables::readsRowProperties()
{
    auto document = read(rtf("\\trowd\\trqc\\trhdr\\trrh400\\trgaph100\\trbrdrt\\brdrs\\brdrw20\\trbrdrh\\brdrs\\cellx1000"
                             "\\pard\\intbl H\\cell\\row"
                             "\\trowd\\trqc\\trrh-300\\trgaph100\\trbrdrt\\brdrs\\brdrw20\\trbrdrh\\brdrs\\cellx1000"
                             "\\pard\\intbl B\\cell\\row\\pard\\par"));
    QTextTable *table = firstTable(document.get());
    QVERIFY(table);
    QCOMPARE(table->format().alignment(), Qt::AlignHCenter);
    QCOMPARE(table->format().headerRowCount(), 1);
    const QTextTableCellFormat header = table->cellAt(0, 0).format().toTableCellFormat();
    QCOMPARE(header.intProperty(prop::CellRowHeightTwips), 400);
    QCOMPARE(header.leftPadding(), 100 / 15.0);
    QCOMPARE(header.topBorder(), 20 / 15.0);     // the row's top border
    QCOMPARE(header.bottomBorder(), 10 / 15.0);  // the row's inside border, default width
    QCOMPARE(table->cellAt(1, 0).format().intProperty(prop::CellRowHeightTwips), -300);
}

void TestRtfTables::limitsKeepAllText_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("texts");
    QByteArray wide = "\\trowd\\pard\\intbl ";
    QStringList wideTexts;
    for (int i = 0; i < rtfin::kMaxRtfTableColumns + 5; ++i) {
        wide += "c" + QByteArray::number(i) + "\\cell ";
        wideTexts << QStringLiteral("c%1").arg(i);
    }
    wide += "\\row\\pard\\par";
    QTest::newRow("more cells than a row keeps") << wide << wideTexts;
    QByteArray deep;
    QStringList deepTexts;
    for (int level = 1; level <= rtfin::kMaxRtfTableDepth + 4; ++level)
        deep += "\\pard\\intbl\\itap" + QByteArray::number(level) + " d" + QByteArray::number(level) + "\\par\n";
    for (int level = rtfin::kMaxRtfTableDepth + 4; level >= 2; --level)
        deep += "\\pard\\intbl\\itap" + QByteArray::number(level) + " e" + QByteArray::number(level)
                + "\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}\n";
    deep += "\\pard\\intbl x\\cell\\row\\pard\\par";
    for (int level = 1; level <= rtfin::kMaxRtfTableDepth + 4; ++level)
        deepTexts << QStringLiteral("d%1").arg(level);
    for (int level = rtfin::kMaxRtfTableDepth + 4; level >= 2; --level)
        deepTexts << QStringLiteral("e%1").arg(level);
    deepTexts << QStringLiteral("x");
    QTest::newRow("tables nested deeper than the limit") << deep << deepTexts;
    QTest::newRow("cells whose edges nearly meet")
        << QByteArray("\\trowd\\cellx1000\\cellx1015\\cellx1030\\pard\\intbl a\\cell b\\cell c\\cell\\row"
                      "\\trowd\\cellx1008\\cellx1009\\cellx1010\\cellx1011\\pard\\intbl d\\cell e\\cell f\\cell g\\cell\\row"
                      "\\pard\\par")
        << QStringList{"a", "b", "c", "d", "e", "f", "g"};
}

void TestRtfTables::limitsKeepAllText()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, texts);
    auto document = read(rtf(body.constData()));
    const QString plain = document->toPlainText();
    qsizetype from = 0;
    for (const QString &text : texts) {
        const qsizetype at = plain.indexOf(text, from);
        QVERIFY2(at >= 0, qPrintable(text));
        from = at + text.size();
    }
}

void TestRtfTables::writesTablesThatReadBackTheSame_data()
{
    readsTableStructure_data();
}

// The table read gives the same table after writing and reading, and writing it again
// gives the same bytes, over five cycles.
void TestRtfTables::writesTablesThatReadBackTheSame()
{
    QFETCH(QByteArray, body);
    auto document = read(rtf(body.constData()));
    const QString expected = describeFrame(document->rootFrame());
    QByteArray written = writeRtf(document.get());
    for (int cycle = 0; cycle < 5; ++cycle) {
        auto again = read(written);
        QCOMPARE(describeFrame(again->rootFrame()), expected);
        const QByteArray rewritten = writeRtf(again.get());
        QCOMPARE(rewritten, written);
        written = rewritten;
    }
}

void TestRtfTables::writesRowDefinitionsOtherReadersUnderstand()
{
    auto document = read(rtf("\\trowd\\trgaph108\\trleft-108\\clbrdrt\\brdrs\\brdrw10\\brdrcf1\\clcbpat2\\clvmgf\\cellx1000"
                             "\\cellx3000\\pard\\intbl A\\cell B\\cell\\row"
                             "\\trowd\\trgaph108\\trleft-108\\clvmrg\\cellx1000\\cellx3000\\pard\\intbl\\cell D\\cell\\row"
                             "\\pard\\par"));
    const QByteArray written = writeRtf(document.get());
    QVERIFY2(written.contains("\\trowd\\trgaph108\\trleft-108"), written.constData());
    QVERIFY2(written.contains("\\clvmgf\\clpadl0\\clpadfl3\\clpadt108\\clpadft3"), written.constData());
    QVERIFY2(written.contains("\\clbrdrt\\brdrs\\brdrw10\\brdrcf"), written.constData());
    QVERIFY2(written.contains("\\clvmrg"), written.constData());
    QVERIFY2(written.contains("\\cellx1000"), written.constData());
    QVERIFY2(written.contains("\\cellx3000"), written.constData());
    QVERIFY2(written.contains("\\pard\\intbl\\f1 A\\cell"), written.constData());
    QVERIFY2(written.contains("\\row"), written.constData());
}

void TestRtfTables::writesTablesTooWideToReadBackAsFarAsTheyRead_data()
{
    QTest::addColumn<QList<QTextLength>>("widths");
    QTest::addColumn<qreal>("leftMargin");
    const QTextLength wide(QTextLength::FixedLength, 90000);  // pixels: 1,350,000 twips
    QTest::newRow("columns reaching past the farthest edge") << QList<QTextLength>{wide, wide, wide} << 0.0;
    QTest::newRow("a share of the page past it")
        << QList<QTextLength>{QTextLength(QTextLength::PercentageLength, 1e12), QTextLength()} << 0.0;
    QTest::newRow("a table starting past it") << QList<QTextLength>{QTextLength(), QTextLength()} << 1e9;
}

// A table made here (not read) whose widths reach past what a cell edge can say is
// written to end there, so that it reads back as written and is written the same again.
void TestRtfTables::writesTablesTooWideToReadBackAsFarAsTheyRead()
{
    QFETCH(QList<QTextLength>, widths);
    QFETCH(qreal, leftMargin);
    QTextDocument document;
    QTextTableFormat format;
    format.setColumnWidthConstraints(widths);
    format.setLeftMargin(leftMargin);
    QTextCursor(&document).insertTable(1, int(widths.size()), format);
    const QByteArray written = writeRtf(&document);
    auto again = read(written);
    QTextTable *table = firstTable(again.get());
    QVERIFY(table);
    QCOMPARE(table->columns(), widths.size());
    const QList<int> edges = table->format().property(prop::TableColumnEdgesTwips).value<QList<int>>();
    QVERIFY2(edges.back() <= kMaxRtfTableTwips && edges.front() >= -kMaxRtfTableTwips, written.constData());
    QCOMPARE(writeRtf(again.get()), written);
}

// Typing, deleting and undoing inside a cell keep the table and its cells.
void TestRtfTables::editsInsideCellsKeepTheTable()
{
    auto document = read(rtf(kTwoByTwo));
    document->setUndoRedoEnabled(true);
    QTextTable *table = firstTable(document.get());
    QVERIFY(table);
    QTextCursor cursor = table->cellAt(1, 1).firstCursorPosition();
    cursor.insertText(QStringLiteral("xy"));
    cursor.deletePreviousChar();
    QCOMPARE(describeFrame(document->rootFrame()), QStringLiteral("Before/T2x2([A|B][C|xD])/After"));
    document->undo();
    document->undo();
    QCOMPARE(describeFrame(document->rootFrame()), QStringLiteral("Before/T2x2([A|B][C|D])/After"));
    auto again = read(writeRtf(document.get()));
    QCOMPARE(describeFrame(again->rootFrame()), QStringLiteral("Before/T2x2([A|B][C|D])/After"));
}

// Printing places whole rows: a page starts at a row's start, and each page shows ink.
void TestRtfTables::pagesBreakBetweenRows()
{
    QByteArray body = "\\pard Title\\par\n";
    for (int row = 0; row < 40; ++row)
        body += "\\trowd\\clbrdrb\\brdrs\\cellx2000\\cellx5000\\pard\\intbl r" + QByteArray::number(row)
                + "\\cell two\\par lines\\cell\\row\n";
    body += "\\pard After\\par";
    auto document = read(rtf(body.constData()));
    QTextTable *table = firstTable(document.get());
    QVERIFY(table);
    QList<int> rowStarts;
    for (int row = 0; row < table->rows(); ++row)
        rowStarts << table->cellAt(row, 0).firstPosition();

    PageLayout pages(document.get());
    QImage page(288, 192, QImage::Format_RGB32);  // 3 x 2 inches at 96 dpi
    page.setDotsPerMeterX(qRound(96 / 0.0254));
    page.setDotsPerMeterY(qRound(96 / 0.0254));
    FormatRange range;
    range.target = &page;
    range.rc = QRect(0, 0, 3 * 1440, 2 * 1440);
    range.rcPage = range.rc;
    int pageCount = 0;
    for (int start = 0; start < document->characterCount() - 1;) {
        range.chrg = {start, -1};
        page.fill(Qt::white);
        QPainter painter(&page);
        range.painter = &painter;
        const int next = pages.formatRange(range, true);
        painter.end();
        ++pageCount;
        int dark = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
        QVERIFY2(dark > 0, qPrintable(QStringLiteral("page %1 is blank").arg(pageCount)));
        if (next >= document->characterCount() - 1 || next <= start)
            break;
        QVERIFY2(rowStarts.contains(next) || next > table->lastPosition(), qPrintable(QString::number(next)));
        start = next;
    }
    QVERIFY(pageCount > 3);
}

QTEST_MAIN(TestRtfTables)
#include "tst_rtftables.moc"
