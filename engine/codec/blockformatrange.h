#pragma once
#include <QTextBlock>
#include <QTextBlockFormat>

#include <functional>

class QTextDocument;

// Paragraph format changes over a run of paragraphs of any size. The formats are written
// straight into the document's storage and recorded as one undo entry; list membership
// follows the formats in one pass per list, and the layout hears of the change once, as
// one changed range. Callers group the change in an edit block.
namespace engine {

// The list (by object index, -1 for none) a paragraph is to belong to, asked once for
// each paragraph in document order.
using BlockListTarget = std::function<int(const QTextBlock &block)>;
// What a paragraph's format becomes, given its format and the list it is to belong to;
// the answer's object index is set to that list. Asked once for each pair of format and
// list.
using BlockFormatChange = std::function<QTextBlockFormat(const QTextBlockFormat &format, int listIndex)>;

// Changes every paragraph from `first` to `last`. Without `target` each paragraph stays
// in its list.
void changeBlockFormats(QTextDocument *document, const QTextBlock &first, const QTextBlock &last,
                        const BlockFormatChange &change, const BlockListTarget &target = {});

}  // namespace engine
