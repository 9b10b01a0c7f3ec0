#include "tests/support/testsupport.h"
#include "engine/codec/formatmapping.h"
#include "engine/codec/listformat.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

using namespace engine;

namespace {

QByteArray rtf(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}{\\f2 Courier New;}"
           "{\\f3\\fcharset2 Wingdings;}{\\f4\\fcharset161 Arial Greek;}}"
           + body + "}";
}

// Each paragraph as "marker|text", "level:" before the marker of a list item.
QStringList items(const QTextDocument &document)
{
    QStringList out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextList *list = block.textList();
        const QString prefix = list ? QString::number(listLevelOf(list)) + u':' + listMarkerOf(block) + u'|' : QString();
        out << prefix + block.text();
    }
    return out;
}

// The lists as a reader sees them: which paragraphs share a list, their levels and
// styles, and the numbers shown.
QStringList structure(const QTextDocument &document)
{
    QStringList out = items(document);
    QList<const QTextList *> lists;
    int index = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next(), ++index) {
        const QTextList *list = block.textList();
        if (!list)
            continue;
        if (!lists.contains(list))
            lists << list;
        const ListLevelStyle style = levelStyleOf(list->format());
        out[index] += QStringLiteral(" #%1 k%2 s%3 f%4").arg(lists.indexOf(list)).arg(int(style.kind)).arg(style.start).arg(style.font);
    }
    return out;
}

void read(const QByteArray &bytes, QTextDocument &document)
{
    QVERIFY(readRtf(bytes, &document).ok());
}

QStringList afterRoundTrip(const QTextDocument &document)
{
    QTextDocument again;
    [&] { read(writeRtf(&document), again); }();
    return structure(again);
}

}  // namespace

class TestRtfLists : public QObject {
    Q_OBJECT

private slots:
    void listTablesGiveNumberedAndBulletedLists_data();
    void listTablesGiveNumberedAndBulletedLists();
    void oldNumberingGivesLists_data();
    void oldNumberingGivesLists();
    void listTextIsTextOnlyOutsideLists();
    void manyListNumbersNoTableDeclaresMakeFewLists();
    void itemsRenumberWhenOneIsInsertedOrDeleted();
    void numberedParagraphsReadAsNoBulletAndBulletsTurnThemBulleted();
    void listParagraphsHangTheirMarkerInTheirIndent();
    void writtenListsReadBackTheSame_data();
    void writtenListsReadBackTheSame();
    void writtenListsCarryTablesAndFallbacks();
    void fuzzFindingOldStyleNumberKeepsItsList();
    void otherProgramsListsSurviveOurRoundTrip_data();
    void otherProgramsListsSurviveOurRoundTrip();
};

static const QByteArray kTwoLevels =
    "{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
    "{\\listlevel\\levelnfc0{\\leveltext\\'04\\'00.\\'01.;}{\\levelnumbers\\'01\\'03;}}\\listid7}"
    "{\\list\\listsimple{\\listlevel\\levelnfc23{\\leveltext\\'01\\'b7;}\\f1}\\listid8}}"
    "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls0}"
    "{\\listoverride\\listid8\\listoverridecount0\\ls2}}";

