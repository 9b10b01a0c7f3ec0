#include "engine/rtfoutput.h"

#include <QTextCodec>
#include <array>
#include <charconv>
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

RtfOutput::RtfOutput(qsizetype reserve)
{
    m_out.reserve(reserve);
}

QByteArray RtfOutput::take()
{
    m_delimit = false;
    return std::exchange(m_out, QByteArray());
}

void RtfOutput::appendInt(int value)
{
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    m_out.append(digits, result.ptr - digits);
}

void RtfOutput::word(const char *name)
{
    m_out.append('\\');
    m_out.append(name);
    m_delimit = true;
}

void RtfOutput::word(const char *name, int value)
{
    m_out.append('\\');
    m_out.append(name);
    appendInt(value);
    m_delimit = true;
}

void RtfOutput::open()
{
    m_out.append('{');
    m_delimit = false;
}

void RtfOutput::close()
{
    m_out.append('}');
    m_delimit = false;
}

void RtfOutput::newline()
{
    m_out.append("\r\n");
    m_delimit = false;
}

void RtfOutput::raw(QByteArrayView bytes)
{
    m_out.append(bytes);
    m_delimit = false;
}

void RtfOutput::hex(QByteArrayView bytes)
{
    constexpr qsizetype kBytesPerLine = 64;
    const qsizetype start = m_out.size();
    m_out.resize(start + bytes.size() * 2 + (bytes.size() / kBytesPerLine + 1) * 2);
    char *p = m_out.data() + start;
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
    m_out.resize(p - m_out.constData());
    m_delimit = false;
}

// A literal character after a control word gets the space delimiter, whatever it is:
// simpler for readers than deciding which characters would continue the word.
void RtfOutput::literal(char c)
{
    if (m_delimit) {
        m_out.append(' ');
        m_delimit = false;
    }
    m_out.append(c);
}

void RtfOutput::appendUnicode(char16_t unit)
{
    m_out.append("\\u");
    appendInt(static_cast<qint16>(unit));
    m_out.append('?');
    m_delimit = false;
}

void RtfOutput::text(QStringView text, bool ansiFont)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x80) {
            if (c == u'\\' || c == u'{' || c == u'}') {
                m_out.append('\\');
                m_out.append(static_cast<char>(c));
                m_delimit = false;
            } else {
                literal(static_cast<char>(c));
            }
            continue;
        }
        switch (c) {
        case u'\t':
            word("tab");
            continue;
        case QChar::LineSeparator:
            word("line");
            continue;
        case QChar::Nbsp:
            m_out.append("\\~");
            m_delimit = false;
            continue;
        case QChar::SoftHyphen:
            m_out.append("\\-");
            m_delimit = false;
            continue;
        case 0x2011:  // non-breaking hyphen
            m_out.append("\\_");
            m_delimit = false;
            continue;
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
            const char escaped[4] = {'\\', '\'', kHexDigits[b >> 4], kHexDigits[b & 15]};
            m_out.append(escaped, 4);
            m_delimit = false;
        } else {
            appendUnicode(c);
        }
    }
}

}  // namespace engine
