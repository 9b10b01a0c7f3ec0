#pragma once
#include <QString>
#include <span>
#include <vector>

class QTextDocument;
class QTextDocumentPrivate;

// Puts a paragraph's text into a document in one insertion, in its first run's format,
// and then cuts it into its runs straight in the document's storage: inserted run by
// run, the storage would look up the place, the paragraph and the cursors again for
// each, several times the work. Undo takes the text out whole; redo puts it back in one
// piece in the first run's format, so the cuts are remembered and made again by a step
// that recordForRedo() puts on the undo stack after the insertions it belongs to.
namespace engine {

class RunCuts {
public:
    struct Run {
        int length;
        int format;  // index in the document's formats
    };

    // Where a paragraph's text was cut: its position and its runs in the list of all.
    struct Cut {
        int at;
        int firstRun;
        int runCount;
    };

    explicit RunCuts(QTextDocument *document);

    // Inserts `text`, the runs' text one after another, at `position`. Only inside an
    // edit block: a document without undo may rewrite its storage's text when an edit
    // finishes, which would move the text from under the cut.
    void insert(int position, const QString &text, std::span<const Run> runs);
    // The step that makes the cuts again on redo; call it once, after the insertions.
    void recordForRedo();

private:
    QTextDocument *m_document;
    QTextDocumentPrivate *m_storage;
    std::vector<Cut> m_cuts;
    std::vector<Run> m_runs;
};

}  // namespace engine
