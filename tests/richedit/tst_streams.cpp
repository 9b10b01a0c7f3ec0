#include "platform/exceptions.h"
#include "platform/waitcursor.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_data.h"
#include "richedit/wwriched_lines.h"
#include "richedit/wwriched_memstream.h"
#include "richedit/wwriched_stream.h"

#include <QApplication>
#include <QBuffer>
#include <QTest>
#include <QTextCursor>
#include <QtEndian>

namespace {

// A memory stream whose allocations can be counted and made to fail.
class ControlledMemoryStream : public TwwRichMemoryStream {
public:
    int reallocations = 0;
    bool failAllocation = false;

protected:
    char *reallocateBlock(char *block, qint64 bytes) override
    {
        ++reallocations;
        return failAllocation ? nullptr : TwwRichMemoryStream::reallocateBlock(block, bytes);
    }
};

// A device that cannot be rewound: the source of a pipe or a socket.
class SequentialSource : public QIODevice {
public:
    explicit SequentialSource(QByteArray bytes) : m_bytes(std::move(bytes)) { open(ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_bytes.size() - m_at + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        const qint64 count = qMin<qint64>(max, m_bytes.size() - m_at);
        memcpy(data, m_bytes.constData() + m_at, size_t(count));
        m_at += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_at = 0;
};

// A device whose every read or write fails.
class BrokenDevice : public QIODevice {
public:
    BrokenDevice() { open(ReadWrite); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

// Runs the plain-text reader over `bytes` with the engine asking for `max` bytes at a time.
QByteArray readConverted(const QByteArray &bytes, qint64 max)
{
    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    PlainTextChunkReader reader(source);
    QByteArray out;
    QByteArray chunk(max, '\0');
    for (qint64 n; (n = reader(chunk.data(), max)) > 0;) {
        if (n > max)
            return QByteArrayLiteral("overflow");
        out.append(chunk.constData(), n);
    }
    return out;
}

void loadBytes(TwwCustomRichEdit &edit, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    edit.Lines()->LoadFromStream(buffer);
}

QByteArray savedBytes(TwwCustomRichEdit &edit)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    edit.Lines()->SaveToStream(buffer);
    return buffer.data();
}

QString exceptionMessage(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Exception &error) {
        return error.message();
    }
    return QString();
}

// Selects the first `length` characters and makes them bold.
void makeBold(TwwCustomRichEdit &edit, int length)
{
    edit.setSelectionRange({0, length});
    edit.SelectionAttributes().SetStyle(TFontStyles(fsBold));
}

bool boldAt(TwwCustomRichEdit &edit, int position)
{
    edit.setSelectionRange({position, position + 1});
    return edit.SelectionAttributes().Style().testFlag(fsBold);
}

}  // namespace

class TestStreams : public QObject {
    Q_OBJECT
private slots:
    void memoryStreamGrowsInWholeSteps();
    void memoryStreamCapacityRules();
    void memoryStreamReadWriteSeek();
    void memoryStreamOutOfMemoryKeepsBlock();

    void lineEndsBecomeCrLf_data();
    void lineEndsBecomeCrLf();
    void crLfSplitAcrossChunksGivesOneLineEnd();
    void utf16PassesUnchanged();
    void readerReportsReadFailure();

    void notRtfLoadsAsText();
    void plainTextLineEndsGiveParagraphs();
    void nulIsDroppedKeepingTheRest();
    void fallbackRereadsFromRememberedPosition();
    void fallbackWorksOnSequentialSource();
    void plainTextModeReadsRtfSourceAsText();
    void loadFailureRaisesAndKeepsContent();
    void saveFailureRaises();
    void savesRtfUnlessPlainText();

    void dataRoundTripKeepsContentAndFormat();
    void storedControlWithoutDataRereadsLinesAsRtf();
    void storedFormWithoutVersionRunsVersionOne();
    void malformedStoredDataRaises();
    void initialContentIsMsSansSerifEightPoint();

