#include "engine/codec/listdocument.h"

#include "engine/codec/listformat.h"

#include <QTextBlock>
#include <QTextList>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextobject_p.h>
#include <algorithm>

namespace engine {
namespace {

class OrderedList : public QTextList {
public:
    explicit OrderedList(QTextDocument *document) : QTextList(document) {}

protected:
    void blockInserted(const QTextBlock &block) override
    {
        QList<QTextBlock> &items = itemsOf();
        if (items.isEmpty() || items.last() < block)
            items.append(block);
        else
            items.insert(std::lower_bound(items.begin(), items.end(), block), block);
        markChangedFrom(block);
    }

    void blockRemoved(const QTextBlock &block) override
    {
        QList<QTextBlock> &items = itemsOf();
        const auto found = std::lower_bound(items.begin(), items.end(), block);
        if (found != items.end() && *found == block)
            items.erase(found);
        else
            items.removeAll(block);
        markChangedFrom(block);
        if (items.isEmpty())
            QTextDocumentPrivate::get(document())->deleteObject(this);
    }

private:
    QList<QTextBlock> &itemsOf()
    {
        return static_cast<QTextBlockGroupPrivate *>(QObjectPrivate::get(this))->blocks;
    }

    // The block's paragraph, and in a numbered list the items after it, whose numbers moved.
    void markChangedFrom(const QTextBlock &block)
    {
        QTextDocumentPrivate *storage = QTextDocumentPrivate::get(document());
        const int start = block.position();
        int end = start + block.length();
        const QList<QTextBlock> &items = itemsOf();
        if (!items.isEmpty() && numbered()) {
            const QTextBlock &last = items.last();
            end = std::max(end, last.position() + last.length());
        }
        storage->documentChange(start, end - start);
    }

    bool numbered() const
    {
        return !isEngineList(this) || levelStyleOf(format()).kind != ListNumberKind::Bullet;
    }
};

}  // namespace

QTextObject *ListDocument::createObject(const QTextFormat &format)
{
    if (format.isListFormat())
        return new OrderedList(this);
    return QTextDocument::createObject(format);
}

}  // namespace engine
