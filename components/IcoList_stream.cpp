#include "components/IcoList.h"

#include <QIODevice>
#include <QtEndian>

// The "Icons" property of a stored form.

namespace {

qint32 readInt32(QIODevice &stream)
{
    char bytes[4];
    if (stream.read(bytes, 4) != 4)
        throw EReadError(QStringLiteral("Stream read error"));
    return qFromLittleEndian<qint32>(bytes);
}

QByteArray readBytes(QIODevice &stream, qint32 size)
{
    if (!stream.isSequential() && size > stream.bytesAvailable())
        throw EReadError(QStringLiteral("Stream read error"));
    const QByteArray bytes = stream.read(size);
    if (bytes.size() != size)
        throw EReadError(QStringLiteral("Stream read error"));
    return bytes;
}

void writeInt32(QIODevice &stream, qint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    stream.write(bytes, 4);
}

}  // namespace

void TIconList::ReadData(QIODevice &Stream)
{
    const UpdateScope scope(*this);
    Clear();
    const qint32 count = readInt32(Stream);
    for (qint32 i = 0; i < count; ++i) {
        const qint32 size = readInt32(Stream);
        if (size <= 0) {
            insertEntry(Count(), nullptr);
            continue;
        }
        auto icon = std::make_unique<TIcon>();
        icon->LoadFromData(readBytes(Stream, size));
        insertEntry(Count(), std::move(icon));
    }
}

void TIconList::WriteData(QIODevice &Stream) const
{
    writeInt32(Stream, Count());
    for (const std::unique_ptr<TIcon> &icon : FList) {
        const QByteArray image = icon ? icon->SaveToData() : QByteArray();
        writeInt32(Stream, qint32(image.size()));
        Stream.write(image);
    }
}
