#include "engine/codec/documentinsertion.h"

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

namespace engine {
namespace {

class DocumentInserter {
public:
    DocumentInserter(const QTextDocument *source, QTextCursor &cursor)
        : m_source(QTextDocumentPrivate::get(source)),
          m_target(QTextDocumentPrivate::get(cursor.document())),
          m_sourceText(m_source->buffer()),
          m_position(cursor.position())
    {
    }

    void insertAll()
    {
        const int end = m_source->length() - 1;  // the document's last mark stays behind
        for (int position = 0; position < end;)
            position += insertFragmentAt(position, end);
    }

private:
    int insertFragmentAt(int position, int end);
    void insertParagraphMark(QChar mark, int blockFormat, int charFormat);
    void insertListParagraph(int blockFormat, int charFormat);
    void fillInOrder(QTextList *list, const std::function<void()> &insertion);
    QTextList *newListOf(int blockFormat) const;
    int targetFormat(int sourceFormat);

    const QTextDocumentPrivate *m_source;
    QTextDocumentPrivate *m_target;
    const QString m_sourceText;
    int m_position;
    QHash<int, int> m_formats;  // source format index to target format index
    QHash<int, int> m_objects;  // source object index to the target's new one
    QSet<int> m_newObjects;
};

// One fragment of the source, or the part of it before `end`; returns its length.
int DocumentInserter::insertFragmentAt(int position, int end)
{
    const QTextDocumentPrivate::FragmentIterator fragment = m_source->find(position);
    const QTextFragmentData *data = fragment.value();
    const int charFormat = targetFormat(data->format);
    const int offset = std::max(0, position - int(fragment.position()));
    const int length = std::min(int(data->size_array[0]) - offset, end - position);
    const QTextBlock next = m_source->blocksFind(position + 1);

    int blockFormat = -2;
    if (next.position() == position + 1) {
        blockFormat = targetFormat(next.blockFormatIndex());
    } else if (position == 0 && m_position == 0) {
        // At the target's start the first paragraph takes the source's formats.
        const QTextBlock first = m_source->blocksBegin();
        m_target->setBlockFormat(m_target->blocksBegin(), m_target->blocksBegin(),
                                 m_target->formatCollection()->blockFormat(targetFormat(first.blockFormatIndex())));
        m_target->setCharFormat(-1, 1, m_target->formatCollection()->charFormat(targetFormat(first.charFormatIndex())));
    }

    const QString text = m_sourceText.mid(data->stringPosition + offset, length);
    if (text.size() == 1
        && (text[0] == QChar::ParagraphSeparator || text[0] == QTextBeginningOfFrame || text[0] == QTextEndOfFrame)) {
        insertParagraphMark(text[0], blockFormat, charFormat);
        return length;
    }
    // Text of a list item arriving in a paragraph that is none starts an item of its own.
    if (next.textList() && !m_target->blocksFind(m_position).textList())
        insertListParagraph(targetFormat(next.blockFormatIndex()), targetFormat(next.charFormatIndex()));
    m_target->insert(m_position, text, charFormat);
    if (next.userState() != -1)
        m_target->blocksFind(m_position).setUserState(next.userState());
    m_position += text.size();
    return length;
}

void DocumentInserter::insertParagraphMark(QChar mark, int blockFormat, int charFormat)
{
    const auto insertion = [&] { m_target->insertBlock(mark, m_position, blockFormat, charFormat); };
    if (QTextList *list = blockFormat >= 0 ? newListOf(blockFormat) : nullptr)
        fillInOrder(list, insertion);
    else
        insertion();
    ++m_position;
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
    DocumentInserter(source, cursor).insertAll();
    cursor.endEditBlock();
    QTextDocumentPrivate::get(cursor.document())->mergeCachedResources(QTextDocumentPrivate::get(source));
}

}  // namespace engine
