#include "engine/codec/listdocument.h"
#include "engine/codec/listformat.h"

#include <QHash>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <functional>
#include <memory>

using namespace engine;

namespace {

// Each list as the texts of its items in item order, lists in order of first item.
QStringList listsOf(const QTextDocument *document)
{
    QList<const QTextList *> lists;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        if (block.textList() && !lists.contains(block.textList()))
            lists.append(block.textList());
    QStringList result;
    for (const QTextList *list : lists) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items.append(list->item(i).text());
        result.append(items.join(u','));
    }
    return result;
}

QTextCursor cursorAt(QTextDocument *document, int paragraph)
{
    return QTextCursor(document->findBlockByNumber(paragraph));
}

using Edit = std::function<void(QTextDocument *)>;

}  // namespace

Q_DECLARE_METATYPE(Edit)

class TestListDocument : public QObject {
    Q_OBJECT

private slots:
    // The same edits give the same lists, in the same order, as Qt's own lists, undone
    // and redone too.
    void listsMatchQtsOwn_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::newRow("one list over all") << Edit([](QTextDocument *d) {
            QTextCursor all(d);
            all.select(QTextCursor::Document);
            all.createList(listFormat(defaultLevelStyle(ListNumberKind::Decimal, 0), 0, 1));
        });
        QTest::newRow("items added out of order") << Edit([](QTextDocument *d) {
            QTextList *list = cursorAt(d, 5).createList(QTextListFormat::ListDecimal);
            list->add(d->findBlockByNumber(2));
            list->add(d->findBlockByNumber(7));
            list->add(d->findBlockByNumber(0));
        });
        QTest::newRow("a paragraph split inside the list") << Edit([](QTextDocument *d) {
            QTextCursor all(d);
            all.select(QTextCursor::Document);
            all.createList(QTextListFormat::ListDisc);
            QTextCursor middle = cursorAt(d, 4);
            middle.movePosition(QTextCursor::Right);
            middle.insertBlock();
            cursorAt(d, 0).insertBlock();
        });
        QTest::newRow("items removed from front, middle and end") << Edit([](QTextDocument *d) {
            QTextCursor all(d);
            all.select(QTextCursor::Document);
            QTextList *list = all.createList(QTextListFormat::ListDecimal);
            list->remove(d->findBlockByNumber(0));
            list->remove(d->findBlockByNumber(4));
            list->remove(d->lastBlock());
        });
        QTest::newRow("paragraphs deleted across two lists") << Edit([](QTextDocument *d) {
            cursorAt(d, 1).createList(QTextListFormat::ListDisc)->add(d->findBlockByNumber(2));
            cursorAt(d, 5).createList(QTextListFormat::ListDecimal)->add(d->findBlockByNumber(6));
            QTextCursor range = cursorAt(d, 2);
            range.setPosition(d->findBlockByNumber(5).position() + 1, QTextCursor::KeepAnchor);
            range.removeSelectedText();
        });
    }

    void listsMatchQtsOwn()
    {
        QFETCH(Edit, edit);
        QTextDocument qt;
        ListDocument ours;
        QStringList lines;
        for (int i = 0; i < 9; ++i)
            lines.append(QStringLiteral("p%1").arg(i));
        for (QTextDocument *document : {static_cast<QTextDocument *>(&qt), static_cast<QTextDocument *>(&ours)}) {
            document->setPlainText(lines.join(u'\n'));
            document->clearUndoRedoStacks();
            edit(document);
        }
        const QStringList edited = listsOf(&qt);
        QVERIFY(!edited.isEmpty());
        QCOMPARE(listsOf(&ours), edited);
        while (qt.isUndoAvailable())
            qt.undo();
        while (ours.isUndoAvailable())
            ours.undo();
        QCOMPARE(listsOf(&ours), QStringList());
        QCOMPARE(ours.toPlainText(), qt.toPlainText());
        while (ours.isRedoAvailable())
            ours.redo();
        QCOMPARE(listsOf(&ours), edited);
    }

    void aListWhoseLastItemLeavesIsGone()
    {
        ListDocument document;
        document.setPlainText(QStringLiteral("a\nb"));
        QPointer<QTextList> list = QTextCursor(&document).createList(QTextListFormat::ListDisc);
        list->add(document.lastBlock());
        list->remove(document.firstBlock());
        QVERIFY(list);
        list->remove(document.lastBlock());
        QVERIFY(!list);
        QVERIFY(!document.lastBlock().textList());
    }

    // In a numbered list the items after a new one change number: they are laid out
    // again with it; in a bulleted list only the new item is.
    void numbersThatMoveAreRelaidOut_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("laterItemsChanged");
        QTest::newRow("numbered") << int(ListNumberKind::Decimal) << true;
        QTest::newRow("bulleted") << int(ListNumberKind::Bullet) << false;
    }

    void numbersThatMoveAreRelaidOut()
    {
        QFETCH(int, kind);
        QFETCH(bool, laterItemsChanged);
        ListDocument document;
        document.documentLayout();  // changes are reported to a layout
        document.setPlainText(QStringLiteral("a\nb\nc\nd\ne"));
        QTextCursor all(&document);
        all.select(QTextCursor::Document);
        QTextList *list = all.createList(listFormat(defaultLevelStyle(ListNumberKind(kind), 0), 0, 1));
        list->remove(document.findBlockByNumber(1));
        int changedTo = -1;
        connect(&document, &QTextDocument::contentsChange, this,
                [&](int from, int, int added) { changedTo = std::max(changedTo, from + added); });
        list->add(document.findBlockByNumber(1));
        QCOMPARE(list->itemNumber(document.findBlockByNumber(1)), 1);
        const int laterItemsEnd = document.lastBlock().position();
        QCOMPARE(changedTo > laterItemsEnd, laterItemsChanged);
    }

    // Each item's number is its place among the list's paragraphs in document order,
    // through items joining and leaving anywhere in the list.
    void markersNumberEachItemByItsPlaceInItsList_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::newRow("as made") << Edit([](QTextDocument *) {});
        QTest::newRow("items leave at front, middle and end") << Edit([](QTextDocument *d) {
            QTextList *list = d->begin().textList();
            list->remove(d->findBlockByNumber(0));
            list->remove(d->findBlockByNumber(20));
            list->remove(d->lastBlock());
        });
        QTest::newRow("paragraphs split inside the list") << Edit([](QTextDocument *d) {
            for (const int paragraph : {30, 12, 0}) {
                QTextCursor cursor = cursorAt(d, paragraph);
                cursor.movePosition(QTextCursor::Right);
                cursor.insertBlock();
            }
        });
        QTest::newRow("items that left come back out of order") << Edit([](QTextDocument *d) {
            QTextList *list = d->begin().textList();
            for (const int paragraph : {5, 25, 6, 39})
                list->remove(d->findBlockByNumber(paragraph));
            for (const int paragraph : {39, 6, 25})
                list->add(d->findBlockByNumber(paragraph));
        });
        QTest::newRow("paragraphs deleted, then the deletion undone") << Edit([](QTextDocument *d) {
            QTextCursor range = cursorAt(d, 10);
            range.setPosition(d->findBlockByNumber(18).position() + 1, QTextCursor::KeepAnchor);
            range.removeSelectedText();
            cursorAt(d, 3).insertText(QStringLiteral("typed"));
            d->undo();
            d->undo();
        });
    }
    void markersNumberEachItemByItsPlaceInItsList()
    {
        QFETCH(Edit, edit);
        ListDocument document;
        QStringList lines;
        for (int i = 0; i < 40; ++i)
            lines.append(QStringLiteral("p%1").arg(i));
        document.setPlainText(lines.join(u'\n'));
        QTextCursor all(&document);
        all.select(QTextCursor::Document);
        all.createList(listFormat(defaultLevelStyle(ListNumberKind::Decimal, 0), 0, 1));
        edit(&document);
        QHash<const QTextList *, int> counted;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (!block.textList())
                continue;
            const int number = ++counted[block.textList()];
            QCOMPARE(listMarkerOf(block), QStringLiteral("%1.").arg(number));
        }
        QVERIFY(!counted.isEmpty());
    }
};

QTEST_MAIN(TestListDocument)
#include "tst_listdocument.moc"
