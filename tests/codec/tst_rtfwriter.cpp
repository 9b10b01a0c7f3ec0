#include "tests/support/testsupport.h"
#include "engine/codec/formatmapping.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/codec/textprops.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

using namespace engine;

namespace {

QByteArray bodyOf(const QByteArray &rtf)
{
    const qsizetype start = rtf.indexOf("\\uc1\r\n");
    return start < 0 ? QByteArray() : rtf.mid(start + 6);
}

QByteArray headerOf(const QByteArray &rtf)
{
    return rtf.left(rtf.indexOf("\\uc1\r\n"));
}

int paragraphEnds(const QByteArray &rtf)
{
    static const QRegularExpression par(QStringLiteral("\\\\par(?![a-z])"));
    return int(QString::fromLatin1(rtf).count(par));
}

QTextCharFormat face(const QString &name, int charset = 0, int pitchAndFamily = 0)
{
    CharFormat record;
    record.mask = CFM_FACE | CFM_CHARSET;
    record.faceName = name;
    record.charset = quint8(charset);
    record.pitchAndFamily = quint8(pitchAndFamily);
    QTextCharFormat format;
    applyCharFormat(record, format);
    return format;
}

QTextCharFormat colored(QTextCharFormat format, QColor color)
{
    format.setForeground(color);
    format.setProperty(prop::AutoColor, false);
    return format;
}

// A document of one paragraph per text, each in the given format.
QByteArray writeRuns(const QList<QPair<QString, QTextCharFormat>> &runs)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    for (const auto &[text, format] : runs)
        cursor.insertText(text, format);
    return writeRtf(&document);
}

}  // namespace

class TestRtfWriter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void headerAndTrailer();
    void sevenBitAndDeterministic();
    void escaping_data();
    void escaping();
    void nonAnsiFontsGetUnicodeOnly();
    void fontTable();
    void sizesInHalfPoints();
    void colorsAndAutomaticColor();
    void effectsSwitchOnAndOff();
    void paragraphProperties();
    void lineSpacingRules_data();
    void lineSpacingRules();
    void bullets();
    void oneParagraphEndPerParagraph();
    void textTypedInPiecesIsWrittenAsInOneGo();
    void aHeaderOfAnySizeComesFirst();
    void emptyParagraphKeepsItsFormat();
    void pageBreak();
    void links();
    void picturesKeepOriginalBytes();
    void picturesWithoutOriginalsAreEncodedAsPng();
    void keptObjectsAreVerbatim();
};

void TestRtfWriter::initTestCase()
{
    testsupport::useTwelvePointApplicationFont();
}

void TestRtfWriter::headerAndTrailer()
{
    const QByteArray rtf = writeRuns({{QStringLiteral("x"), QTextCharFormat()}});
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0"));
    QVERIFY(headerOf(rtf).contains("{\\colortbl;"));
    QVERIFY(rtf.contains("\\uc1\r\n"));
    QVERIFY(rtf.endsWith("\\par\r\n}\r\n"));
    // Unformatted text uses font 0, the document's default font, without naming it.
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Courier New"), 12));
    document.setPlainText(QStringLiteral("x"));
    const QByteArray courier = writeRtf(&document);
    QVERIFY(courier.contains("{\\f0\\fnil\\fcharset0 Courier New;}"));
    QCOMPARE(bodyOf(courier), QByteArray("\\pard x\\par\r\n}\r\n"));
}

void TestRtfWriter::sevenBitAndDeterministic()
{
    const auto build = [](QTextDocument &document) {
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("\u00e9\u4e2d\U0001F600 plain "), face(QStringLiteral("Arial")));
        cursor.insertText(QStringLiteral("red"), colored(face(QStringLiteral("Times New Roman")), Qt::red));
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("blue"), colored(QTextCharFormat(), Qt::blue));
        setBullets(cursor, true);
    };
    QTextDocument first;
    build(first);
    QTextDocument second;
    build(second);
    const QByteArray rtf = writeRtf(&first);
    QCOMPARE(writeRtf(&first), rtf);
    QCOMPARE(writeRtf(&second), rtf);
    for (char c : rtf)
        QVERIFY2(uchar(c) < 0x80, "output must be 7-bit");
}

