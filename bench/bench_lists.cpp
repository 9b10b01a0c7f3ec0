// Loading and saving a document of 20,000 list paragraphs through the editor's Lines, as
// the file commands do: numbered lists of two levels and bulleted lists as another word
// processor writes them (\listtable, \listoverridetable, \ls, \ilvl, \listtext), between
// ordinary paragraphs, with one numbered list of 5,000 items among them. Prints the best
// of three runs against the load and save targets, and the process's peak memory.
#include "bench/benchmeasure.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using bench::peakMiB;
using bench::timeMs;

constexpr double kLoadTargetMs = 1000.0;
constexpr double kSaveTargetMs = 500.0;
constexpr double kPeakTargetMiB = 200.0;
constexpr int kRuns = 3;
constexpr int kListParagraphs = 20000;
constexpr int kLongList = 5000;
constexpr int kShortList = 25;

const char kHeader[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}"
    "{\\levelnumbers\\'01;}\\fi-360\\li720}{\\listlevel\\levelnfc4\\levelstartat1{\\leveltext\\'02\\'01);}"
    "{\\levelnumbers\\'01;}\\fi-360\\li1440}\\listid1}\r\n"
    "{\\list\\listtemplateid2\\listsimple{\\listlevel\\levelnfc23{\\leveltext\\'01\\'b7;}{\\levelnumbers;}\\f1"
    "\\fi-360\\li720}\\listid2}}\r\n"
    "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}"
    "{\\listoverride\\listid1\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat1}\\ls3}}\r\n";

void appendItem(QByteArray &rtf, int override, int level, const QByteArray &number, int i)
{
    rtf += "\\pard{\\listtext\\f0 " + number + "\\tab}\\ls" + QByteArray::number(override) + "\\ilvl"
           + QByteArray::number(level) + (level ? "\\fi-360\\li1440" : "\\fi-360\\li720");
    rtf += "\\f0\\fs20 List item " + QByteArray::number(i) + " with {\\b bold} words and some more text.\\par\r\n";
}

QByteArray generateRtf()
{
    QByteArray rtf(kHeader);
    rtf.reserve(kListParagraphs * 140);
    int written = 0;
    // The long list first, then short lists of each kind with ordinary paragraphs between.
    for (int i = 0; i < kLongList; ++i)
        appendItem(rtf, 1, 0, QByteArray::number(i + 1) + '.', written++);
    for (int list = 0; written < kListParagraphs; ++list) {
        rtf += "\\pard\\f0\\fs20 An ordinary paragraph between lists.\\par\r\n";
        const bool bullets = list % 3 == 2;
        for (int i = 0; i < kShortList && written < kListParagraphs; ++i) {
            if (bullets)
                appendItem(rtf, 2, 0, "\\'b7", written++);
            else
                appendItem(rtf, 3, i % 5 == 4 ? 1 : 0, QByteArray::number(i + 1) + '.', written++);
        }
    }
    rtf += "}\r\n";
    return rtf;
}

void report(const char *what, QList<double> times, double targetMs)
{
    std::sort(times.begin(), times.end());
    std::printf("  %-10s best %8.1f ms  (runs:", what, times.first());
    for (double t : times)
        std::printf(" %.1f", t);
    std::printf(")  target %.0f ms  %s\n", targetMs, times.first() <= targetMs ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString in = folder.filePath(QStringLiteral("lists.rtf"));
    const QString out = folder.filePath(QStringLiteral("out.rtf"));
    QFile file(in);
    const QByteArray rtf = generateRtf();
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(in));
        return 1;
    }
    file.close();
    QList<double> loads, saves;
    int paragraphs = 0;
    try {
        for (int run = 0; run < kRuns; ++run) {
            TwwDBRichEdit edit;
            loads.append(timeMs([&] { edit.Lines()->LoadFromFile(in); }));
            saves.append(timeMs([&] { edit.Lines()->SaveToFile(out); }));
            paragraphs = edit.Lines()->Count();
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 1;
    }
    std::printf("lists.rtf: %.2f MB, %d paragraphs, %d of them list items\n", rtf.size() / 1e6, paragraphs,
                kListParagraphs);
    report("load", loads, kLoadTargetMs);
    report("save RTF", saves, kSaveTargetMs);
    const double peak = peakMiB();
    std::printf("  RTF written %.2f MB; peak memory %.1f MiB  target < %.0f MiB  %s\n", QFileInfo(out).size() / 1e6,
                peak, kPeakTargetMiB, peak < kPeakTargetMiB ? "met" : "MISSED");
    return 0;
}
