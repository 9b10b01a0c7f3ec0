// libFuzzer entry for the RTF reader: every input must give a result (never a crash,
// hang or leak), and the document must stay usable afterwards. A document read is also
// written: what the writer makes of it must read back with the same text, and be
// written the same way again, so that saving neither loses text nor keeps changing it.
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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

[[noreturn]] void fail(const char *what, const QByteArray &written)
{
    std::fprintf(stderr, "%s:\n%s\n", what, written.constData());
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
    if (engine::writeRtf(&again) != written)
        fail("a second writing differs from the first", written);
    return 0;
}
