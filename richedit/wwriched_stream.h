#pragma once
#include "engine/view/richeditview.h"
#include "richedit/wwriched_textfile.h"

#include <QByteArray>

class QIODevice;

// Feeds the engine plain text from a source device, with every line end made CR LF:
// LF, CR LF and a lone CR each give one paragraph end, also when a CR LF pair is split
// between two reads. NUL bytes are dropped one by one; the text after them is kept.
// Text that starts with a UTF-16 byte-order mark passes unchanged: its bytes are not
// characters, and the engine's text reader decodes it and normalises its line ends.
class PlainTextChunkReader {
public:
    explicit PlainTextChunkReader(QIODevice &source) : m_source(source) {}

    // Fills up to `max` bytes; 0 at the end of the source, -1 when reading fails.
    qint64 operator()(char *buffer, qint64 max);
    // The encoding and line end of the bytes read, once the source has ended.
    TextFileFormat format() { return m_sniffer.finish(); }

private:
    bool refill(qint64 max);
    void convert(const char *bytes, qint64 count);

    QIODevice &m_source;
    TextFormatSniffer m_sniffer;
    QByteArray m_pending;
    qint64 m_pendingStart = 0;
    bool m_afterCR = false;
    bool m_started = false;
    bool m_utf16 = false;
    bool m_sourceDone = false;
    bool m_failed = false;
};

// How a load went: whether the content was read as RTF, and the RTF reader's findings
// (why the bytes were not RTF, or what a lenient read left out); empty for plain text
// asked for as such. Format is what was read: RTF, or plain text with its encoding and
// line ends.
struct TwwLoadReport {
    bool ReadAsRtf = false;
    engine::RtfReadResult Rtf;
    DocumentFileFormat Format;

    // For RTF that was damaged but read as far as it goes, the sentence that tells the
    // user so: "letter.rtf is damaged: it ends before its last group is closed (byte
    // 18,204). The readable part is shown." Empty when the content was read whole.
    QString DamageWarning(const QString &fileName) const;
};

// Replaces the whole content of `view` with what `source` holds from its current
// position: as RTF unless `plainText`, falling back to plain text from the same
// position when the bytes are not RTF. Raises EStreamError "Failed to Load Stream"
// when neither can be read; the content is then left as the engine kept it.
TwwLoadReport loadRichContent(engine::RichEditView &view, bool plainText, QIODevice &source);

// Writes the whole content of `view` to `target` as RTF, or as plain text when
// `plainText`. Raises EStreamError "Failed to Save Stream" when the target fails.
void saveRichContent(const engine::RichEditView &view, bool plainText, QIODevice &target);

// Writes the whole content of `view` to `target` as plain text in `format`. Text that
// Windows-1252 cannot hold is written as UTF-8 instead, so that no character is lost.
// Returns the format written; raises EStreamError "Failed to Save Stream" when the
// target fails.
TextFileFormat saveTextContent(const engine::RichEditView &view, TextFileFormat format, QIODevice &target);