    void copyContentToReplacesTargetContent();
    void waitCursorRestoredOnEveryPath();
};

void TestStreams::memoryStreamGrowsInWholeSteps()
{
    ControlledMemoryStream stream;
    QCOMPARE(stream.capacity(), 0);
    QCOMPARE(stream.write("x", 1), 1);
    QCOMPARE(stream.capacity(), TwwRichMemoryStream::CapacityStep);
    const QByteArray block(TwwRichMemoryStream::CapacityStep - 1, 'a');
    QCOMPARE(stream.write(block), block.size());  // exactly fills the first step
    QCOMPARE(stream.capacity(), TwwRichMemoryStream::CapacityStep);
    QCOMPARE(stream.reallocations, 1);
    QCOMPARE(stream.write("y", 1), 1);
    QCOMPARE(stream.capacity(), 2 * TwwRichMemoryStream::CapacityStep);
    QCOMPARE(stream.size(), TwwRichMemoryStream::CapacityStep + 1);
    // Streaming 1 MB in small pieces needs only one reallocation per step.
    ControlledMemoryStream large;
    const QByteArray piece(1000, 'z');
    for (int i = 0; i < 1000; ++i)
        large.write(piece);
    QCOMPARE(large.reallocations, int((1000000 + 131071) / 131072));
}

void TestStreams::memoryStreamCapacityRules()
{
    ControlledMemoryStream stream;
    stream.setCapacity(1);
    QCOMPARE(stream.capacity(), 131072);
    stream.setCapacity(131072);
    stream.setCapacity(100000);  // rounds to the current capacity: nothing happens
    QCOMPARE(stream.reallocations, 1);
    stream.setCapacity(131073);
    QCOMPARE(stream.capacity(), 262144);
    stream.write("abc", 3);
    stream.setCapacity(0);
    QCOMPARE(stream.capacity(), 0);
    QVERIFY(stream.data() == nullptr);
    QCOMPARE(stream.size(), 0);
}

void TestStreams::memoryStreamReadWriteSeek()
{
    TwwRichMemoryStream stream;
    stream.write("hello world");
    QVERIFY(stream.seek(6));
    QCOMPARE(stream.readAll(), QByteArray("world"));
    QVERIFY(stream.seek(14));  // past the end: a later write fills the gap with zeros
    stream.write("!");
    QCOMPARE(stream.toByteArray(), QByteArray("hello world\0\0\0!", 15));
    stream.setSize(5);
    QCOMPARE(stream.pos(), 5);
    QCOMPARE(stream.toByteArray(), QByteArray("hello"));
    stream.setSize(7);
    QCOMPARE(stream.toByteArray(), QByteArray("hello\0\0", 7));
    QVERIFY(!stream.seek(-1));
    stream.clear();
    QCOMPARE(stream.size(), 0);
    QCOMPARE(stream.pos(), 0);
}

void TestStreams::memoryStreamOutOfMemoryKeepsBlock()
{
    ControlledMemoryStream stream;
    stream.write("keep me");
    const char *block = stream.data();
    stream.failAllocation = true;
    QCOMPARE(exceptionMessage([&] { stream.setCapacity(10 * 131072); }),
             QStringLiteral("Out of memory while expanding memory stream"));
    QVERIFY(stream.data() == block);
    QCOMPARE(stream.capacity(), 131072);
    // A write that would need more room fails as a device write and changes nothing.
    QCOMPARE(stream.write(QByteArray(131072, 'x')), -1);
    QCOMPARE(stream.errorString(), QStringLiteral("Out of memory while expanding memory stream"));
    QCOMPARE(stream.toByteArray(), QByteArray("keep me"));
    // Saving an editor's content into such a stream is a failed save.
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QString(200000, QLatin1Char('a')));
    ControlledMemoryStream full;
    full.failAllocation = true;
    QCOMPARE(exceptionMessage([&] { edit.Lines()->SaveToStream(full); }),
             QStringLiteral("Failed to Save Stream"));
}

void TestStreams::lineEndsBecomeCrLf_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("lf only") << QByteArray("a\nb\nc") << QByteArray("a\r\nb\r\nc");
    QTest::newRow("cr only") << QByteArray("a\rb\rc") << QByteArray("a\r\nb\r\nc");
    QTest::newRow("cr lf") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb");
    QTest::newRow("blank lines") << QByteArray("\r\n\r\n\n\r") << QByteArray("\r\n\r\n\r\n\r\n");
    QTest::newRow("cr at the very end") << QByteArray("a\r") << QByteArray("a\r\n");
    QTest::newRow("nul dropped, rest kept") << QByteArray("ab\0cd\0\0e", 8) << QByteArray("abcde");
    QTest::newRow("nul between cr and lf") << QByteArray("a\r\0\nb", 5) << QByteArray("a\r\nb");
    QTest::newRow("only nuls") << QByteArray("\0\0\0", 3) << QByteArray();
}

