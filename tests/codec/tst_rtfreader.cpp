#include "tests/support/testsupport.h"
#include "engine/codec/formatmapping.h"
#include "engine/codec/listformat.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/read/sourcetables.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/codec/textprops.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <QTextCodec>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>

using namespace engine;

namespace {

QByteArray rtf(const QByteArray &body)
{
    return QByteArray("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman\\fprq2 Times;}}"
                      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}")
           + body + "}";
}

// The numbers and bullets the document shows, one per paragraph ("" for none).
QStringList markers(const QTextDocument &document)
{
    QStringList out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        out << listMarkerOf(block);
    return out;
}

QStringList paragraphs(const QTextDocument &document)
{
    QStringList out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        out << block.text();
    return out;
}

// The character format at the first occurrence of text.
QTextCharFormat formatOf(const QTextDocument &document, const QString &text)
{
    QTextCursor found = document.find(text);
    if (found.isNull())
        return {};
    QTextCursor at(found);
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

QList<QTextImageFormat> images(const QTextDocument &document)
{
    QList<QTextImageFormat> out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                out << it.fragment().charFormat().toImageFormat();
        }
    }
    return out;
}

QTextImageFormat firstImage(const QTextDocument &document, int skip = 0)
{
    const QList<QTextImageFormat> all = images(document);
    return skip < all.size() ? all.at(skip) : QTextImageFormat();
}

int imageCount(const QTextDocument &document)
{
    return int(images(document).size());
}

QByteArray pngBytes(int width, int height, QColor color = Qt::red)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray jpegBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

const auto readFixture = testsupport::readRtfFixture;

}  // namespace

