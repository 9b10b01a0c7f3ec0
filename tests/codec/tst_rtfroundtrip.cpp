#include "tests/support/testsupport.h"
#include "engine/codec/documentextras.h"
#include "engine/codec/formatmapping.h"
#include "engine/codec/rtf/read/notemark.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/codec/scriptfonts.h"
#include "engine/codec/tabkinds.h"
#include "engine/codec/textprops.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

using namespace engine;

namespace {

QString describeRun(const QTextCharFormat &format, const QFont &defaultFont)
{
    const CharFormat record = readCharFormat(format, defaultFont);
    QString text = QStringLiteral("%1/%2/cs%3/pf%4/fx%5/c%6/off%7")
                       .arg(record.faceName)
                       .arg(record.height)
                       .arg(record.charset)
                       .arg(record.pitchAndFamily)
                       .arg(record.effects, 0, 16)
                       .arg(record.textColor, 0, 16)
                       .arg(record.offset);
    text += QStringLiteral("/ul%1/va%2/lang%3").arg(int(format.underlineStyle())).arg(int(format.verticalAlignment()))
                .arg(format.intProperty(prop::Language));
    if (isHidden(format))
        text += QStringLiteral("/hidden");
    const QColor highlight = format.property(prop::HighlightColor).value<QColor>();
    if (highlight.isValid())
        text += QStringLiteral("/hl") + highlight.name();
    if (isHyperlink(format))
        text += QStringLiteral("/link:") + format.anchorHref();
    if (format.hasProperty(prop::FieldInstruction))
        text += QStringLiteral("/field%1:").arg(format.intProperty(prop::FieldNumber))
                + format.stringProperty(prop::FieldInstruction);
    if (const ScriptFont font = eastAsianFont(format); !font.isEmpty())
        text += QStringLiteral("/ea:%1,%2").arg(font.face).arg(font.charset);
    if (const ScriptFont font = complexFont(format); !font.isEmpty())
        text += QStringLiteral("/cs:%1,%2").arg(font.face).arg(font.charset);
    if (format.hasProperty(prop::ComplexHalfPoints))
        text += QStringLiteral("/afs%1").arg(format.intProperty(prop::ComplexHalfPoints));
    if (format.boolProperty(prop::RightToLeftRun))
        text += QStringLiteral("/rtl");
    if (format.isImageFormat()) {
        const QTextImageFormat image = format.toImageFormat();
        const QByteArray original = image.property(prop::ImageOriginalBytes).toByteArray();
        text += QStringLiteral("/image %1x%2 %3 %4")
                    .arg(image.width())
                    .arg(image.height())
                    .arg(image.stringProperty(prop::ImageOriginalKind))
                    .arg(QString::fromLatin1(QCryptographicHash::hash(original, QCryptographicHash::Md5).toHex()));
    }
    // Kept RTF is renumbered into the written tables, so its text is what must stay.
    if (format.hasProperty(prop::KeptRtf))
        text += QStringLiteral("/kept ") + rtfin::noteText(format.property(prop::KeptRtf).toByteArray());
    if (format.hasProperty(prop::ObjectRtf))
        text += QStringLiteral("/object ") + QString::fromLatin1(format.property(prop::ObjectRtf).toByteArray());
    return text;
}

QString describeParagraph(const QTextBlock &block)
{
    const ParaFormat format = readParaFormat(block);
    QString text = QStringLiteral("al%1 si%2 ri%3 off%4 sb%5 sa%6 ls%7/%8 num%9")
                       .arg(format.alignment)
                       .arg(format.startIndent)
                       .arg(format.rightIndent)
                       .arg(format.offset)
                       .arg(format.spaceBefore)
                       .arg(format.spaceAfter)
                       .arg(format.lineSpacingRule)
                       .arg(format.lineSpacing)
                       .arg(format.numbering);
    for (int i = 0; i < format.tabCount; ++i)
        text += QStringLiteral(" tab%1:%2").arg(format.tabs[size_t(i)]).arg(tabKindAt(block.blockFormat(), format.tabs[size_t(i)]).code());
    for (int bar : barTabs(block.blockFormat()))
        text += QStringLiteral(" bar%1").arg(bar);
    if (block.blockFormat().layoutDirection() == Qt::RightToLeft)
        text += QStringLiteral(" rtl");
    if (block.blockFormat().boolProperty(prop::PageBreakBefore))
        text += QStringLiteral(" page");
    return text;
}

// Everything the writer is meant to carry, one entry per paragraph and per run of equal
// formats, so that a comparison names the first thing that differs.
QStringList snapshot(const QTextDocument &document)
{
    QStringList lines;
    const DocumentExtras extras = documentExtras(&document);
    const PageSetup &page = extras.page;
    lines.append(QStringLiteral("page %1x%2 %3 %4 %5 %6 %7")
                     .arg(page.paperWidth).arg(page.paperHeight).arg(page.marginLeft).arg(page.marginRight)
                     .arg(page.marginTop).arg(page.marginBottom).arg(page.landscape));
    lines.append(QStringLiteral("kept ") + rtfin::noteText(extras.headerGroups));
    const QFont defaultFont = document.defaultFont();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        lines.append(QStringLiteral("P ") + describeParagraph(block));
        QString runText;
        QString runFormat;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString format = describeRun(it.fragment().charFormat(), defaultFont);
            if (format != runFormat && !runText.isEmpty()) {
                lines.append(QStringLiteral("  [%1] %2").arg(runText, runFormat));
                runText.clear();
            }
            runFormat = format;
            runText += it.fragment().text();
        }
        if (!runText.isEmpty())
            lines.append(QStringLiteral("  [%1] %2").arg(runText, runFormat));
        if (block.length() == 1)
            lines.append(QStringLiteral("  mark ") + describeRun(block.charFormat(), defaultFont));
    }
    return lines;
}

