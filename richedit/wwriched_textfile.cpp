#include "richedit/wwriched_textfile.h"

#include <QStringEncoder>
#include <QTextCodec>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kUtf16LEBom("\xFF\xFE");
const QByteArray kUtf16BEBom("\xFE\xFF");

// Where the last complete UTF-8 sequence of `bytes` ends: a lead byte near the end whose
// sequence runs past it starts the part kept for the next chunk.
qsizetype completeUtf8Length(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = quint8(bytes[size - back]);
        if ((byte & 0xC0) == 0x80)
            continue;  // a continuation byte: its lead is further back
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

QByteArray withoutNuls(QByteArrayView bytes)
{
    QByteArray kept;
    kept.reserve(bytes.size());
    for (char c : bytes) {
        if (c != '\0')
            kept.append(c);
    }
    return kept;
}

QByteArray encodeUtf16(const QString &text, QStringConverter::Encoding encoding, const QByteArray &bom)
{
    QStringEncoder encoder(encoding);
    return bom + QByteArray(encoder(text));
}

std::optional<QByteArray> encodeWindows1252(const QString &text)
{
    QTextCodec *codec = QTextCodec::codecForName("Windows-1252");
    QTextCodec::ConverterState state;
    QByteArray bytes = codec->fromUnicode(text.constData(), int(text.size()), &state);
    if (state.invalidChars > 0)
        return std::nullopt;
    return bytes;
}

}  // namespace

LineBreak platformLineBreak()
{
#ifdef Q_OS_WIN
    return LineBreak::CRLF;
#else
    return LineBreak::LF;
#endif
}

void TextFormatSniffer::feed(QByteArrayView bytes)
{
    if (m_started) {
        feedBody(bytes);
        return;
    }
    m_head.append(bytes.data(), bytes.size());
    if (m_head.size() >= kUtf8Bom.size())
        startBody(m_head);
}

// The byte-order mark decides the encoding; the bytes after it are the text.
void TextFormatSniffer::startBody(QByteArrayView head)
{
    m_started = true;
    qsizetype markLength = 0;
    if (head.startsWith(kUtf8Bom)) {
        m_encoding = TextEncoding::Utf8WithBom;
        markLength = kUtf8Bom.size();
    } else if (head.startsWith(kUtf16LEBom)) {
        m_encoding = TextEncoding::Utf16LE;
        markLength = kUtf16LEBom.size();
    } else if (head.startsWith(kUtf16BEBom)) {
        m_encoding = TextEncoding::Utf16BE;
        markLength = kUtf16BEBom.size();
    }
    feedBody(head.sliced(markLength));
    m_head.clear();
}

void TextFormatSniffer::feedBody(QByteArrayView bytes)
{
    if (m_encoding == TextEncoding::Utf16LE || m_encoding == TextEncoding::Utf16BE)
        feedSixteenBit(bytes);
    else
        feedEightBit(bytes);
}

void TextFormatSniffer::feedEightBit(QByteArrayView bytes)
{
    if (m_encoding == TextEncoding::Utf8 && !m_invalidUtf8)
        checkUtf8(bytes);
    for (qsizetype i = 0; i < bytes.size() && !m_lineBreak; ++i)
        noteCharacter(char16_t(quint8(bytes[i])));
}

void TextFormatSniffer::checkUtf8(QByteArrayView bytes)
{
    QByteArray chunk = m_utf8Carry + (bytes.contains('\0') ? withoutNuls(bytes) : bytes.toByteArray());
    const qsizetype complete = completeUtf8Length(chunk);
    m_utf8Carry = chunk.mid(complete);
    chunk.truncate(complete);
    m_invalidUtf8 = !chunk.isValidUtf8();
}

void TextFormatSniffer::feedSixteenBit(QByteArrayView bytes)
{
    QByteArray units = m_unitCarry + bytes.toByteArray();
    const bool littleEndian = m_encoding == TextEncoding::Utf16LE;
    qsizetype i = 0;
    for (; i + 1 < units.size() && !m_lineBreak; i += 2) {
        const auto low = quint8(units[littleEndian ? i : i + 1]);
        const auto high = quint8(units[littleEndian ? i + 1 : i]);
        noteCharacter(char16_t(high << 8 | low));
    }
    m_unitCarry = m_lineBreak ? QByteArray() : units.mid(i);
}

// The first line end decides; a CR waits for the character after it.
void TextFormatSniffer::noteCharacter(char16_t c)
{
    if (m_afterCR) {
        m_lineBreak = c == u'\n' ? LineBreak::CRLF : LineBreak::CR;
        return;
    }
    if (c == u'\r')
        m_afterCR = true;
    else if (c == u'\n')
        m_lineBreak = LineBreak::LF;
}

TextFileFormat TextFormatSniffer::finish()
{
    if (!m_started)
        startBody(m_head);
    if (!m_lineBreak && m_afterCR)
        m_lineBreak = LineBreak::CR;
    TextFileFormat format;
    format.encoding = m_encoding;
    if (m_encoding == TextEncoding::Utf8 && (m_invalidUtf8 || !m_utf8Carry.isEmpty()))
        format.encoding = TextEncoding::Windows1252;
    format.lineBreak = m_lineBreak.value_or(platformLineBreak());
    return format;
}

TextFileFormat sniffTextFormat(QByteArrayView bytes)
{
    TextFormatSniffer sniffer;
    sniffer.feed(bytes);
    return sniffer.finish();
}

std::optional<QByteArray> encodeText(QString text, const TextFileFormat &format)
{
    if (format.lineBreak == LineBreak::LF)
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    else if (format.lineBreak == LineBreak::CR)
        text.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    switch (format.encoding) {
    case TextEncoding::Utf8: return text.toUtf8();
    case TextEncoding::Utf8WithBom: return kUtf8Bom + text.toUtf8();
    case TextEncoding::Utf16LE: return encodeUtf16(text, QStringConverter::Utf16LE, kUtf16LEBom);
    case TextEncoding::Utf16BE: return encodeUtf16(text, QStringConverter::Utf16BE, kUtf16BEBom);
    case TextEncoding::Windows1252: return encodeWindows1252(text);
    }
    return std::nullopt;
}
