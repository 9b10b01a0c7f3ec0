#pragma once
#include <QByteArrayView>

// Splits RTF bytes into tokens without interpreting them. The tokenizer never fails:
// whatever the bytes, it yields tokens until End. Carriage returns, line feeds and NUL
// bytes between tokens carry no meaning in RTF and are dropped.
namespace engine {

enum class RtfTokenKind : quint8 {
    End,
    GroupOpen,      // {
    GroupClose,     // }
    ControlWord,    // \name or \nameN; data holds the name
    ControlSymbol,  // \ followed by one non-letter; symbol holds it ('\n' for \<newline>)
    Text,           // a run of literal bytes; data holds them
    HexByte,        // \'hh; hexByte holds the value
    Binary,         // the bytes after \binN; data holds them (cut short at the end of input)
};

struct RtfToken {
    RtfTokenKind kind = RtfTokenKind::End;
    bool hasParameter = false;
    char symbol = 0;
    quint8 hexByte = 0;
    int parameter = 0;     // clamped to +-kMaxRtfParameter
    qsizetype offset = 0;  // of the token's first byte
    QByteArrayView data;
};

// Parameters beyond this magnitude are clamped; RTF allows 32-bit values at most.
constexpr int kMaxRtfParameter = 2147483647;

class RtfTokenizer {
public:
    explicit RtfTokenizer(QByteArrayView bytes) : m_begin(bytes.data()), m_pos(m_begin), m_end(m_begin + bytes.size()) {}

    RtfToken next();
    qsizetype position() const { return m_pos - m_begin; }
    qsizetype size() const { return m_end - m_begin; }
    void setPosition(qsizetype position);

    // Consumes tokens up to and including the '}' that closes the group whose '{' was
    // read last. Returns false when the input ends first.
    bool skipGroup();

private:
    RtfToken readControl(const char *start);
    RtfToken readText(const char *start);

    const char *m_begin;
    const char *m_pos;
    const char *m_end;
};

}  // namespace engine
