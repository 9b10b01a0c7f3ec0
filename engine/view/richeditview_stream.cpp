#include "engine/codec/documentextras.h"
#include "engine/codec/hugepages.h"
#include "engine/codec/plaintext.h"
#include "engine/view/richeditview.h"
#include "engine/view/richeditview_p.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"

#include <QTextCursor>
#include <QTextDocument>

namespace engine {
namespace {

constexpr qint64 kChunkSize = 64 * 1024;
// More than any document the engine is meant to hold; a source that never ends fails
// here instead of exhausting memory.
constexpr qsizetype kMaxStreamBytes = qsizetype(1) << 30;

// All chunks of the source, or false when the callback reports a failure.
bool readAll(const StreamReader &reader, qint64 expectedBytes, QByteArray &bytes)
{
    if (expectedBytes > 0 && expectedBytes <= kMaxStreamBytes) {
        bytes.reserve(qsizetype(expectedBytes + kChunkSize));  // the last, empty read fits too
        preferLargePages(bytes.constData(), size_t(bytes.capacity()));
    }
    for (;;) {
        const qsizetype at = bytes.size();
        if (at > kMaxStreamBytes)
            return false;
        bytes.resize(at + kChunkSize);
        const qint64 count = reader(bytes.data() + at, kChunkSize);
        if (count < 0 || count > kChunkSize)
            return false;
        bytes.resize(at + count);
        if (count == 0)
            return true;
    }
}

}  // namespace

// The content is replaced only once the bytes are known to be readable, and then read
// straight into the view's document: parsing into a scratch document and copying it
// over would take as long again. While it is read the document's layout is switched
// off (each paragraph would otherwise be laid out as the edit closes); switching it on
// starts one lazy layout of the whole document, from the top, instead of laying it all
// out before the view can answer. The caret is put at the start while the edit is open:
// placed afterwards, the view would first measure the old caret position at the end of
// the new text.
StreamInResult RichEditView::streamIn(StreamFormat format, const StreamReader &reader, qint64 expectedBytes)
{
    StreamInResult result;
    QByteArray bytes;
    if (!readAll(reader, expectedBytes, bytes)) {
        result.sourceFailed = true;
        return result;
    }
    const RtfCheck check = format == SF_RTF ? checkRtf(bytes) : RtfCheck();
    if (!check.result.ok()) {
        result.rtf = readCheckedRtf(bytes, check, nullptr);  // reports why, touches nothing
        return result;
    }

    QTextDocument *target = document();
    target->setLayoutEnabled(false);
    target->setUndoRedoEnabled(false);  // also drops the history
    QTextCursor cursor(target);
    cursor.beginEditBlock();
    if (format == SF_RTF)
        result.rtf = readCheckedRtf(bytes, check, target);
    else {
        readPlainText(bytes, target);
        clearDocumentExtras(target);
    }
    setTextCursor(QTextCursor(target));
    cursor.endEditBlock();
    target->setUndoRedoEnabled(true);
    target->setModified(false);
    target->setLayoutEnabled(true);
    // The caret may stay at the start, but the text and the format under it are new.
    d->lastSelection = {-1, -1};
    notifySelectionIfChanged();
    return result;
}

bool RichEditView::streamOut(StreamFormat format, const StreamWriter &writer) const
{
    const QByteArray bytes = format == SF_RTF ? writeRtf(document()) : writePlainText(document());
    for (qsizetype at = 0; at < bytes.size(); at += kChunkSize) {
        if (!writer(bytes.constData() + at, std::min<qsizetype>(kChunkSize, bytes.size() - at)))
            return false;
    }
    return true;
}

}  // namespace engine