bool read(const QByteArray &bytes, QTextDocument *document)
{
    const RtfReadResult result = readRtf(bytes, document);
    if (!result.ok())
        qWarning() << result.message();
    return result.ok();
}

// Writes and reads again until the bytes settle; the first cycle may normalise what
// another writer produced, after that nothing may change.
void checkCycles(const QTextDocument &start)
{
    const QStringList expected = snapshot(start);
    QByteArray bytes = writeRtf(&start);
    for (int cycle = 0; cycle < 5; ++cycle) {
        QTextDocument document;
        QVERIFY(read(bytes, &document));
        QCOMPARE(document.blockCount(), start.blockCount());
        QCOMPARE(document.toRawText(), start.toRawText());
        QCOMPARE(snapshot(document), expected);
        const QByteArray again = writeRtf(&document);
        QCOMPARE(again, bytes);
        bytes = again;
    }
}

QTextCharFormat face(const QString &name, int size = 0, int charset = 0)
{
    CharFormat record;
    record.mask = CFM_FACE | CFM_CHARSET | (size > 0 ? quint32(CFM_SIZE) : 0u);
    record.faceName = name;
    record.charset = quint8(charset);
    record.height = size;
    QTextCharFormat format;
    applyCharFormat(record, format);
    return format;
}

QByteArray encoded(const QImage &image, const char *kind)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, kind);
    return bytes;
}

}  // namespace

class TestRtfRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void textAndParagraphCounts_data();
    void textAndParagraphCounts();
    void characterFormats();
    void faceNames_data();
    void faceNames();
    void paragraphFormats();
    void bulletsAndLinks();
    void picturesAndObjects();
    void objectsStayOneObject_data();
    void objectsStayOneObject();
    void objectWordOutsideAGroupIsIgnored();
    void readFilesSettleAfterOneCycle_data();
    void readFilesSettleAfterOneCycle();
    void fixtures_data();
    void fixtures();
    void keptPartsAreWrittenBack();
    void notesOfAnotherProgramKeepTheirNumberAndFont();
};

void TestRtfRoundTrip::initTestCase()
{
    testsupport::useTwelvePointApplicationFont();
}

void TestRtfRoundTrip::textAndParagraphCounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one") << QStringLiteral("one");
    QTest::newRow("empty last") << QStringLiteral("one\n");
    QTest::newRow("empty first and last") << QStringLiteral("\nmiddle\n");
    QTest::newRow("only empty") << QStringLiteral("\n\n\n");
    QTest::newRow("specials") << QStringLiteral("{\\par} \\u8226? \\'e9 \t tab");
    QTest::newRow("unicode") << QStringLiteral("\u00e9\u20ac\u03a9\u4e2d\U0001F600\uff21\u0081");
    QTest::newRow("breaks and spaces") << QStringLiteral("a\u2028b\u00a0c\u00add\u2011e  two  spaces ");
}

void TestRtfRoundTrip::textAndParagraphCounts()
{
    QFETCH(QString, text);
    QTextDocument document;
    document.setPlainText(text);
    checkCycles(document);
}

