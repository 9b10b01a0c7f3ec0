#include "engine/codec/listdocument.h"
#include "engine/codec/listformat.h"

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
};

QTEST_MAIN(TestListDocument)
#include "tst_listdocument.moc"
