#pragma once
#include "engine/codec/formatrecords.h"

#include <QString>

class QTextDocument;

// Find over character positions: searches one paragraph at a time inside the range, so
// that a search near the caret costs what the range holds, not what the document holds.
namespace engine {

struct SearchOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool forward = true;  // backward answers the last hit in the range
};

// Start of the first (or, backward, the last) hit that lies wholly in [range.min,
// range.max) (max -1: the end of the text), or -1. Paragraph ends in `text` are "\r"
// (a "\r\n" pair counts as one).
int findInDocument(const QTextDocument &document, CharRange range, const QString &text,
                   SearchOptions options);

// Whether a hit at [start, start + length) of `text` stands as a whole word.
bool isWholeWordAt(const QString &text, int start, int length);

}  // namespace engine