void TestStreams::lineEndsBecomeCrLf()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    for (qint64 max : {2, 3, 4, 7, 4096})
        QCOMPARE(readConverted(input, max), expected);
}

void TestStreams::crLfSplitAcrossChunksGivesOneLineEnd()
{
    // With max 4 the reader takes two bytes at a time: "ab", "c\r", "\nd" splits the pair.
    QCOMPARE(readConverted("abc\r\nd", 4), QByteArray("abc\r\nd"));
    // Every split position of a longer text gives the same result.
    const QByteArray text("one\r\ntwo\rthree\nfour\r\n\r\nfive");
    const QByteArray expected("one\r\ntwo\r\nthree\r\nfour\r\n\r\nfive");
    for (qint64 max = 2; max < 24; ++max)
        QCOMPARE(readConverted(text, max), expected);
}

void TestStreams::utf16PassesUnchanged()
{
    const QByteArray utf16("\xFF\xFE" "a\0\r\0\n\0\xE9\0", 10);
    QCOMPARE(readConverted(utf16, 4096), utf16);
    QCOMPARE(readConverted(utf16, 3), utf16);
}

void TestStreams::readerReportsReadFailure()
{
    BrokenDevice source;
    PlainTextChunkReader reader(source);
    char buffer[16];
    QCOMPARE(reader(buffer, sizeof buffer), -1);
    QCOMPARE(reader(buffer, sizeof buffer), -1);
}

// Only data that does not begin as RTF is text; an RTF start that never closes is a
// damaged RTF file, read as far as it goes.
void TestStreams::notRtfLoadsAsText()
{
    TwwDBRichEdit edit;
    loadBytes(edit, "{\\rtfx junk");
    QCOMPARE(edit.Lines()->Count(), 1);
    QCOMPARE(edit.Lines()->Get(0), QStringLiteral("{\\rtfx junk"));
    loadBytes(edit, "{\\rtf1 junk");
    QCOMPARE(edit.Lines()->ToStringList(), QStringList{"junk"});
}

void TestStreams::plainTextLineEndsGiveParagraphs()
{
    const QStringList expected{"alpha", "beta", "gamma"};
    for (const QByteArray &bytes : {QByteArray("alpha\nbeta\ngamma"), QByteArray("alpha\rbeta\rgamma"),
                                    QByteArray("alpha\r\nbeta\r\ngamma\r\n")}) {
        TwwDBRichEdit edit;
        loadBytes(edit, bytes);
        QCOMPARE(edit.Lines()->ToStringList(), expected);
    }
}

void TestStreams::nulIsDroppedKeepingTheRest()
{
    TwwDBRichEdit edit;
    loadBytes(edit, QByteArray("before\0after\nnext", 17));
    QCOMPARE(edit.Lines()->ToStringList(), QStringList({"beforeafter", "next"}));
}

void TestStreams::fallbackRereadsFromRememberedPosition()
{
    TwwDBRichEdit edit;
    QBuffer buffer;
    buffer.setData("HEADER{\\ansi not rtf\nsecond");
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(6);
    edit.Lines()->LoadFromStream(buffer);
    QCOMPARE(edit.Lines()->ToStringList(), QStringList({"{\\ansi not rtf", "second"}));

    QBuffer rtf;
    rtf.setData("HEADER{\\rtf1\\ansi {\\b bold} plain}");
    rtf.open(QIODevice::ReadOnly);
    rtf.seek(6);
    edit.Lines()->LoadFromStream(rtf);
    QCOMPARE(edit.Lines()->Get(0), QStringLiteral("bold plain"));
    QVERIFY(boldAt(edit, 0));
    QVERIFY(!boldAt(edit, 6));
}

void TestStreams::fallbackWorksOnSequentialSource()
{
    TwwDBRichEdit edit;
    SequentialSource text("{\\rtfx broken\r\nline two");
    edit.Lines()->LoadFromStream(text);
    QCOMPARE(edit.Lines()->ToStringList(), QStringList({"{\\rtfx broken", "line two"}));
    SequentialSource rtf("{\\rtf1\\ansi hello\\par world}");
    edit.Lines()->LoadFromStream(rtf);
    QCOMPARE(edit.Lines()->Get(0), QStringLiteral("hello"));
    QCOMPARE(edit.Lines()->Get(1), QStringLiteral("world"));
}

