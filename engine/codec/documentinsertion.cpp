#include "engine/codec/documentinsertion.h"

#include "engine/codec/deferredcursormoves.h"
#include "engine/codec/runcuts.h"

#include <QHash>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextformat_p.h>
#include <QtGui/private/qtextobject_p.h>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace engine {
namespace {

class DocumentInserter {
public:
    DocumentInserter(const QTextDocument *source, QTextCursor &cursor)
        : m_source(QTextDocumentPrivate::get(source)),
          m_target(QTextDocumentPrivate::get(cursor.document())),
          m_sourceText(m_source->buffer()),
          m_start(cursor.position()),
          m_position(m_start),
          m_runCuts(cursor.document())
    {
    }

    // Walks the source's pieces and paragraphs in order; returns the length inserted.
    int insertAll()
    {
        const int end = m_source->length() - 1;  // the document's last mark stays behind
        QTextBlock block = m_source->blocksBegin();
        int position = 0;
        for (auto fragment = m_source->begin(); position < end; ++fragment) {
            const QTextFragmentData *data = fragment.value();
            const int length = std::min(int(data->size_array[0]), end - position);
            const QString text = QString::fromRawData(m_sourceText.constData() + data->stringPosition, length);
            const int charFormat = targetFormat(data->format);
            if (isParagraphMark(text)) {
                block = block.next();
                insertParagraphMark(text[0], targetFormat(block.blockFormatIndex()), charFormat);
            } else {
                if (position == 0 && m_position == 0)
                    takeFirstParagraphFormats();
                insertText(text, charFormat, block);
            }
            position += length;
        }
        insertPendingText();
        m_runCuts.recordForRedo();
        return m_position - m_start;
    }

private:
    static bool isParagraphMark(const QString &text)
    {
        return text.size() == 1
               && (text[0] == QChar::ParagraphSeparator || text[0] == QTextBeginningOfFrame
                   || text[0] == QTextEndOfFrame);
    }
    void takeFirstParagraphFormats();
    void insertText(const QString &text, int charFormat, const QTextBlock &block);
    void insertPendingText();
    void insertParagraphMark(QChar mark, int blockFormat, int charFormat);
    void insertListParagraph(int blockFormat, int charFormat);
    void fillInOrder(QTextList *list, const std::function<void()> &insertion);
    QTextList *newListOf(int blockFormat) const;
    int targetFormat(int sourceFormat);

