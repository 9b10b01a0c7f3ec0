#include "engine/view/richeditview.h"
#include "engine/codec/textsearch.h"

#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace engine;

class TestEngineSearch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void findText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("flags");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<QString>("find");
        QTest::addColumn<int>("expected");

        const QString doc = QStringLiteral("The cat scattered Cats.\nA category of cat\nend");
        const quint32 down = FR_DOWN;
        QTest::newRow("first hit, any case") << doc << down << 0 << -1 << "cat" << 4;
        QTest::newRow("match case skips") << doc << (down | FR_MATCHCASE) << 5 << -1 << "Cat" << 18;
        QTest::newRow("match case none") << doc << (down | FR_MATCHCASE) << 0 << -1 << "CAT" << -1;
        QTest::newRow("whole word") << doc << (down | FR_WHOLEWORD) << 5 << -1 << "cat" << 38;
        QTest::newRow("whole word not in Cats") << doc << (down | FR_WHOLEWORD) << 17 << 23 << "cat" << -1;
        QTest::newRow("inside a word without whole word") << doc << down << 5 << -1 << "cat" << 9;
        QTest::newRow("range start bounds") << doc << down << 11 << -1 << "cat" << 18;
        QTest::newRow("hit must end inside range") << doc << down << 0 << 6 << "cat" << -1;
        QTest::newRow("hit ending at range end") << doc << down << 0 << 7 << "cat" << 4;
        QTest::newRow("second paragraph") << doc << down << 24 << -1 << "category" << 26;
        QTest::newRow("across a paragraph end") << doc << down << 0 << -1 << "Cats.\rA" << 18;
        QTest::newRow("empty text") << doc << down << 0 << -1 << "" << -1;
        QTest::newRow("range past the end is clamped") << doc << down << 0 << 5000 << "end" << 42;
        QTest::newRow("not found") << doc << down << 0 << -1 << "dog" << -1;
        QTest::newRow("backward finds the last") << doc << quint32(0) << 42 << 0 << "cat" << 38;
        QTest::newRow("no FR_DOWN on a forward range") << doc << quint32(0) << 0 << -1 << "cat" << 4;
    }

    void findText()
    {
        QFETCH(QString, text);
        QFETCH(quint32, flags);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(QString, find);
        QFETCH(int, expected);
        RichEditView view;
        view.setPlainText(text);
        QCOMPARE(view.findText(flags, {min, max}, find), expected);
    }

    void wholeWordEdges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("whole");
        QTest::newRow("alone") << "cat" << 0 << 3 << true;
        QTest::newRow("prefix") << "cats" << 0 << 3 << false;
        QTest::newRow("suffix") << "scat" << 1 << 3 << false;
        QTest::newRow("punctuation") << "(cat)" << 1 << 3 << true;
        QTest::newRow("digits join words") << "cat2" << 0 << 3 << false;
        QTest::newRow("needle starts with space") << "a cat" << 1 << 4 << true;
    }

    void wholeWordEdges()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(bool, whole);
        QCOMPARE(isWholeWordAt(text, start, length), whole);
    }

    void searchNearTheCaretInALargeDocument()
    {
        QTextDocument document;
        QString text;
        for (int i = 0; i < 20000; ++i)
            text += QStringLiteral("paragraph number %1\n").arg(i);
        document.setPlainText(text);
        const int start = document.findBlockByNumber(15000).position();
        QCOMPARE(findInDocument(document, {start, -1}, QStringLiteral("number 15001"), {}),
                 document.findBlockByNumber(15001).position() + 10);
        // A miss in a short range does not report a hit beyond it.
        QCOMPARE(findInDocument(document, {start, start + 30}, QStringLiteral("number 19999"), {}), -1);
    }
};

QTEST_MAIN(TestEngineSearch)
#include "tst_enginesearch.moc"
