#include "engine/codec/rtf/read/rtflistbuilder.h"
#include "engine/codec/rtf/read/storageappender.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtGui/private/qtextdocument_p.h>
#include <random>

using namespace engine::rtfin;

namespace {

struct Paragraph {
    QString text;
    std::vector<TextRun> runs;
    int blockFormat = 0;
    int markFormat = 0;
    QTextList *list = nullptr;
};

// A document being built as the RTF reader builds one: undo off, an edit block open,
// cursors not following insertions, a first paragraph already there.
class BuildSite {
public:
    explicit BuildSite(QTextDocument &document) : m_document(document), m_cursor(&document),
          m_lists([&document](const QTextFormat &format) { return QTextDocumentPrivate::get(&document)->createObject(format); })
    {
        document.setUndoRedoEnabled(false);
        m_cursor.beginEditBlock();
        m_cursor.insertText(QStringLiteral("first"));
        storage()->blockCursorAdjustment = true;
        QObject::connect(&document, &QTextDocument::contentsChange, [this](int from, int removed, int added) {
            change = {from, removed, added};
        });
    }
    QTextDocumentPrivate *storage() { return QTextDocumentPrivate::get(&m_document); }
    int format(const QTextFormat &format) { return storage()->formatCollection()->indexForFormat(format); }
    void joiningList(QTextList *list, const std::function<void()> &insert)
    {
        if (list)
            m_lists.insertJoining(list, insert);
        else
            insert();
    }
    void finish()
    {
        storage()->blockCursorAdjustment = false;
        m_cursor.endEditBlock();
    }
    std::array<int, 3> change{};  // the last contentsChange: from, removed, added

private:
    QTextDocument &m_document;
    QTextCursor m_cursor;
    ListBuilder m_lists;
};

// The storage as lists of numbers: each piece (position, length, buffer position, format)
// and each block (position, length, format, revision), with the buffer itself.
QStringList storageOf(QTextDocument &document)
{
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(&document);
    QStringList lines{storage->buffer()};
    const auto &pieces = storage->fragmentMap();
    for (uint n = pieces.firstNode(); n; n = pieces.next(n)) {
        lines << QStringLiteral("piece %1 %2 %3 %4")
                     .arg(pieces.position(n))
                     .arg(pieces.size(n))
                     .arg(pieces.fragment(n)->stringPosition)
                     .arg(pieces.fragment(n)->format);
    }
    const auto &blocks = storage->blockMap();
    for (uint n = blocks.firstNode(); n; n = blocks.next(n)) {
        lines << QStringLiteral("block %1 %2 %3 %4")
                     .arg(blocks.position(n))
                     .arg(blocks.size(n))
                     .arg(blocks.fragment(n)->format)
                     .arg(blocks.fragment(n)->revision);
    }
    return lines;
}

// Checks a red-black tree from `node` down: parents, left sizes, no red node under a red
// one, as many black nodes on every way down. Gives the black height and the size of the
// subtree, or a black height of -1 when a rule is broken.
struct Subtree {
    int blackHeight;
    uint size;
};
template <typename Map>
Subtree check(const Map &map, uint node, uint parent)
{
    if (!node)
        return {1, 0};
    const auto *f = map.fragment(node);
    const Subtree left = check(map, f->left, node);
    const Subtree right = check(map, f->right, node);
    const bool redUnderRed = f->color == 0
                             && ((f->left && map.fragment(f->left)->color == 0)
                                 || (f->right && map.fragment(f->right)->color == 0));
    if (f->parent != parent || left.blackHeight < 0 || left.blackHeight != right.blackHeight
        || f->size_left_array[0] != left.size || redUnderRed)
        return {-1, 0};
    return {left.blackHeight + (f->color == 1 ? 1 : 0), left.size + f->size_array[0] + right.size};
}

template <typename Map>
bool isSoundTree(const Map &map)
{
    uint root = map.firstNode();
    while (root && map.fragment(root)->parent)
        root = map.fragment(root)->parent;
    const Subtree whole = check(map, root, 0);
    return whole.blackHeight > 0 && int(whole.size) == map.length();
}

// Paragraphs of runs in alternating formats, empty ones among them, some list items.
std::vector<Paragraph> paragraphs(BuildSite &site, QTextDocument &document, int count, int seed)
{
    std::mt19937 random(seed);
    QList<int> charFormats;
    for (int i = 0; i < 4; ++i) {
        QTextCharFormat format;
        format.setFontPointSize(10 + i);
        charFormats << site.format(format);
    }
    QTextBlockFormat plain;
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignCenter);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    auto *list = static_cast<QTextList *>(site.storage()->createObject(bullets));
    QTextBlockFormat item;
    item.setObjectIndex(list->objectIndex());
    const QList<int> blockFormats{site.format(plain), site.format(centred), site.format(item)};
    Q_UNUSED(document);