void TestRtfRoundTrip::characterFormats()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("arial "), face(QStringLiteral("Arial"), 210));
    QTextCharFormat rich = face(QStringLiteral("Times New Roman"), 280);
    rich.setFontWeight(QFont::Bold);
    rich.setFontItalic(true);
    rich.setFontUnderline(true);
    rich.setFontStrikeOut(true);
    rich.setForeground(QColor(0x12, 0x34, 0x56));
    rich.setProperty(prop::AutoColor, false);
    rich.setProperty(prop::Language, 1031);
    cursor.insertText(QStringLiteral("rich "), rich);
    QTextCharFormat hidden = face(QStringLiteral("Arial"), 200);
    hidden.setProperty(prop::Hidden, true);
    hidden.setProperty(prop::HighlightColor, QColor(Qt::yellow));
    cursor.insertText(QStringLiteral("hidden "), hidden);
    CharFormat raised;
    raised.mask = CFM_OFFSET;
    raised.offset = 60;
    QTextCharFormat up = face(QStringLiteral("Arial"), 200);
    applyCharFormat(raised, up);
    cursor.insertText(QStringLiteral("up "), up);
    QTextCharFormat super = face(QStringLiteral("Arial"), 200);
    super.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    cursor.insertText(QStringLiteral("super "), super);
    QTextCharFormat cyrillic = face(QStringLiteral("Arial"), 240, 204);
    cursor.insertText(QStringLiteral("\u0416\u00e9 "), cyrillic);
    cursor.insertText(QStringLiteral("plain"), QTextCharFormat());
    cursor.insertBlock();
    QTextCharFormat mark = face(QStringLiteral("Courier New"), 160);
    mark.setProperty(prop::Language, 2057);
    cursor.setBlockCharFormat(mark);  // an empty last paragraph keeps its typing format
    checkCycles(document);
}

void TestRtfRoundTrip::faceNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("charset");
    QTest::newRow("accented") << QStringLiteral("Caf\u00e9 Sans") << 0;
    QTest::newRow("no-break space") << QStringLiteral("MS\u00a0Gothic") << 128;
    QTest::newRow("soft and non-breaking hyphens") << QStringLiteral("Soft\u00adNon\u2011Break") << 0;
    QTest::newRow("outside the code page") << QStringLiteral("\u4e2d\u6587 \U0001F600") << 134;
    QTest::newRow("rtf specials") << QStringLiteral("Brace{}\\Name") << 0;
}

// A face name is written with the same escapes as text, and read back whole.
void TestRtfRoundTrip::faceNames()
{
    QFETCH(QString, name);
    QFETCH(int, charset);
    QTextDocument document;
    QTextCursor(&document).insertText(QStringLiteral("text"), face(name, 240, charset));
    checkCycles(document);
}

void TestRtfRoundTrip::paragraphFormats()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    ParaFormat format;
    format.mask = PFM_ALL & ~PFM_NUMBERING;
    format.alignment = PFA_CENTER;
    format.startIndent = 1440;
    format.offset = -720;
    format.rightIndent = 360;
    format.spaceBefore = 120;
    format.spaceAfter = 240;
    format.lineSpacingRule = 4;
    format.lineSpacing = 300;
    format.tabCount = 2;
    format.tabs = {720, 2160};
    applyParaFormatToParagraphs(cursor, format);
    cursor.insertText(QStringLiteral("first"));
    const quint8 rules[] = {0, 1, 2, 3, 5};
    const int spacings[] = {0, 0, 0, 400, 25};
    for (int i = 0; i < 5; ++i) {
        cursor.insertBlock();
        ParaFormat next;
        next.mask = PFM_ALL & ~PFM_NUMBERING;
        next.alignment = quint16(PFA_LEFT + i % 4);
        next.lineSpacingRule = rules[i];
        next.lineSpacing = spacings[i];
        next.startIndent = 100 * i;
        applyParaFormatToParagraphs(cursor, next);
        cursor.insertText(QStringLiteral("para %1").arg(i));
    }
    QTextBlockFormat breaking;
    breaking.setProperty(prop::PageBreakBefore, true);
    breaking.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.mergeBlockFormat(breaking);
    checkCycles(document);
}

