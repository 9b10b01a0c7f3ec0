#include "engine/codec/documentextras.h"
#include "engine/codec/plaintext.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>

using namespace engine;

namespace {

const QByteArray kSample =
    "{\\rtf1\\ansi\\paperw12240\\margl1800 {\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
    "\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
    "\\pard\\qc Centred {\\b bold} text\\par"
    "\\pard\\ls1 first item\\par\\pard\\ls1 second item\\par"
    "\\pard plain\\~words\\line broken\\par"
    "\\pard\\trowd\\cellx1000\\cellx2000\\pard\\intbl A1\\cell B1\\cell\\row"
    "\\pard after the table\\par}";

struct Paragraph {
    QString text;
    Qt::Alignment alignment;
    bool listItem;
    bool operator==(const Paragraph &) const = default;
};

QList<Paragraph> paragraphsOf(const QTextDocument *document)
{
    QList<Paragraph> result;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        result.append({block.text(), block.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                       block.textList() != nullptr});
    return result;
}

QString read(const QByteArray &rtf, QTextDocument *document)
{
    const RtfReadResult result = readRtf(rtf, document);
    return result.ok() ? QString() : result.message();
}

}  // namespace

class TestRtfRangeWriter : public QObject {
    Q_OBJECT

private slots:
    // Read back, a range gives the paragraphs it touches, cut to it, each with its own
    // paragraph format and list membership.
    void rangeReadsBackAsItsParagraphs_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("inside one paragraph") << 2 << 6 << QStringList{"ntre"};
        QTest::newRow("across the bold run") << 8 << 14 << QStringList{"bold t"};
        QTest::newRow("from one paragraph into a list") << 13 << 23 << QStringList{"text", "first"};
        QTest::newRow("ends at a paragraph start") << 18 << 41 << QStringList{"first item", "second item", ""};
        QTest::newRow("line break and no-break space") << 41 << 59
                                                       << QStringList{QStringLiteral("plain\u00a0words\u2028broken")};
    }

    void rangeReadsBackAsItsParagraphs()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QStringList, texts);
        QTextDocument document;
        QCOMPARE(read(kSample, &document), QString());
        QTextDocument copied;
        QCOMPARE(read(writeRtfRange(&document, start, end), &copied), QString());
        const QList<Paragraph> paragraphs = paragraphsOf(&copied);
        QCOMPARE(paragraphs.size(), texts.size());
        QTextBlock original = document.findBlock(start);
        for (qsizetype i = 0; i < texts.size(); ++i, original = original.next()) {
            QCOMPARE(paragraphs[i].text, texts[i]);
            QCOMPARE(paragraphs[i].alignment, original.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
            QCOMPARE(paragraphs[i].listItem, original.textList() != nullptr);
        }
    }

    // The page setup and kept groups belong to the file, not to what is copied out of it.
    void fileExtrasStayBehind_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::newRow("a range") << 2 << 30;
        QTest::newRow("the whole document") << 0 << 10000;
        QTest::newRow("a range cutting the table") << 60 << 66;
    }

    void fileExtrasStayBehind()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QTextDocument document;
        read(kSample, &document);
        QVERIFY(!documentExtras(&document).page.isEmpty());
        QVERIFY(writeRtf(&document).contains("\\paperw12240"));
        const QByteArray range = writeRtfRange(&document, start, end);
        QVERIFY(!range.contains("\\paperw"));
        QVERIFY(!range.contains("\\margl"));
    }

    // Whatever the range, the text and structure are those of Qt's own copy of it.
    void rangeHoldsWhatAFragmentHolds_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::newRow("the whole document, table and all") << 0 << 10000;
        QTest::newRow("from a paragraph into the table") << 45 << 66;
        QTest::newRow("inside a cell") << 63 << 64;
        QTest::newRow("after the table") << 69 << 75;
    }

    void rangeHoldsWhatAFragmentHolds()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QTextDocument document;
        read(kSample, &document);
        end = std::min(end, document.characterCount() - 1);
        QTextCursor selection(&document);
        selection.setPosition(start);
        selection.setPosition(end, QTextCursor::KeepAnchor);
        QTextDocument expected;
        QTextCursor(&expected).insertFragment(selection.selection());
        QTextDocument copied;
        QCOMPARE(read(writeRtfRange(&document, start, end), &copied), QString());
        QCOMPARE(copied.toPlainText(), expected.toPlainText());
        QCOMPARE(copied.rootFrame()->childFrames().size(), expected.rootFrame()->childFrames().size());
        QCOMPARE(plainTextOfRange(&document, start, end), selection.selection().toPlainText());
    }

    void plainTextOfRangeMakesBreaksNewLines()
    {
        QTextDocument document;
        read(kSample, &document);
        QCOMPARE(plainTextOfRange(&document, 41, 59), QStringLiteral("plain words\nbroken"));
        QCOMPARE(plainTextOfRange(&document, 36, 45), QStringLiteral("item\nplai"));
        QCOMPARE(plainTextOfRange(&document, 5, 5), QString());
        QCOMPARE(plainTextOfRange(&document, -4, 3), QStringLiteral("Cen"));
    }
};

QTEST_MAIN(TestRtfRangeWriter)
#include "tst_rtfrangewriter.moc"
