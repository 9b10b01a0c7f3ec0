#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// How a plain-text document is stored, learnt when it is read, so that saving it writes
// the same kind of bytes: the encoding with its byte-order mark, and the line end.

enum class TextEncoding {
    Utf8,         // no byte-order mark
    Utf8WithBom,
    Utf16LE,      // always with its byte-order mark
    Utf16BE,
    Windows1252,  // a file that was not valid UTF-8
};

enum class LineBreak { CRLF, LF, CR };

// The line end of a new text file: the platform's own.
LineBreak platformLineBreak();

struct TextFileFormat {
    TextEncoding encoding = TextEncoding::Utf8;
    LineBreak lineBreak = platformLineBreak();
    bool operator==(const TextFileFormat &) const = default;
};

// The format a document file is written in: RTF, or plain text as `text` says.
struct DocumentFileFormat {
    bool plainText = false;
    TextFileFormat text;
    bool operator==(const DocumentFileFormat &) const = default;
};

// Learns a text file's format from its bytes, given in chunks of any size. The encoding
// follows the reading rule: a UTF-8 or UTF-16 byte-order mark, else UTF-8 when all the
// bytes (NULs left out) are valid UTF-8, else Windows-1252. The line end is the first
// one in the file; a file without any gets the platform's.
class TextFormatSniffer {
public:
    void feed(QByteArrayView bytes);
    TextFileFormat finish();

private:
    void startBody(QByteArrayView head);
    void feedBody(QByteArrayView bytes);
    void feedEightBit(QByteArrayView bytes);
    void feedSixteenBit(QByteArrayView bytes);
    void checkUtf8(QByteArrayView bytes);
    void noteCharacter(char16_t c);

    QByteArray m_head;  // the first bytes, until the byte-order mark is decided
    bool m_started = false;
    TextEncoding m_encoding = TextEncoding::Utf8;
    bool m_invalidUtf8 = false;
    QByteArray m_utf8Carry;  // an incomplete UTF-8 sequence at a chunk's end
    QByteArray m_unitCarry;  // the first byte of a UTF-16 unit split between chunks
    bool m_afterCR = false;
    std::optional<LineBreak> m_lineBreak;
};

// The whole format of `bytes` at once.
TextFileFormat sniffTextFormat(QByteArrayView bytes);

// Encodes text whose paragraphs are separated by CR LF in `format`: its line ends, its
// encoding and, for UTF-16 and UTF-8 with a mark, its byte-order mark. Nullopt when a
// character has no place in the encoding (Windows-1252 holds only 256).
std::optional<QByteArray> encodeText(QString text, const TextFileFormat &format);
