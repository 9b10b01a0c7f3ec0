#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

// Byte-level RTF output: control words, groups, escaped text and hex data, appended to
// one growing buffer. Everything written is 7-bit: characters of Windows-1252 become
// \'hh, all others \uN followed by a '?' fallback (\uc1 is declared once by the writer).
namespace engine {

class RtfOutput {
public:
    // `frontRoom` bytes are kept free before what is written, for take(front).
    explicit RtfOutput(qsizetype reserve = 0, qsizetype frontRoom = 0);

    void word(const char *name);             // "\name"
    void word(const char *name, int value);  // "\nameN"
    void open();                             // "{"
    void close();                            // "}"
    void newline();                          // CR LF, between control words only
    void raw(QByteArrayView bytes);          // verbatim RTF (a kept group)
    void words(QByteArrayView bytes);        // prepared control words ("\\pard\\qc")
    void hex(QByteArrayView bytes);          // picture data, lines of 128 digits

    // Text of a run. ansiFont: the run's font uses the ANSI code page, so characters of
    // Windows-1252 may be written as \'hh; otherwise every non-ASCII character is \uN.
    void text(QStringView text, bool ansiFont);

    QByteArrayView bytes() const { return {m_data + m_front, m_used - m_front}; }
    QByteArray take();
    // What was written with `front` before it: put into the front room when it fits there,
    // so that a large output is not copied once more.
    QByteArray take(QByteArrayView front);

private:
    char *room(qsizetype most)  // where up to `most` bytes go at the end
    {
        if (m_used + most > m_out.size())
            grow(m_used + most);
        return m_data + m_used;
    }
    void endRoom(const char *end) { m_used = end - m_data; }  // keeps what was written into the room up to `end`
    void grow(qsizetype needed);
    void append(QByteArrayView bytes);
    char *appendText(char *p, QStringView text, bool ansiFont);

    // The buffer is sized ahead of what is written (m_used bytes): each word and run goes
    // straight into its free room, without asking the array to resize.
    QByteArray m_out;
    char *m_data = nullptr;
    qsizetype m_used = 0;
    qsizetype m_front = 0;  // the room kept free at the start
    bool m_delimit = false;  // the last thing written was a control word
};

// The Windows-1252 byte of a character, or 0 when the code page lacks it. Characters
// below 0x80 map to themselves.
unsigned char cp1252Byte(char16_t c);

}  // namespace engine
