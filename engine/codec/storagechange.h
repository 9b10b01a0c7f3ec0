#pragma once

class QTextDocumentPrivate;

namespace engine {

// After formats were written straight into the document's storage: the layouts built
// from the old formats of the paragraphs in [from, to) are dropped and the change is
// announced as one range.
void announceFormatChange(QTextDocumentPrivate *storage, int from, int to);

}  // namespace engine