    const QTextDocumentPrivate *m_source;
    QTextDocumentPrivate *m_target;
    const QString m_sourceText;
    const int m_start;
    int m_position;
    bool m_inParagraph = false;  // text has gone into the target's paragraph at m_position
    // The text of a paragraph, collected piece by piece and inserted at its end.
    QString m_pendingText;
    std::vector<RunCuts::Run> m_pendingRuns;
    QTextBlock m_pendingBlock;  // the source's paragraph it comes from
    RunCuts m_runCuts;
    QHash<int, int> m_formats;  // source format index to target format index
    QHash<int, int> m_objects;  // source object index to the target's new one
    QSet<int> m_newObjects;
};

// Qt changes the format of a document's first paragraph mark without recording it for
// undo; this step of the insertion's undo gives it back.
class FirstMarkFormatChange : public QAbstractUndoItem {
public:
    FirstMarkFormatChange(QTextDocumentPrivate *document, QTextCharFormat before, QTextCharFormat after)
        : m_document(document), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void undo() override { m_document->setCharFormat(-1, 1, m_before); }
    void redo() override { m_document->setCharFormat(-1, 1, m_after); }

private:
    QTextDocumentPrivate *m_document;
    QTextCharFormat m_before;
    QTextCharFormat m_after;
};

// At the target's start the first paragraph takes the source's formats.
void DocumentInserter::takeFirstParagraphFormats()
{
    const QTextBlock first = m_source->blocksBegin();
    QTextFormatCollection *formats = m_target->formatCollection();
    m_target->setBlockFormat(m_target->blocksBegin(), m_target->blocksBegin(),
                             formats->blockFormat(targetFormat(first.blockFormatIndex())));
    const QTextCharFormat before = m_target->blocksBegin().charFormat();
    const QTextCharFormat after = formats->charFormat(targetFormat(first.charFormatIndex()));
    m_target->setCharFormat(-1, 1, after);
    m_target->document()->appendUndoItem(new FirstMarkFormatChange(m_target, before, after));
}

// Text of the source's paragraph `block`, kept until the paragraph's end. The first text
// a paragraph of the target takes decides whether it must become a list item.
void DocumentInserter::insertText(const QString &text, int charFormat, const QTextBlock &block)
{
    // Text of a list item arriving in a paragraph that is none starts an item of its own.
    if (!std::exchange(m_inParagraph, true) && block.textList() && !m_target->blocksFind(m_position).textList())
        insertListParagraph(targetFormat(block.blockFormatIndex()), targetFormat(block.charFormatIndex()));
    if (!m_pendingRuns.empty() && m_pendingRuns.back().format == charFormat)
        m_pendingRuns.back().length += int(text.size());
    else
        m_pendingRuns.push_back({int(text.size()), charFormat});
    m_pendingText.append(text);
    m_pendingBlock = block;
}

// The paragraph's text goes in at once, with the source paragraph's state.
void DocumentInserter::insertPendingText()
{
    if (m_pendingRuns.empty())
        return;
    m_runCuts.insert(m_position, m_pendingText, m_pendingRuns);
    if (m_pendingBlock.userState() != -1)
        m_target->blocksFind(m_position).setUserState(m_pendingBlock.userState());
    m_position += int(m_pendingText.size());
    m_pendingText.resize(0);
    m_pendingRuns.clear();
}

void DocumentInserter::insertParagraphMark(QChar mark, int blockFormat, int charFormat)
{
    insertPendingText();
    const auto insertion = [&] { m_target->insertBlock(mark, m_position, blockFormat, charFormat); };
    if (QTextList *list = blockFormat >= 0 ? newListOf(blockFormat) : nullptr)
        fillInOrder(list, insertion);
    else
        insertion();
    ++m_position;
    m_inParagraph = false;
}

void DocumentInserter::insertListParagraph(int blockFormat, int charFormat)
{
    const auto insertion = [&] { m_target->insertBlock(m_position, blockFormat, charFormat); };
    if (QTextList *list = newListOf(blockFormat))
        fillInOrder(list, insertion);
    else
        insertion();
    ++m_position;
}

// A list made by this insertion gets its items in document order, after those it has:
// they are kept aside while the new one joins, so that Qt marks only the new one changed.
void DocumentInserter::fillInOrder(QTextList *list, const std::function<void()> &insertion)
{
    auto *group = static_cast<QTextBlockGroupPrivate *>(QObjectPrivate::get(list));
    QList<QTextBlock> earlier = std::exchange(group->blocks, {});
    insertion();
    const bool inOrder = earlier.isEmpty() || group->blocks.isEmpty() || earlier.last() < group->blocks.first();
    earlier.append(group->blocks);
    if (!inOrder)
        std::sort(earlier.begin(), earlier.end());
    group->blocks = std::move(earlier);
}

QTextList *DocumentInserter::newListOf(int blockFormat) const
{
    const int object = m_target->formatCollection()->format(blockFormat).objectIndex();
    if (!m_newObjects.contains(object))
        return nullptr;
    return qobject_cast<QTextList *>(m_target->objectForFormat(blockFormat));
}

// The source's format in the target's collection; a format of a list or table names the
// target's new copy of that list or table.
int DocumentInserter::targetFormat(int sourceFormat)
{
    const auto known = m_formats.constFind(sourceFormat);
    if (known != m_formats.cend())
        return *known;
    QTextFormat format = m_source->formatCollection()->format(sourceFormat);
    if (const int object = format.objectIndex(); object != -1) {
        auto mapped = m_objects.find(object);
        if (mapped == m_objects.end()) {
            const int created = m_target->formatCollection()->createObjectIndex(
                m_source->formatCollection()->objectFormat(object));
            mapped = m_objects.insert(object, created);
            m_newObjects.insert(created);
        }
        format.setObjectIndex(*mapped);
    }
    const int index = m_target->formatCollection()->indexForFormat(format);
    m_formats.insert(sourceFormat, index);
    return index;
}

}  // namespace

void insertDocument(QTextCursor &cursor, const QTextDocument *source)
{
    if (cursor.isNull() || !source || source->characterCount() <= 1)
        return;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    DeferredCursorMoves cursorMoves(cursor.document(), cursor.position());
    cursorMoves.finish(DocumentInserter(source, cursor).insertAll());
    cursor.endEditBlock();
    QTextDocumentPrivate::get(cursor.document())->mergeCachedResources(QTextDocumentPrivate::get(source));
}

}  // namespace engine