void TestRtfWriter::escaping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("specials") << QStringLiteral("a\\b{c}") << QByteArray("a\\\\b\\{c\\}");
    QTest::newRow("tab then digit") << QStringLiteral("a\t1") << QByteArray("a\\tab 1");
    QTest::newRow("tab then space") << QStringLiteral("\t x") << QByteArray("\\tab  x");
    QTest::newRow("line break") << QStringLiteral("a\u2028b") << QByteArray("a\\line b");
    QTest::newRow("no-break space, soft and hard hyphen")
        << QStringLiteral("a\u00a0b\u00adc\u2011d") << QByteArray("a\\~b\\-c\\_d");
    QTest::newRow("windows-1252") << QStringLiteral("\u00e9\u20ac\u2026\u00ff") << QByteArray("\\'e9\\'80\\'85\\'ff");
    QTest::newRow("outside 1252") << QStringLiteral("\u03a9x") << QByteArray("\\u937?x");
    QTest::newRow("negative") << QStringLiteral("\uff21") << QByteArray("\\u-223?");
    QTest::newRow("surrogate pair") << QStringLiteral("\U0001F600") << QByteArray("\\u-10179?\\u-8704?");
    QTest::newRow("undefined in 1252") << QStringLiteral("\u0081") << QByteArray("\\u129?");
    QTest::newRow("delete character") << QStringLiteral("a\u007fb") << QByteArray("a\\'7fb");
    QTest::newRow("control characters dropped") << QStringLiteral("a\u0001\u001fb") << QByteArray("ab");
    QTest::newRow("object character without object") << QStringLiteral("a\ufffcb") << QByteArray("ab");
}

void TestRtfWriter::escaping()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QTextDocument document;
    QTextCursor(&document).insertText(text);
    const QByteArray body = bodyOf(writeRtf(&document));
    QCOMPARE(body, QByteArray("\\pard " + expected + "\\par\r\n}\r\n").replace("\\pard \\", "\\pard\\"));
}

// Readers decode \'hh in the font's own code page, so text in a font with another
// character set must not use Windows-1252 bytes.
void TestRtfWriter::nonAnsiFontsGetUnicodeOnly()
{
    const QByteArray rtf = writeRuns({{QStringLiteral("\u00e9"), face(QStringLiteral("Arial"))},
                                      {QStringLiteral("\u00e9\u0416"), face(QStringLiteral("Arial"), 204)}});
    QVERIFY(headerOf(rtf).contains("\\fcharset204 Arial;"));
    QVERIFY(bodyOf(rtf).contains("\\'e9\\f2\\u233?\\u1046?"));
}

void TestRtfWriter::fontTable()
{
    const QByteArray rtf = writeRuns({{QStringLiteral("a"), face(QStringLiteral("Times New Roman"), 0, 0x12)},
                                      {QStringLiteral("b"), face(QStringLiteral("Courier New"), 0, 0x31)},
                                      {QStringLiteral("c"), face(QStringLiteral("Times New Roman"), 0, 0x12)},
                                      {QStringLiteral("d"), face(QStringLiteral("Times New Roman"), 238, 0x12)},
                                      {QStringLiteral("e"), face(QStringLiteral("Na;me\u00e9"))}});
    const QByteArray header = headerOf(rtf);
    QVERIFY(header.contains("{\\f1\\froman\\fcharset0\\fprq2 Times New Roman;}"));
    QVERIFY(header.contains("{\\f2\\fmodern\\fcharset0\\fprq1 Courier New;}"));
    QVERIFY(header.contains("{\\f3\\froman\\fcharset238\\fprq2 Times New Roman;}"));
    QVERIFY(header.contains("{\\f4\\fnil\\fcharset0 Name\\'e9;}"));
    QVERIFY(!header.contains("\\f5"));
    QVERIFY(bodyOf(rtf).startsWith("\\pard\\f1 a\\f2 b\\f1 c\\f3 d\\f4 e\\par"));
}

void TestRtfWriter::sizesInHalfPoints()
{
    QTextCharFormat tenAndAHalf;
    tenAndAHalf.setFontPointSize(10.5);
    QTextCharFormat twelve;
    twelve.setFontPointSize(12);
    QTextCharFormat nine;
    nine.setFontPointSize(9);
    const QByteArray body = bodyOf(writeRuns({{QStringLiteral("a"), twelve},
                                              {QStringLiteral("b"), tenAndAHalf},
                                              {QStringLiteral("c"), nine}}));
    QVERIFY(body.startsWith("\\pard a\\fs21 b\\fs18 c\\par"));
}

