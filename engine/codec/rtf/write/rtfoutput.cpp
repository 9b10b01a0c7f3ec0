#include "engine/codec/rtf/write/rtfoutput.h"

#include <QTextCodec>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <memory>

namespace engine {
namespace {

// Reverse of the code page, derived once from the codec. C1 controls are left out:
// readers disagree on how to decode the five bytes Windows-1252 leaves undefined.
std::unique_ptr<std::array<unsigned char, 0x10000>> buildCp1252Table()
{
    auto table = std::make_unique<std::array<unsigned char, 0x10000>>();
    table->fill(0);
    for (int c = 1; c < 0x80; ++c)
        (*table)[c] = static_cast<unsigned char>(c);
    QTextCodec *codec = QTextCodec::codecForName("Windows-1252");
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char byte = static_cast<char>(b);
        const QString decoded = codec->toUnicode(&byte, 1);
        if (decoded.size() != 1)
            continue;
        const char16_t c = decoded.at(0).unicode();
        if (c == QChar::ReplacementCharacter || (c >= 0x80 && c <= 0x9F))
            continue;
        (*table)[c] = static_cast<unsigned char>(b);
    }
    return table;
}

constexpr char kHexDigits[] = "0123456789abcdef";

}  // namespace

unsigned char cp1252Byte(char16_t c)
{
    static const auto table = buildCp1252Table();
    return (*table)[c];
}

RtfOutput::RtfOutput(qsizetype reserve, qsizetype frontRoom)
{
    grow(std::max<qsizetype>(reserve, 64) + frontRoom);
    m_used = m_front = frontRoom;
}

QByteArray RtfOutput::take()
{
    return take(QByteArrayView());
}

QByteArray RtfOutput::take(QByteArrayView front)
{
    m_delimit = false;
    m_out.truncate(m_used);
    const qsizetype room = std::exchange(m_front, 0);
    m_used = 0;
    m_data = nullptr;
    QByteArray result = std::exchange(m_out, QByteArray());
    if (front.size() > room) {
        result.remove(0, room);
        return result.prepend(front);
    }
    if (!front.isEmpty())  // an empty view may have no data to copy from
        std::memcpy(result.data() + room - front.size(), front.data(), size_t(front.size()));
    return result.remove(0, room - front.size());  // moves the array's start, copies nothing
}

void RtfOutput::grow(qsizetype needed)
{
    m_out.resize(std::max(needed, m_out.size() + m_out.size() / 2));
    m_data = m_out.data();
}

void RtfOutput::append(QByteArrayView bytes)
{
    char *p = room(bytes.size());
    std::memcpy(p, bytes.data(), size_t(bytes.size()));
    endRoom(p + bytes.size());
}

void RtfOutput::word(const char *name)
{
    const size_t length = std::strlen(name);
    char *p = room(qsizetype(length) + 1);
    *p++ = '\\';
    std::memcpy(p, name, length);
    endRoom(p + length);
    m_delimit = true;
}

void RtfOutput::word(const char *name, int value)
{
    constexpr qsizetype kMaxDigits = 11;  // "-2147483648"
    const size_t length = std::strlen(name);
    char *p = room(qsizetype(length) + 1 + kMaxDigits);
    *p++ = '\\';
    std::memcpy(p, name, length);
    p += length;
    endRoom(std::to_chars(p, p + kMaxDigits, value).ptr);
    m_delimit = true;
}

void RtfOutput::open()
{
    *room(1) = '{';
    ++m_used;
    m_delimit = false;
}

void RtfOutput::close()
{
    *room(1) = '}';
    ++m_used;
    m_delimit = false;
}

void RtfOutput::newline()
{
    append("\r\n");
    m_delimit = false;
}

void RtfOutput::raw(QByteArrayView bytes)
{
    append(bytes);
    m_delimit = false;
}

void RtfOutput::hex(QByteArrayView bytes)
{
    constexpr qsizetype kBytesPerLine = 64;
    char *p = room(bytes.size() * 2 + (bytes.size() / kBytesPerLine + 1) * 2);
    *p++ = '\r';
    *p++ = '\n';
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        *p++ = kHexDigits[b >> 4];
        *p++ = kHexDigits[b & 15];
        if ((i + 1) % kBytesPerLine == 0 && i + 1 < bytes.size()) {
            *p++ = '\r';
            *p++ = '\n';
        }
    }
    endRoom(p);
    m_delimit = false;
}

void RtfOutput::words(QByteArrayView bytes)
{
    append(bytes);
    m_delimit = !bytes.isEmpty();
}

void RtfOutput::text(QStringView text, bool ansiFont)
{
    // Written straight into the buffer, a slice at a time: no unit takes more than
    // 10 bytes (a delimiter and "\u-32768?").
    constexpr qsizetype kSlice = 4096;
    constexpr qsizetype kMaxBytesPerUnit = 10;
    for (qsizetype at = 0; at < text.size(); at += kSlice) {
        const QStringView slice = text.mid(at, kSlice);
        endRoom(appendText(room(slice.size() * kMaxBytesPerUnit), slice, ansiFont));
    }
}

// A literal character after a control word gets the space delimiter, whatever it is:
// simpler for readers than deciding which characters would continue the word. DEL is
// escaped like the characters above it: a reader may decode it through a double-byte
// code page, which drops it.
char *RtfOutput::appendText(char *p, QStringView text, bool ansiFont)
{
    bool delimit = m_delimit;
    const auto word = [&](const char *name, size_t length) {
        *p++ = '\\';
        std::memcpy(p, name, length);
        p += length;
        delimit = true;
    };
    const auto symbol = [&](char c) {
        *p++ = '\\';
        *p++ = c;
        delimit = false;
    };
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (c == u'\\' || c == u'{' || c == u'}') {
                symbol(char(c));
            } else {
                if (delimit)
                    *p++ = ' ';
                delimit = false;
                *p++ = char(c);
            }
            continue;
        }
        switch (c) {
        case u'\t': word("tab", 3); continue;
        case QChar::LineSeparator: word("line", 4); continue;
        case QChar::Nbsp: symbol('~'); continue;
        case QChar::SoftHyphen: symbol('-'); continue;
        case 0x2011: symbol('_'); continue;  // non-breaking hyphen
        case QChar::ObjectReplacementCharacter:
        case 0xFDD0:  // frame markers of QTextDocument
        case 0xFDD1:
            continue;
        default:
            break;
        }
        if (c < 0x20)
            continue;  // other control characters have no meaning in a paragraph
        const unsigned char b = ansiFont ? cp1252Byte(c) : 0;
        if (b != 0) {
            *p++ = '\\';
            *p++ = '\'';
            *p++ = kHexDigits[b >> 4];
            *p++ = kHexDigits[b & 15];
        } else {
            *p++ = '\\';
            *p++ = 'u';
            p = std::to_chars(p, p + 6, int(qint16(c))).ptr;
            *p++ = '?';
        }
        delimit = false;
    }
    m_delimit = delimit;
    return p;
}

}  // namespace engine
