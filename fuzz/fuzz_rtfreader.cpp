// libFuzzer entry for the RTF reader: every input must give a result (never a crash,
// hang or leak), and the document must stay usable afterwards. A document read is also
// written: what the writer makes of it must read back with the same text, and be
// written the same way again, so that saving neither loses text nor keeps changing it.
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

QGuiApplication &application()
{
    static int argc = 3;
    static char arg0[] = "fuzz_rtfreader";
    static char arg1[] = "-platform";
    static char arg2[] = "offscreen";
    static char *argv[] = {arg0, arg1, arg2, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

// Control characters as \xNN: a NUL in what was written must not end the print early.
std::string printable(QByteArrayView bytes)
{
    std::string text;
    for (const char c : bytes) {
        if ((c >= 0x20 && c < 0x7f) || c == '\n') {
            text += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(static_cast<unsigned char>(c)));
            text += hex;
        }
    }
    return text;
}

[[noreturn]] void fail(const char *what, const QByteArray &written)
{
    std::fprintf(stderr, "%s:\n%s\n", what, printable(written).c_str());
    std::abort();
}

// Shows where the second writing leaves the first, after the first.
[[noreturn]] void failDiffering(const QByteArray &written, const QByteArray &again)
{
    qsizetype at = 0;
    while (at < written.size() && at < again.size() && written[at] == again[at])
        ++at;
    const qsizetype from = std::max<qsizetype>(0, at - 80);
    const auto around = [from](const QByteArray &bytes) {
        return printable(QByteArrayView(bytes).sliced(from).first(std::min<qsizetype>(160, bytes.size() - from)));
    };
    std::fprintf(stderr, "a second writing differs from the first:\n%s\nthey part at byte %lld:\nfirst:  %s\nsecond: %s\n",
                 printable(written).c_str(), static_cast<long long>(at), around(written).c_str(), around(again).c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    application();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    if (!engine::readRtf(bytes, &document).ok())
        return 0;
    const QByteArray written = engine::writeRtf(&document);
    QTextDocument again;
    if (!engine::readRtf(written, &again).ok())
        fail("the written RTF does not read", written);
    if (again.toRawText() != document.toRawText())
        fail("the text changed in writing and reading", written);
    const QByteArray rewritten = engine::writeRtf(&again);
    if (rewritten != written)
        failDiffering(written, rewritten);
    return 0;
}
