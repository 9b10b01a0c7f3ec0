#include "engine/codec/plaintext.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace engine;

namespace {

QStringList paragraphs(const QTextDocument &document)
{
    QStringList result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        result.append(block.text());
    return result;
}

QStringList readParagraphs(const QByteArray &bytes)
{
    QTextDocument document;
    readPlainText(bytes, &document);
    return paragraphs(document);
}

}  // namespace

class TestPlainText : public QObject {
    Q_OBJECT
private slots:
    void encodings_data();
    void encodings();
    void lineEnds_data();
    void lineEnds();
    void nulIsDroppedAndTheRestKept();
    void frameMarkersCannotChangeStructure();
    void readingReplacesContent();
    void writesUtf8WithCrLfBetweenParagraphs();
    void writesLineBreaksAndDropsObjects();
    void roundTripIsStable_data();
    void roundTripIsStable();
};

void TestPlainText::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString text = QStringLiteral("caf\u00e9 \u20ac \u4e2d");
    QTest::newRow("utf-8 without bom") << text.toUtf8() << text;
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << text;
    QByteArray le("\xFF\xFE");
    QByteArray be("\xFE\xFF");
    for (QChar c : text) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    QTest::newRow("utf-16 le bom") << le << text;
    QTest::newRow("utf-16 be bom") << be << text;
    QTest::newRow("utf-16 with an odd last byte") << QByteArray("\xFF\xFEz\0!", 5) << QStringLiteral("z\ufffd");
    // 0xE9 alone is not UTF-8, so the whole file is Windows-1252 (0x80 is the euro sign).
    QTest::newRow("windows-1252") << QByteArray("caf\xE9 \x80 \x93q\x94") << QStringLiteral("caf\u00e9 \u20ac \u201cq\u201d");
    QTest::newRow("ascii") << QByteArray("plain") << QStringLiteral("plain");
    // One invalid sequence late in the file decides for the whole file.
    QTest::newRow("mostly utf-8 with a stray byte")
        << QByteArray("\xC3\xA9 and \xE9") << QStringLiteral("\u00c3\u00a9 and \u00e9");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestPlainText::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodePlainText(bytes), text);
    QCOMPARE(readParagraphs(bytes), QStringList{text});
}

void TestPlainText::lineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("lf only") << QByteArray("a\nb\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("cr only") << QByteArray("a\rb\rc") << QStringList{"a", "b", "c"};
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("blank lines") << QByteArray("a\r\n\r\n\nb") << QStringList{"a", "", "", "b"};
    QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("trailing end gives empty last") << QByteArray("a\r\n") << QStringList{"a", ""};
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{"", ""};
    QTest::newRow("utf-16 line ends")
        << QByteArray("\xFF\xFE" "a\0\r\0\n\0b\0\r\0c\0", 14) << QStringList{"a", "b", "c"};
}

void TestPlainText::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QCOMPARE(readParagraphs(bytes), expected);
}

void TestPlainText::nulIsDroppedAndTheRestKept()
{
    QCOMPARE(readParagraphs(QByteArray("ab\0cd\r\nef\0", 10)), (QStringList{"abcd", "ef"}));
    QCOMPARE(readParagraphs(QByteArray("\0\0x", 3)), QStringList{"x"});
    // In UTF-16 the NUL is a character, not a byte.
    QCOMPARE(readParagraphs(QByteArray("\xFF\xFE" "a\0\0\0b\0", 8)), QStringList{"ab"});
}

void TestPlainText::frameMarkersCannotChangeStructure()
{
    const QString hostile = QStringLiteral("a\uFDD0b\uFDD1c");
    QTextDocument document;
    readPlainText(hostile.toUtf8(), &document);
    QCOMPARE(document.blockCount(), 1);
    QCOMPARE(document.rootFrame()->childFrames().size(), 0);
    QCOMPARE(paragraphs(document), QStringList{QStringLiteral("a\uFFFDb\uFFFDc")});
}

void TestPlainText::readingReplacesContent()
{
    QTextDocument document;
    QTextCursor(&document).insertText(QStringLiteral("old\nstuff"));
    readPlainText("new", &document);
    QCOMPARE(paragraphs(document), QStringList{"new"});
}

void TestPlainText::writesUtf8WithCrLfBetweenParagraphs()
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("caf\u00e9\n\n\u4e2d"));
    const QByteArray bytes = writePlainText(&document);
    QCOMPARE(bytes, QStringLiteral("caf\u00e9\r\n\r\n\u4e2d").toUtf8());
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));

    QTextDocument empty;
    QCOMPARE(writePlainText(&empty), QByteArray());
}

void TestPlainText::writesLineBreaksAndDropsObjects()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("one\u2028two\u00a0three"));
    QTextImageFormat image;
    image.setName(QStringLiteral("pic"));
    cursor.insertImage(image);
    cursor.insertText(QStringLiteral("\t!"));
    QCOMPARE(writePlainText(&document), QStringLiteral("one\r\ntwo\u00a0three\t!").toUtf8());
}

void TestPlainText::roundTripIsStable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no final line end") << QByteArray("a\r\nb");
    QTest::newRow("final line end") << QByteArray("a\r\nb\r\n");
    QTest::newRow("blank lines around") << QByteArray("\r\n\r\nx\r\n\r\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("non-ascii") << QStringLiteral("\u00e9\r\n\U0001F600").toUtf8();
}

// Saving what was read gives the same bytes (for CR LF UTF-8 files) and the same
// paragraphs, however often it is repeated.
void TestPlainText::roundTripIsStable()
{
    QFETCH(QByteArray, bytes);
    QByteArray current = bytes;
    const QStringList expected = readParagraphs(bytes);
    for (int cycle = 0; cycle < 3; ++cycle) {
        QTextDocument document;
        readPlainText(current, &document);
        QCOMPARE(paragraphs(document), expected);
        current = writePlainText(&document);
        QCOMPARE(current, bytes);
    }
}

QTEST_GUILESS_MAIN(TestPlainText)
#include "tst_plaintext.moc"
