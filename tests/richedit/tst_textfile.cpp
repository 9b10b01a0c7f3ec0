#include "tests/support/testsupport.h"
#include "platform/exceptions.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"
#include "richedit/wwriched_textfile.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(TextEncoding)
Q_DECLARE_METATYPE(LineBreak)

namespace {

const auto contentsOf = testsupport::readFile;
const auto writeContents = testsupport::writeFile;

// The lines as a file of `format` holds them, CR LF between lines as the engine writes.
QByteArray fileOf(const QString &crlfText, TextEncoding encoding, LineBreak lineBreak)
{
    return encodeText(crlfText, TextFileFormat{encoding, lineBreak}).value_or(QByteArray("unencodable"));
}

const QString kSample = QStringLiteral("Gr\u00FC\u00DFe \u20AC5\r\nzweite \u201CZeile\u201D\r\n\r\nEnde");

}  // namespace

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void sniffedFormat_data();
    void sniffedFormat();
    void sniffedFormatByteByByte_data();
    void sniffedFormatByteByByte();
    void textFileSavedBackByteForByte_data();
    void textFileSavedBackByteForByte();
    void windows1252WithoutRoomForATypedCharacterBecomesUtf8();
    void rtfFileAndClearedDocumentAreRichText();
    void plainTextHoldsNoFormattingUntilSomeIsAdded();
};

void TestTextFile::sniffedFormat_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<LineBreak>("lineBreak");
    QTest::newRow("ascii, CR LF") << QByteArray("a\r\nb") << TextEncoding::Utf8 << LineBreak::CRLF;
    QTest::newRow("utf-8, LF") << QByteArray("gr\xC3\xBC\xC3\x9F\nb\r\n") << TextEncoding::Utf8 << LineBreak::LF;
    QTest::newRow("lone CR") << QByteArray("a\rb\r\n") << TextEncoding::Utf8 << LineBreak::CR;
    QTest::newRow("CR at the very end") << QByteArray("ab\r") << TextEncoding::Utf8 << LineBreak::CR;
    QTest::newRow("no line end: the platform's") << QByteArray("ab") << TextEncoding::Utf8 << platformLineBreak();
    QTest::newRow("empty") << QByteArray() << TextEncoding::Utf8 << platformLineBreak();
    QTest::newRow("utf-8 mark") << QByteArray("\xEF\xBB\xBFx\r\n") << TextEncoding::Utf8WithBom << LineBreak::CRLF;
    QTest::newRow("utf-16 LE") << QByteArray("\xFF\xFEx\0\n\0", 6) << TextEncoding::Utf16LE << LineBreak::LF;
    QTest::newRow("utf-16 BE") << QByteArray("\xFE\xFF\0x\0\r\0\n", 8) << TextEncoding::Utf16BE << LineBreak::CRLF;
    QTest::newRow("utf-16 mark only") << QByteArray("\xFF\xFE") << TextEncoding::Utf16LE << platformLineBreak();
    QTest::newRow("not utf-8") << QByteArray("caf\xE9\n") << TextEncoding::Windows1252 << LineBreak::LF;
    QTest::newRow("cut utf-8 sequence at the end") << QByteArray("ab\xC3") << TextEncoding::Windows1252
                                                   << platformLineBreak();
    // The reader drops NULs before it decides, and so does the sniffer.
    QTest::newRow("NUL inside a sequence") << QByteArray("\xC3\0\xBC\n", 4) << TextEncoding::Utf8 << LineBreak::LF;
}

void TestTextFile::sniffedFormat()
{
    QFETCH(QByteArray, bytes);
    const TextFileFormat format = sniffTextFormat(bytes);
    QTEST(format.encoding, "encoding");
    QTEST(format.lineBreak, "lineBreak");
}

void TestTextFile::sniffedFormatByteByByte_data()
{
    sniffedFormat_data();
}

// Chunks split byte-order marks, UTF-8 sequences, UTF-16 units and CR LF pairs.
void TestTextFile::sniffedFormatByteByByte()
{
    QFETCH(QByteArray, bytes);
    TextFormatSniffer sniffer;
    for (char byte : bytes)
        sniffer.feed(QByteArrayView(&byte, 1));
    const TextFileFormat format = sniffer.finish();
    QTEST(format.encoding, "encoding");
    QTEST(format.lineBreak, "lineBreak");
}

void TestTextFile::textFileSavedBackByteForByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<LineBreak>("lineBreak");
    const std::pair<const char *, TextEncoding> encodings[] = {
        {"utf-8", TextEncoding::Utf8},          {"utf-8 with mark", TextEncoding::Utf8WithBom},
        {"utf-16 LE", TextEncoding::Utf16LE},   {"utf-16 BE", TextEncoding::Utf16BE},
        {"windows-1252", TextEncoding::Windows1252}};
    const std::pair<const char *, LineBreak> lineBreaks[] = {
        {"CR LF", LineBreak::CRLF}, {"LF", LineBreak::LF}, {"CR", LineBreak::CR}};
    for (const auto &[encodingName, encoding] : encodings) {
        for (const auto &[breakName, lineBreak] : lineBreaks) {
            for (const QString &text : {kSample, kSample + QStringLiteral("\r\n")}) {
                const char *ending = text.endsWith(u'\n') ? "ends with a line end" : "no final line end";
                QTest::addRow("%s, %s, %s", encodingName, breakName, ending)
                    << fileOf(text, encoding, lineBreak) << encoding << lineBreak;
            }
        }
    }
}

