#pragma once
#include "engine/codec/formatrecords.h"

#include <QList>
#include <QTextCharFormat>

class QTextDocument;

// Character format changes over a range of any size. Each stretch of text keeps its own
// format with the masked fields applied (so per-run values such as the baseline offset
// shown relative to each run's size stay right). The formats are written straight into
// the document's storage and recorded as one undo entry; the layout hears of the change
// once, as one changed range. Paragraph ends keep their formats; the paragraph end of an
// empty paragraph in the range takes the change too, as it carries the format of text
// typed there. Callers group the change in an edit block.
namespace engine {

void applyCharFormatToRange(QTextDocument *document, int start, int end, const CharFormat &format);

// The different formats of the text in [start, end), paragraph ends left out, in the
// order they first occur.
QList<QTextCharFormat> distinctCharFormats(const QTextDocument *document, int start, int end);

}  // namespace engine
