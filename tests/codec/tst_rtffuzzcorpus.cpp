#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/rtf/write/rtfwriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>
#include <QTextDocument>

using namespace engine;

// Replays the fuzzer's seed corpus, every input it ever crashed on, and the RTF fixtures
// of the tests (which also seed the fuzzer) through the reader: each must give a clear result, and a successful read a usable document that
// the writer writes back with the same text, the same way every time.
class TestRtfFuzzCorpus : public QObject {
    Q_OBJECT
private slots:
    void replay_data()
    {
        QTest::addColumn<QString>("path");
        const QDir root(QStringLiteral(WP_FUZZ_CORPUS "/../.."));
        int count = 0;
        for (const QString &folder : {QStringLiteral(WP_FUZZ_CORPUS "/rtfreader"),
                                      QStringLiteral(WP_FUZZ_CORPUS "/../crashes/rtfreader"),
                                      QStringLiteral(WP_TEST_DATA "/rtf")}) {
            QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QTest::newRow(qPrintable(root.relativeFilePath(path))) << path;
                ++count;
            }
        }
        QVERIFY2(count > 0, "the seed corpus is missing");
    }
    void replay()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QTextDocument document;
        const RtfReadResult result = readRtf(bytes, &document);
        if (result.ok()) {
            QVERIFY(document.blockCount() >= 1);
            QVERIFY(result.message().isEmpty());
            const QByteArray written = writeRtf(&document);
            QTextDocument again;
            QVERIFY(readRtf(written, &again).ok());
            QCOMPARE(again.toRawText(), document.toRawText());
            QCOMPARE(writeRtf(&again), written);
        } else {
            QVERIFY(!result.message().isEmpty());
            QVERIFY(result.offset >= 0 && result.offset <= bytes.size());
        }
    }
};

QTEST_MAIN(TestRtfFuzzCorpus)
#include "tst_rtffuzzcorpus.moc"
