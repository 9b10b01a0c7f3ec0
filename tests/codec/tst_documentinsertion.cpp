#include "engine/codec/documentinsertion.h"
#include "engine/codec/listdocument.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "pastesources.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QTextTable>
#include <algorithm>
#include <memory>

using namespace engine;
using namespace pastesources;

namespace {

std::unique_ptr<QTextDocument> documentOf(const QByteArray &bytes, bool listDocument)
{
    std::unique_ptr<QTextDocument> document(listDocument ? new ListDocument : new QTextDocument);
    if (!bytes.isEmpty())
        readRtf(bytes, document.get());
    return document;
}

// Cursors other than the inserting one: before the selection, at its start, at its end
// (one of them keeping its place on insertion), and at the document's end.
QList<QTextCursor> otherCursors(QTextDocument *document, int anchor, int position)
{
    const int start = std::min(anchor, position);
    const int end = std::max(anchor, position);
    QList<QTextCursor> cursors;
    for (const int at : {std::max(0, start - 1), start, end, end, document->characterCount() - 1}) {
        QTextCursor cursor(document);
        cursor.setPosition(at);
        cursors.append(cursor);
    }
    cursors[3].setKeepPositionOnInsert(true);
    QTextCursor spanning(document);  // a selection from before the place to the end
    spanning.setPosition(std::max(0, start - 1));
    spanning.setPosition(document->characterCount() - 1, QTextCursor::KeepAnchor);
    cursors.append(spanning);
    return cursors;
}

QList<QPair<int, int>> placesOf(const QList<QTextCursor> &cursors)
{
    QList<QPair<int, int>> places;
    for (const QTextCursor &cursor : cursors)
        places.append({cursor.anchor(), cursor.position()});
    return places;
}

}  // namespace

