#pragma once
#include "engine/codec/listformat.h"

#include <QHash>
#include <array>
#include <functional>
#include <utility>

class QTextBlock;
class QTextDocument;
class QTextFormat;
class QTextList;
class QTextObject;

// Puts the paragraphs the RTF reader builds into the document's lists, one QTextList per
// level of a list, started again under each new item of a level above it. Adding an item
// costs the same however long its list already is (Qt's own add() touches every item).
namespace engine::rtfin {

struct ListItem {
    int source = 0;  // the file's list: items of one source number together
    int level = 0;
    ListLevelStyle style;
};

class ListBuilder {
public:
    // `createObject` makes a new list of the format given in the document.
    using ObjectMaker = std::function<QTextObject *(const QTextFormat &)>;
    explicit ListBuilder(ObjectMaker createObject) : m_createObject(std::move(createObject)) {}

    void place(const QTextBlock &paragraph, const ListItem &item);
    // The list a paragraph of `item` joins: the current one of its level, or a new one.
    QTextList *listFor(const ListItem &item);
    // Runs `insert`, which inserts a paragraph whose format names `list` (so that the
    // storage adds it to the list), without touching the list's earlier items.
    void insertJoining(QTextList *list, const std::function<void()> &insert);

private:
    struct Source {
        int group = 0;
        std::array<QTextList *, kListLevels> current{};
        std::array<ListLevelStyle, kListLevels> currentStyle{};  // of each current list
    };

    void append(QTextList *list, const QTextBlock &paragraph);

    ObjectMaker m_createObject;
    QHash<int, Source> m_sources;
};

}  // namespace engine::rtfin