void TestRtfLists::listTablesGiveNumberedAndBulletedLists_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two levels, \\ls0, numbers from the document")
        << kTwoLevels + "\\pard\\ls0{\\listtext 9.\\tab}One\\par\\pard\\ls0\\ilvl1{\\listtext 9.9.\\tab}Sub\\par"
                        "\\pard\\ls0\\ilvl1 Sub2\\par\\pard\\ls0 Two\\par\\pard\\ls0\\ilvl1 Again\\par"
        << QStringList{"0:1.|One", "1:1.1.|Sub", "1:1.2.|Sub2", "0:2.|Two", "1:2.1.|Again"};
    QTest::newRow("a paragraph between items continues the numbering")
        << kTwoLevels + "\\pard\\ls0 A\\par\\pard Plain\\par\\pard\\ls0 B\\par"
        << QStringList{"0:1.|A", "Plain", "0:2.|B"};
    QTest::newRow("symbol bullet")
        << kTwoLevels + "\\pard\\ls2{\\listtext\\f1\\'b7\\tab}Dot\\par"
        << QStringList{QString::fromUtf8("0:•|Dot")};
    QTest::newRow("kinds and start values")
        << QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc4\\levelstartat3{\\leveltext\\'02\\'00);}}"
                      "{\\listlevel\\levelnfc1{\\leveltext\\'02\\'01.;}}{\\listlevel\\levelnfc2{\\leveltext\\'03(\\'02);}}"
                      "{\\listlevel\\levelnfc3\\levelstartat27{\\leveltext\\'01\\'03;}}\\listid1}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
                      "\\pard\\ls1 c\\par\\pard\\ls1\\ilvl1 I\\par\\pard\\ls1\\ilvl1 II\\par\\pard\\ls1\\ilvl2 i\\par"
                      "\\pard\\ls1\\ilvl3 AA\\par\\pard\\ls1 d\\par")
        << QStringList{"0:c)|c", "1:I.|I", "1:II.|II", "2:(i)|i", "3:AA|AA", "0:d)|d"};
    QTest::newRow("an override that starts again")
        << QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid5}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}{\\listoverride\\listid5\\ls2}"
                      "{\\listoverride\\listid5\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat1}\\ls3}}"
                      "\\pard\\ls1 a\\par\\pard\\ls1 b\\par\\pard\\ls2 c\\par\\pard\\ls3 again\\par")
        << QStringList{"0:1.|a", "0:2.|b", "0:3.|c", "0:1.|again"};
    QTest::newRow("bullets in their characters")
        << QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}\\f1}"
                      "{\\listlevel\\levelnfc23{\\leveltext\\'01o;}\\f2}{\\listlevel\\levelnfc23{\\leveltext\\'01\\'a7;}\\f3}"
                      "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8211 ?;}}\\listid1}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
                      "\\pard\\ls1 a\\par\\pard\\ls1\\ilvl1 b\\par\\pard\\ls1\\ilvl2 c\\par\\pard\\ls1\\ilvl3 d\\par")
        << QStringList{QString::fromUtf8("0:•|a"), "1:o|b", QString::fromUtf8("2:▪|c"), QString::fromUtf8("3:–|d")};
    QTest::newRow("bytes take the level's code page, Unicode characters stay as given")
        << QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'04\\'00.\\u233?\\'e9;}\\f4}\\listid1}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 a\\par")
        << QStringList{QString::fromUtf8("0:1.éι|a")};
    QTest::newRow("an override no table declares numbers in decimals")
        << QByteArray("\\pard\\ls4 x\\par\\pard\\ls4 y\\par")
        << QStringList{"0:1.|x", "0:2.|y"};
    QTest::newRow("the other program's list text with a paragraph reset inside")
        << kTwoLevels + "{\\listtext\\pard\\fi-431\\li720 1.\\tab}\\pard\\plain{\\fi-431\\li720\\ls0\\ilvl0{One}{\\par}\n}"
                        "{\\listtext\\pard\\fi-431\\li720 2.\\tab}\\pard\\plain{\\fi-431\\li720\\ls0\\ilvl0{Two}{\\par}\n}"
                        "\\pard\\plain After\\par"
        << QStringList{"0:1.|One", "0:2.|Two", "After"};
}

void TestRtfLists::listTablesGiveNumberedAndBulletedLists()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, expected);
    QTextDocument document;
    read(rtf(body), document);
    QCOMPARE(items(document), expected);
}

void TestRtfLists::oldNumberingGivesLists_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("numbered body level")
        << QByteArray("{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}\\fi-360\\li720 A\\par"
                      "{\\pntext 2.\\tab}B\\par\\pard C\\par")
        << QStringList{"0:1.|A", "0:2.|B", "C"};
    QTest::newRow("bullets take their character from the text before")
        << QByteArray("{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li720 A\\par")
        << QStringList{QString::fromUtf8("0:•|A")};
    QTest::newRow("kinds, start and text around the number")
        << QByteArray("{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart4{\\pntxtb (}{\\pntxta )}}A\\par B\\par"
                      "\\pard{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxta .}}x\\par")
        << QStringList{"0:(IV)|A", "0:(V)|B", "0:a.|x"};
    QTest::newRow("a paragraph between starts the numbers again")
        << QByteArray("{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}A\\par\\pard Plain\\par"
                      "{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}B\\par")
        << QStringList{"0:1.|A", "Plain", "0:1.|B"};
    QTest::newRow("continuation paragraphs are no items")
        << QByteArray("{\\*\\pn\\pnlvlcont}A\\par") << QStringList{"A"};
}

void TestRtfLists::oldNumberingGivesLists()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, expected);
    QTextDocument document;
    read(rtf(body), document);
    QCOMPARE(items(document), expected);
}

void TestRtfLists::listTextIsTextOnlyOutsideLists()
{
    QTextDocument document;
    read(rtf("{\\listtext 3.\\tab}Typed\\par{\\pntext -\\tab}Dash\\par"), document);
    QCOMPARE(items(document), (QStringList{"3.\tTyped", "-\tDash"}));
}