    std::vector<Paragraph> result;
    for (int p = 0; p < count; ++p) {
        Paragraph paragraph;
        paragraph.blockFormat = blockFormats[int(random() % 3)];
        paragraph.list = paragraph.blockFormat == blockFormats[2] ? list : nullptr;
        paragraph.markFormat = charFormats[int(random() % 4)];
        const int runs = int(random() % 5);
        int format = -1;
        for (int r = 0; r < runs; ++r) {
            int next = charFormats[int(random() % 4)];
            if (next == format)
                next = charFormats[(charFormats.indexOf(next) + 1) % 4];
            format = next;
            const QString text = QString(int(random() % 7) + 1, QChar(u'a' + r));
            paragraph.runs.push_back(TextRun{paragraph.text.size(), text.size(), format});
            paragraph.text += text;
        }
        result.push_back(paragraph);
    }
    return result;
}

// The same paragraphs through Qt's own insertions: a paragraph mark, then each run.
void insertThroughQt(BuildSite &site, const std::vector<Paragraph> &paragraphs)
{
    QTextDocumentPrivate *storage = site.storage();
    for (const Paragraph &paragraph : paragraphs) {
        site.joiningList(paragraph.list, [&] {
            storage->insertBlock(storage->length() - 1, paragraph.blockFormat, paragraph.markFormat);
        });
        for (const TextRun &run : paragraph.runs)
            storage->insert(storage->length() - 1, paragraph.text.mid(run.from, run.length), run.format);
    }
}

// With `reserveHalfway`, room for a large source is made once half the paragraphs are in.
void appendDirectly(BuildSite &site, QTextDocument &document, const std::vector<Paragraph> &paragraphs,
                    bool reserveHalfway = false)
{
    StorageAppender appender(&document);
    for (const Paragraph &paragraph : paragraphs) {
        if (reserveHalfway && &paragraph == &paragraphs[paragraphs.size() / 2])
            appender.reserveFor(qsizetype(4) << 20);
        QVERIFY(appender.accepts(paragraph.blockFormat, paragraph.markFormat, paragraph.runs));
        site.joiningList(paragraph.list, [&] {
            const int end = appender.appendParagraph(paragraph.blockFormat, paragraph.markFormat, paragraph.text,
                                                     paragraph.runs);
            QCOMPARE(end, site.storage()->length() - 1);
        });
    }
}

}  // namespace

