// wpconv: converts a document by loading and saving it through exactly the editor's own
// Lines operations, as the word processor does. Used for benchmarks and interop checks.
//
//   wpconv [--text] [--stats] IN OUT
//
// IN is read as RTF, or as plain text when it is not RTF. OUT is written as RTF, or as
// plain text with --text. --stats prints the load and save times, the paragraph count
// and the peak memory of the process.

#include "platform/exceptions.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Options {
    bool text = false;
    bool stats = false;
    QString in;
    QString out;
};

void printUsage(FILE *to)
{
    std::fputs("usage: wpconv [--text] [--stats] IN OUT\n"
               "  --text   write OUT as plain text instead of RTF\n"
               "  --stats  print load and save times, paragraphs and peak memory\n",
               to);
}

bool parseArguments(const QStringList &arguments, Options &options)
{
    QStringList files;
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--text"))
            options.text = true;
        else if (argument == QLatin1String("--stats"))
            options.stats = true;
        else if (argument.startsWith(QLatin1String("--")))
            return false;
        else
            files.append(argument);
    }
    if (files.size() != 2)
        return false;
    options.in = files[0];
    options.out = files[1];
    return true;
}

// Peak resident memory (VmHWM) in KiB, or -1 where the system does not report it.
long peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Qt needs a platform for its widgets; without one named, the offscreen platform keeps
// the tool usable where no display exists.
void chooseOffscreenPlatformUnlessGiven(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

int convert(const Options &options)
{
    TwwDBRichEdit edit;
    QElapsedTimer timer;
    timer.start();
    edit.Lines()->LoadFromFile(options.in);
    const qint64 loadMs = timer.elapsed();

    edit.SetPlainText(options.text);
    timer.restart();
    edit.Lines()->SaveToFile(options.out);
    const qint64 saveMs = timer.elapsed();

    if (options.stats) {
        std::printf("load_ms %lld\nsave_ms %lld\nparagraphs %d\npeak_kib %ld\n",
                    static_cast<long long>(loadMs), static_cast<long long>(saveMs),
                    edit.Lines()->Count(), peakMemoryKiB());
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    chooseOffscreenPlatformUnlessGiven(argc, argv);
    QApplication app(argc, argv);
    Options options;
    if (!parseArguments(QApplication::arguments(), options)) {
        printUsage(stderr);
        return 2;
    }
    try {
        return convert(options);
    } catch (const Exception &error) {
        std::fprintf(stderr, "wpconv: %s\n", qPrintable(error.message()));
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "wpconv: not enough memory to convert \"%s\"\n", qPrintable(options.in));
    }
    return 1;
}
