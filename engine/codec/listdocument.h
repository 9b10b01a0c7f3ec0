#pragma once
#include <QTextDocument>

// A QTextDocument whose lists take in and give up items in time that does not grow with
// their length. Qt's own lists tell the layout that every item changed whenever one item
// joins or leaves (and search the whole list for one that leaves), so building, pasting
// or deleting a list of n items costs time growing with n squared: minutes for a list of
// 100,000 paragraphs. Here an item is found by its position, and only the item itself is
// marked changed, with the items after it when their numbers move.
namespace engine {

class ListDocument : public QTextDocument {
public:
    explicit ListDocument(QObject *parent = nullptr) : QTextDocument(parent) {}

protected:
    QTextObject *createObject(const QTextFormat &format) override;
};

}  // namespace engine