class TestDocumentInsertion : public QObject {
    Q_OBJECT

private slots:
    // Whatever the source and wherever the cursor, the result is the one Qt's own
    // fragment insertion gives: same text, formats, lists and tables, the document's
    // other cursors moved alike; undo gives back the document, redo the insertion.
    void insertionMatchesAFragmentOfTheSource_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        const QByteArray twoItems = rtf("\\pard\\ls1 one\\par\\pard\\ls1 two\\par", kBullets);
        QTest::newRow("a run in mid-paragraph") << rtf("{\\b bold} run") << rtf("xy") << 1 << 1;
        QTest::newRow("paragraphs in mid-paragraph") << rtf("one\\par two") << rtf("xy\\par z") << 1 << 1;
        QTest::newRow("ends with a paragraph mark") << rtf("one\\par") << rtf("xy") << 2 << 2;
        QTest::newRow("at the start: the first format comes along") << rtf("\\qc centred\\par next") << rtf("xy")
                                                                    << 0 << 0;
        QTest::newRow("into an empty document") << rtf("\\qr right\\par\\qc centre") << QByteArray() << 0 << 0;
        QTest::newRow("replacing a selection") << rtf("new") << rtf("abcdef\\par ghi") << 1 << 8;
        QTest::newRow("a list into a plain paragraph") << twoItems << rtf("ab") << 1 << 1;
        QTest::newRow("a list into a list item") << twoItems << rtf("\\pard\\ls1 x\\par\\pard\\ls1 y\\par", kBullets)
                                                 << 3 << 3;
        QTest::newRow("two levels of a list")
            << rtf("\\pard\\ls1 a\\par\\pard\\ls1\\ilvl1 a1\\par\\pard\\ls1\\ilvl1 a2\\par\\pard\\ls1 b\\par", kBullets)
            << rtf("t") << 1 << 1;
        QTest::newRow("a table between paragraphs")
            << rtf("before\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row\\pard after\\par")
            << rtf("xy") << 1 << 1;
        const QByteArray table = rtf("\\trowd\\cellx1000\\cellx2000\\pard\\intbl Ab\\cell Cd\\cell\\row\\pard after\\par");
        const int inFirstCell = documentOf(table, false)->find(QStringLiteral("A")).selectionEnd();
        QTest::newRow("paragraphs into a table cell") << rtf("one\\par {\\b two}") << table << inFirstCell
                                                      << inFirstCell;
        QTest::newRow("runs of several paragraphs into a table cell")
            << rtf("{\\b a}b{\\i c}\\par d{\\ul e}\\par\\pard\\ls1 {\\b f}g\\par", kBullets) << table << inFirstCell
            << inFirstCell;
        QTest::newRow("a list over a selection in a table cell") << twoItems << table << inFirstCell - 1
                                                                 << inFirstCell + 1;
    }

    void insertionMatchesAFragmentOfTheSource()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, target);
        QFETCH(int, anchor);
        QFETCH(int, position);
        for (const bool listDocument : {false, true}) {
            const auto pasted = documentOf(source, false);
            const auto expected = documentOf(target, false);
            const auto actual = documentOf(target, listDocument);
            const QByteArray before = writeRtf(actual.get());
            const QList<QTextCursor> expectedOthers = otherCursors(expected.get(), anchor, position);
            const QList<QTextCursor> actualOthers = otherCursors(actual.get(), anchor, position);
            QTextCursor qtCursor(expected.get());
            qtCursor.setPosition(anchor);
            qtCursor.setPosition(position, QTextCursor::KeepAnchor);
            qtCursor.insertFragment(QTextDocumentFragment(pasted.get()));
            QTextCursor cursor(actual.get());
            cursor.setPosition(anchor);
            cursor.setPosition(position, QTextCursor::KeepAnchor);
            insertDocument(cursor, pasted.get());

            QCOMPARE(paragraphsAndItems(actual.get()), paragraphsAndItems(expected.get()));
            const QByteArray after = writeRtf(actual.get());
            QCOMPARE(after, writeRtf(expected.get()));
            QCOMPARE(cursor.position(), qtCursor.position());
            QVERIFY(!cursor.hasSelection());
            QCOMPARE(placesOf(actualOthers), placesOf(expectedOthers));

            actual->undo();
            QCOMPARE(writeRtf(actual.get()), before);
            actual->redo();
            QCOMPARE(writeRtf(actual.get()), after);
        }
    }

    void insertionIsOneUndoStep()
    {
        const auto pasted = documentOf(rtf("\\pard\\ls1 one\\par\\pard\\ls1 two\\par three", kBullets), false);
        const auto target = documentOf(rtf("keep\\par this"), true);
        const QByteArray before = writeRtf(target.get());
        QTextCursor cursor(target.get());
        cursor.setPosition(2);
        cursor.setPosition(7, QTextCursor::KeepAnchor);
        insertDocument(cursor, pasted.get());
        const QByteArray after = writeRtf(target.get());
        QVERIFY(after != before);
        target->undo();
        QCOMPARE(writeRtf(target.get()), before);
        QVERIFY(!target->isUndoAvailable());
        target->redo();
        QCOMPARE(writeRtf(target.get()), after);
    }

    void emptySourceLeavesTheSelectionAlone()
    {
        QTextDocument empty;
        QTextDocument target;
        target.setPlainText(QStringLiteral("abc"));
        QTextCursor cursor(&target);
        cursor.setPosition(0);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        insertDocument(cursor, &empty);
        QCOMPARE(target.toPlainText(), QStringLiteral("abc"));
        QVERIFY(!target.isUndoAvailable());
    }

    // The list comes over whole, in order, as a list of its own, between two items of
    // a list of the target's, which keeps its items.
    void aLongListArrivesInOrder()
    {
        QByteArray body;
        for (int i = 0; i < 3000; ++i)
            body += "\\pard\\ls1 item" + QByteArray::number(i) + "\\par";
        const auto pasted = documentOf(rtf(body, kBullets), false);
        const auto target = documentOf(rtf("\\pard\\ls1 x\\par\\pard\\par\\pard\\ls1 y\\par", kBullets), true);
        QTextCursor cursor(target.get());
        cursor.setPosition(2);  // in the empty paragraph between the items
        insertDocument(cursor, pasted.get());
        const QTextList *own = target->begin().textList();
        QTextBlock block = target->findBlock(3);
        QCOMPARE(block.text(), QStringLiteral("item0"));
        const QTextList *list = block.textList();
        QVERIFY(list && list != own);
        QCOMPARE(list->count(), 3000);
        for (int i = 0; i < 3000; ++i, block = block.next()) {
            QCOMPARE(list->item(i), block);
            QVERIFY(block.text().startsWith(QStringLiteral("item%1").arg(i)));
        }
        QCOMPARE(own->count(), 2);
        QCOMPARE(own->item(1).text(), QStringLiteral("y"));
    }
};

QTEST_MAIN(TestDocumentInsertion)
#include "tst_documentinsertion.moc"