// A hostile file cannot make a list object per paragraph.
void TestRtfLists::manyListNumbersNoTableDeclaresMakeFewLists()
{
    QByteArray body;
    for (int i = 0; i < 3000; ++i)
        body += "\\pard\\ls" + QByteArray::number(i) + " x\\par";
    QTextDocument document;
    read(rtf(body), document);
    QSet<const QTextList *> lists;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lists.insert(block.textList());
    QCOMPARE(document.blockCount(), 3000);
    QCOMPARE(lists.size(), 1);
    QCOMPARE(listMarkerOf(document.lastBlock()), QString("3000."));
}

void TestRtfLists::itemsRenumberWhenOneIsInsertedOrDeleted()
{
    QTextDocument document;
    read(rtf(kTwoLevels + "\\pard\\ls0 One\\par\\pard\\ls0 Two\\par\\pard\\ls0 Three\\par"), document);
    QTextCursor cursor(document.begin());
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("New"));
    QCOMPARE(items(document), (QStringList{"0:1.|One", "0:2.|New", "0:3.|Two", "0:4.|Three"}));
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.removeSelectedText();
    QCOMPARE(items(document), (QStringList{"0:1.|One", "0:2.|Two", "0:3.|Three"}));
}

void TestRtfLists::numberedParagraphsReadAsNoBulletAndBulletsTurnThemBulleted()
{
    QTextDocument document;
    read(rtf(kTwoLevels + "\\pard\\ls0\\fi-360\\li720 One\\par\\pard\\ls2\\fi-360\\li720 Dot\\par"), document);
    const QTextBlock numbered = document.begin();
    QCOMPARE(readParaFormat(numbered).numbering, PFN_NONE);
    QCOMPARE(readParaFormat(numbered.next()).numbering, PFN_BULLET);
    QTextCursor cursor(numbered);
    setBullets(cursor, true);
    QCOMPARE(readParaFormat(document.begin()).numbering, PFN_BULLET);
    QVERIFY(isBulletList(document.begin().textList()));
    QCOMPARE(readParaFormat(document.begin()).startIndent, 360);
    setBullets(cursor, false);
    QVERIFY(!document.begin().textList());
    QCOMPARE(readParaFormat(document.begin()).numbering, PFN_NONE);
}

// The number sits at the first line's start indent and the text at start + offset, on
// both lines: the gap is the list's hanging indent, not a tab stop.
void TestRtfLists::listParagraphsHangTheirMarkerInTheirIndent()
{
    QTextDocument document;
    read(rtf(kTwoLevels + "\\pard\\ls0\\fi-360\\li720 One\\par"), document);
    const QTextBlockFormat format = document.begin().blockFormat();
    QCOMPARE(format.textIndent(), 0.0);
    QCOMPARE(format.leftMargin(), 720 / kTwipsPerPixel);
    QCOMPARE(document.begin().text(), QString("One"));
}

void TestRtfLists::writtenListsReadBackTheSame_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("two levels and bullets")
        << kTwoLevels + "\\pard\\ls0 One\\par\\pard\\ls0\\ilvl1 Sub\\par\\pard\\ls0\\ilvl1 Sub2\\par\\pard\\ls0 Two\\par"
                        "\\pard\\ls0\\ilvl1 Again\\par\\pard Plain\\par\\pard\\ls2 Dot\\par\\pard\\ls0 Three\\par";
    QTest::newRow("restart and start values")
        << QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc2\\levelstartat5{\\leveltext\\'02\\'00.;}}\\listid5}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}"
                      "{\\listoverride\\listid5\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat2}\\ls3}}"
                      "\\pard\\ls1 a\\par\\pard\\ls1 b\\par\\pard\\ls3 again\\par\\pard\\ls3 more\\par");
    QTest::newRow("bullet characters and fonts")
        << QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01o;}\\f2}"
                      "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u9674 ?;}}\\listid1}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
                      "\\pard\\ls1 a\\par\\pard\\ls1\\ilvl1 b\\par");
    QTest::newRow("a symbol font's bullet byte that is written as a Unicode character")
        << QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\'8a;}\\f1}\\listid1}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 a\\par");
    QTest::newRow("a level text holding ';'") << QByteArray("{\\*\\pn\\pnlvlbody\\pndec{\\pntxta ;;}}A\\par");
    QTest::newRow("a level text holding a control character")
        << QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'03\\'00\\'10.;}}\\listid1}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 a\\par");
    QTest::newRow("a bullet of control characters alone")
        << QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'02\\'1c\\'1c;}\\f0}\\listid1}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 a\\par");
    QTest::newRow("old numbering") << QByteArray("{\\*\\pn\\pnlvlbody\\pnucltr\\pnstart3{\\pntxta )}}A\\par B\\par");
    QTest::newRow("nine levels")
        << QByteArray("\\pard\\ls1 l0\\par\\pard\\ls1\\ilvl1 l1\\par\\pard\\ls1\\ilvl2 l2\\par\\pard\\ls1\\ilvl3 l3\\par"
                      "\\pard\\ls1\\ilvl4 l4\\par\\pard\\ls1\\ilvl5 l5\\par\\pard\\ls1\\ilvl6 l6\\par"
                      "\\pard\\ls1\\ilvl7 l7\\par\\pard\\ls1\\ilvl8 l8\\par\\pard\\ls1\\ilvl8 l8b\\par");
}

