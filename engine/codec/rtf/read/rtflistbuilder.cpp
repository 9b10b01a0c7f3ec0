#include "engine/codec/rtf/read/rtflistbuilder.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextobject_p.h>
#include <utility>

namespace engine::rtfin {

void ListBuilder::place(const QTextBlock &paragraph, const ListItem &item)
{
    append(listFor(item), paragraph);
}

QTextList *ListBuilder::listFor(const ListItem &item)
{
    const int level = std::clamp(item.level, 0, kListLevels - 1);
    auto found = m_sources.find(item.source);
    if (found == m_sources.end())
        found = m_sources.insert(item.source, Source{int(m_sources.size()) + 1, {}});
    Source &source = found.value();
    // An item ends the runs of the levels below it: they start again under it.
    for (int below = level + 1; below < kListLevels; ++below)
        source.current[size_t(below)] = nullptr;
    QTextList *&list = source.current[size_t(level)];
    ListLevelStyle &style = source.currentStyle[size_t(level)];
    if (list && style != item.style)
        list = nullptr;
    if (!list) {
        list = static_cast<QTextList *>(m_createObject(listFormat(item.style, level, source.group)));
        style = levelStyleOf(list->format());
    }
    return list;
}

// Qt's list marks every item of the list changed whenever one joins it. The reader adds
// items at the document's end only, where the items already in the list stay as they
// are: they are kept aside while the new one joins.
void ListBuilder::insertJoining(QTextList *list, const std::function<void()> &insert)
{
    auto *group = static_cast<QTextBlockGroupPrivate *>(QObjectPrivate::get(list));
    QList<QTextBlock> earlier = std::exchange(group->blocks, {});
    insert();
    earlier.append(group->blocks);
    group->blocks = std::move(earlier);
}

void ListBuilder::append(QTextList *list, const QTextBlock &paragraph)
{
    insertJoining(list, [&] { list->add(paragraph); });
}

}  // namespace engine::rtfin