void TestRtfRoundTrip::bulletsAndLinks()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("intro"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("bullet one"));
    setBullets(cursor, true);
    ParaFormat indents;
    indents.mask = PFM_STARTINDENT | PFM_OFFSET;
    indents.startIndent = 360;
    indents.offset = 360;
    applyParaFormatToParagraphs(cursor, indents);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("bullet two "));
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.org/path?x=1&y=%C3%A9"));
    cursor.insertText(QStringLiteral("link"), link);
    QTextCharFormat boldLink = link;
    boldLink.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral(" bold"), boldLink);
    cursor.insertText(QStringLiteral(" after"), QTextCharFormat());
    cursor.insertBlock();
    setBullets(cursor, false);
    cursor.insertText(QStringLiteral("not a bullet"));
    checkCycles(document);
    QTextDocument again;
    QVERIFY(read(writeRtf(&document), &again));
    QVERIFY(isBulletList(again.findBlockByNumber(1).textList()));
    QCOMPARE(again.findBlockByNumber(1).textList(), again.findBlockByNumber(2).textList());
    QVERIFY(!again.findBlockByNumber(3).textList());
}

void TestRtfRoundTrip::picturesAndObjects()
{
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.setText(QStringLiteral("Comment"), QStringLiteral("only in the original bytes"));
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("png "));
    QTextImageFormat png;
    png.setName(QStringLiteral("png"));
    png.setWidth(60);
    png.setHeight(40);
    png.setProperty(prop::ImageOriginalBytes, encoded(image, "PNG"));
    png.setProperty(prop::ImageOriginalKind, QStringLiteral("png"));
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("png")), image);
    cursor.insertImage(png);
    cursor.insertText(QStringLiteral(" jpeg "));
    QTextImageFormat jpeg;
    jpeg.setName(QStringLiteral("jpeg"));
    jpeg.setWidth(6);
    jpeg.setHeight(4);
    jpeg.setProperty(prop::ImageOriginalBytes, encoded(image, "JPEG"));
    jpeg.setProperty(prop::ImageOriginalKind, QStringLiteral("jpeg"));
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("jpeg")), image);
    cursor.insertImage(jpeg);
    cursor.insertText(QStringLiteral(" end"));
    checkCycles(document);

    // A picture without its original bytes comes back as PNG, at the same size.
    QTextDocument plainImage;
    plainImage.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("r")), image);
    QTextImageFormat resource;
    resource.setName(QStringLiteral("r"));
    QTextCursor(&plainImage).insertImage(resource);
    QTextDocument back;
    QVERIFY(read(writeRtf(&plainImage), &back));
    const QTextImageFormat read = back.begin().begin().fragment().charFormat().toImageFormat();
    QCOMPARE(read.stringProperty(prop::ImageOriginalKind), QStringLiteral("png"));
    QCOMPARE(QImage::fromData(read.property(prop::ImageOriginalBytes).toByteArray()).size(), image.size());
}

void TestRtfRoundTrip::objectsStayOneObject_data()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QByteArray pict = "{\\pict\\pngblip " + encoded(image, "PNG").toHex() + "}";
    QTest::addColumn<QByteArray>("result");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("kept");
    QTest::newRow("one picture") << pict << QStringLiteral("x\uFFFCy") << true;
    QTest::newRow("two pictures") << pict + pict << QStringLiteral("x\uFFFCy") << true;
    QTest::newRow("shape picture and its copy")
        << "{\\*\\shppict" + pict + "}{\\nonshppict" + pict + "}" << QStringLiteral("x\uFFFCy") << true;
    QTest::newRow("text after the picture") << pict + " caption" << QStringLiteral("x\uFFFCy") << true;
    QTest::newRow("paragraph after the picture") << pict + "\\par " + pict << QStringLiteral("x\uFFFCy") << true;
    QTest::newRow("text before the picture") << "caption " + pict << QStringLiteral("xcaption \uFFFCy") << false;
    QTest::newRow("only text") << QByteArray("caption") << QStringLiteral("xcaptiony") << false;
}

// An object is kept when its result shows a picture first; that picture stands for the
// whole object, so saving and loading again neither repeats nor drops what it shows.
// An object whose result shows anything else first is read as its result alone.
void TestRtfRoundTrip::objectsStayOneObject()
{
    QFETCH(QByteArray, result);
    QFETCH(QString, text);
    QFETCH(bool, kept);
    const QByteArray object = "{\\object\\objemb{\\*\\objdata 0102}{\\result " + result + "}}";
    QTextDocument document;
    QVERIFY(read("{\\rtf1 x" + object + "y\\par}", &document));
    QCOMPARE(document.toPlainText(), text);
    QByteArray keptObject;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            keptObject += it.fragment().charFormat().property(prop::ObjectRtf).toByteArray();
    QCOMPARE(keptObject, kept ? object : QByteArray());
    checkCycles(document);
}