void TestRtfWriter::colorsAndAutomaticColor()
{
    QTextCharFormat highlighted;
    highlighted.setProperty(prop::HighlightColor, QColor(Qt::yellow));
    QTextCharFormat automatic;
    automatic.setProperty(prop::AutoColor, true);
    const QByteArray rtf = writeRuns({{QStringLiteral("a"), colored({}, QColor(255, 0, 0))},
                                      {QStringLiteral("b"), automatic},
                                      {QStringLiteral("c"), colored({}, QColor(0, 128, 0))},
                                      {QStringLiteral("d"), colored({}, QColor(255, 0, 0))},
                                      {QStringLiteral("e"), highlighted},
                                      {QStringLiteral("f"), QTextCharFormat()}});
    QVERIFY(headerOf(rtf).contains(
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red255\\green255\\blue0;}"));
    // Highlighting lives in a group of its own run: no \\highlight0 is ever needed.
    QVERIFY(bodyOf(rtf).startsWith("\\pard\\cf1 a\\cf0 b\\cf2 c\\cf1 d{\\cf0\\highlight3 e}\\cf0 f\\par"));
}

void TestRtfWriter::effectsSwitchOnAndOff()
{
    QTextCharFormat all;
    all.setFontWeight(QFont::Bold);
    all.setFontItalic(true);
    all.setFontStrikeOut(true);
    all.setFontUnderline(true);
    all.setProperty(prop::Hidden, true);
    all.setProperty(prop::Protected, true);
    all.setProperty(prop::Language, 2057);
    QTextCharFormat dotted;
    dotted.setUnderlineStyle(QTextCharFormat::DotLine);
    dotted.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    dotted.setProperty(prop::BaselineOffsetTwips, -60);
    QTextCharFormat wave;
    wave.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    wave.setProperty(prop::BaselineOffsetTwips, 100);
    QTextCharFormat super;
    super.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    const QByteArray body = bodyOf(writeRuns({{QStringLiteral("a"), all},
                                              {QStringLiteral("b"), QTextCharFormat()},
                                              {QStringLiteral("c"), dotted},
                                              {QStringLiteral("d"), wave},
                                              {QStringLiteral("e"), QTextCharFormat()},
                                              {QStringLiteral("f"), super}}));
    // Super- and subscript runs are groups, so they never need switching off.
    QCOMPARE(body.left(body.indexOf("\\par\r\n")),
             QByteArray("\\pard\\lang2057\\b\\i\\ul\\strike\\v\\protect a"
                        "\\lang1024\\b0\\i0\\ulnone\\strike0\\v0\\protect0 b"
                        "{\\uld\\sub\\dn6 c}"
                        "\\ulwave\\up10 d"
                        "\\ulnone\\up0 e"
                        "{\\super f}"));
}

void TestRtfWriter::paragraphProperties()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    ParaFormat format;
    format.mask = PFM_ALL & ~PFM_NUMBERING;
    format.alignment = PFA_CENTER;
    format.startIndent = 720;
    format.offset = -360;  // first line hangs out to the right of the others
    format.rightIndent = 144;
    format.spaceBefore = 120;
    format.spaceAfter = 240;
    format.tabCount = 3;
    format.tabs = {720, 1440, 2880};
    applyParaFormatToParagraphs(cursor, format);
    cursor.insertText(QStringLiteral("x"));
    cursor.insertBlock();
    format = ParaFormat();
    format.mask = PFM_ALL & ~PFM_NUMBERING;
    format.alignment = PFA_RIGHT;
    applyParaFormatToParagraphs(cursor, format);
    cursor.insertText(QStringLiteral("y"));
    cursor.insertBlock();
    format.alignment = PFA_JUSTIFY;
    applyParaFormatToParagraphs(cursor, format);
    const QByteArray body = bodyOf(writeRtf(&document));
    QCOMPARE(body, QByteArray("\\pard\\qc\\li360\\ri144\\fi360\\sb120\\sa240\\tx720\\tx1440\\tx2880 x\\par\r\n"
                              "\\pard\\qr y\\par\r\n"
                              "\\pard\\qj\\par\r\n}\r\n"));
}