void TestStreams::plainTextModeReadsRtfSourceAsText()
{
    TwwDBRichEdit edit;
    edit.SetPlainText(true);
    loadBytes(edit, "{\\rtf1\\ansi hello}");
    QCOMPARE(edit.Lines()->Get(0), QStringLiteral("{\\rtf1\\ansi hello}"));
}

void TestStreams::loadFailureRaisesAndKeepsContent()
{
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("kept\ncontent"));
    BrokenDevice broken;
    QCOMPARE(exceptionMessage([&] { edit.Lines()->LoadFromStream(broken); }),
             QStringLiteral("Failed to Load Stream"));
    QCOMPARE(edit.Lines()->ToStringList(), QStringList({"kept", "content"}));
    edit.SetPlainText(true);
    QCOMPARE(exceptionMessage([&] { edit.Lines()->LoadFromStream(broken); }),
             QStringLiteral("Failed to Load Stream"));
    QCOMPARE(edit.Lines()->ToStringList(), QStringList({"kept", "content"}));
}

void TestStreams::saveFailureRaises()
{
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("text"));
    BrokenDevice broken;
    QCOMPARE(exceptionMessage([&] { edit.Lines()->SaveToStream(broken); }),
             QStringLiteral("Failed to Save Stream"));
    edit.SetPlainText(true);
    QCOMPARE(exceptionMessage([&] { edit.Lines()->SaveToStream(broken); }),
             QStringLiteral("Failed to Save Stream"));
}

void TestStreams::savesRtfUnlessPlainText()
{
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("first\nsecond"));
    QVERIFY(savedBytes(edit).startsWith("{\\rtf1"));
    edit.SetPlainText(true);
    // Every added line ends with a paragraph mark, so the last line ends with CR LF too.
    QCOMPARE(savedBytes(edit), QByteArray("first\r\nsecond\r\n"));
}

void TestStreams::dataRoundTripKeepsContentAndFormat()
{
    TwwDBRichEdit source;
    source.Lines()->SetText(QStringLiteral("bold start\nsecond \u00e9\u4e2d"));
    makeBold(source, 4);
    QBuffer stored;
    stored.open(QIODevice::ReadWrite);
    WriteRichEditData(source, stored);
    const QByteArray bytes = stored.data();
    const quint32 count = qFromLittleEndian<quint32>(bytes.constData());
    QCOMPARE(qint64(count) + 4, bytes.size());
    QCOMPARE(bytes.mid(4), savedBytes(source));  // exactly what stream saving produces

    TwwDBRichEdit target;
    target.SetPlainText(true);
    stored.seek(0);
    QVERIFY(ReadRichEditData(target, stored));
    QVERIFY(!target.PlainText());
    QCOMPARE(target.Lines()->ToStringList(), source.Lines()->ToStringList());
    QVERIFY(boldAt(target, 0));
    QVERIFY(!boldAt(target, 5));

    // The whole stored form: version always written as 2, and read back.
    source.SetRichEditVersion(1);
    QBuffer form;
    form.open(QIODevice::ReadWrite);
    WriteStoredRichEdit(source, form);
    QCOMPARE(source.RichEditVersion(), 2);
    form.seek(0);
    TwwDBRichEdit reread;
    QVERIFY(ReadStoredRichEdit(reread, form));
    QCOMPARE(reread.RichEditVersion(), 2);
    QCOMPARE(reread.Lines()->ToStringList(), source.Lines()->ToStringList());
    QVERIFY(boldAt(reread, 0));
}

namespace {

void appendRecordName(QByteArray &to, const char *name)
{
    to.append(char(strlen(name))).append(name);
}

void appendUInt32(QByteArray &to, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    to.append(bytes, 4);
}

QByteArray linesRecord(const QStringList &lines)
{
    QByteArray record;
    appendRecordName(record, "Lines.Strings");
    appendUInt32(record, quint32(lines.size()));
    for (const QString &line : lines) {
        appendUInt32(record, quint32(line.toUtf8().size()));
        record.append(line.toUtf8());
    }
    return record;
}

bool readStored(TwwCustomRichEdit &edit, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadStoredRichEdit(edit, buffer);
}

}  // namespace

