#include "tests/support/testsupport.h"
#include "engine/codec/formatmapping.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/codec/scriptfonts.h"
#include "engine/codec/tabkinds.h"
#include "engine/codec/textprops.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace engine;

namespace {

// The format of the fragment holding the first occurrence of `text`.
QTextCharFormat formatAt(const QTextDocument &document, const QString &text)
{
    const int at = document.toRawText().indexOf(text);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (at >= fragment.position() && at < fragment.position() + fragment.length())
                return fragment.charFormat();
        }
    }
    return {};
}

QString faceOf(const QTextCharFormat &format)
{
    return readCharFormat(format, QFont()).faceName;
}

QList<QTextCharFormat> keptMarks(const QTextDocument &document)
{
    QList<QTextCharFormat> marks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().hasProperty(prop::KeptRtf))
                marks << it.fragment().charFormat();
    return marks;
}

// Reads the file, writes and reads it again: what the second reading shows.
void readTwice(const QString &fixture, QTextDocument &first, QTextDocument &second)
{
    QVERIFY(readRtf(testsupport::readRtfFixture(fixture), &first).ok());
    QVERIFY(readRtf(writeRtf(&first), &second).ok());
    QCOMPARE(second.toRawText(), first.toRawText());
}

}  // namespace

class TestRtfScriptsAndTabs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::useTwelvePointApplicationFont(); }

    void eastAsianTextIsShownAndWrittenInItsFont()
    {
        QTextDocument first, second;
        readTwice(QStringLiteral("cjk_text.rtf"), first, second);
        for (const QTextDocument *document : {&first, &second}) {
            const QTextCharFormat japanese = formatAt(*document, QStringLiteral("\u65e5\u672c"));
            QCOMPARE(faceOf(japanese), QStringLiteral("MS Mincho"));
            QCOMPARE(eastAsianFont(japanese).face, QStringLiteral("MS Mincho"));
            QCOMPARE(eastAsianFont(japanese).charset, 128);
            // Latin text around it stays in its own font and names no other.
            const QTextCharFormat latin = formatAt(*document, QStringLiteral("Latin"));
            QCOMPARE(faceOf(latin), QStringLiteral("Liberation Serif"));
            QVERIFY(!latin.hasProperty(prop::EastAsianFace));
            QCOMPARE(faceOf(formatAt(*document, QStringLiteral("A1"))), QStringLiteral("Liberation Serif"));
        }
        const QByteArray written = writeRtf(&second);
        QVERIFY2(written.contains("\\dbch\\af"), written.constData());
        QVERIFY(written.contains("MS Mincho;"));
    }

    void rightToLeftTextKeepsItsFontSizeAndDirection()
    {
        QTextDocument first, second;
        readTwice(QStringLiteral("right_to_left.rtf"), first, second);
        for (const QTextDocument *document : {&first, &second}) {
            const QTextCharFormat hebrew = formatAt(*document, QStringLiteral("\u05e9"));
            QCOMPARE(faceOf(hebrew), QStringLiteral("Noto Sans Hebrew"));
            QCOMPARE(complexFont(hebrew).face, QStringLiteral("Noto Sans Hebrew"));
            QCOMPARE(hebrew.intProperty(prop::ComplexHalfPoints), 28);
            QCOMPARE(hebrew.fontPointSize(), 14.0);
            QVERIFY(hebrew.boolProperty(prop::RightToLeftRun));
            QCOMPARE(document->begin().blockFormat().layoutDirection(), Qt::RightToLeft);
            QCOMPARE(readParaFormat(document->begin()).alignment, quint16(PFA_RIGHT));
            QCOMPARE(document->begin().next().blockFormat().layoutDirection(), Qt::LayoutDirectionAuto);
        }
        QVERIFY(writeRtf(&second).contains("\\rtlpar"));
    }

    // Parts are written as the script's number and the text; a combining mark goes with
    // the character before it, or at the start with the run the text continues.
    void scriptPartsSplitWhereTheScriptChanges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("before");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("scripts") << QStringLiteral("ab \u65e5\u672c\u3002 cd \u05e9\u05dc 12") << 0
                                 << QStringList{"0ab ", "1\u65e5\u672c\u3002", "0 cd ", "2\u05e9\u05dc", "0 12"};
        QTest::newRow("mark after a Hebrew letter") << QStringLiteral("\u05e9\u0301a") << 0
                                                    << QStringList{"2\u05e9\u0301", "0a"};
        QTest::newRow("mark after a Latin letter among Hebrew") << QStringLiteral("\u05e9a\u0301\u05dc") << 0
                                                                << QStringList{"2\u05e9", "0a\u0301", "2\u05dc"};
        QTest::newRow("marks after a kana") << QStringLiteral("\u304b\u3099\u0301x") << 0
                                            << QStringList{"1\u304b\u3099\u0301", "0x"};
        QTest::newRow("mark outside the basic plane") << QStringLiteral("\u05e9\U0001D167") << 0
                                                      << QStringList{"2\u05e9\U0001D167"};
        QTest::newRow("leading mark continues a complex run") << QStringLiteral("\u0301\u05dc") << 2
                                                              << QStringList{"2\u0301\u05dc"};
        QTest::newRow("leading mark continues a Latin run") << QStringLiteral("\u0301\u05dc") << 0
                                                            << QStringList{"0\u0301", "2\u05dc"};
        QTest::newRow("joiner between Arabic letters") << QStringLiteral("\u0644\u200d\u0627") << 0
                                                       << QStringList{"2\u0644\u200d\u0627"};
    }
    void scriptPartsSplitWhereTheScriptChanges()
    {
        QFETCH(QString, text);
        QFETCH(int, before);
        QFETCH(QStringList, parts);
        QStringList found;
        forEachScriptPart(text, TextScript(before), [&](QStringView part, TextScript script) {
            found << QString::number(int(script)) + part.toString();
        });
        QCOMPARE(found, parts);
        QStringList oneByOne;  // each character alone, after the one before it
        char32_t base = 0;
        for (qsizetype i = 0; i < text.size(); i += text[i].isHighSurrogate() ? 2 : 1) {
            const QStringView character = QStringView(text).mid(i, text[i].isHighSurrogate() ? 2 : 1);
            forEachScriptPart(character, base ? scriptOf(base) : TextScript(before), [&](QStringView, TextScript script) {
                oneByOne << QString::number(int(script));
            });
            if (const char32_t own = lastBaseCharacter(character))
                base = own;
        }
        QString joined;
        for (const QString &part : parts)
            joined += QString(part.mid(1).toUcs4().size(), part[0]);
        QCOMPARE(oneByOne.join(QString()), joined);
    }

    void lastBaseCharacterSkipsMarks()
    {
        QCOMPARE(lastBaseCharacter(u"ba\u0301\u0302"), char32_t('a'));
        QCOMPARE(lastBaseCharacter(u"x\U0001D167"), char32_t('x'));
        QCOMPARE(lastBaseCharacter(u"\U0001F600\ufe0f"), char32_t(0x1F600));
        QCOMPARE(lastBaseCharacter(u"\u0301"), char32_t(0));
        QCOMPARE(lastBaseCharacter(u""), char32_t(0));
    }

    // Marks read one by one (\uN) take the font of the letter before them, also across
    // groups; a mark that starts a paragraph stays in the run its state describes.
    void combiningMarksTakeTheFontOfTheirLetter()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1{\\fonttbl{\\f0 Liberation Serif;}{\\f1 Noto Sans Hebrew;}}\\f0\\af1 "
                        "\\u1513?{\\b0 \\u769?}a\\u769?\\par \\u769?\\u1500?\\par\\rtlch \\u769?\\u1500?}",
                        &document).ok());
        QCOMPARE(document.toPlainText(), QStringLiteral("\u05e9\u0301a\u0301\n\u0301\u05dc\n\u0301\u05dc"));
        const auto faces = [&](int blockNumber) {
            QStringList result;
            const QTextBlock block = document.findBlockByNumber(blockNumber);
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QString text = it.fragment().text();
                for (qsizetype i = 0; i < text.size(); ++i)
                    result << faceOf(it.fragment().charFormat());
            }
            return result;
        };
        const QString latin = QStringLiteral("Liberation Serif");
        const QString hebrew = QStringLiteral("Noto Sans Hebrew");
        QCOMPARE(faces(0), (QStringList{hebrew, hebrew, latin, latin}));
        QCOMPARE(faces(1), (QStringList{latin, hebrew}));
        QCOMPARE(faces(2), (QStringList{hebrew, hebrew}));
        QTextDocument again;
        QVERIFY(readRtf(writeRtf(&document), &again).ok());
        QCOMPARE(writeRtf(&again), writeRtf(&document));
    }

    void tabKindsLeadersAndBarsAreKept()
    {
        QTextDocument first, second;
        readTwice(QStringLiteral("tab_kinds.rtf"), first, second);
        for (const QTextDocument *document : {&first, &second}) {
            const QTextBlockFormat format = document->begin().blockFormat();
            const auto kind = [&](int position) { return tabKindAt(format, position); };
            QCOMPARE(kind(1701), (TabKind{TabAlignment::Center, TabLeader::Dots}));
            QCOMPARE(kind(4535), (TabKind{TabAlignment::Right, TabLeader::Underline}));
            QCOMPARE(kind(6803), (TabKind{TabAlignment::Decimal, TabLeader::Hyphens}));
            QCOMPARE(kind(7800), (TabKind{TabAlignment::Left, TabLeader::ThickLine}));
            QCOMPARE(kind(8500), (TabKind{TabAlignment::Right, TabLeader::Equals}));
            QCOMPARE(barTabs(format), QList<int>{9000});
            // A bar is no stop: the paragraph has five.
            QCOMPARE(readParaFormat(format).tabCount, qint16(5));
            const QList<QTextOption::Tab> shown = format.tabPositions();
            QCOMPARE(shown.size(), 5);
            QCOMPARE(shown[0].type, QTextOption::CenterTab);
            QCOMPARE(shown[1].type, QTextOption::RightTab);
            QCOMPARE(shown[2].type, QTextOption::DelimiterTab);
            QCOMPARE(shown[2].delimiter, QChar(u'.'));
            QCOMPARE(shown[3].type, QTextOption::LeftTab);

            const QTextBlockFormat second = document->begin().next().blockFormat();
            QCOMPARE(tabKindAt(second, 2000), (TabKind{TabAlignment::Left, TabLeader::MiddleDots}));
            QCOMPARE(barTabs(second), QList<int>{3000});
            QCOMPARE(readParaFormat(second).tabCount, qint16(2));
        }
        const QByteArray written = writeRtf(&second);
        for (const char *words : {"\\tqc\\tldot\\tx1701", "\\tqr\\tlul\\tx4535", "\\tqdec\\tlhyph\\tx6803",
                                  "\\tlth\\tx7800", "\\tqr\\tleq\\tx8500\\tb9000", "\\tlmdot\\tx2000\\tb3000\\tx4000"})
            QVERIFY2(written.contains(words), words);
    }

    // Stops changed by other means keep the kinds of the stops that stay; a stop set
    // again where a removed one was is a plain stop.
    void tabKindsFollowTheirPositions()
    {
        QTextBlockFormat format;
        setTabKinds(format, {{1440, TabKind{TabAlignment::Right, TabLeader::Dots}}, {2880, TabKind{}}});
        ParaFormat record;
        record.mask = PFM_TABSTOPS;
        record.tabCount = 2;
        record.tabs[0] = 720;
        record.tabs[1] = 1440;
        applyParaFormat(record, format);
        QCOMPARE(format.tabPositions().size(), 2);
        QCOMPARE(format.tabPositions()[0].type, QTextOption::LeftTab);
        QCOMPARE(format.tabPositions()[1].type, QTextOption::RightTab);
        QCOMPARE(tabKindAt(format, 2880), TabKind{});
        record.tabs[1] = 2880;
        applyParaFormat(record, format);
        record.tabs[1] = 1440;
        applyParaFormat(record, format);
        QCOMPARE(format.tabPositions()[1].type, QTextOption::LeftTab);
    }

    void fieldsKeepTheirInstructionAndShowTheirResult()
    {
        QTextDocument first, second;
        readTwice(QStringLiteral("field_and_bookmark.rtf"), first, second);
        for (const QTextDocument *document : {&first, &second}) {
            QVERIFY(document->toPlainText().contains(QStringLiteral("field 12/8/26 and page 11")));
            const QTextCharFormat date = formatAt(*document, QStringLiteral("12/8/26"));
            QCOMPARE(date.stringProperty(prop::FieldInstruction), QStringLiteral(" DATE \\@\"M/d/yy\" "));
            // Two fields side by side with the same instruction stay two fields.
            const QTextCharFormat page1 = formatAt(*document, QStringLiteral("11"));
            QCOMPARE(page1.stringProperty(prop::FieldInstruction), QStringLiteral("PAGE"));
            QCOMPARE(page1.fontWeight(), int(QFont::Bold));
        }
        const QByteArray written = writeRtf(&second);
        QCOMPARE(written.count("{\\field{\\*\\fldinst{PAGE}}{\\fldrslt{"), 2);
        QVERIFY(written.contains("{\\field{\\*\\fldinst{ DATE \\\\@\"M/d/yy\" }}{\\fldrslt{"));
    }

    // A field whose result is empty, or that has none, stays where it stands as a mark
    // that takes no room, and is written back with its instruction and an empty result.
    void fieldsWithAnEmptyResultAreKept()
    {
        QTextDocument first, second;
        readTwice(QStringLiteral("field_empty_result.rtf"), first, second);
        for (const QTextDocument *document : {&first, &second}) {
            QCOMPARE(document->toPlainText(),
                     QStringLiteral("See page \uFFFC and\uFFFC the index\uFFFC.\n\uFFFCLast line"));
            QStringList instructions;
            for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
                for (auto it = block.begin(); !it.atEnd(); ++it) {
                    const QTextCharFormat format = it.fragment().charFormat();
                    if (!format.boolProperty(prop::FieldResultEmpty))
                        continue;
                    QCOMPARE(format.toImageFormat().width(), 0.0);
                    instructions << format.stringProperty(prop::FieldInstruction);
                }
            }
            QCOMPARE(instructions, (QStringList{"PAGEREF intro \\h", " SEQ Figure ", "XE \"entry\"",
                                                "HYPERLINK \"http://example.com/\""}));
            QCOMPARE(formatAt(*document, QStringLiteral("Last")).anchorHref(), QString());
        }
        const QByteArray written = writeRtf(&second);
        for (const char *field : {"page {\\field{\\*\\fldinst{PAGEREF intro \\\\h}}{\\fldrslt{}}} and",
                                  "{\\field{\\*\\fldinst{ SEQ Figure }}{\\fldrslt{}}} the index",
                                  "{\\field{\\*\\fldinst{HYPERLINK \"http://example.com/\"}}{\\fldrslt{}}}Last"})
            QVERIFY2(written.contains(field), written.constData());
    }

    // An empty field inside another field's result goes with the field around it.
    void emptyFieldInsideAFieldResultIsNotAMarkOfItsOwn()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 a{\\field{\\*\\fldinst OUTER}{\\fldrslt{\\field{\\*\\fldinst INNER}{\\fldrslt }}}}b}",
                        &document).ok());
        QCOMPARE(document.toPlainText(), QStringLiteral("a\uFFFCb"));
        QCOMPARE(formatAt(document, QStringLiteral("\uFFFC")).stringProperty(prop::FieldInstruction), QStringLiteral("OUTER"));
    }

    void bookmarksAndShapesAreKeptWhereTheyStand()
    {
        QTextDocument first, second;
        readTwice(QStringLiteral("field_and_bookmark.rtf"), first, second);
        QCOMPARE(second.toPlainText().left(15), QStringLiteral("A \uFFFCmarked\uFFFC word"));
        const QList<QTextCharFormat> marks = keptMarks(second);
        QCOMPARE(marks.size(), 2);
        QCOMPARE(marks[0].toolTip(), QStringLiteral("mark1"));
        const QByteArray written = writeRtf(&second);
        QVERIFY(written.contains("{\\*\\bkmkstart mark1}marked{\\*\\bkmkend mark1}"));

        QTextDocument box, boxAgain;
        readTwice(QStringLiteral("text_box.rtf"), box, boxAgain);
        const QList<QTextCharFormat> shapes = keptMarks(boxAgain);
        QCOMPARE(shapes.size(), 2);
        QCOMPARE(shapes[0].toolTip(), QStringLiteral("Text in a box"));
        QCOMPARE(shapes[1].toolTip(), QStringLiteral("Drawn box text"));
        const QByteArray boxWritten = writeRtf(&boxAgain);
        QVERIFY(boxWritten.contains("{\\shptxt"));
        QVERIFY(boxWritten.contains("{\\*\\do\\dobxcolumn"));
    }

    // A shape without a text box is a picture shown by its result, as before.
    void shapeWithoutTextShowsItsResult()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 1}}}{\\shprslt shown}}b\\par}", &document).ok());
        QCOMPARE(document.toPlainText(), QStringLiteral("ashownb"));
    }
};

QTEST_MAIN(TestRtfScriptsAndTabs)
#include "tst_rtfscriptsandtabs.moc"