void TestRtfWriter::lineSpacingRules_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("single") << 0 << 0 << QByteArray("\\pard x");
    QTest::newRow("one and a half") << 1 << 0 << QByteArray("\\pard\\sl360\\slmult1 x");
    QTest::newRow("double") << 2 << 0 << QByteArray("\\pard\\sl480\\slmult1 x");
    QTest::newRow("at least") << 3 << 300 << QByteArray("\\pard\\sl300\\slmult0 x");
    QTest::newRow("exactly") << 4 << 300 << QByteArray("\\pard\\sl-300\\slmult0 x");
    QTest::newRow("multiple") << 5 << 30 << QByteArray("\\pard\\sl360\\slmult1 x");
    QTest::newRow("negative multiple, shown single") << 5 << -30 << QByteArray("\\pard x");
    QTest::newRow("exactly nothing, shown single") << 4 << 0 << QByteArray("\\pard x");
}

void TestRtfWriter::lineSpacingRules()
{
    QFETCH(int, rule);
    QFETCH(int, spacing);
    QFETCH(QByteArray, expected);
    QTextDocument document;
    QTextCursor cursor(&document);
    ParaFormat format;
    format.mask = PFM_LINESPACING;
    format.lineSpacingRule = quint8(rule);
    format.lineSpacing = spacing;
    applyParaFormatToParagraphs(cursor, format);
    cursor.insertText(QStringLiteral("x"));
    QCOMPARE(bodyOf(writeRtf(&document)), expected + "\\par\r\n}\r\n");
}

void TestRtfWriter::bullets()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("one"));
    setBullets(cursor, true);
    ParaFormat indents;
    indents.mask = PFM_STARTINDENT | PFM_OFFSET;
    indents.startIndent = 360;
    indents.offset = 360;
    applyParaFormatToParagraphs(cursor, indents);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("two"));
    cursor.insertBlock();
    setBullets(cursor, false);
    cursor.insertText(QStringLiteral("after"));
    const QByteArray rtf = writeRtf(&document);
    const QByteArray header = headerOf(rtf);
    QVERIFY(header.contains("{\\f1\\fnil\\fcharset2\\fprq2 Symbol;}"));
    QVERIFY(header.contains("{\\*\\listtable{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23"));
    QVERIFY(header.contains("{\\leveltext\\leveltemplateid0\\'01\\'b7;}{\\levelnumbers;}\\f1}\\listid1}\r\n}"));
    QVERIFY(header.contains("{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}"));
    const QByteArray bullet = "\\pard\\li720\\fi-360{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0"
                              "{\\pntxtb\\'b7}}\\ls1\\ilvl0 ";
    QCOMPARE(bodyOf(rtf), bullet + "one\\par\r\n" + bullet + "two\\par\r\n\\pard\\li720\\fi-360 after\\par\r\n}\r\n");

    // A bullet at the margin still states its indents, so no list level's apply.
    QTextDocument flat;
    QTextCursor flatCursor(&flat);
    flatCursor.insertText(QStringLiteral("x"));
    setBullets(flatCursor, true);
    QVERIFY(writeRtf(&flat).contains("\\pard\\li0\\fi0{\\pntext"));

    QTextDocument plain;
    plain.setPlainText(QStringLiteral("no bullets"));
    QVERIFY(!writeRtf(&plain).contains("listtable"));
}

// Every paragraph ends with \par and a line end, the last one included, and nothing
// else adds one: a reader that ends the last paragraph at the final \par keeps the count.
void TestRtfWriter::oneParagraphEndPerParagraph()
{
    for (const QString &text : {QString(), QStringLiteral("a"), QStringLiteral("a\nb"), QStringLiteral("a\n\n"),
                                QStringLiteral("\n\n\n")}) {
        QTextDocument document;
        document.setPlainText(text);
        const QByteArray rtf = writeRtf(&document);
        QCOMPARE(paragraphEnds(rtf), document.blockCount());
        QCOMPARE(rtf.count("\\par\r\n"), document.blockCount());
    }
}