void TestStreams::storedControlWithoutDataRereadsLinesAsRtf()
{
    QByteArray form;
    appendRecordName(form, "RichEditVersion");
    appendUInt32(form, 2);
    form += linesRecord({"{\\rtf1\\ansi", "{\\b strong} text}"});
    form.append('\0');
    TwwDBRichEdit edit;
    QVERIFY(!readStored(edit, form));
    QVERIFY(!edit.PlainText());
    QCOMPARE(edit.Lines()->Get(0), QStringLiteral("strong text"));
    QVERIFY(boldAt(edit, 0));
    QVERIFY(!boldAt(edit, 7));

    // Lines that are not RTF stay as they were.
    QByteArray plain = linesRecord({"just", "text"});
    plain.append('\0');
    TwwDBRichEdit other;
    readStored(other, plain);
    QCOMPARE(other.Lines()->ToStringList(), QStringList({"just", "text"}));
}

void TestStreams::storedFormWithoutVersionRunsVersionOne()
{
    QByteArray form;
    appendRecordName(form, "Data");
    const QByteArray rtf("{\\rtf1\\ansi stored}");
    appendUInt32(form, quint32(rtf.size()));
    form += rtf;
    form.append('\0');
    TwwDBRichEdit edit;
    QCOMPARE(edit.RichEditVersion(), 2);
    QVERIFY(readStored(edit, form));
    QCOMPARE(edit.RichEditVersion(), 1);
    QCOMPARE(edit.Lines()->Get(0), QStringLiteral("stored"));
}

void TestStreams::malformedStoredDataRaises()
{
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("unchanged"));
    QByteArray truncated;
    appendRecordName(truncated, "Data");
    appendUInt32(truncated, 0xFFFFFFF0u);  // claims 4 GB, holds 3 bytes
    truncated += "abc";
    QVERIFY(!exceptionMessage([&] { readStored(edit, truncated); }).isEmpty());
    QByteArray unknown;
    appendRecordName(unknown, "Bogus");
    QVERIFY(exceptionMessage([&] { readStored(edit, unknown); }).contains("Bogus"));
    QCOMPARE(edit.Lines()->Get(0), QStringLiteral("unchanged"));
    QVERIFY(!edit.PlainText());
}

void TestStreams::initialContentIsMsSansSerifEightPoint()
{
    TwwDBRichEdit edit;
    edit.setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    edit.Lines()->SetText(QStringLiteral("old"));
    edit.StartEmptyDocument(2057);
    QVERIFY(!edit.Modified());
    QVERIFY(!edit.CanUndo());
    QVERIFY(edit.Lines()->Get(0).isEmpty());
    QVERIFY(edit.Lines()->Count() <= 1);
    edit.setSelectionRange({0, 0});
    QCOMPARE(edit.SelectionAttributes().Name(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(edit.SelectionAttributes().Size(), 8);

    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.setFocus();
    QTest::keyClicks(&edit, "Typed");
    QCOMPARE(edit.Lines()->Get(0), QStringLiteral("Typed"));
    edit.setSelectionRange({0, 5});
    QCOMPARE(edit.SelectionAttributes().Name(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(edit.SelectionAttributes().Size(), 8);
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    edit.Lines()->SaveToStream(saved);
    QVERIFY(saved.data().contains("\\lang2057"));
}

void TestStreams::copyContentToReplacesTargetContent()
{
    TwwDBRichEdit source;
    source.Lines()->SetText(QStringLiteral("copied text\nline two"));
    makeBold(source, 6);
    TwwDBRichEdit target;
    target.Lines()->SetText(QStringLiteral("old\nold\nold"));
    source.CopyContentTo(&target);
    QCOMPARE(target.Lines()->ToStringList(), QStringList({"copied text", "line two"}));
    QVERIFY(boldAt(target, 0));
    QVERIFY(!boldAt(target, 7));
    QCOMPARE(source.Lines()->ToStringList(), QStringList({"copied text", "line two"}));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    source.CopyContentTo(nullptr);
}

void TestStreams::waitCursorRestoredOnEveryPath()
{
    {
        WaitCursor wait;
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    try {
        WaitCursor wait;
        throw EStreamError(QStringLiteral("fails"));
    } catch (const EStreamError &) {
    }
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

QTEST_MAIN(TestStreams)
#include "tst_streams.moc"
