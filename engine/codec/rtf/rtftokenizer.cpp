#include "engine/codec/rtf/rtftokenizer.h"

#include <algorithm>
#include <array>

namespace engine {

namespace {

// Bytes that end a text run: the three RTF specials and the ignorable line ends and NUL.
constexpr std::array<bool, 256> makeStopTable()
{
    std::array<bool, 256> table{};
    for (unsigned char c : {'\\', '{', '}', '\r', '\n', '\0'})
        table[c] = true;
    return table;
}
constexpr std::array<bool, 256> kStop = makeStopTable();

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

void RtfTokenizer::setPosition(qsizetype position)
{
    m_pos = m_begin + std::clamp<qsizetype>(position, 0, size());
}

RtfToken RtfTokenizer::next()
{
    while (m_pos < m_end) {
        const char *start = m_pos;
        switch (*m_pos) {
        case '\r':
        case '\n':
        case '\0':
            ++m_pos;
            continue;
        case '{':
            ++m_pos;
            return RtfToken{RtfTokenKind::GroupOpen, false, 0, 0, 0, start - m_begin, {}};
        case '}':
            ++m_pos;
            return RtfToken{RtfTokenKind::GroupClose, false, 0, 0, 0, start - m_begin, {}};
        case '\\':
            return readControl(start);
        default:
            return readText(start);
        }
    }
    return RtfToken{RtfTokenKind::End, false, 0, 0, 0, size(), {}};
}

RtfToken RtfTokenizer::readText(const char *start)
{
    const char *p = start + 1;
    while (p < m_end && !kStop[static_cast<unsigned char>(*p)])
        ++p;
    m_pos = p;
    return RtfToken{RtfTokenKind::Text, false, 0, 0, 0, start - m_begin, QByteArrayView(start, p - start)};
}

RtfToken RtfTokenizer::readControl(const char *start)
{
    RtfToken token;
    token.offset = start - m_begin;
    const char *p = start + 1;
    if (p >= m_end) {
        m_pos = m_end;
        token.kind = RtfTokenKind::End;
        token.offset = size();
        return token;
    }
    if (!isLetter(*p)) {
        if (*p == '\'' && m_end - p >= 3 && hexValue(p[1]) >= 0 && hexValue(p[2]) >= 0) {
            token.kind = RtfTokenKind::HexByte;
            token.hexByte = quint8(hexValue(p[1]) * 16 + hexValue(p[2]));
            m_pos = p + 3;
            return token;
        }
        token.kind = RtfTokenKind::ControlSymbol;
        token.symbol = (*p == '\r') ? '\n' : *p;
        m_pos = p + 1;
        return token;
    }

    const char *nameStart = p;
    while (p < m_end && isLetter(*p))
        ++p;
    token.kind = RtfTokenKind::ControlWord;
    token.data = QByteArrayView(nameStart, p - nameStart);

    const bool negative = p + 1 < m_end && *p == '-' && isDigit(p[1]);
    if (negative)
        ++p;
    if (p < m_end && isDigit(*p)) {
        qint64 value = 0;
        while (p < m_end && isDigit(*p)) {
            if (value <= kMaxRtfParameter)
                value = value * 10 + (*p - '0');
            ++p;
        }
        value = std::min<qint64>(value, kMaxRtfParameter);
        token.hasParameter = true;
        token.parameter = int(negative ? -value : value);
    }
    if (p < m_end && *p == ' ')
        ++p;
    m_pos = p;

    if (token.hasParameter && token.parameter > 0 && token.data == QByteArrayView("bin")) {
        const qsizetype length = std::min<qsizetype>(token.parameter, m_end - m_pos);
        token.kind = RtfTokenKind::Binary;
        token.data = QByteArrayView(m_pos, length);
        m_pos += length;
    }
    return token;
}

bool RtfTokenizer::skipGroup()
{
    int depth = 1;
    for (;;) {
        // Plain text and escapes need no tokens of their own: only braces, backslashes
        // and \bin data change the depth count.
        while (m_pos < m_end && *m_pos != '{' && *m_pos != '}' && *m_pos != '\\')
            ++m_pos;
        if (m_pos >= m_end)
            return false;
        const RtfToken token = next();
        if (token.kind == RtfTokenKind::GroupOpen)
            ++depth;
        else if (token.kind == RtfTokenKind::GroupClose && --depth == 0)
            return true;
        else if (token.kind == RtfTokenKind::End)
            return false;
    }
}

}  // namespace engine