// Text typed out of order lies in pieces apart in the document's storage; written, it
// reads as the runs of text typed in one go (one group for the highlighted run).
void TestRtfWriter::textTypedInPiecesIsWrittenAsInOneGo()
{
    QTextCharFormat marked;
    marked.setBackground(Qt::yellow);
    QTextDocument inOneGo;
    QTextCursor cursor(&inOneGo);
    cursor.insertText(QStringLiteral("plain "));
    cursor.insertText(QStringLiteral("marked text"), marked);
    cursor.insertText(QStringLiteral(" end"), QTextCharFormat());
    QTextDocument inPieces;
    QTextCursor typing(&inPieces);
    typing.insertText(QStringLiteral("plain  end"));
    typing.setPosition(6);
    typing.insertText(QStringLiteral("markedtext"), marked);
    typing.setPosition(12);
    typing.insertText(QStringLiteral(" "), marked);
    QCOMPARE(inPieces.toPlainText(), inOneGo.toPlainText());
    const QByteArray body = bodyOf(writeRtf(&inPieces));
    QCOMPARE(body, bodyOf(writeRtf(&inOneGo)));
    QCOMPARE(body.count("\\highlight"), 1);
    QVERIFY(body.contains("marked text"));
}

// The header is written after the body, into room kept before it; a header larger than
// that room (here a font table of thousands of fonts) must still come first, whole.
void TestRtfWriter::aHeaderOfAnySizeComesFirst()
{
    for (const int fonts : {3, 4000}) {
        QTextDocument document;
        QTextCursor cursor(&document);
        for (int i = 0; i < fonts; ++i)
            cursor.insertText(QStringLiteral("run%1 ").arg(i), face(QStringLiteral("Font %1").arg(i)));
        const QByteArray rtf = writeRtf(&document);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi"));
        QVERIFY(rtf.endsWith("}\r\n"));
        const QByteArray last = QByteArray::number(fonts - 1);
        QVERIFY(headerOf(rtf).contains("Font " + last + ";"));
        QVERIFY(bodyOf(rtf).contains("run" + last + " "));
        QVERIFY(!bodyOf(rtf).contains("\\fonttbl"));
    }
}

void TestRtfWriter::emptyParagraphKeepsItsFormat()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat small = face(QStringLiteral("Arial"));
    small.setFontPointSize(8);
    small.setProperty(prop::Language, 2057);
    cursor.setBlockCharFormat(small);
    QCOMPARE(bodyOf(writeRtf(&document)), QByteArray("\\pard\\f1\\fs16\\lang2057\\par\r\n}\r\n"));

    // Highlighting is only written inside a run's group, so a mark's highlight is not
    // written, and its colour does not enter the table.
    QTextCharFormat highlighted = small;
    highlighted.setProperty(prop::HighlightColor, QColor(Qt::yellow));
    highlighted.setBackground(QColor(Qt::yellow));
    highlighted.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    cursor.setBlockCharFormat(highlighted);
    const QByteArray rtf = writeRtf(&document);
    QVERIFY2(headerOf(rtf).contains("{\\colortbl;}"), rtf.constData());
    QCOMPARE(bodyOf(rtf), QByteArray("\\pard\\f1\\fs16\\lang2057\\par\r\n}\r\n"));
}

void TestRtfWriter::pageBreak()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("a\nb"));
    QTextBlockFormat breaking;
    breaking.setProperty(prop::PageBreakBefore, true);
    QTextCursor(document.lastBlock()).mergeBlockFormat(breaking);
    QCOMPARE(bodyOf(writeRtf(&document)), QByteArray("\\pard a\\par\r\n\\page\r\n\\pard b\\par\r\n}\r\n"));
}

void TestRtfWriter::links()
{
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.org/?q=\"x\"&a=\u00e9"));
    QTextCharFormat boldLink = link;
    boldLink.setFontWeight(QFont::Bold);
    QTextCharFormat other;
    other.setAnchor(true);
    other.setAnchorHref(QStringLiteral("C:\\dir\\file.txt"));
    QTextCharFormat namedOnly;  // an anchor without a target is no link
    namedOnly.setAnchor(true);
    namedOnly.setAnchorNames({QStringLiteral("mark")});
    const QByteArray body = bodyOf(writeRuns({{QStringLiteral("see "), QTextCharFormat()},
                                              {QStringLiteral("here"), link},
                                              {QStringLiteral(" bold"), boldLink},
                                              {QStringLiteral("file"), other},
                                              {QStringLiteral(" after"), namedOnly}}));
    // The bold run needs no \b0 after the field: closing its groups restores the state.
    QCOMPARE(body, QByteArray("\\pard see {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/?q=%22x%22&a=\\'e9\"}}"
                              "{\\fldrslt{here\\b  bold}}}"
                              "{\\field{\\*\\fldinst{HYPERLINK \"C:\\\\\\\\dir\\\\\\\\file.txt\"}}{\\fldrslt{file}}}"
                              " after\\par\r\n}\r\n"));
}

