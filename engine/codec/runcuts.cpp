#include "engine/codec/runcuts.h"

#include <QTextDocument>
#include <QtGui/private/qtextdocument_p.h>
#include <utility>

namespace engine {
namespace {

// The text at `at`, one piece of the storage's text (or the end of one that it joined,
// having its format and following it in the storage's buffer), is cut into one piece a
// run, each with the run's format.
void cut(QTextDocumentPrivate *storage, int at, std::span<const RunCuts::Run> runs)
{
    QTextDocumentPrivate::FragmentMap &pieces = storage->fragmentMap();
    const uint first = pieces.findNode(at);
    const int firstStart = int(pieces.position(first));
    const int bufferStart = int(pieces.fragment(first)->stringPosition) + (at - firstStart);
    pieces.setSize(first, at - firstStart + runs.front().length);
    int position = at + runs.front().length;
    for (const RunCuts::Run &run : runs.subspan(1)) {
        QTextFragmentData *piece = pieces.fragment(pieces.insert_single(position, uint(run.length)));
        piece->stringPosition = bufferStart + (position - at);
        piece->format = run.format;
        position += run.length;
    }
}

// The last step of an insertion's undo: undo takes the text out whole, leaving it nothing
// to do; redo puts each paragraph's text back in one piece, which it cuts again.
class RedoCuts : public QAbstractUndoItem {
public:
    RedoCuts(QTextDocumentPrivate *storage, std::vector<RunCuts::Cut> cuts, std::vector<RunCuts::Run> runs)
        : m_storage(storage), m_cuts(std::move(cuts)), m_runs(std::move(runs))
    {
    }
    void undo() override {}
    void redo() override
    {
        const std::span<const RunCuts::Run> runs(m_runs);
        for (const RunCuts::Cut &each : m_cuts)
            cut(m_storage, each.at, runs.subspan(each.firstRun, each.runCount));
    }

private:
    QTextDocumentPrivate *m_storage;
    std::vector<RunCuts::Cut> m_cuts;
    std::vector<RunCuts::Run> m_runs;
};

}  // namespace

RunCuts::RunCuts(QTextDocument *document)
    : m_document(document), m_storage(QTextDocumentPrivate::get(document))
{
}

void RunCuts::insert(int position, const QString &text, std::span<const Run> runs)
{
    m_storage->insert(position, text, runs.front().format);
    if (runs.size() < 2)
        return;
    cut(m_storage, position, runs);
    m_cuts.push_back(Cut{position, int(m_runs.size()), int(runs.size())});
    m_runs.insert(m_runs.end(), runs.begin(), runs.end());
}

void RunCuts::recordForRedo()
{
    if (m_cuts.empty())
        return;
    m_document->appendUndoItem(new RedoCuts(m_storage, std::exchange(m_cuts, {}), std::exchange(m_runs, {})));
}

}  // namespace engine
