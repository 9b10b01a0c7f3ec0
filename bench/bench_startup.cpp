// Start-up time and memory of the word processor: the time from launching the process
// to its main window shown and the event loop idle, and the resident memory then.
// Each figure is the median of several launches. The program reports both through its
// WP_STARTUP_PROBE hook (app/startupprobe.h).
//
// Usage: bench_startup [runs]. Measures under Qt's offscreen platform, then, when
// xvfb-run is installed and no display is set, once more on X11 inside a virtual
// display (the benchmark runs itself there with --x11).

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr double kTargetMs = 250;
constexpr double kTargetMb = 80;

struct Sample {
    double ms = -1;
    double mb = -1;
};

qint64 steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Sample launchOnce(const QString &program, const QString &platform)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    env.insert(QStringLiteral("WP_STARTUP_PROBE"), QString::number(steadyNanoseconds()));
    process.setProcessEnvironment(env);
    process.start(program, {});
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    static const QRegularExpression line(QStringLiteral("startup_ms=([0-9.]+) rss_kb=(\\d+)"));
    const auto match = line.match(QString::fromLatin1(process.readAllStandardOutput()));
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toDouble(), match.captured(2).toDouble() / 1024.0};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

void measure(const QString &program, const QString &platform, int runs)
{
    std::vector<double> times;
    std::vector<double> sizes;
    launchOnce(program, platform);  // warm the file cache
    for (int i = 0; i < runs; ++i) {
        const Sample sample = launchOnce(program, platform);
        if (sample.ms < 0) {
            std::printf("%-10s launch %d failed\n", qPrintable(platform), i + 1);
            continue;
        }
        times.push_back(sample.ms);
        sizes.push_back(sample.mb);
    }
    if (times.empty())
        return;
    const double ms = median(times);
    const double mb = median(sizes);
    std::printf("%-10s start-up to idle window: %7.1f ms (target < %.0f ms) %s\n", qPrintable(platform), ms,
                kTargetMs, ms < kTargetMs ? "ok" : "OVER");
    std::printf("%-10s resident memory:         %7.1f MB (target < %.0f MB) %s\n", qPrintable(platform), mb,
                kTargetMb, mb < kTargetMb ? "ok" : "OVER");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool x11Only = args.contains(QStringLiteral("--x11"));
    int runs = 7;
    for (const QString &arg : args.mid(1))
        if (arg.toInt() > 0)
            runs = arg.toInt();
    const QString program = QDir(app.applicationDirPath()).filePath(QStringLiteral("wordprocessor"));
    std::printf("%d launches each of %s, median\n", runs, qPrintable(program));

    if (x11Only) {
        measure(program, QStringLiteral("xcb"), runs);
        return 0;
    }
    measure(program, QStringLiteral("offscreen"), runs);
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        measure(program, QStringLiteral("xcb"), runs);
    } else if (const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run")); !xvfb.isEmpty()) {
        QProcess inner;
        inner.setProcessChannelMode(QProcess::ForwardedChannels);
        inner.start(xvfb, {QStringLiteral("-a"), app.applicationFilePath(), QStringLiteral("--x11"),
                           QString::number(runs)});
        inner.waitForFinished(300000);
    } else {
        std::printf("xcb        not measured: no display and no xvfb-run\n");
    }
    return 0;
}