// The outermost group is the document, not an object: kept as one, it would be written
// back as a group left open. The word is ignored, and the rest read as the body.
void TestRtfRoundTrip::objectWordOutsideAGroupIsIgnored()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QByteArray pict = "{\\pict\\pngblip " + encoded(image, "PNG").toHex() + "}";
    QTextDocument document;
    QVERIFY(read("{\\rtf1\\object x" + pict + "\\par}", &document));
    QCOMPARE(document.toPlainText(), QStringLiteral("x\uFFFC"));
    checkCycles(document);
}

void TestRtfRoundTrip::readFilesSettleAfterOneCycle_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QByteArray png = encoded(image, "PNG").toHex();
    QTest::newRow("font names with control characters")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1 \x01 Lead;}{\\f2 Tab\tbed\\'09;}}\\f1 a\\f2 b}") << QStringLiteral("ab");
    QTest::newRow("font name cut at a space")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1 abcdefghijklmnopqrstuvwxyz01234 tail;}}\\f1 a}") << QStringLiteral("a");
    QTest::newRow("east asian text and a space decoded in one piece")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS Mincho;}}\\f1\\dbch\\af1 \\'82\\'a0\\'83e x}")
        << QStringLiteral("\u3042\u30c6 x");
    // Kept as read, it would be written back open and take in what follows it.
    QTest::newRow("metafile cut by the end of the data")
        << QByteArray("{\\rtf1 a{\\pict\\wmetafile8\\picw100\\pich100 0100}b\\par c{\\pict\\wmetafile8\\picw100\\pich100 0100")
        << QStringLiteral("a\uFFFCb\nc\uFFFC");
    QTest::newRow("text before an object in its group")
        << QByteArray("{\\rtf1{\\}z\\object\\result{\\pict\\pngblip " + png + "}}}")
        << QStringLiteral("}z\uFFFC");
    QTest::newRow("empty field in a bold group")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 a{\\b{\\field{\\*\\fldinst X}{\\fldrslt{\\i}}}}b}")
        << QStringLiteral("a\uFFFCb");
    QTest::newRow("empty field after a link in the link's format")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\f0 a"
                      "{\\field{\\*\\fldinst HYPERLINK \"http://a/\"}{\\fldrslt\\f1 link}}\\f1{\\field{\\*\\fldinst PAGE}{\\fldrslt}}}")
        << QStringLiteral("alink\uFFFC");
    QTest::newRow("superscript runs in a named and an unnamed face alike")
        << QByteArray("{\\rtf1\\deff5{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}}{\\super\\f0 a\\f9 b}}")
        << QStringLiteral("ab");
    QTest::newRow("delete character") << QByteArray("{\\rtf1 a\x7f b}") << QStringLiteral("a\x7f b");
    QTest::newRow("delete character in a double-byte font")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset128 M;}}\\f1 a\\u127?b}") << QStringLiteral("a\x7f" "b");
    QTest::newRow("picture with a font and colour of its own")
        << QByteArray("{\\rtf1{\\fonttbl{\\f1 Other;}}{\\colortbl;\\red1\\green2\\blue3;}a{\\f1\\cf1{\\pict\\pngblip " + png + "}}b}")
        << QStringLiteral("a\uFFFCb");
    // 2 by 2097152 pixels: too tall for PNG, so it could not be written back.
    QTest::newRow("picture that cannot be kept")
        << QByteArray("{\\rtf1 a{\\pict\\dibitmap0 2800000002000000000020000100180000000000000000000000000000000000000000000000000000ff00ff00}b}")
        << QStringLiteral("ab");
}

// A file from elsewhere, once read, keeps its text through writing and reading, and is
// written the same way every time after.
void TestRtfRoundTrip::readFilesSettleAfterOneCycle()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument first;
    QVERIFY(read(rtf, &first));
    QCOMPARE(first.toPlainText(), text);
    const QByteArray written = writeRtf(&first);
    QTextDocument second;
    QVERIFY(read(written, &second));
    QCOMPARE(second.toPlainText(), text);
    QCOMPARE(writeRtf(&second), written);
}

void TestRtfRoundTrip::fixtures_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(WP_TEST_DATA "/rtf"));
    const QStringList files = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    QVERIFY2(!files.isEmpty(), "the RTF fixtures are missing");
    for (const QString &name : files)
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