void TestTextFile::textFileSavedBackByteForByte()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir folder;
    const QString original = folder.filePath(QStringLiteral("notes.txt"));
    const QString copy = folder.filePath(QStringLiteral("copy.txt"));
    writeContents(original, bytes);
    TwwDBRichEdit editor;
    editor.Lines()->LoadFromFile(original);
    const DocumentFileFormat format = editor.Lines()->FileFormat();
    QVERIFY(format.plainText);
    QTEST(format.text.encoding, "encoding");
    QTEST(format.text.lineBreak, "lineBreak");
    QVERIFY(editor.toPlainText().startsWith(QStringLiteral("Gr\u00FC\u00DFe \u20AC5\nzweite")));

    editor.Lines()->SaveToFileIn(copy, format);
    QCOMPARE(contentsOf(copy), bytes);
    QCOMPARE(editor.Lines()->FileFormat(), format);
}

void TestTextFile::windows1252WithoutRoomForATypedCharacterBecomesUtf8()
{
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("legacy.txt"));
    writeContents(name, "caf\xE9\n");
    TwwDBRichEdit editor;
    editor.Lines()->LoadFromFile(name);
    QCOMPARE(editor.Lines()->FileFormat().text.encoding, TextEncoding::Windows1252);
    editor.SetSelStart(0);
    editor.SetSelText(QStringLiteral("\u4E2D "));
    editor.Lines()->SaveToFileIn(name, editor.Lines()->FileFormat());
    QCOMPARE(contentsOf(name), QByteArray("\xE4\xB8\xAD caf\xC3\xA9\n"));
    QCOMPARE(editor.Lines()->FileFormat().text.encoding, TextEncoding::Utf8);
    QCOMPARE(editor.Lines()->FileFormat().text.lineBreak, LineBreak::LF);
    QVERIFY(!encodeText(QStringLiteral("\u4E2D"), TextFileFormat{TextEncoding::Windows1252, LineBreak::LF}));
}

void TestTextFile::rtfFileAndClearedDocumentAreRichText()
{
    QTemporaryDir folder;
    const QString text = folder.filePath(QStringLiteral("a.txt"));
    const QString rtf = folder.filePath(QStringLiteral("b.txt"));
    writeContents(text, "plain\n");
    writeContents(rtf, "{\\rtf1\\ansi rich}");
    TwwDBRichEdit editor;
    QVERIFY(!editor.Lines()->FileFormat().plainText);
    editor.Lines()->LoadFromFile(text);
    QVERIFY(editor.Lines()->FileFormat().plainText);
    editor.Lines()->LoadFromFile(rtf);  // the bytes decide, not the name
    QVERIFY(!editor.Lines()->FileFormat().plainText);
    editor.Lines()->LoadFromFile(text);
    editor.Lines()->Clear();
    QVERIFY(!editor.Lines()->FileFormat().plainText);
    // A failed load keeps the format of the document that stays.
    editor.Lines()->LoadFromFile(text);
    QVERIFY_THROWS_EXCEPTION(Exception, editor.Lines()->LoadFromFile(folder.filePath(QStringLiteral("none"))));
    QVERIFY(editor.Lines()->FileFormat().plainText);
}

void TestTextFile::plainTextHoldsNoFormattingUntilSomeIsAdded()
{
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("a.txt"));
    writeContents(name, "first\nsecond\n");
    TwwDBRichEdit editor;
    editor.Lines()->LoadFromFile(name);
    QVERIFY(!editor.Lines()->HoldsMoreThanText());
    editor.SetSelStart(3);
    editor.SetSelText(QStringLiteral("typed\ttext"));
    QVERIFY(!editor.Lines()->HoldsMoreThanText());

    editor.setSelectionRange({0, 2});
    editor.SelectionAttributes().SetStyle(TFontStyles(fsBold));
    QVERIFY(editor.Lines()->HoldsMoreThanText());
    editor.Undo();
    QVERIFY(!editor.Lines()->HoldsMoreThanText());
    editor.ParagraphAttributes().SetAlignment(taCenter);
    QVERIFY(editor.Lines()->HoldsMoreThanText());
    editor.Undo();
    editor.SetBullets(true);
    QVERIFY(editor.Lines()->HoldsMoreThanText());
    editor.Undo();
    QVERIFY(!editor.Lines()->HoldsMoreThanText());
    editor.setSelectionRange({0, 2});
    editor.SelectionAttributes().SetColor(0x000000FF);
    QVERIFY(editor.Lines()->HoldsMoreThanText());
}

QTEST_MAIN(TestTextFile)
#include "tst_textfile.moc"