// The appender writes into Qt's storage by hand what Qt's insertions would write; these
// cases compare the two storages node by node and then edit both.
class TestStorageAppender : public QObject {
    Q_OBJECT

private slots:
    void appendedParagraphsLeaveWhatQtsInsertionsLeave_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("seed");
        QTest::addColumn<bool>("reserveHalfway");
        QTest::newRow("one paragraph") << 1 << 1 << false;
        QTest::newRow("a few") << 6 << 2 << false;
        QTest::newRow("enough to rebalance the trees often") << 700 << 3 << false;
        QTest::newRow("room for a large source made halfway") << 700 << 5 << true;
    }
    void appendedParagraphsLeaveWhatQtsInsertionsLeave()
    {
        QFETCH(int, count);
        QFETCH(int, seed);
        QFETCH(bool, reserveHalfway);
        QTextDocument byQt;
        BuildSite qtSite(byQt);
        insertThroughQt(qtSite, paragraphs(qtSite, byQt, count, seed));
        qtSite.finish();

        QTextDocument appended;
        BuildSite site(appended);
        appendDirectly(site, appended, paragraphs(site, appended, count, seed), reserveHalfway);
        site.finish();

        QCOMPARE(storageOf(appended), storageOf(byQt));
        QCOMPARE(site.change, qtSite.change);
        QVERIFY(isSoundTree(QTextDocumentPrivate::get(&appended)->fragmentMap()));
        QVERIFY(isSoundTree(QTextDocumentPrivate::get(&appended)->blockMap()));
        QTextList *list = appended.lastBlock().textList();
        for (QTextBlock block = appended.begin(); block.isValid() && !list; block = block.next())
            list = block.textList();
        QTextList *qtList = nullptr;
        for (QTextBlock block = byQt.begin(); block.isValid() && !qtList; block = block.next())
            qtList = block.textList();
        QCOMPARE(bool(list), bool(qtList));
        if (list) {
            QCOMPARE(list->count(), qtList->count());
            for (int i = 0; i < list->count(); ++i)
                QCOMPARE(list->item(i).position(), qtList->item(i).position());
        }
    }

    // Qt's own edits find their way through the appended trees afterwards, also where
    // the trees' nodes come from room made for a large source.
    void theAppendedStorageTakesQtsEdits_data()
    {
        QTest::addColumn<bool>("reserveHalfway");
        QTest::newRow("grown as filled") << false;
        QTest::newRow("room made halfway") << true;
    }
    void theAppendedStorageTakesQtsEdits()
    {
        QFETCH(bool, reserveHalfway);
        QTextDocument byQt;
        BuildSite qtSite(byQt);
        insertThroughQt(qtSite, paragraphs(qtSite, byQt, 300, 4));
        qtSite.finish();
        QTextDocument appended;
        BuildSite site(appended);
        appendDirectly(site, appended, paragraphs(site, appended, 300, 4), reserveHalfway);
        site.finish();

        for (QTextDocument *document : {&byQt, &appended}) {
            document->setUndoRedoEnabled(true);
            QTextCursor cursor(document);
            cursor.setPosition(document->characterCount() / 2);
            cursor.insertText(QStringLiteral("middle"));
            cursor.insertBlock();
            cursor.setPosition(40);
            cursor.setPosition(400, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(QStringLiteral("end"));
            document->undo();
        }
        QCOMPARE(appended.toPlainText(), byQt.toPlainText());
        QCOMPARE(appended.blockCount(), byQt.blockCount());
        QVERIFY(isSoundTree(QTextDocumentPrivate::get(&appended)->fragmentMap()));
        QVERIFY(isSoundTree(QTextDocumentPrivate::get(&appended)->blockMap()));
    }

    // What the appender cannot write as Qt would is left to Qt's insertions.
    void refusesWhatOnlyQtCanInsert()
    {
        QTextDocument document;
        BuildSite site(document);
        StorageAppender appender(&document);
        const int plain = site.format(QTextCharFormat());
        const int block = site.format(QTextBlockFormat());
        const std::vector<TextRun> text{{0, 3, plain}};
        QVERIFY(appender.accepts(block, plain, text));
        const std::vector<TextRun> marked{{0, 3, plain, true}};
        QVERIFY(!appender.accepts(block, plain, marked));
        QTextFrameFormat frameFormat;
        auto *frame = site.storage()->createObject(frameFormat);
        QTextCharFormat inFrame;
        inFrame.setObjectIndex(frame->objectIndex());
        QVERIFY(!appender.accepts(block, site.format(inFrame), text));
        site.storage()->blockCursorAdjustment = false;
        QVERIFY(!appender.accepts(block, plain, text));
        site.finish();
        QVERIFY(!appender.accepts(block, plain, text));
    }
};

QTEST_MAIN(TestStorageAppender)
#include "tst_storageappender.moc"