// A file from elsewhere: after one load the content is ours; saving and loading it again
// keeps the text, the formats and the paragraph count, cycle after cycle.
void TestRtfRoundTrip::fixtures()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTextDocument first;
    QVERIFY2(read(file.readAll(), &first), "every fixture is readable RTF");
    checkCycles(first);
}

// Headers, footers, notes, comments and the page setup of another program's file come
// back out, with their fonts and colours renumbered into the written tables.
void TestRtfRoundTrip::keptPartsAreWrittenBack()
{
    QTextDocument first;
    QVERIFY(read(testsupport::readRtfFixture("kept_parts.rtf"), &first));
    QCOMPARE(first.toPlainText(), QStringLiteral("Body with a footnote\uFFFC and an endnote\uFFFC and a comment\uFFFC."));
    const DocumentExtras extras = documentExtras(&first);
    QCOMPARE(extras.page, (PageSetup{11906, 16838, 1134, 1134, 1417, 1134, true}));
    for (const char *part : {"{\\stylesheet", "{\\info", "Header text", "Footer text", "Left header", "First footer"})
        QVERIFY2(extras.headerGroups.contains(part), part);

    QStringList tooltips;
    for (auto it = first.begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().hasProperty(prop::KeptRtf))
            tooltips << it.fragment().charFormat().toolTip();
    }
    QCOMPARE(tooltips, (QStringList{"The note text.", "End note.", "A remark."}));

    const QByteArray written = writeRtf(&first);
    for (const char *part : {"\\paperw11906", "\\paperh16838", "\\margl1134", "\\margt1417", "\\landscape",
                             "{\\header", "{\\footer", "\\chftn", "{\\footnote\\ftnalt", "\\chatn", "{\\*\\annotation",
                             "{\\*\\atnauthor A. Writer}"})
        QVERIFY2(written.contains(part), part);
    QTextDocument second;
    QVERIFY(read(written, &second));
    // The footnote's \f and \cf name Arial and blue in the written tables too, and its
    // \plain the default font of the file it came from. Its number's group holds it.
    QByteArray footnote;
    for (auto it = second.begin().begin(); !it.atEnd() && footnote.isEmpty(); ++it)
        footnote = it.fragment().charFormat().property(prop::KeptRtf).toByteArray();
    QVERIFY2(footnote.startsWith("{\\super\\chftn{\\footnote"), footnote.constData());
    const QRegularExpression fontWord(QStringLiteral("\\\\footnote\\\\pard\\\\plain\\\\f(\\d+)\\\\f(\\d+)"));
    const QRegularExpressionMatch font = fontWord.match(QString::fromLatin1(footnote));
    QVERIFY2(font.hasMatch(), footnote.constData());
    const DocumentExtras again = documentExtras(&second);
    const auto faceOf = [&](const QString &number) {
        for (const KeptFont &kept : again.sourceFonts) {
            if (kept.number == number.toInt())
                return kept.face;
        }
        return QString();
    };
    QCOMPARE(faceOf(font.captured(1)), QStringLiteral("Times New Roman"));
    QCOMPARE(faceOf(font.captured(2)), QStringLiteral("Arial"));
    const QRegularExpression colorWord(QStringLiteral("The note \\\\cf(\\d+)"));
    const int color = colorWord.match(QString::fromLatin1(footnote)).captured(1).toInt();
    QCOMPARE(again.sourceColors.value(color), QColor(Qt::blue));
    checkCycles(first);
}

// Other readers take a note number's format from the group that holds the note, and the
// note's \plain from the file's default font.
void TestRtfRoundTrip::notesOfAnotherProgramKeepTheirNumberAndFont()
{
    QTextDocument document;
    QVERIFY(read(testsupport::readRtfFixture("lowriter_notes_fields.rtf"), &document));
    const QByteArray written = writeRtf(&document);
    const QRegularExpression note(QStringLiteral("\\{\\\\super\\\\chftn\\{\\\\\\*\\\\footnote \\\\chftn\\\\pard\\\\plain\\\\f(\\d+)"));
    const QRegularExpressionMatch match = note.match(QString::fromLatin1(written));
    QVERIFY2(match.hasMatch(), written.constData());
    const QRegularExpression font(QStringLiteral("\\\\f%1\\\\[^ ]* ([^;]*);").arg(match.captured(1)));
    QCOMPARE(font.match(QString::fromLatin1(written)).captured(1), QStringLiteral("Liberation Serif"));
    QCOMPARE(written.count("{\\super\\chftn{"), 2);  // the footnote and the endnote
}

QTEST_MAIN(TestRtfRoundTrip)
#include "tst_rtfroundtrip.moc"
