#include "engine/codec/objects/ole1stream.h"

#include <QtEndian>

namespace engine::objects {
namespace {

constexpr quint32 kOleVersion = 0x00000501;
constexpr quint32 kFormatLinked = 1;
constexpr quint32 kFormatEmbedded = 2;
constexpr quint16 kPackageSignature = 0x0002;
constexpr quint16 kPackageEmbeddedFile = 0x0003;

class Writer {
public:
    void u16(quint16 value) { append(qToLittleEndian(value)); }
    void u32(quint32 value) { append(qToLittleEndian(value)); }
    void bytes(QByteArrayView data) { m_out.append(data); }
    // A length-prefixed string whose length counts its closing NUL; empty is length 0.
    void lengthString(const QString &text)
    {
        const QByteArray bytes = text.toUtf8();
        u32(bytes.isEmpty() ? 0 : quint32(bytes.size() + 1));
        if (!bytes.isEmpty())
            m_out.append(bytes).append('\0');
    }
    void zeroString(const QString &text) { m_out.append(text.toUtf8()).append('\0'); }
    QByteArray take() { return std::move(m_out); }

private:
    template <typename T>
    void append(T value) { m_out.append(reinterpret_cast<const char *>(&value), sizeof value); }
    QByteArray m_out;
};

// Reads little-endian fields; every read past the end fails the whole stream.
class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}

    std::optional<quint16> u16() { return number<quint16>(); }
    std::optional<quint32> u32() { return number<quint32>(); }
    std::optional<QByteArray> bytes(qint64 count)
    {
        if (count < 0 || count > m_bytes.size() - m_pos)
            return std::nullopt;
        QByteArray out = m_bytes.sliced(m_pos, count).toByteArray();
        m_pos += count;
        return out;
    }
    std::optional<QString> lengthString()
    {
        const auto length = u32();
        if (!length)
            return std::nullopt;
        const auto text = bytes(*length);
        if (!text)
            return std::nullopt;
        return QString::fromUtf8(text->left(text->indexOf('\0') >= 0 ? text->indexOf('\0') : text->size()));
    }
    std::optional<QString> zeroString()
    {
        const qsizetype end = m_bytes.sliced(m_pos).indexOf('\0');
        if (end < 0)
            return std::nullopt;
        const QString text = QString::fromUtf8(m_bytes.sliced(m_pos, end));
        m_pos += end + 1;
        return text;
    }

private:
    template <typename T>
    std::optional<T> number()
    {
        if (qsizetype(sizeof(T)) > m_bytes.size() - m_pos)
            return std::nullopt;
        const T value = qFromLittleEndian<T>(m_bytes.data() + m_pos);
        m_pos += sizeof(T);
        return value;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

}  // namespace

QByteArray writeOle1Stream(const Ole1Object &object)
{
    Writer out;
    out.u32(kOleVersion);
    out.u32(object.linked ? kFormatLinked : kFormatEmbedded);
    out.lengthString(object.className);
    out.lengthString(object.linked ? object.topic : QString());
    out.lengthString(QString());  // item
    if (!object.linked) {
        out.u32(quint32(object.native.size()));
        out.bytes(object.native);
    }
    // No presentation in the stream: the RTF result carries the picture.
    out.u32(kOleVersion);
    out.u32(0);
    return out.take();
}

std::optional<Ole1Object> readOle1Stream(QByteArrayView bytes)
{
    Reader in(bytes);
    const auto version = in.u32();
    const auto format = in.u32();
    if (!version || !format || (*format != kFormatLinked && *format != kFormatEmbedded))
        return std::nullopt;
    Ole1Object object;
    object.linked = *format == kFormatLinked;
    const auto className = in.lengthString();
    const auto topic = in.lengthString();
    const auto item = in.lengthString();
    if (!className || !topic || !item)
        return std::nullopt;
    object.className = *className;
    object.topic = *topic;
    if (!object.linked) {
        const auto size = in.u32();
        const auto native = size ? in.bytes(qint64(*size)) : std::nullopt;
        if (!native)
            return std::nullopt;
        object.native = *native;
    }
    return object;
}

QByteArray writePackage(const PackagedFile &file)
{
    Writer out;
    out.u16(kPackageSignature);
    out.zeroString(file.label);
    out.zeroString(file.path);
    out.u16(0);
    out.u16(kPackageEmbeddedFile);
    const QByteArray tempPath = file.path.toUtf8();
    out.u32(quint32(tempPath.size() + 1));
    out.zeroString(file.path);
    out.u32(quint32(file.contents.size()));
    out.bytes(file.contents);
    return out.take();
}

std::optional<PackagedFile> readPackage(QByteArrayView native)
{
    Reader in(native);
    const auto signature = in.u16();
    if (!signature || *signature != kPackageSignature)
        return std::nullopt;
    PackagedFile file;
    const auto label = in.zeroString();
    const auto path = in.zeroString();
    const auto reserved = in.u16();
    const auto type = in.u16();
    if (!label || !path || !reserved || !type || *type != kPackageEmbeddedFile)
        return std::nullopt;
    const auto tempLength = in.u32();
    const auto tempPath = tempLength ? in.bytes(qint64(*tempLength)) : std::nullopt;
    const auto size = in.u32();
    const auto contents = size && tempPath ? in.bytes(qint64(*size)) : std::nullopt;
    if (!contents)
        return std::nullopt;
    file.label = *label;
    file.path = *path;
    file.contents = *contents;
    return file;
}

}  // namespace engine::objects
