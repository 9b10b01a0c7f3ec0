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

// Inserting a fragment gives the first and last paragraphs the marks of the paragraphs
// they are inserted into; an empty paragraph's mark is the format typing will use.
void keepParagraphMarks(const QTextDocument &from, QTextDocument *to)
{
    QTextCursor(to->begin()).setBlockCharFormat(from.begin().charFormat());
    QTextCursor(to->lastBlock()).setBlockCharFormat(from.lastBlock().charFormat());
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
    // Clearing inside the edit block makes the whole replacement one change from an empty
    // document, which the layout then does lazily instead of all at once.
    QTextCursor cursor(target);
    cursor.beginEditBlock();
    target->clear();
    copyImageResources(scratch, target);
    cursor.insertFragment(QTextDocumentFragment(&scratch));
    keepParagraphMarks(scratch, target);
    cursor.endEditBlock();
    target->setUndoRedoEnabled(true);
    target->setModified(false);
    // The caret at the start: a caret at the end would make the view lay out everything.
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
