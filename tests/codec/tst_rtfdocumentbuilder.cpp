#include "engine/codec/rtf/read/rtfreader.h"

#include <QBuffer>
#include <QDebug>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

using namespace engine;

namespace {

// Each piece of the document's storage as "text|format properties", paragraph by paragraph.
QStringList pieces(const QTextDocument &document)
{
    QStringList list;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment piece = it.fragment();
            QString format;
            QDebug(&format) << piece.charFormat().properties();
            list << piece.text() + u'|' + format;
        }
        list << QStringLiteral("¶");
    }
    return list;
}

// A small picture as the hex digits of its PNG file.
QByteArray pngHex()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    return png.data().toHex();
}

}  // namespace

// The reader builds most text straight into the document's storage; these cases check
// that the document comes out as a cursor would have built it.
class TestRtfDocumentBuilder : public QObject {
    Q_OBJECT

private slots:
    void runsKeepTheirFormatsAndParagraphsTheirs()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\ansi plain {\\b bold} {\\i italic}\\par\\qc centred\\par}", &document).ok());
        QCOMPARE(document.blockCount(), 2);
        const QTextBlock first = document.begin();
        QCOMPARE(first.text(), QStringLiteral("plain bold italic"));
        QStringList styled;
        for (auto it = first.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.fontWeight() >= QFont::DemiBold)
                styled << QStringLiteral("b:") + it.fragment().text();
            if (format.fontItalic())
                styled << QStringLiteral("i:") + it.fragment().text();
        }
        QCOMPARE(styled, QStringList({QStringLiteral("b:bold"), QStringLiteral("i:italic")}));
        QCOMPARE(first.next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }

    // A paragraph's runs go into the storage as one piece cut into one piece per run: the
    // pieces must be those a cursor inserting the runs one by one leaves (neighbours of
    // one format joined, two pictures of one format too), at the right places.
    void paragraphsArePiecedAsACursorWouldPieceThem_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("runs") << QByteArray("{\\rtf1 plain {\\b bold}{\\i italic} plain {\\b bold}\\par\\b two\\par}");
        QTest::newRow("same format again") << QByteArray("{\\rtf1 a{\\b b}{\\b c}{\\i d}{\\b\\i\\b0 e}f\\par}");
        const QByteArray picture = "{\\pict\\pngblip " + pngHex() + "}";
        QTest::newRow("pictures") << "{\\rtf1 a" + picture + picture + "{\\b b}\\par}";
        QTest::newRow("mark in a run") << QByteArray("{\\rtf1 a{\\b b\\u8233?c}{\\i d}e\\par}");
        QTest::newRow("list items and empty paragraphs")
            << QByteArray("{\\rtf1 a\\par{\\*\\pn\\pnlvlblt}{\\b b}c\\par\\par{\\*\\pn\\pnlvlblt}d{\\i e}\\par\\pard f\\par}");
        QTest::newRow("paragraphs after a table")
            << QByteArray("{\\rtf1 a\\par\\trowd\\cellx1000\\cellx2000\\intbl x\\cell {\\b y}\\cell\\row\\pard b{\\i c}\\par d\\par}");
    }
    void paragraphsArePiecedAsACursorWouldPieceThem()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument read;
        QVERIFY(readRtf(rtf, &read).ok());
        QTextDocument typed;
        QTextCursor cursor(&typed);
        for (QTextBlock block = read.begin(); block.isValid(); block = block.next()) {
            if (block != read.begin())
                cursor.insertBlock();
            for (auto it = block.begin(); !it.atEnd(); ++it)
                cursor.insertText(it.fragment().text(), it.fragment().charFormat());
        }
        QCOMPARE(pieces(read), pieces(typed));
    }

    // The document built from cut pieces takes edits and undoes them like any other.
    void aDocumentOfCutPiecesTakesEdits()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 one {\\b two} {\\i three} four\\par five {\\ul six}\\par}", &document).ok());
        document.setUndoRedoEnabled(true);
        QTextCursor found = document.find(QStringLiteral("three"));
        QCOMPARE(found.selectionStart(), 8);
        QVERIFY(found.charFormat().fontItalic());
        found.insertText(QStringLiteral("3"));
        found = document.find(QStringLiteral("six"));
        QCOMPARE(found.selectionStart(), 20);
        QVERIFY(found.charFormat().fontUnderline());
        QCOMPARE(document.toPlainText(), QStringLiteral("one two 3 four\nfive six"));
        document.undo();
        QCOMPARE(document.toPlainText(), QStringLiteral("one two three four\nfive six"));
        QCOMPARE(document.findBlock(20).text(), QStringLiteral("five six"));
    }

    // A paragraph mark given as a Unicode character must end a paragraph: stored as bare
    // text it would leave the document's paragraph list out of step with its text.
    void paragraphMarksInsideTextStillEndParagraphs_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<int>("paragraphs");
        QTest::newRow("paragraph separator") << QByteArray("{\\rtf1 one\\u8233?two\\par}") << 2;
        QTest::newRow("frame marks") << QByteArray("{\\rtf1 a\\u-560?b\\u-559?c\\par}") << 1;
    }
    void paragraphMarksInsideTextStillEndParagraphs()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(int, paragraphs);
        QTextDocument document;
        readRtf(rtf, &document);
        QVERIFY(document.blockCount() >= paragraphs);
        int characters = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            characters += block.length();
        QCOMPARE(characters, document.characterCount());
    }

    // The builder counts where its next run goes instead of asking the storage; a run
    // inserted through the cursor (one holding a mark) must not leave that count behind.
    void textAfterARunWithAMarkFollowsIt()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 one\\u8233?two {\\b three} four\\par five {\\i six}\\par}", &document).ok());
        QCOMPARE(document.toPlainText(), QStringLiteral("one\ntwo three four\nfive six"));
        QTextCursor at(&document);
        at.setPosition(document.toPlainText().indexOf(QStringLiteral("three")) + 1);
        QVERIFY(at.charFormat().fontWeight() >= QFont::DemiBold);
        at.setPosition(document.toPlainText().indexOf(QStringLiteral("six")) + 1);
        QVERIFY(at.charFormat().fontItalic());
    }

    // Cursors on the document are not moved while it is built; they stay valid and at
    // its start, where reading leaves them.
    void cursorsOnTheDocumentStayValidAtItsStart()
    {
        QTextDocument document;
        document.setPlainText(QStringLiteral("old text"));
        QTextCursor held(&document);
        held.movePosition(QTextCursor::End);
        QVERIFY(readRtf("{\\rtf1 a longer new text\\par second\\par}", &document).ok());
        QCOMPARE(held.position(), 0);
        held.movePosition(QTextCursor::End);
        QCOMPARE(held.position(), document.characterCount() - 1);
        held.insertText(QStringLiteral("!"));
        QCOMPARE(document.lastBlock().text(), QStringLiteral("second!"));
    }

    // Items join their list as they are inserted; the list must know them in document
    // order, as Qt's own insertion of an item between them relies on.
    void listItemsJoinTheirListInDocumentOrder()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 intro\\par{\\*\\pn\\pnlvlbody\\pndec}one\\par{\\*\\pn\\pnlvlbody\\pndec}two\\par"
                        "{\\*\\pn\\pnlvlbody\\pndec}three\\par}", &document).ok());
        const QTextBlock one = document.begin().next();
        QTextList *list = one.textList();
        QVERIFY(list);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->itemNumber(one.next().next()), 2);
        QTextCursor cursor(one.next());
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("two and a half"));
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->itemNumber(cursor.block()), 2);
        QCOMPARE(list->itemNumber(document.lastBlock()), 3);
        QCOMPARE(list->item(0).text(), QStringLiteral("one"));
    }

    void consecutiveBulletParagraphsShareOneList()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 {\\*\\pn\\pnlvlblt}one\\par{\\*\\pn\\pnlvlblt}two\\par\\pard three\\par}", &document).ok());
        QCOMPARE(document.blockCount(), 3);
        QTextList *list = document.begin().textList();
        QVERIFY(list);
        QCOMPARE(document.begin().next().textList(), list);
        QVERIFY(!document.lastBlock().textList());
    }
};

QTEST_MAIN(TestRtfDocumentBuilder)
#include "tst_rtfdocumentbuilder.moc"
