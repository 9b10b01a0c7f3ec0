#include "engine/plaintext.h"
#include "engine/richeditview.h"
#include "engine/rtfreader.h"
#include "engine/rtfwriter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QUrl>

namespace engine {
namespace {

constexpr qint64 kChunkSize = 64 * 1024;
// More than any document the engine is meant to hold; a source that never ends fails
// here instead of exhausting memory.
constexpr qsizetype kMaxStreamBytes = qsizetype(1) << 30;

// All chunks of the source, or false when the callback reports a failure.
bool readAll(const StreamReader &reader, QByteArray &bytes)
{
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

bool parseInto(StreamFormat format, const QByteArray &bytes, QTextDocument *scratch)
{
    if (format == SF_RTF)
        return readRtf(bytes, scratch).ok();
    readPlainText(bytes, scratch);
    return true;
}

// A document fragment carries text and formats but not the image resources the
// formats name; those are copied by name.
void copyImageResources(const QTextDocument &from, QTextDocument *to)
{
    for (QTextBlock block = from.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            const QVariant image = from.resource(QTextDocument::ImageResource, name);
            if (image.isValid())
                to->addResource(QTextDocument::ImageResource, name, image);
        }
    }
}

}  // namespace

bool RichEditView::streamIn(StreamFormat format, const StreamReader &reader)
{
    QByteArray bytes;
    if (!readAll(reader, bytes))
        return false;
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false);
    scratch.setDefaultFont(document()->defaultFont());
    if (!parseInto(format, bytes, &scratch))
        return false;
    bytes = QByteArray();

    QTextDocument *target = document();
    target->setUndoRedoEnabled(false);  // also drops the history
    copyImageResources(scratch, target);
    QTextCursor cursor(target);
    cursor.select(QTextCursor::Document);
    cursor.insertFragment(QTextDocumentFragment(&scratch));
    target->setUndoRedoEnabled(true);
    target->setModified(false);
    setTextCursor(QTextCursor(target));
    return true;
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
