// libFuzzer entry for the RTF reader: every input must give a result (never a crash,
// hang or leak), and the document must stay usable afterwards.
#include "engine/rtfreader.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    application();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    const engine::RtfReadResult result = engine::readRtf(bytes, &document);
    if (result.ok())
        (void)document.toPlainText();
    return 0;
}