// A list in gives the same list out, and five cycles change nothing.
void TestRtfLists::writtenListsReadBackTheSame()
{
    QFETCH(QByteArray, body);
    QTextDocument document;
    read(rtf(body), document);
    const QStringList expected = structure(document);
    QTextDocument current;
    read(writeRtf(&document), current);
    QCOMPARE(structure(current), expected);
    const QByteArray first = writeRtf(&current);
    for (int cycle = 0; cycle < 5; ++cycle) {
        QTextDocument next;
        read(writeRtf(&current), next);
        QCOMPARE(structure(next), expected);
        QCOMPARE(writeRtf(&next), first);
    }
}

void TestRtfLists::writtenListsCarryTablesAndFallbacks()
{
    QTextDocument document;
    read(rtf(kTwoLevels + "\\pard\\ls0 One\\par\\pard\\ls0\\ilvl1 Sub\\par\\pard\\ls2 Dot\\par"), document);
    const QByteArray written = writeRtf(&document);
    QVERIFY(written.contains("{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelnfcn0\\leveljc0"
                             "\\levelfollow0\\levelstartat1{\\leveltext\\leveltemplateid0\\'02\\'00.;}{\\levelnumbers\\'01;}}"
                             "{\\listlevel\\levelnfc0\\levelnfcn0\\leveljc0\\levelfollow0\\levelstartat1"
                             "{\\leveltext\\leveltemplateid0\\'04\\'00.\\'01.;}{\\levelnumbers\\'01\\'03;}}"));
    QVERIFY(written.contains("{\\listoverride\\listid1\\listoverridecount0\\ls1}{\\listoverride\\listid2\\listoverridecount0\\ls2}"));
    QVERIFY(written.contains("\\fs24 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent0{\\pntxta .}}\\ls1\\ilvl0"));
    QVERIFY(written.contains("\\fs24 1.1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent0{\\pntxta .}}\\ls1\\ilvl1 Sub"));
    QVERIFY(written.contains("\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}\\ls2\\ilvl0 Dot"));
}

// A fuzz run found an old-style number written in the font of the bullet before it, and
// read back as typed text.
void TestRtfLists::fuzzFindingOldStyleNumberKeepsItsList()
{
    QTextDocument document;
    read(testsupport::readRtfFixture(QStringLiteral("oldstyle_number_font.rtf")), document);
    const QStringList expected{"Paragraph", "0:1.|List 1", "0:2.|List 2"};
    QCOMPARE(items(document), expected);
    const QByteArray first = writeRtf(&document);
    // Its number is in the paragraph's font (Calibri, after the document's default).
    QVERIFY(first.contains("{\\pntext\\f1\\fs22 1.\\tab}"));
    QTextDocument again;
    read(first, again);
    QCOMPARE(items(again), expected);
    QCOMPARE(writeRtf(&again), first);
}

void TestRtfLists::otherProgramsListsSurviveOurRoundTrip_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("LibreOffice") << "lowriter_lists.rtf"
                                 << QStringList{"Numbered list of two levels:", "0:1.|First item", "0:2.|Second item",
                                                "1:a.|Sub one", "1:b.|Sub two", "0:3.|Third item", "Bullets:",
                                                QString::fromUtf8("0:•|Disc bullet"), QString::fromUtf8("0:•|Another"),
                                                QString::fromUtf8("1:◦|Inner circle"), "0:IV.|Roman four",
                                                "0:V.|Roman five", "After"};
    QTest::newRow("AbiWord") << "abiword_lists.rtf"
                             << QStringList{"Intro paragraph", "0:1.|First item", "0:2.|Second item", "1:2.1.|Sub one",
                                            "1:2.2.|Sub two", "0:3.|Third item", QString::fromUtf8("0:•|Bullet A"),
                                            QString::fromUtf8("0:•|Bullet B"), QString::fromUtf8("1:•|Inner bullet"),
                                            "After", "", "", ""};
}

void TestRtfLists::otherProgramsListsSurviveOurRoundTrip()
{
    QFETCH(QString, fixture);
    QFETCH(QStringList, expected);
    QTextDocument document;
    read(testsupport::readRtfFixture(fixture), document);
    QCOMPARE(items(document), expected);
    QCOMPARE(afterRoundTrip(document), structure(document));
}

QTEST_MAIN(TestRtfLists)
#include "tst_rtflists.moc"