void TestRtfWriter::picturesKeepOriginalBytes()
{
    // Bytes a re-encoding would not reproduce: a PNG with an extra text chunk.
    QImage image(5, 2, QImage::Format_RGB32);
    image.fill(Qt::green);
    image.setText(QStringLiteral("Comment"), QStringLiteral("kept"));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray jpeg;
    QBuffer jpegBuffer(&jpeg);
    jpegBuffer.open(QIODevice::WriteOnly);
    image.save(&jpegBuffer, "JPEG");

    QTextDocument document;
    QTextCursor cursor(&document);
    QTextImageFormat pngFormat;
    pngFormat.setName(QStringLiteral("a"));
    pngFormat.setProperty(prop::ImageOriginalBytes, png);
    pngFormat.setProperty(prop::ImageOriginalKind, QStringLiteral("png"));
    pngFormat.setWidth(50);  // shown at 50 px wide, aspect kept
    cursor.insertImage(pngFormat);
    QTextImageFormat jpegFormat;
    jpegFormat.setName(QStringLiteral("b"));
    jpegFormat.setProperty(prop::ImageOriginalBytes, jpeg);
    jpegFormat.setProperty(prop::ImageOriginalKind, QStringLiteral("jpeg"));
    cursor.insertImage(jpegFormat);
    const QByteArray body = bodyOf(writeRtf(&document));

    const qsizetype pngAt = body.indexOf("{\\pict\\pngblip\\picw5\\pich2\\picwgoal750\\pichgoal300\r\n");
    QVERIFY(pngAt >= 0);
    const qsizetype jpegAt = body.indexOf("{\\pict\\jpegblip\\picw5\\pich2\\picwgoal75\\pichgoal30\r\n");
    QVERIFY(jpegAt > pngAt);
    const auto hexOf = [&](qsizetype from) {
        const qsizetype start = body.indexOf("\r\n", from) + 2;
        return QByteArray::fromHex(body.mid(start, body.indexOf('}', start) - start).replace("\r\n", ""));
    };
    QCOMPARE(hexOf(pngAt), png);
    QCOMPARE(hexOf(jpegAt), jpeg);
    const QByteArray firstLine = body.mid(pngAt).split('\n').at(1);
    QCOMPARE(firstLine.size(), std::min<qsizetype>(129, png.size() * 2 + 1));
}

void TestRtfWriter::picturesWithoutOriginalsAreEncodedAsPng()
{
    QTextDocument document;
    QImage image(3, 7, QImage::Format_ARGB32);
    image.fill(Qt::red);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("res")), image);
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("a"));
    QTextImageFormat format;
    format.setName(QStringLiteral("res"));
    cursor.insertImage(format);
    QTextImageFormat missing;
    missing.setName(QStringLiteral("nowhere"));
    cursor.insertImage(missing);
    cursor.insertText(QStringLiteral("b"));
    const QByteArray body = bodyOf(writeRtf(&document));
    const QByteArray prefix = "\\pard a{\\pict\\pngblip\\picw3\\pich7\\picwgoal45\\pichgoal105\r\n";
    QVERIFY(body.startsWith(prefix));
    const qsizetype end = body.indexOf('}', prefix.size());
    const QImage decoded = QImage::fromData(
        QByteArray::fromHex(body.mid(prefix.size(), end - prefix.size()).replace("\r\n", "")), "PNG");
    QCOMPARE(decoded.size(), QSize(3, 7));
    QCOMPARE(decoded.pixelColor(1, 1), QColor(Qt::red));
    QCOMPARE(body.mid(end), QByteArray("}b\\par\r\n}\r\n"));  // the missing image writes nothing
}

void TestRtfWriter::keptObjectsAreVerbatim()
{
    const QByteArray object = "{\\object\\objemb{\\*\\objclass Package}{\\*\\objdata 0102}{\\result{\\pict\\pngblip 00}}}";
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextImageFormat format;
    format.setName(QStringLiteral("obj"));
    format.setProperty(prop::ObjectRtf, object);
    cursor.insertText(QStringLiteral("x"));
    cursor.insertImage(format);
    cursor.insertText(QStringLiteral("y"));
    QCOMPARE(bodyOf(writeRtf(&document)), QByteArray("\\pard x" + object + "y\\par\r\n}\r\n"));
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
