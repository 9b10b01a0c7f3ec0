#include "richedit/wwriched_stream.h"

#include "platform/exceptions.h"

#include <QFileInfo>
#include <QIODevice>
#include <cstring>
#include <new>

qint64 PlainTextChunkReader::operator()(char *buffer, qint64 max)
{
    if (max <= 0)
        return 0;
    while (m_pending.size() - m_pendingStart == 0 && !m_sourceDone) {
        m_pending.clear();
        m_pendingStart = 0;
        if (!refill(max))
            return -1;
    }
    const qint64 count = qMin<qint64>(max, m_pending.size() - m_pendingStart);
    std::memcpy(buffer, m_pending.constData() + m_pendingStart, size_t(count));
    m_pendingStart += count;
    return count;
}

// Reads at most half the engine's request, so that a chunk made only of line ends
// still fits the engine's buffer after each becomes CR LF.
bool PlainTextChunkReader::refill(qint64 max)
{
    if (m_failed)
        return false;
    if (!m_started) {
        m_started = true;
        const QByteArray head = m_source.peek(2);
        m_utf16 = head == "\xFF\xFE" || head == "\xFE\xFF";
    }
    QByteArray chunk(qMax<qint64>(max / 2, 1), Qt::Uninitialized);
    const qint64 read = m_source.read(chunk.data(), chunk.size());
    if (read < 0) {
        m_failed = true;
        return false;
    }
    if (read == 0) {
        m_sourceDone = true;
        return true;
    }
    m_sniffer.feed(QByteArrayView(chunk.constData(), read));
    if (m_utf16)
        m_pending.append(chunk.constData(), read);
    else
        convert(chunk.constData(), read);
    return true;
}

// A CR produces CR LF at once and swallows an LF that follows it, even one that only
// arrives with the next read, so no line end is lost or doubled at a chunk boundary.
void PlainTextChunkReader::convert(const char *bytes, qint64 count)
{
    m_pending.reserve(m_pending.size() + count * 2);
    for (qint64 i = 0; i < count; ++i) {
        const char c = bytes[i];
        if (c == '\0')
            continue;
        const bool lfAfterCR = m_afterCR && c == '\n';
        m_afterCR = false;
        if (lfAfterCR)
            continue;
        if (c == '\r' || c == '\n') {
            m_pending.append("\r\n", 2);
            m_afterCR = c == '\r';
        } else {
            m_pending.append(c);
        }
    }
}

namespace {

[[noreturn]] void raiseLoadFailure()
{
    throw EStreamError(QStringLiteral("Failed to Load Stream"));
}

engine::StreamInResult readAsRtf(engine::RichEditView &view, QIODevice &source)
{
    const qint64 expected = source.isSequential() ? 0 : source.size() - source.pos();
    return view.streamIn(
        engine::SF_RTF, [&source](char *buffer, qint64 max) { return source.read(buffer, max); }, expected);
}

// The content read as plain text, with the file format it was in.
void readAsText(engine::RichEditView &view, QIODevice &source, TwwLoadReport &report)
{
    PlainTextChunkReader reader(source);
    if (!view.streamIn(engine::SF_TEXT, [&reader](char *buffer, qint64 max) { return reader(buffer, max); }))
        raiseLoadFailure();
    report.Format = {true, reader.format()};
}

[[noreturn]] void raiseOutOfMemory()
{
    throw EStreamError(QStringLiteral("Not enough memory for the document"));
}

// The source position is remembered through a transaction, which also lets a
// sequential device be read a second time for the plain-text attempt.
TwwLoadReport loadRtfOrText(engine::RichEditView &view, bool plainText, QIODevice &source)
{
    TwwLoadReport report;
    if (plainText) {
        readAsText(view, source, report);
        return report;
    }
    source.startTransaction();
    const engine::StreamInResult rtf = readAsRtf(view, source);
    report.Rtf = rtf.rtf;
    if (rtf.ok()) {
        source.commitTransaction();
        report.ReadAsRtf = true;
        return report;
    }
    source.rollbackTransaction();
    readAsText(view, source, report);
    return report;
}

void writeAll(QIODevice &target, const QByteArray &bytes)
{
    if (target.write(bytes) != bytes.size())
        throw EStreamError(QStringLiteral("Failed to Save Stream"));
}

}  // namespace

QString TwwLoadReport::DamageWarning(const QString &fileName) const
{
    if (!ReadAsRtf || !Rtf.damaged())
        return {};
    return QStringLiteral("%1 is damaged: %2. The readable part is shown.")
        .arg(QFileInfo(fileName).fileName(), Rtf.damageDescription());
}

TwwLoadReport loadRichContent(engine::RichEditView &view, bool plainText, QIODevice &source)
{
    try {
        return loadRtfOrText(view, plainText, source);
    } catch (const std::bad_alloc &) {
        if (source.isTransactionStarted())
            source.rollbackTransaction();
        raiseOutOfMemory();
    }
}

void saveRichContent(const engine::RichEditView &view, bool plainText, QIODevice &target)
{
    const auto writer = [&target](const char *data, qint64 size) {
        return target.write(data, size) == size;
    };
    bool written = false;
    try {
        written = view.streamOut(plainText ? engine::SF_TEXT : engine::SF_RTF, writer);
    } catch (const std::bad_alloc &) {
        raiseOutOfMemory();
    }
    if (!written)
        throw EStreamError(QStringLiteral("Failed to Save Stream"));
}

// The engine writes UTF-8 with CR LF between paragraphs; the file gets its own encoding
// and line ends from that.
TextFileFormat saveTextContent(const engine::RichEditView &view, TextFileFormat format, QIODevice &target)
{
    try {
        QByteArray utf8;
        view.streamOut(engine::SF_TEXT, [&utf8](const char *data, qint64 size) {
            utf8.append(data, size);
            return true;
        });
        const QString text = QString::fromUtf8(utf8);
        utf8.clear();
        std::optional<QByteArray> bytes = encodeText(text, format);
        if (!bytes) {
            format.encoding = TextEncoding::Utf8;
            bytes = encodeText(text, format);
        }
        writeAll(target, *bytes);
    } catch (const std::bad_alloc &) {
        raiseOutOfMemory();
    }
    return format;
}