class TestRtfReader : public QObject {
    Q_OBJECT
private slots:
    void whatCountsAsRtf_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("error");
        QTest::newRow("empty") << QByteArray() << int(RtfReadError::NotRtf);
        QTest::newRow("plain text") << QByteArray("hello") << int(RtfReadError::NotRtf);
        QTest::newRow("other word first") << QByteArray("{\\rtfx a}") << int(RtfReadError::NotRtf);
        QTest::newRow("text before brace") << QByteArray("x{\\rtf1 a}") << int(RtfReadError::NotRtf);
        QTest::newRow("group without rtf") << QByteArray("{\\ansi a}") << int(RtfReadError::NotRtf);
        QTest::newRow("space inside header") << QByteArray("{ \\rtf1 a}") << int(RtfReadError::NotRtf);
        QTest::newRow("junk never closed") << QByteArray("{\\rtf1 junk") << int(RtfReadError::None);
        QTest::newRow("minimal") << QByteArray("{\\rtf1}") << int(RtfReadError::None);
        QTest::newRow("without version") << QByteArray("{\\rtf a}") << int(RtfReadError::None);
        QTest::newRow("leading whitespace") << QByteArray(" \r\n\t{\\rtf1 a}") << int(RtfReadError::None);
        QTest::newRow("trailing NUL and junk") << QByteArray("{\\rtf1 a}\r\n\0junk}}{", 18) << int(RtfReadError::None);
        QTest::newRow("stray close ends early") << QByteArray("{\\rtf1 a}}b") << int(RtfReadError::None);
    }
    void whatCountsAsRtf()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, error);
        QTextDocument document(QStringLiteral("kept"));
        const RtfReadResult result = readRtf(input, &document);
        QCOMPARE(int(result.error), error);
        QCOMPARE(result.ok(), error == int(RtfReadError::None));
        QCOMPARE(result.message().isEmpty(), result.ok());
        QCOMPARE(int(checkRtf(input).result.error), error);
        if (!result.ok())
            QCOMPARE(document.toPlainText(), QStringLiteral("kept"));  // a failed read changes nothing
    }

    void missingDocumentIsAnError()
    {
        QCOMPARE(readRtf("{\\rtf1}", nullptr).error, RtfReadError::NoDocument);
    }

    // Damaged data keeps everything up to the damage, and the first damage is reported
    // with its offset.
    void damagedDataReadsAsFarAsItGoes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("damage");
        QTest::addColumn<qsizetype>("offset");
        QTest::newRow("whole") << QByteArray("{\\rtf1 a\\par}") << "a" << int(RtfDamage::None) << qsizetype(0);
        QTest::newRow("last brace missing") << QByteArray("{\\rtf1 a\\par b\\par") << "a\nb" << int(RtfDamage::UnclosedGroup)
                                            << qsizetype(18);
        QTest::newRow("cut inside groups") << QByteArray("{\\rtf1 {\\b a}{\\i b{") << "ab" << int(RtfDamage::UnclosedGroup)
                                           << qsizetype(19);
        QTest::newRow("cut in a word") << QByteArray("{\\rtf1 abc\\") << "abc" << int(RtfDamage::UnclosedGroup)
                                       << qsizetype(11);
        QTest::newRow("cut in a picture") << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e") << "a"
                                          << int(RtfDamage::UnclosedGroup) << qsizetype(29);
        QTest::newRow("cut in a skipped group") << QByteArray("{\\rtf1 a{\\*\\unknown b") << "a"
                                                << int(RtfDamage::UnclosedGroup) << qsizetype(21);
        QTest::newRow("binary past the end") << QByteArray("{\\rtf1 a\\bin999999999 }}}") << "a"
                                             << int(RtfDamage::ShortBinary) << qsizetype(8);
        QTest::newRow("picture not hex") << QByteArray("{\\rtf1 a{\\pict\\pngblip 8950zz4e}b}") << "ab"
                                         << int(RtfDamage::BadPicture) << qsizetype(9);
        QTest::newRow("picture hex with line ends") << QByteArray("{\\rtf1 a{\\pict\\pngblip 89\r\n 50\t4e}b}") << "ab"
                                                    << int(RtfDamage::None) << qsizetype(0);
    }
    void damagedDataReadsAsFarAsItGoes()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, text);
        QFETCH(int, damage);
        QFETCH(qsizetype, offset);
        QTextDocument document;
        const RtfReadResult result = readRtf(input, &document);
        QVERIFY(result.ok());
        QCOMPARE(document.toPlainText(), text);
        QCOMPARE(int(result.damage), damage);
        QCOMPARE(result.damageOffset, offset);
        QCOMPARE(result.damageDescription().isEmpty(), damage == int(RtfDamage::None));
    }

    void damageIsDescribedWithItsByte()
    {
        RtfReadResult result;
        result.damage = RtfDamage::UnclosedGroup;
        result.damageOffset = 18204;
        QCOMPARE(result.damageDescription(), QString("it ends before its last group is closed (byte 18,204)"));
    }

    void documentIsReplaced()
    {
        QTextDocument document;
        document.setPlainText("old\nold");
        QVERIFY(readRtf(rtf("new\\par"), &document).ok());
        QCOMPARE(paragraphs(document), QStringList{"new"});
        QVERIFY(!document.isUndoAvailable());
    }

    // The mark that ends the last paragraph adds no empty paragraph, so that loading and
    // saving never grows a document.
    void finalParagraphMark_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << rtf("") << QStringList{""};
        QTest::newRow("only mark") << rtf("\\par") << QStringList{""};
        QTest::newRow("text") << rtf("a") << QStringList{"a"};
        QTest::newRow("text and mark") << rtf("a\\par") << QStringList{"a"};
        QTest::newRow("two marks") << rtf("a\\par\\par") << QStringList{"a", ""};
        QTest::newRow("mark in group") << rtf("{a\\par}{b\\par}") << QStringList{"a", "b"};
        QTest::newRow("trailing text") << rtf("a\\par b") << QStringList{"a", "b"};
        QTest::newRow("leading empty") << rtf("\\par a\\par") << QStringList{"", "a"};
        QTest::newRow("backslash newline") << rtf("a\\\nb\\\n") << QStringList{"a", "b"};
    }
    void finalParagraphMark()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, expected);
        QTextDocument document;
        QVERIFY(readRtf(input, &document).ok());
        QCOMPARE(paragraphs(document), expected);
    }

    // The stored content of a new editor: an empty paragraph whose format is what the
    // user types with.
    void emptyDocumentKeepsTypingFormat()
    {
        const QByteArray data("{\\rtf1\\ansi\\deff0{\\fonttbl {\\f0\\fnil MS Sans Serif;}}\r\n"
                              "\\uc1\\pard\\lang2057\\ulnone\\f0\\fs16\\par\r\n}\r\n\0", 98);
        QCOMPARE(data.size(), 98);
        QTextDocument document;
        QVERIFY(readRtf(data, &document).ok());
        QCOMPARE(document.blockCount(), 1);
        QVERIFY(document.toPlainText().isEmpty());
        const QTextCharFormat format = document.begin().charFormat();
        QCOMPARE(format.fontFamilies().toStringList(), QStringList{"MS Sans Serif"});
        QCOMPARE(format.fontPointSize(), 8.0);
        QCOMPARE(format.intProperty(prop::Language), 2057);
        QCOMPARE(QTextCursor(&document).charFormat().fontPointSize(), 8.0);
    }

    void characterFormats()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("\\f1\\fs21 {\\b B}{\\i I}{\\ul U}{\\uldb W\\ulnone N}{\\strike S}"
                            "{\\cf1 R}{\\highlight2 H}{\\lang1049 L}{\\super P}{\\sub Q}"
                            "{\\up6 X}{\\dn4 Y}{\\v Z}{\\b\\i\\plain K}{\\b1\\b0 O}{\\super\\super0 E}"
                            "{\\sub\\super0 F}\\par"),
                        &document).ok());
        const QTextCharFormat plain = formatOf(document, "O");
        QCOMPARE(plain.fontFamilies().toStringList(), QStringList{"Times"});
        QCOMPARE(plain.fontPointSize(), 10.5);
        QCOMPARE(plain.intProperty(prop::PitchAndFamily), 0x12);
        QCOMPARE(plain.fontWeight(), int(QFont::Normal));
        QVERIFY(isAutoColor(plain));
        QCOMPARE(formatOf(document, "B").fontWeight(), int(QFont::Bold));
        QVERIFY(formatOf(document, "I").fontItalic());
        QVERIFY(formatOf(document, "U").fontUnderline());
        QVERIFY(formatOf(document, "W").fontUnderline());
        QVERIFY(!formatOf(document, "N").fontUnderline());
        QVERIFY(formatOf(document, "S").fontStrikeOut());
        QCOMPARE(formatOf(document, "R").foreground().color(), QColor(255, 0, 0));
        QVERIFY(!isAutoColor(formatOf(document, "R")));
        QCOMPARE(formatOf(document, "H").property(prop::HighlightColor).value<QColor>(), QColor(0, 0, 255));
        QCOMPARE(formatOf(document, "L").intProperty(prop::Language), 1049);
        QCOMPARE(formatOf(document, "P").verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(formatOf(document, "Q").verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(formatOf(document, "E").verticalAlignment(), QTextCharFormat::AlignNormal);
        QCOMPARE(formatOf(document, "F").verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(formatOf(document, "X").intProperty(prop::BaselineOffsetTwips), 60);
        QCOMPARE(formatOf(document, "Y").intProperty(prop::BaselineOffsetTwips), -40);
        QVERIFY(isHidden(formatOf(document, "Z")));
        QVERIFY(document.toPlainText().contains("Z"));
        // \plain goes back to the default font and size.
        const QTextCharFormat reset = formatOf(document, "K");
        QCOMPARE(reset.fontFamilies().toStringList(), QStringList{"Arial"});
        QCOMPARE(reset.fontPointSize(), 12.0);
        QVERIFY(!reset.fontItalic());
    }

    void colourTableEdges()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1{\\colortbl\\red1\\green2\\blue3;;\\red300;}{\\cf0 A}{\\cf1 B}{\\cf2 C}{\\cf9 D}E"
                        "{\\colortbl;\\red0\\green9\\blue0;}{\\cf1 F}}",
                        &document).ok());
        QVERIFY(isAutoColor(formatOf(document, "E")));
        // A table read after text still applies to the text after it.
        QCOMPARE(formatOf(document, "F").foreground().color(), QColor(0, 9, 0));
        QCOMPARE(formatOf(document, "A").foreground().color(), QColor(1, 2, 3));
        QVERIFY(isAutoColor(formatOf(document, "B")));
        QCOMPARE(formatOf(document, "C").foreground().color(), QColor(255, 0, 0));
        QVERIFY(isAutoColor(formatOf(document, "D")));
    }

    void paragraphFormats()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("\\pard\\qc\\li1440\\fi-720\\ri360\\sb120\\sa240\\tx2880\\tqr\\tx720\\tx720 A\\par"
                            "\\pard\\qr\\sl-300 B\\par\\pard\\qj\\sl276\\slmult1 C\\par"
                            "\\pard\\sl360\\slmult1 D\\par\\pard\\sl200\\slmult0 E\\par"
                            "\\pard F\\par"),
                        &document).ok());
        QTextBlock block = document.begin();
        ParaFormat a = readParaFormat(block);
        QCOMPARE(a.alignment, PFA_CENTER);
        QCOMPARE(a.startIndent, 720);
        QCOMPARE(a.offset, 720);
        QCOMPARE(a.rightIndent, 360);
        QCOMPARE(a.spaceBefore, 120);
        QCOMPARE(a.spaceAfter, 240);
        QCOMPARE(a.tabCount, 2);
        QCOMPARE(a.tabs[0], 720);
        QCOMPARE(a.tabs[1], 2880);
        QCOMPARE(block.blockFormat().intProperty(prop::StartIndentTwips), 720);

        block = block.next();
        ParaFormat b = readParaFormat(block);
        QCOMPARE(b.alignment, PFA_RIGHT);
        QCOMPARE(b.lineSpacingRule, 4);
        QCOMPARE(b.lineSpacing, 300);
        QCOMPARE(b.tabCount, 0);

        block = block.next();
        ParaFormat c = readParaFormat(block);
        QCOMPARE(c.alignment, PFA_JUSTIFY);
        QCOMPARE(c.lineSpacingRule, 5);
        QCOMPARE(c.lineSpacing, 23);

        block = block.next();
        QCOMPARE(readParaFormat(block).lineSpacingRule, 1);
        block = block.next();
        QCOMPARE(readParaFormat(block).lineSpacingRule, 3);
        QCOMPARE(readParaFormat(block).lineSpacing, 200);
        block = block.next();
        const ParaFormat f = readParaFormat(block);
        QCOMPARE(f.alignment, PFA_LEFT);
        QCOMPARE(f.startIndent, 0);
        QCOMPARE(f.lineSpacingRule, 0);
    }

    void paragraphPropertiesFollowGroupsAndMarks()
    {
        QTextDocument document;
        // Properties in force at the paragraph mark count; a closed group restores them.
        QVERIFY(readRtf(rtf("\\qc A\\par B{\\qr\\par}C\\par"), &document).ok());
        QCOMPARE(paragraphs(document), (QStringList{"A", "B", "C"}));
        QTextBlock block = document.begin();
        QCOMPARE(readParaFormat(block).alignment, PFA_CENTER);
        QCOMPARE(readParaFormat(block.next()).alignment, PFA_RIGHT);
        QCOMPARE(readParaFormat(block.next().next()).alignment, PFA_CENTER);
    }

    void tabStopsAreBounded()
    {
        QByteArray body("\\pard");
        for (int i = 40; i > 0; --i)
            body += "\\tx" + QByteArray::number(i * 100);
        body += " x\\par";
        QTextDocument document;
        QVERIFY(readRtf(rtf(body), &document).ok());
        const ParaFormat format = readParaFormat(document.begin());
        QCOMPARE(format.tabCount, kMaxTabStops);
        QVERIFY(std::is_sorted(format.tabs.begin(), format.tabs.begin() + format.tabCount));
    }

    void pageBreaks()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("A\\page B\\par\\page C\\par\\pard\\pagebb D\\par"), &document).ok());
        QCOMPARE(paragraphs(document), (QStringList{"A", "B", "C", "D"}));
        QStringList breaks;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            breaks << (block.blockFormat().boolProperty(prop::PageBreakBefore) ? "page" : "-");
        QCOMPARE(breaks, (QStringList{"-", "page", "page", "page"}));
        QCOMPARE(document.begin().next().blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    }

    void specialCharacters()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("a\\tab b\\line c\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote"
                            "\\~\\-\\_\\{\\}\\\\\\emspace\\enspace\\'e9\\'80\\par"),
                        &document).ok());
        QCOMPARE(document.begin().text(),
                 QString::fromUtf8("a\tb\u2028c\u2014\u2013\u2022\u2018\u2019\u201C\u201D\u00A0\u00AD\u2011{}\\"
                                   "\u2003\u2002\u00E9\u20AC"));
    }

    void unicodeAndFallbacks_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default skips one") << QByteArray("\\u8212?x") << QString::fromUtf8("\u2014x");
        QTest::newRow("hex fallback") << QByteArray("\\u233\\'e9x") << QString::fromUtf8("\u00E9x");
        QTest::newRow("uc2 two hex") << QByteArray("\\uc2\\u27700\\'96\\'85x") << QString::fromUtf8("\u6C34x");
        QTest::newRow("uc0 nothing skipped") << QByteArray("\\uc0\\u946 b") << QString::fromUtf8("\u03B2b");
        QTest::newRow("negative value") << QByteArray("\\u-3913?") << QString(QChar(0xF0B7));
        QTest::newRow("surrogate pair") << QByteArray("\\u-10179?\\u-8704?") << QString::fromUtf8("\U0001F600");
        QTest::newRow("fallback stops at group") << QByteArray("\\uc3\\u946{x}y") << QString::fromUtf8("\u03B2xy");
        QTest::newRow("uc is scoped to group") << QByteArray("{\\uc0\\u946}\\u947?z") << QString::fromUtf8("\u03B2\u03B3z");
        QTest::newRow("control word counts as one") << QByteArray("\\u946\\tab z") << QString::fromUtf8("\u03B2z");
        QTest::newRow("text run partly skipped") << QByteArray("\\uc2\\u946 abc") << QString::fromUtf8("\u03B2c");
        QTest::newRow("control values dropped") << QByteArray("\\u0 \\u7 a") << QString("a");
        QTest::newRow("object replacement dropped") << QByteArray("a\\u-4?b") << QString("ab");
        QTest::newRow("frame markers replaced") << QByteArray("\\u-560?a\\u64977?") << QString::fromUtf8("\uFFFDa\uFFFD");
        QTest::newRow("beyond unicode replaced") << QByteArray("\\u1114112?a") << QString::fromUtf8("\uFFFDa");
    }
    void unicodeAndFallbacks()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QTextDocument document;
        QVERIFY(readRtf(rtf(body), &document).ok());
        QCOMPARE(document.toPlainText(), expected);
    }

    void codePages_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ansicpg 1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}")
                                      << QString::fromUtf8("При");
        QTest::newRow("font charset beats ansicpg")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 A;}{\\f1\\fcharset161 G;}}\\'e1\\f1\\'e1}")
            << QString::fromUtf8("áα");
        QTest::newRow("shift jis pairs") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0\\'82\\'a0\\'8a\\'bf}")
                                         << QString::fromUtf8("あ漢");
        QTest::newRow("shift jis literal trail byte")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0\\'83e\\'83X}") << QString::fromUtf8("テス");
        QTest::newRow("shift jis escaped trail bytes")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0\\'95\\\\\\'83\\\\ a\\\\b\\{\\}}")
            << QString::fromUtf8("表ソ a\\b{}");
        QTest::newRow("gbk") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset134 S;}}\\f0\\'d6\\'d0\\'ce\\'c4}")
                             << QString::fromUtf8("中文");
        QTest::newRow("big5") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset136 S;}}\\f0\\'a4\\'a4}")
                              << QString::fromUtf8("中");
        QTest::newRow("hangul") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset129 S;}}\\f0\\'c7\\'d1}")
                                << QString::fromUtf8("한");
        QTest::newRow("cpg overrides charset")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset0\\cpg1253 S;}}\\f0\\'e1}") << QString::fromUtf8("α");
        QTest::newRow("mac roman") << QByteArray("{\\rtf1\\mac \\'8e}") << QString::fromUtf8("é");
        QTest::newRow("raw 8-bit text") << QByteArray("{\\rtf1\\ansi caf\xe9}") << QString::fromUtf8("café");
        QTest::newRow("lead byte cut by format change")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0 a\\'82{\\b b}}") << QString("ab");
        QTest::newRow("hex in font names") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72;}}\\f0 x}")
                                           << QString("x");
    }
    void codePages()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        QTextDocument document;
        QVERIFY(readRtf(input, &document).ok());
        QCOMPARE(document.toPlainText(), expected);
    }

    // Single-byte code pages are decoded through a table made from their codec; every
    // byte must come out as the codec decodes it, and double-byte pages keep their pairs.
    void codePageTablesDecodeAsTheirCodecs_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QByteArray>("codecName");
        for (int page : {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 874, 437, 850})
            QTest::newRow(qPrintable(QString::number(page))) << page
                                                             << (page < 1000 ? "IBM" : "windows-") + QByteArray::number(page);
        QTest::newRow("10000") << 10000 << QByteArray("macintosh");
        QTest::newRow("932") << 932 << QByteArray("Shift_JIS");
    }
    void codePageTablesDecodeAsTheirCodecs()
    {
        QFETCH(int, codePage);
        QFETCH(QByteArray, codecName);
        QTextCodec *codec = QTextCodec::codecForName(codecName);
        if (!codec && codePage < 1000)
            codec = QTextCodec::codecForName("cp" + QByteArray::number(codePage));
        QVERIFY(codec);
        QByteArray all;
        for (int byte = 0; byte < 256; ++byte)
            all += char(byte);
        all += "\x82\xa0";  // a Shift JIS pair, plain bytes elsewhere
        rtfin::CodePageDecoder decoder;
        QCOMPARE(decoder.decode(all, codePage), codec->toUnicode(all));
        QCOMPARE(decoder.decode(all.mid(200, 3), codePage), codec->toUnicode(all.mid(200, 3)));
    }

    void fontTable()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\deff1{\\fonttbl\\f0\\fmodern\\fprq1\\fcharset204 Courier New;"
                        "{\\f1\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9{\\*\\panose 0}{\\*\\falt MS Mincho};}"
                        "{\\f2 Broken{\\f3 Inner;}}}"
                        "a{\\f0 b}{\\f7 c}}",
                        &document).ok());
        QCOMPARE(formatOf(document, "a").fontFamilies().toStringList(), QStringList{QString::fromUtf8("ＭＳ 明朝")});
        QCOMPARE(formatOf(document, "a").intProperty(prop::Charset), 128);
        const QTextCharFormat courier = formatOf(document, "b");
        QCOMPARE(courier.fontFamilies().toStringList(), QStringList{"Courier New"});
        QCOMPARE(courier.intProperty(prop::Charset), 204);
        QCOMPARE(courier.intProperty(prop::PitchAndFamily), 0x31);
        QVERIFY(!formatOf(document, "c").hasProperty(QTextFormat::FontFamilies));

        // The table's last entry counts also without its closing semicolon.
        QTextDocument unterminated;
        QVERIFY(readRtf("{\\rtf1{\\fonttbl\\f0 Arial;\\f1 Courier New}\\f1 d}", &unterminated).ok());
        QCOMPARE(formatOf(unterminated, "d").fontFamilies().toStringList(), QStringList{"Courier New"});
    }

    void tablesInsideOtherDestinationsAreSkipped()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("{\\pict\\pngblip 00{\\fonttbl{\\f0 Wrong;}}}"
                            "{\\shp{\\colortbl;\\red0\\green255\\blue0;}}\\f0\\cf1 a"),
                        &document).ok());
        QCOMPARE(document.toPlainText(), QString("a"));
        QCOMPARE(formatOf(document, "a").fontFamilies().toStringList(), QStringList{"Arial"});
        QCOMPARE(formatOf(document, "a").foreground().color(), QColor(255, 0, 0));
    }

    void skippedDestinations()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}"
                            "{\\*\\unknowndest secret {nested}}{\\*\\generator G;}{\\header H\\par}"
                            "\\unknownword12 a{\\*\\bkmkstart m}b{\\footnote F}c"
                            "{\\*\\blob \\bin5 }}}}}}d\\bin3 {}}e\\par"),
                        &document).ok());
        // The bookmark and the footnote are kept as their marks.
        QCOMPARE(document.toPlainText(), QString("a\uFFFCb\uFFFCcde"));
    }

    // What a lenient read leaves out is counted, so that a caller can say so.
    void skippedPartsAreCounted()
    {
        QTextDocument document;
        const RtfReadResult result =
            readRtf(rtf("a{\\*\\unknowndest x}{\\*\\bkmkstart m}{\\footnote F}b"
                        "{\\pict\\pngblip 89504e470d0a1a0a00}c\\par"),
                    &document);
        QVERIFY(result.ok());
        // The bookmark and the footnote are kept as their marks.
        QCOMPARE(document.toPlainText(), QString("a\uFFFC\uFFFCbc"));
        QCOMPARE(result.skipped.destinations, 1);
        QCOMPARE(result.skipped.pictures, 1);
        QVERIFY(result.skipped.any());

        QTextDocument clean;
        QVERIFY(!readRtf(rtf("plain {\\b bold}\\par"), &clean).skipped.any());
    }

    void destinationWordAtTopLevelIsNotFatal()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 \\info a\\par}", &document).ok());
        QCOMPARE(document.toPlainText(), QString("a"));
    }

    void bulletsFromListTables()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("{\\*\\listtable{\\list\\listtemplateid7{\\listlevel\\levelnfc23{\\leveltext \\'01\\u8226 ?;}}"
                            "{\\listlevel\\levelnfc0{\\leveltext \\'02\\'00.;}}\\listid10}"
                            "{\\list{\\listlevel\\levelnfc4}\\listid20}}"
                            "{\\*\\listoverridetable{\\listoverride\\listid10\\ls1}{\\listoverride\\listid20\\ls2}}"
                            "\\pard\\ls1\\fi-360\\li720{\\listtext\\f1 \\u8226 ?\\tab}One\\par"
                            "{\\listtext \\u8226 ?\\tab}\\pard\\ls1\\fi-360\\li720 Two\\par"
                            "\\pard\\ls1\\ilvl1{\\listtext 1.\\tab}Sub\\par"
                            "\\pard\\ls2{\\listtext a)\\tab}Letter\\par"
                            "\\pard Plain\\par"
                            "\\pard\\ls1{\\listtext \\u8226 ?\\tab}Three\\par"),
                        &document).ok());
        QCOMPARE(paragraphs(document), (QStringList{"One", "Two", "Sub", "Letter", "Plain", "Three"}));
        const QString dot = QString(QChar(0x2022));
        QCOMPARE(markers(document), (QStringList{dot, dot, "2.", "a.", "", dot}));  // "Sub" shows its item's number
        const QTextBlock one = document.begin();
        const QTextBlock two = one.next();
        QVERIFY(isBulletList(one.textList()));
        QCOMPARE(one.textList(), two.textList());
        QCOMPARE(readParaFormat(one).numbering, PFN_BULLET);
        QCOMPARE(readParaFormat(one).startIndent, 360);
        QCOMPARE(readParaFormat(one).offset, 360);
        QVERIFY(!isBulletList(two.next().textList()));  // numbered: no bullet
        QCOMPARE(readParaFormat(two.next()).numbering, PFN_NONE);
        // The list goes on after the paragraphs of other lists and levels between.
        const QTextBlock three = document.lastBlock();
        QCOMPARE(three.textList(), one.textList());
    }

    void bulletsFromOldNumbering()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li720 Bullet\\par"
                            "{\\pntext 2.\\tab}Still bullet props\\par"
                            "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}Numbered\\par"
                            "\\pard Plain\\par"),
                        &document).ok());
        QCOMPARE(paragraphs(document), (QStringList{"Bullet", "Still bullet props", "Numbered", "Plain"}));
        QCOMPARE(markers(document).at(2), QString("1."));
        QVERIFY(isBulletList(document.begin().textList()));
        QVERIFY(!document.lastBlock().textList());
    }

    void emptyNumberedItemKeepsItsNumber()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}\\par\\pard after\\par"), &document).ok());
        QCOMPARE(paragraphs(document), (QStringList{"", "after"}));
        QCOMPARE(markers(document), (QStringList{"1", ""}));
    }

    void numbersCountedWhenTheFileGivesNone()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("{\\*\\listtable{\\list{\\listlevel\\levelnfc0}{\\listlevel\\levelnfc0}\\listid1}}"
                            "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
                            "\\pard\\ls1{\\listtext \\tab}A\\par\\pard\\ls1\\ilvl1 Sub\\par"
                            "\\pard\\ls1{\\listtext\\tab}B\\par\\pard Plain\\par"
                            "\\pard\\ls1{\\listtext 7.\\tab}Given\\par"),
                        &document).ok());
        // The numbers are the document's own, whatever the list text says.
        QCOMPARE(paragraphs(document), (QStringList{"A", "Sub", "B", "Plain", "Given"}));
        QCOMPARE(markers(document), (QStringList{"1.", "1.", "2.", "", "3."}));
    }

    void hyperlinkFields()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("See {\\field{\\*\\fldinst{HYPERLINK \"http://example.com/a b\"}}{\\fldrslt{\\ul\\cf2 the site}}}"
                            " or {\\field{\\*\\fldinst HYPERLINK \\\\l \"part2\"}{\\fldrslt here}}"
                            " or {\\field{\\*\\fldinst  hyperlink \"file:///C:\\\\\\\\dir\\\\\\\\x.txt\" \\\\o \"tip\"}{\\fldrslt file}}"
                            ", page {\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}"
                            "{\\field{\\*\\fldinst HYPERLINK \"http://nothing\"}}"
                            "{\\field{\\*\\fldinst {\\field{\\*\\fldinst QUOTE}{\\fldrslt HYPERLINK \"http://x/\"}}}{\\fldrslt nested}}"
                            "{\\field{\\*\\fldinst HYPERLINK \"http://skipped/\"}\\*\\junk{\\fldrslt lost}}"
                            "{\\field{\\*\\fldinst HYPERLINK \"http://after/\"}{\\fldrslt after}}"
                            " end\\par"),
                        &document).ok());
        // A field that shows no result keeps its place as an empty mark.
        QCOMPARE(document.toPlainText(), QString("See the site or here or file, page 7\uFFFCnested\uFFFCafter end"));
        QCOMPARE(formatOf(document, "\uFFFC").stringProperty(prop::FieldInstruction), QString("HYPERLINK \"http://nothing\""));
        QCOMPARE(formatOf(document, "after").anchorHref(), QString("http://after/"));
        const QTextCharFormat site = formatOf(document, "the site");
        QVERIFY(isHyperlink(site));
        QCOMPARE(site.anchorHref(), QString("http://example.com/a b"));
        QVERIFY(site.fontUnderline());
        QCOMPARE(formatOf(document, "here").anchorHref(), QString("#part2"));
        QCOMPARE(formatOf(document, "file").anchorHref(), QString("file:///C:\\dir\\x.txt"));
        QVERIFY(!isHyperlink(formatOf(document, "7")));
        QCOMPARE(formatOf(document, "nested").anchorHref(), QString("http://x/"));
        QVERIFY(!isHyperlink(formatOf(document, " end")));
    }

    void pictures()
    {
        const QByteArray png = pngBytes(8, 6);
        const QByteArray jpeg = jpegBytes(4, 4);
        const QByteArray body = "A{\\pict\\pngblip\\picw8\\pich6\\picwgoal120\\pichgoal90\\picscalex1000\\picscaley500 "
                                + png.toHex() + "}B{\\pict\\jpegblip " + jpeg.toHex() + "}C\\par";
        QTextDocument document;
        QVERIFY(readRtf(rtf(body), &document).ok());
        QCOMPARE(imageCount(document), 2);
        const QTextImageFormat first = firstImage(document);
        QCOMPARE(first.width(), 80.0);
        QCOMPARE(first.height(), 30.0);
        QCOMPARE(first.property(prop::ImageOriginalBytes).toByteArray(), png);
        QCOMPARE(first.stringProperty(prop::ImageOriginalKind), QString("png"));
        const QImage shown = document.resource(QTextDocument::ImageResource, QUrl(first.name())).value<QImage>();
        QCOMPARE(shown.size(), QSize(8, 6));
        QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::red));
        const QTextImageFormat second = firstImage(document, 1);
        QCOMPARE(second.stringProperty(prop::ImageOriginalKind), QString("jpeg"));
        QCOMPARE(second.width(), 4.0);  // no goal: the image's own pixels
        QCOMPARE(document.toPlainText(), QString("A\uFFFCB\uFFFCC"));
    }

    void picturesInOtherForms()
    {
        const QByteArray png = pngBytes(2, 2, Qt::green);
        // A 2x2 24-bit DIB: bottom row blue, top row red.
        QByteArray dib;
        QDataStream stream(&dib, QIODevice::WriteOnly);
        stream.setByteOrder(QDataStream::LittleEndian);
        stream << quint32(40) << qint32(2) << qint32(2) << quint16(1) << quint16(24) << quint32(0)
               << quint32(16) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
        dib += QByteArray::fromHex("ff0000ff00000000" "0000ff0000ff0000");
        const QByteArray body =
            "{\\*\\shppict{\\pict\\pngblip\\picwgoal300\\pichgoal300 " + png.toHex() + "}}"
            "{\\nonshppict{\\pict\\wmetafile8\\picwgoal300\\pichgoal300 0100}}"
            "{\\nonshppict{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png + "}}"
            "{\\pict\\dibitmap0\\picw2\\pich2 " + dib.toHex() + "}"
            "{\\pict\\wbitmap0\\picw16\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 ff00 00ff}"
            "{\\pict\\wmetafile8 0100090000}\\par";
        QTextDocument document;
        QVERIFY(readRtf(rtf(body), &document).ok());
        // The \shppict copy wins over its \nonshppict; a \nonshppict alone is shown.
        // The metafile alone is shown as a box of its size.
        QCOMPARE(imageCount(document), 5);
        QCOMPARE(firstImage(document).width(), 20.0);
        QCOMPARE(firstImage(document, 1).property(prop::ImageOriginalBytes).toByteArray(), png);
        const QTextImageFormat bitmap = firstImage(document, 2);
        QCOMPARE(bitmap.stringProperty(prop::ImageOriginalKind), QString("png"));
        QImage fromDib;
        QVERIFY(fromDib.loadFromData(bitmap.property(prop::ImageOriginalBytes).toByteArray(), "PNG"));
        QCOMPARE(fromDib.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(fromDib.pixelColor(0, 1), QColor(Qt::blue));
        const QImage mono = document.resource(QTextDocument::ImageResource, QUrl(firstImage(document, 3).name())).value<QImage>();
        QCOMPARE(mono.size(), QSize(16, 2));
        QCOMPARE(mono.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(mono.pixelColor(15, 0), QColor(Qt::black));
    }

    void damagedPicturesAreDroppedAndTheRestKept()
    {
        QTextDocument document;
        const QByteArray body = "a{\\pict\\pngblip 89504e470d0a1a0a00zz}b{\\pict\\jpegblip}c"
                                "{\\pict\\dibitmap0 28000000ffffff7f}d{\\pict\\wbitmap0\\picw100000\\pich100000\\wbmwidthbytes9 00}"
                                "{\\pict\\pngblip{\\pict\\pngblip " + pngBytes(1, 1).toHex() + "}}e\\par";
        QVERIFY(readRtf(rtf(body), &document).ok());
        QCOMPARE(document.toPlainText(), QString("abcde"));
    }

    void objectsKeepTheirGroup()
    {
        const QByteArray png = pngBytes(3, 3);
        const QByteArray object = "{\\object\\objemb\\objw100\\objh100{\\*\\objclass Paint.Picture}{\\*\\objdata 01050000}"
                                  "{\\result{\\pict\\pngblip\\picwgoal450\\pichgoal450 " + png.toHex() + "}}}";
        QTextDocument document;
        QVERIFY(readRtf(rtf("x" + object + "y{\\object{\\*\\objdata 00}}z\\par"), &document).ok());
        QCOMPARE(document.toPlainText(), QString("x\uFFFCyz"));
        const QTextImageFormat image = firstImage(document);
        QCOMPARE(image.property(prop::ObjectRtf).toByteArray(), object);
        QCOMPARE(image.width(), 30.0);
        QVERIFY(!formatOf(document, "y").hasProperty(prop::ObjectRtf));
    }

    void deepNestingKeepsItsText()
    {
        QByteArray body = "start";
        body += QByteArray(100000, '{') + "deep" + QByteArray(100000, '}');
        body += "{\\b end}\\par";
        QTextDocument document;
        QVERIFY(readRtf(rtf(body), &document).ok());
        QCOMPARE(document.toPlainText(), QString("startdeepend"));
        QCOMPARE(formatOf(document, "end").fontWeight(), int(QFont::Bold));

        QTextDocument unclosed;
        const RtfReadResult cut = readRtf("{\\rtf1 " + QByteArray(100000, '{') + "x", &unclosed);
        QCOMPARE(cut.damage, RtfDamage::UnclosedGroup);
        QCOMPARE(unclosed.toPlainText(), QString("x"));
    }

    // A group per span, as mail programs write: every level changes the formatting.
    void deepFormattedGroupsKeepTextAndFormatting()
    {
        QByteArray body;
        for (int i = 0; i < 3000; ++i)
            body += i % 2 ? "{\\i0 " : "{\\i ";
        body += "x";
        body += QByteArray(3000, '}') + "{\\b y}\\par";
        QTextDocument document;
        QVERIFY(readRtf(rtf(body), &document).ok());
        QCOMPARE(document.toPlainText(), QString("xy"));
        QVERIFY(!formatOf(document, "x").fontItalic());  // the innermost level is \i0
        QCOMPARE(formatOf(document, "y").fontWeight(), int(QFont::Bold));
        QVERIFY(!formatOf(document, "y").fontItalic());
    }

    // Past the limit of kept states, text takes the formatting of the deepest kept level,
    // and what resets the state still works there.
    void nestingPastTheStateLimitKeepsText()
    {
        QByteArray body;
        for (int i = 0; i < kMaxRtfGroupStates + 100; ++i)
            body += "{\\b ";
        body += "bold\\plain plain{\\*\\unknown hidden}\\par ";
        body += QByteArray(kMaxRtfGroupStates + 100, '}') + "after\\par";
        QTextDocument document;
        const RtfReadResult result = readRtf(rtf(body), &document);
        QVERIFY(result.ok());
        QCOMPARE(paragraphs(document), (QStringList{"boldplain", "after"}));
        QCOMPARE(formatOf(document, "bold").fontWeight(), int(QFont::Bold));
        QCOMPARE(formatOf(document, "plain").fontWeight(), int(QFont::Normal));
        QCOMPARE(formatOf(document, "after").fontWeight(), int(QFont::Normal));
        QVERIFY(result.skipped.deepGroups > 0);
    }

    // Paragraph properties count for the paragraph whose mark follows, wherever they were
    // set in it; \defpap gives what \pard resets to.
    void paragraphPropertiesReachTheirMark()
    {
        QTextDocument document;
        QVERIFY(readRtf(readFixture("paragraph_properties.rtf"), &document).ok());
        QTextBlock block = document.begin();
        QCOMPARE(readParaFormat(block).spaceAfter, 200);
        QCOMPARE(readParaFormat(block).lineSpacingRule, 5);
        block = block.next();
        QCOMPARE(readParaFormat(block).alignment, PFA_JUSTIFY);
        QCOMPARE(readParaFormat(block).spaceAfter, 200);
        block = block.next();
        QCOMPARE(readParaFormat(block).alignment, PFA_CENTER);
        block = block.next();
        QCOMPARE(block.text(), QString("Right left in a group ends left."));
        QCOMPARE(readParaFormat(block).alignment, PFA_LEFT);  // the group's \ql came last
    }

    void underlineKindsAreKept()
    {
        QTextDocument document;
        QVERIFY(readRtf(readFixture("underline_kinds.rtf"), &document).ok());
        const struct {
            const char *text;
            QTextCharFormat::UnderlineStyle style;
            int kept;
        } expected[] = {{"single", QTextCharFormat::SingleUnderline, 0}, {"dotted", QTextCharFormat::DotLine, 0},
                        {"dashdot", QTextCharFormat::DashDotLine, 0},   {"wave", QTextCharFormat::WaveUnderline, 0},
                        {"double", QTextCharFormat::SingleUnderline, 7}, {"word", QTextCharFormat::SingleUnderline, 8}};
        for (const auto &row : expected) {
            const QTextCharFormat format = formatOf(document, row.text);
            QCOMPARE(format.underlineStyle(), row.style);
            QCOMPARE(format.intProperty(prop::UnderlineKind), row.kept);
        }
        const QByteArray written = writeRtf(&document);
        for (const char *word : {"\\uld ", "\\uldashd ", "\\ulwave ", "\\uldb ", "\\ulw ", "\\ulth "})
            QVERIFY2(written.contains(word), word);
    }

    void textInNoNamedFontIsTimesNewRoman()
    {
        QTextDocument document;
        QVERIFY(readRtf(readFixture("no_font_table.rtf"), &document).ok());
        QCOMPARE(formatOf(document, "No font").fontFamilies().toStringList(), QStringList{"Times New Roman"});
        QVERIFY(writeRtf(&document).contains("Times New Roman;"));
    }

    // A metafile cannot be shown here: a box of its size stands for it, and its data is
    // written back byte for byte.
    void metafilePicturesAreKept()
    {
        const QByteArray rtf = readFixture("metafile_picture.rtf");
        QTextDocument document;
        QVERIFY(readRtf(rtf, &document).ok());
        QCOMPARE(document.toPlainText(), QString("A metafile \uFFFCafter."));
        const QTextImageFormat box = firstImage(document);
        QCOMPARE(box.width(), 96.0);  // 1440 twips
        QCOMPARE(box.height(), 48.0);
        const qsizetype start = rtf.indexOf("{\\pict");
        const QByteArray group = rtf.mid(start, rtf.indexOf('}', start) + 1 - start);
        QVERIFY(writeRtf(&document).contains(group));
    }

    void hugeValuesAreClamped()
    {
        QTextDocument document;
        QVERIFY(readRtf(rtf("\\fs999999999999 \\li-99999999999\\fi99999999999\\sl2147483647\\tx2147483647"
                            "\\ls2147483647\\ilvl99999\\uc2147483647\\u2147483647 a\\cf-5 b\\highlight99999 c"
                            "{\\pict\\pngblip\\picwgoal2147483647\\picscalex2147483647 "
                            + pngBytes(1, 1).toHex() + "}\\par\\pard\\ls2147483647\\ilvl8 counted\\par"),
                        &document).ok());
        QCOMPARE(document.blockCount(), 2);
        QCOMPARE(document.lastBlock().text(), QString("counted"));
        QCOMPARE(listMarkerOf(document.lastBlock()), QString("2."));  // the first paragraph is item 1
        QVERIFY(firstImage(document).width() > 0);
    }

    void manyTablesEntriesAreBounded()
    {
        QByteArray body = "{\\fonttbl";
        for (int i = 0; i < 6000; ++i)
            body += "{\\f" + QByteArray::number(i) + " F" + QByteArray::number(i) + ";}";
        body += "}{\\colortbl";
        for (int i = 0; i < 6000; ++i)
            body += "\\red1;";
        body += "}\\f5000 x\\f10 y\\par";
        QTextDocument document;
        QVERIFY(readRtf(("{\\rtf1" + body + "}"), &document).ok());
        QCOMPARE(formatOf(document, "y").fontFamilies().toStringList(), QStringList{"F10"});
        QCOMPARE(formatOf(document, "x").fontFamilies().toStringList(), QStringList{"Times New Roman"});  // no default font
    }

    void fixtures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("bullets");
        QTest::addColumn<double>("imageWidth");  // as the file gives it
        QTest::newRow("word processor A") << "lowriter_mixed.rtf" << 2 << 80.0;
        QTest::newRow("word processor B") << "abiword_mixed.rtf" << 2 << 105.9;
    }
    void fixtures()
    {
        QFETCH(QString, file);
        QFETCH(int, bullets);
        QFETCH(double, imageWidth);
        const QByteArray bytes = readFixture(file);
        QVERIFY(!bytes.isEmpty());
        QTextDocument document;
        QVERIFY(readRtf(bytes, &document).ok());
        const QStringList text = paragraphs(document);
        QCOMPARE(text.first(), QString("Plain serif text, bold, italic, underlined and struck."));
        QVERIFY(text.contains("First bullet"));
        // The table is a table: a paragraph to a cell.
        for (const char *cell : {"A1", "B1", "A2", "B2"})
            QVERIFY(text.contains(cell));
        QCOMPARE(document.rootFrame()->childFrames().size(), 1);
        QVERIFY(text.contains("A link: example here."));
        QVERIFY(text.contains(QString::fromUtf8("Greek: Καλημέρα. Cyrillic: Привет. CJK: 漢字かな.")));
        QVERIFY(text.contains(QString::fromUtf8("Picture: \uFFFC")));
        // The second writer leaves the numbers to the reader.
        const QStringList shown = markers(document);
        QCOMPARE(shown.value(text.indexOf("One")), QString("1."));
        QCOMPARE(shown.value(text.indexOf("Two")), QString("2."));

        QCOMPARE(formatOf(document, "bold").fontWeight(), int(QFont::Bold));
        QVERIFY(formatOf(document, "italic").fontItalic());
        QVERIFY(formatOf(document, "underlined").fontUnderline());
        QVERIFY(formatOf(document, "struck").fontStrikeOut());
        QCOMPARE(formatOf(document, "bold").fontFamilies().toStringList(), QStringList{"Liberation Serif"});
        const QTextCharFormat large = formatOf(document, "Large red");
        QCOMPARE(large.fontPointSize(), 18.0);
        QCOMPARE(large.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formatOf(document, "Centred").fontPointSize(), 10.5);
        QCOMPARE(formatOf(document, "Centred").foreground().color(), QColor(0, 0, 255));
        QCOMPARE(formatOf(document, "example").anchorHref(), QString("http://example.com/page"));
        const QTextImageFormat image = firstImage(document);
        QVERIFY(qAbs(image.width() - imageWidth) < 1.0);
        QVERIFY(qAbs(image.width() / image.height() - 4.0 / 3.0) < 0.02);

        int bulletCount = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (block.text().contains("Centred"))
                QCOMPARE(readParaFormat(block).alignment, PFA_CENTER);
            bulletCount += readParaFormat(block).numbering == PFN_BULLET;
        }
        QCOMPARE(bulletCount, bullets);
    }

    void paragraphFixtures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("pageBreak");  // the second writer drops it on export
        QTest::newRow("word processor A") << "lowriter_paragraphs.rtf" << true;
        QTest::newRow("word processor B") << "abiword_paragraphs.rtf" << false;
    }
    void paragraphFixtures()
    {
        QFETCH(QString, file);
        QFETCH(bool, pageBreak);
        QTextDocument document;
        QVERIFY(readRtf(readFixture(file), &document).ok());
        QTextBlock block = document.begin();
        QVERIFY(block.text().startsWith("Indented paragraph"));
        const ParaFormat indented = readParaFormat(block);
        QCOMPARE(indented.startIndent, 720);
        QCOMPARE(indented.offset, 720);
        QCOMPARE(indented.rightIndent, 720);
        block = block.next();
        QCOMPARE(readParaFormat(block).spaceBefore, 240);
        QCOMPARE(readParaFormat(block).spaceAfter, 120);
        block = block.next();
        QCOMPARE(readParaFormat(block).alignment, PFA_RIGHT);
        QVERIFY(formatOf(document, "highlighted").property(prop::HighlightColor).value<QColor>().isValid());
        block = block.next();
        QCOMPARE(readParaFormat(block).alignment, PFA_JUSTIFY);
        block = block.next();
        QCOMPARE(block.text(), QString("After a page break."));
        QCOMPARE(block.blockFormat().boolProperty(prop::PageBreakBefore), pageBreak);
    }

    // Every prefix of a real file, and random damage to it, gives a clear result.
    void truncatedAndCorruptedFiles()
    {
        const QByteArray bytes = readFixture("lowriter_mixed.rtf");
        QVERIFY(!bytes.isEmpty());
        QString previous;
        for (qsizetype cut = 0; cut < bytes.size(); cut += 97) {
            QTextDocument document;
            const RtfReadResult result = readRtf(bytes.left(cut), &document);
            QCOMPARE(result.ok(), cut > 6);  // the header is what makes it RTF
            if (!result.ok())
                continue;
            // A longer prefix shows at least as much: the text only grows.
            QCOMPARE(result.damage, RtfDamage::UnclosedGroup);
            const QString text = document.toPlainText();
            QVERIFY2(text.startsWith(previous.left(previous.size() - 1)), qPrintable(QString::number(cut)));
            previous = text;
        }
        QRandomGenerator random(1234);
        for (int round = 0; round < 200; ++round) {
            QByteArray damaged = bytes;
            for (int i = 0; i < 20; ++i)
                damaged[random.bounded(damaged.size())] = char(random.bounded(256));
            QTextDocument document;
            const RtfReadResult result = readRtf(damaged, &document);
            QVERIFY(result.ok() || !result.message().isEmpty());
        }
        for (int round = 0; round < 200; ++round) {
            QByteArray noise(random.bounded(4000), Qt::Uninitialized);
            for (char &c : noise)
                c = char(random.bounded(256));
            if (round % 2)
                noise.prepend("{\\rtf1 ");
            QTextDocument document;
            const RtfReadResult result = readRtf(noise, &document);
            QVERIFY(result.ok() || !result.message().isEmpty());
        }
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
