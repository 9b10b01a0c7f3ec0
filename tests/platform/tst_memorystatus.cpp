#include "platform/memorystatus.h"

#include <QTest>

using platform::MemoryStatus;

class TestMemoryStatus : public QObject {
    Q_OBJECT
private slots:
    void meminfoIsRead_data();
    void meminfoIsRead();
    void loadIsRoundedAndBounded_data();
    void loadIsRoundedAndBounded();
    void thisMachineHasMemory();
};

void TestMemoryStatus::meminfoIsRead_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint64>("totalKiB");
    QTest::addColumn<quint64>("availableKiB");
    QTest::addColumn<int>("load");
    QTest::newRow("one gibibyte, 37 % in use")
        << QByteArray("MemTotal:        1048576 kB\nMemFree:          100000 kB\nMemAvailable:     660603 kB\n")
        << quint64(1048576) << quint64(660603) << 37;
    QTest::newRow("older kernel without MemAvailable")
        << QByteArray("MemTotal: 2000 kB\nMemFree: 500 kB\nBuffers: 100 kB\nCached: 400 kB\nSwapCached: 7 kB\n")
        << quint64(2000) << quint64(1000) << 50;
    QTest::newRow("empty") << QByteArray() << quint64(0) << quint64(0) << 0;
    QTest::newRow("damaged lines are skipped, available capped at the total")
        << QByteArray("garbage\nMemTotal: lots kB\n:\nMemTotal: 4096 kB\nMemAvailable: 9999 kB\n")
        << quint64(4096) << quint64(4096) << 0;
}

void TestMemoryStatus::meminfoIsRead()
{
    QFETCH(QByteArray, text);
    QFETCH(quint64, totalKiB);
    QFETCH(quint64, availableKiB);
    QFETCH(int, load);
    const MemoryStatus status = platform::parseMemInfo(text);
    QCOMPARE(status.totalPhys, totalKiB * 1024);
    QCOMPARE(status.availPhys, availableKiB * 1024);
    QCOMPARE(status.memoryLoad, load);
}

void TestMemoryStatus::loadIsRoundedAndBounded_data()
{
    QTest::addColumn<quint64>("total");
    QTest::addColumn<quint64>("available");
    QTest::addColumn<int>("load");
    QTest::newRow("37.4 %") << quint64(1000) << quint64(626) << 37;
    QTest::newRow("37.5 %") << quint64(1000) << quint64(625) << 38;
    QTest::newRow("all free") << quint64(1000) << quint64(1000) << 0;
    QTest::newRow("more free than there is") << quint64(1000) << quint64(5000) << 0;
    QTest::newRow("all used") << quint64(1000) << quint64(0) << 100;
    QTest::newRow("no total") << quint64(0) << quint64(0) << 0;
    QTest::newRow("a tebibyte, half used") << (quint64(1) << 40) << (quint64(1) << 39) << 50;
}

void TestMemoryStatus::loadIsRoundedAndBounded()
{
    QFETCH(quint64, total);
    QFETCH(quint64, available);
    QFETCH(int, load);
    QCOMPARE(platform::memoryLoadPercent(total, available), load);
}

void TestMemoryStatus::thisMachineHasMemory()
{
    const MemoryStatus status = platform::memoryStatus();
    QVERIFY(status.totalPhys > 0);
    QVERIFY(status.availPhys <= status.totalPhys);
    QVERIFY(status.memoryLoad >= 0 && status.memoryLoad <= 100);
}

QTEST_GUILESS_MAIN(TestMemoryStatus)
#include "tst_memorystatus.moc"
