#include "richedit/wwriched_data.h"

#include "platform/exceptions.h"
#include "platform/waitcursor.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"
#include "richedit/wwriched_memstream.h"

#include <QBuffer>
#include <QtEndian>
#include <limits>

namespace {

const QByteArray kVersionName = QByteArrayLiteral("RichEditVersion");
const QByteArray kDataName = QByteArrayLiteral("Data");
const QByteArray kLinesName = QByteArrayLiteral("Lines.Strings");
constexpr qint64 kCopyChunk = 65536;

[[noreturn]] void raiseTruncated()
{
    throw EStreamError(QStringLiteral("The stored editor data is incomplete"));
}

void writeBytes(QIODevice &out, const char *data, qint64 size)
{
    if (out.write(data, size) != size)
        throw EStreamError(QStringLiteral("Failed to Save Stream"));
}

void writeUInt32(QIODevice &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    writeBytes(out, bytes, 4);
}

void writeName(QIODevice &out, const QByteArray &name)
{
    const char length = char(name.size());
    writeBytes(out, &length, 1);
    writeBytes(out, name.constData(), name.size());
}

void readExactly(QIODevice &in, char *buffer, qint64 size)
{
    while (size > 0) {
        const qint64 read = in.read(buffer, size);
        if (read <= 0)
            raiseTruncated();
        buffer += read;
        size -= read;
    }
}

quint32 readUInt32(QIODevice &in)
{
    char bytes[4];
    readExactly(in, bytes, 4);
    return qFromLittleEndian<quint32>(bytes);
}

QByteArray readName(QIODevice &in)
{
    char length = 0;
    readExactly(in, &length, 1);
    QByteArray name(quint8(length), Qt::Uninitialized);
    readExactly(in, name.data(), name.size());
    return name;
}

// Copies in steps, so a corrupt count cannot demand memory the input does not back.
void copyBytes(QIODevice &in, TwwRichMemoryStream &to, quint32 count)
{
    QByteArray chunk(qMin<qint64>(count, kCopyChunk), Qt::Uninitialized);
    qint64 left = count;
    while (left > 0) {
        const qint64 step = qMin<qint64>(left, chunk.size());
        readExactly(in, chunk.data(), step);
        if (to.write(chunk.constData(), step) != step)
            throw EStreamError(to.errorString());
        left -= step;
    }
}

QStringList readLines(QIODevice &in)
{
    const quint32 count = readUInt32(in);
    QStringList lines;
    for (quint32 i = 0; i < count; ++i) {
        TwwRichMemoryStream bytes;
        copyBytes(in, bytes, readUInt32(in));
        lines.append(QString::fromUtf8(bytes.data(), bytes.size()));
    }
    return lines;
}

bool isBound(const TwwCustomRichEdit &edit)
{
    return edit.GetBoundField() != nullptr;
}

// Reads records until the end marker; returns whether Data brought content.
bool readRecords(TwwCustomRichEdit &edit, QIODevice &in, bool loadData)
{
    bool fromData = false;
    for (QByteArray name = readName(in); !name.isEmpty(); name = readName(in)) {
        if (name == kVersionName) {
            edit.SetRichEditVersion(qint32(readUInt32(in)));
        } else if (name == kDataName) {
            if (loadData) {
                fromData = ReadRichEditData(edit, in) || fromData;
            } else {
                TwwRichMemoryStream skipped;
                copyBytes(in, skipped, readUInt32(in));
            }
        } else if (name == kLinesName) {
            edit.Lines()->Assign(readLines(in));
        } else {
            throw EStreamError(QStringLiteral("Unknown stored editor property \"%1\"")
                                   .arg(QString::fromLatin1(name)));
        }
    }
    return fromData;
}

// Lines stored as text may be RTF source: save them as plain text and load that again,
// RTF first.
void reloadLinesAsRichText(TwwCustomRichEdit &edit)
{
    TwwRichMemoryStream stream;
    edit.Lines()->SaveToStream(stream);
    edit.SetPlainText(false);
    stream.seek(0);
    edit.Lines()->LoadFromStream(stream);
}

}  // namespace

void WriteRichEditData(TwwCustomRichEdit &edit, QIODevice &out)
{
    TwwRichMemoryStream stream;
    edit.Lines()->SaveToStream(stream);
    if (stream.size() > qint64(std::numeric_limits<quint32>::max()))
        throw EStreamError(QStringLiteral("The editor content is too large to store"));
    writeUInt32(out, quint32(stream.size()));
    writeBytes(out, stream.data(), stream.size());
}

bool ReadRichEditData(TwwCustomRichEdit &edit, QIODevice &in)
{
    edit.SetPlainText(false);
    const quint32 count = readUInt32(in);
    if (count == 0)
        return false;
    TwwRichMemoryStream stream;
    copyBytes(in, stream, count);
    stream.seek(0);
    edit.Lines()->LoadFromStream(stream);
    return true;
}

void WriteStoredRichEdit(TwwCustomRichEdit &edit, QIODevice &out)
{
    edit.SetRichEditVersion(2);
    writeName(out, kVersionName);
    writeUInt32(out, 2);
    if (!isBound(edit)) {
        writeName(out, kDataName);
        WriteRichEditData(edit, out);
    }
    writeName(out, QByteArray());
}

bool ReadStoredRichEdit(TwwCustomRichEdit &edit, QIODevice &in)
{
    edit.SetRichEditVersion(1);
    if (isBound(edit)) {
        readRecords(edit, in, false);
        return false;
    }
    WaitCursor wait;
    const bool plainTextBefore = edit.PlainText();
    try {
        edit.SetPlainText(true);
        const bool fromData = readRecords(edit, in, true);
        if (!fromData)
            reloadLinesAsRichText(edit);
        edit.SetPlainText(false);
        return fromData;
    } catch (...) {
        edit.SetPlainText(plainTextBefore);
        throw;
    }
}

void TwwCustomRichEdit::CopyContentTo(TwwCustomRichEdit *target)
{
    if (!target)
        return;
    WaitCursor wait;
    TwwRichMemoryStream stream;
    Lines()->SaveToStream(stream);
    stream.seek(0);
    target->Lines()->LoadFromStream(stream);
}
