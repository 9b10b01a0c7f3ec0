#include "engine/codec/rtf/rtfcontrolwords.h"
#include "engine/codec/rtf/rtftokenizer.h"

#include <QTest>

using namespace engine;

namespace {

// A compact description of the tokens: "{", "}", "\name", "\nameN", "\sym", "'hh",
// "text", "bin:N".
QStringList describe(const QByteArray &bytes)
{
    QStringList out;
    RtfTokenizer tokens(bytes);
    for (;;) {
        const RtfToken t = tokens.next();
        switch (t.kind) {
        case RtfTokenKind::End:
            return out;
        case RtfTokenKind::GroupOpen:
            out << QStringLiteral("{");
            break;
        case RtfTokenKind::GroupClose:
            out << QStringLiteral("}");
            break;
        case RtfTokenKind::ControlWord:
            out << u'\\' + QString::fromLatin1(t.data) + (t.hasParameter ? QString::number(t.parameter) : QString());
            break;
        case RtfTokenKind::ControlSymbol:
            out << QStringLiteral("\\sym") + (t.symbol == '\n' ? QStringLiteral("NL") : QString(QChar(t.symbol)));
            break;
        case RtfTokenKind::HexByte:
            out << QStringLiteral("'%1").arg(t.hexByte, 2, 16, QChar(u'0'));
            break;
        case RtfTokenKind::Text:
            out << QString::fromLatin1(t.data);
            break;
        case RtfTokenKind::Binary:
            out << QStringLiteral("bin:%1").arg(t.data.size());
            break;
        }
    }
}

}  // namespace

class TestRtfTokenizer : public QObject {
    Q_OBJECT
private slots:
    void tokens_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("groups and words") << QByteArray("{\\rtf1\\ansi x}")
                                          << QStringList{"{", "\\rtf1", "\\ansi", "x", "}"};
        QTest::newRow("space delimiter is consumed, second space is text")
            << QByteArray("\\b  bold") << QStringList{"\\b", " bold"};
        QTest::newRow("negative parameter") << QByteArray("\\fi-360\\li720")
                                            << QStringList{"\\fi-360", "\\li720"};
        QTest::newRow("hyphen without digits is text") << QByteArray("\\b-x")
                                                       << QStringList{"\\b", "-x"};
        QTest::newRow("parameter clamped") << QByteArray("\\fs99999999999999999999 ")
                                           << QStringList{"\\fs2147483647"};
        QTest::newRow("negative clamped") << QByteArray("\\u-99999999999")
                                          << QStringList{"\\u-2147483647"};
        QTest::newRow("hex bytes") << QByteArray("\\'e9\\'C4x") << QStringList{"'e9", "'c4", "x"};
        QTest::newRow("bad hex is a symbol, rest is text") << QByteArray("\\'zz")
                                                           << QStringList{"\\sym'", "zz"};
        QTest::newRow("hex cut at end") << QByteArray("\\'4") << QStringList{"\\sym'", "4"};
        QTest::newRow("symbols") << QByteArray("\\~\\-\\_\\*\\\\\\{\\}")
                                 << QStringList{"\\sym~", "\\sym-", "\\sym_", "\\sym*", "\\sym\\", "\\sym{", "\\sym}"};
        QTest::newRow("backslash newline is a paragraph") << QByteArray("a\\\r\nb")
                                                          << QStringList{"a", "\\symNL", "b"};
        QTest::newRow("line ends and NUL dropped") << QByteArray("a\r\nb\0c", 7)
                                                   << QStringList{"a", "b", "c"};
        QTest::newRow("binary skips braces by length") << QByteArray("\\bin4 {}\\x}")
                                                       << QStringList{"bin:4", "}"};
        QTest::newRow("binary cut short at end") << QByteArray("\\bin1000000 ab")
                                                 << QStringList{"bin:2"};
        QTest::newRow("lone backslash at end") << QByteArray("x\\") << QStringList{"x"};
        QTest::newRow("long name kept whole") << QByteArray("\\" + QByteArray(40, 'a') + "1")
                                              << QStringList{"\\" + QString(40, u'a') + "1"};
    }
    void tokens()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, expected);
        QCOMPARE(describe(input), expected);
    }

    void offsetsPointAtTokenStart()
    {
        RtfTokenizer tokens(QByteArray("{\\b x}"));
        QCOMPARE(tokens.next().offset, 0);
        QCOMPARE(tokens.next().offset, 1);
        QCOMPARE(tokens.next().offset, 4);
        QCOMPARE(tokens.next().offset, 5);
        const RtfToken end = tokens.next();
        QCOMPARE(end.kind, RtfTokenKind::End);
        QCOMPARE(end.offset, 6);
    }

    void skipGroupHonoursEscapesAndBinary()
    {
        const QByteArray bytes("{\\*\\x a\\{ {b} \\bin2 }} \\}}after}");
        RtfTokenizer tokens(bytes);
        QCOMPARE(tokens.next().kind, RtfTokenKind::GroupOpen);
        QVERIFY(tokens.skipGroup());
        const RtfToken next = tokens.next();
        QCOMPARE(next.kind, RtfTokenKind::Text);
        QCOMPARE(next.data, QByteArrayView("after"));

        RtfTokenizer unclosed(QByteArray("{ {a}"));
        unclosed.next();
        QVERIFY(!unclosed.skipGroup());
    }

    void controlWordTable()
    {
        QVERIFY(findRtfControlWord("par"));
        QCOMPARE(findRtfControlWord("par")->kind, RtfWordKind::Symbol);
        QCOMPARE(findRtfControlWord("fonttbl")->kind, RtfWordKind::Destination);
        QCOMPARE(findRtfControlWord("b")->kind, RtfWordKind::Toggle);
        QCOMPARE(findRtfControlWord("fs")->kind, RtfWordKind::Value);
        QCOMPARE(findRtfControlWord("pard")->id, RtfWord::pard);
        QCOMPARE(findRtfControlWord("do")->id, RtfWord::do_);
        QVERIFY(!findRtfControlWord("nosuchword"));
        QVERIFY(!findRtfControlWord(""));
        QVERIFY(!findRtfControlWord("PAR"));
        QVERIFY(!findRtfControlWord("pa"));
    }

    // The names are found through a hash table: every word must come back as itself.
    void everyControlWordIsFoundByItsName()
    {
        struct Entry {
            const char *name;
            RtfWord id;
        };
        const Entry entries[] = {
#define TEST_RTF_WORD_ENTRY(id, name, kind) {name, RtfWord::id},
            ENGINE_RTF_CONTROL_WORDS(TEST_RTF_WORD_ENTRY)
#undef TEST_RTF_WORD_ENTRY
        };
        for (const Entry &entry : entries) {
            const RtfControlWord *found = findRtfControlWord(QByteArrayView(entry.name));
            QVERIFY2(found && found->id == entry.id, entry.name);
        }
    }
};

QTEST_APPLESS_MAIN(TestRtfTokenizer)
#include "tst_rtftokenizer.moc"
