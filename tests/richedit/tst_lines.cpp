#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QSignalSpy>
#include <QBuffer>
#include <QTest>

namespace {

// Puts raw text into the control the way a user's typing or a paste would.
void typeText(TwwCustomRichEdit &edit, const QString &text)
{
    edit.setSelectionRange({edit.textLength(), edit.textLength()});
    edit.replaceSelection(text);
}

QStringList lines(const TwwCustomRichEdit &edit)
{
    return edit.Lines()->ToStringList();
}

}  // namespace

class TestLines : public QObject {
    Q_OBJECT
private slots:
    void countIgnoresEmptyLastParagraph();
    void getReturnsWholeParagraphs();
    void putReplacesOneLine();
    void insertBeforeExistingLines();
    void insertPastTheEnd();
    void addBuildsTheDocument();
    void deleteRemovesLineWithItsEnd();
    void clearEmptiesAndResetsModified();
    void textRoundTrip();
    void settingTextFiresNoChangeEvents();
    void addStringsFiresNoSelectionEvents();
    void updateSuspendsRepaintAndNotifiesAtTheEnd();
    void loadReportSaysWhyRtfWasNotRead_data();
    void loadReportSaysWhyRtfWasNotRead();
    void loadReportWarnsOfDamage();
};

void TestLines::countIgnoresEmptyLastParagraph()
{
    TwwDBRichEdit edit;
    QCOMPARE(edit.Lines()->Count(), 0);
    typeText(edit, QStringLiteral("one"));
    QCOMPARE(edit.Lines()->Count(), 1);
    typeText(edit, QStringLiteral("\r"));  // trailing paragraph mark
    QCOMPARE(edit.Lines()->Count(), 1);
    typeText(edit, QStringLiteral("\r"));  // an empty line in the middle counts
    QCOMPARE(edit.Lines()->Count(), 2);
    typeText(edit, QStringLiteral("three"));
    QCOMPARE(edit.Lines()->Count(), 3);
    QCOMPARE(lines(edit), QStringList({"one", "", "three"}));
}

void TestLines::getReturnsWholeParagraphs()
{
    TwwDBRichEdit edit;
    const QString longLine(10000, QLatin1Char('x'));
    typeText(edit, QStringLiteral("short\r") + longLine);
    QCOMPARE(edit.Lines()->Get(0), QStringLiteral("short"));
    QCOMPARE(edit.Lines()->Get(1), longLine);  // never cut at 4096
    QVERIFY(edit.Lines()->Get(2).isEmpty());
    QVERIFY(edit.Lines()->Get(-1).isEmpty());
}

void TestLines::putReplacesOneLine()
{
    TwwDBRichEdit edit;
    typeText(edit, QStringLiteral("a\rb\rc"));
    edit.Lines()->Put(1, QStringLiteral("middle"));
    QCOMPARE(lines(edit), QStringList({"a", "middle", "c"}));
    edit.Lines()->Put(2, QString());
    QCOMPARE(edit.Lines()->Get(2), QString());
    edit.Lines()->Put(-1, QStringLiteral("x"));
    edit.Lines()->Put(9, QStringLiteral("x"));
    QCOMPARE(lines(edit), QStringList({"a", "middle"}));
    QCOMPARE(edit.lineCount(), 3);
}

void TestLines::insertBeforeExistingLines()
{
    TwwDBRichEdit edit;
    typeText(edit, QStringLiteral("b\rd"));
    edit.Lines()->Insert(0, QStringLiteral("a"));
    edit.Lines()->Insert(2, QStringLiteral("c"));
    QCOMPARE(lines(edit), QStringList({"a", "b", "c", "d"}));
    edit.Lines()->Insert(-1, QStringLiteral("never"));
    QCOMPARE(edit.Lines()->Count(), 4);
}

void TestLines::insertPastTheEnd()
{
    TwwDBRichEdit edit;
    typeText(edit, QStringLiteral("a"));
    edit.Lines()->Insert(1, QStringLiteral("b"));  // after the end of line 0
    QCOMPARE(lines(edit), QStringList({"a", "b"}));
    QCOMPARE(edit.lineCount(), 2);
    edit.Lines()->Insert(5, QStringLiteral("x"));  // line 4 does not exist
    QCOMPARE(lines(edit), QStringList({"a", "b"}));

    TwwDBRichEdit endsEmpty;
    typeText(endsEmpty, QStringLiteral("a\r"));
    endsEmpty.Lines()->Insert(2, QStringLiteral("x"));  // line 1 exists but is empty
    QCOMPARE(endsEmpty.textRange({0, endsEmpty.textLength()}), QStringLiteral("a\r"));
}

void TestLines::addBuildsTheDocument()
{
    TwwDBRichEdit edit;
    edit.Lines()->Add(QStringLiteral("first"));
    edit.Lines()->Add(QString());
    edit.Lines()->Add(QStringLiteral("third"));
    QCOMPARE(lines(edit), QStringList({"first", "", "third"}));
    // Each added line ends with a paragraph mark, leaving an empty last paragraph.
    QCOMPARE(edit.lineCount(), 4);
    QCOMPARE(edit.Lines()->Get(3), QString());
}

void TestLines::deleteRemovesLineWithItsEnd()
{
    TwwDBRichEdit edit;
    typeText(edit, QStringLiteral("a\rb\rc"));
    edit.Lines()->Delete(1);
    QCOMPARE(lines(edit), QStringList({"a", "c"}));
    edit.Lines()->Delete(1);  // the last line loses its text, the mark before it stays
    QCOMPARE(edit.textRange({0, edit.textLength()}), QStringLiteral("a\r"));
    QCOMPARE(edit.Lines()->Count(), 1);
    edit.Lines()->Delete(-1);
    edit.Lines()->Delete(7);
    QCOMPARE(lines(edit), QStringList({"a"}));
    edit.Lines()->Delete(0);
    QCOMPARE(edit.Lines()->Count(), 0);
}

void TestLines::clearEmptiesAndResetsModified()
{
    TwwDBRichEdit edit;
    typeText(edit, QStringLiteral("text\rmore"));
    edit.SetModified(true);
    edit.Lines()->Clear();
    QCOMPARE(edit.Lines()->Count(), 0);
    QVERIFY(!edit.Modified());
}

void TestLines::textRoundTrip()
{
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("one\r\ntwo\rthree\nfour"));
    QCOMPARE(lines(edit), QStringList({"one", "two", "three", "four"}));
    QCOMPARE(edit.Lines()->Text(), QStringLiteral("one\ntwo\nthree\nfour\n"));
    edit.Lines()->SetText(QStringLiteral("x\n\n"));
    QCOMPARE(lines(edit), QStringList({"x", ""}));
    edit.Lines()->SetText(QString());
    QCOMPARE(edit.Lines()->Count(), 0);
    edit.Lines()->Assign({"p", "q"});
    QCOMPARE(lines(edit), QStringList({"p", "q"}));
}

void TestLines::settingTextFiresNoChangeEvents()
{
    TwwDBRichEdit edit;
    int changes = 0;
    edit.OnChange = [&](TwwCustomRichEdit *) { ++changes; };
    const quint32 mask = edit.eventMask();
    QVERIFY(mask & engine::ENM_CHANGE);
    edit.Lines()->SetText(QStringLiteral("a\nb\nc"));
    QCOMPARE(changes, 0);
    QCOMPARE(edit.eventMask(), mask);
    typeText(edit, QStringLiteral("d"));  // ordinary edits still report changes
    QVERIFY(changes > 0);
}

void TestLines::addStringsFiresNoSelectionEvents()
{
    TwwDBRichEdit edit;
    int selectionChanges = 0;
    edit.OnSelectionChange = [&](TwwCustomRichEdit *) { ++selectionChanges; };
    edit.Lines()->AddStrings({"one", "two", "three"});
    QCOMPARE(lines(edit), QStringList({"one", "two", "three"}));
    QCOMPARE(selectionChanges, 0);
    QVERIFY(edit.OnSelectionChange);  // the handler is back afterwards
    edit.setSelectionRange({1, 3});
    QVERIFY(selectionChanges > 0);
}

void TestLines::updateSuspendsRepaintAndNotifiesAtTheEnd()
{
    TwwDBRichEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QSignalSpy textChanged(&edit, &QTextEdit::textChanged);
    TwwRichEditStrings &strings = *edit.Lines();
    strings.BeginUpdate();
    strings.BeginUpdate();
    QVERIFY(!edit.updatesEnabled());
    strings.EndUpdate();
    QVERIFY(!edit.updatesEnabled());  // still inside the outer update
    QCOMPARE(textChanged.count(), 0);
    strings.EndUpdate();
    QVERIFY(edit.updatesEnabled());
    QCOMPARE(textChanged.count(), 1);
    strings.EndUpdate();  // unbalanced: ignored
    QVERIFY(edit.updatesEnabled());

    // A hidden control's repaint state is left alone.
    TwwDBRichEdit hidden;
    hidden.Lines()->BeginUpdate();
    QVERIFY(hidden.updatesEnabled());
    hidden.Lines()->EndUpdate();
}

void TestLines::loadReportSaysWhyRtfWasNotRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readAsRtf");
    QTest::addColumn<int>("error");
    QTest::addColumn<qsizetype>("offset");
    QTest::newRow("rtf") << QByteArray("{\\rtf1 text\\par}") << true << int(engine::RtfReadError::None) << qsizetype(0);
    QTest::newRow("text") << QByteArray("just text") << false << int(engine::RtfReadError::NotRtf) << qsizetype(0);
    QTest::newRow("cut") << QByteArray("{\\rtf1 {\\b cut") << true << int(engine::RtfReadError::None) << qsizetype(0);
}

// The reader's finding reaches whoever loaded the file, so a message can name the reason.
void TestLines::loadReportSaysWhyRtfWasNotRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readAsRtf);
    QFETCH(int, error);
    QFETCH(qsizetype, offset);
    TwwDBRichEdit edit;
    QBuffer source(&bytes);
    source.open(QIODevice::ReadOnly);
    edit.Lines()->LoadFromStream(source);
    const TwwLoadReport &report = edit.Lines()->LastLoadReport();
    QCOMPARE(report.ReadAsRtf, readAsRtf);
    QCOMPARE(int(report.Rtf.error), error);
    QCOMPARE(report.Rtf.offset, offset);
    QCOMPARE(report.Rtf.message().isEmpty(), readAsRtf);
}

// A damaged file is read as far as it goes; the report names the file and the damage.
void TestLines::loadReportWarnsOfDamage()
{
    TwwDBRichEdit edit;
    edit.Lines()->SetText(QStringLiteral("old"));
    QByteArray bytes("{\\rtf1 {\\b cut");
    QBuffer source(&bytes);
    source.open(QIODevice::ReadOnly);
    edit.Lines()->LoadFromStream(source);
    QCOMPARE(edit.toPlainText(), QStringLiteral("cut"));
    const TwwLoadReport &report = edit.Lines()->LastLoadReport();
    QCOMPARE(report.DamageWarning(QStringLiteral("/home/u/letter.rtf")),
             QStringLiteral("letter.rtf is damaged: it ends before its last group is closed (byte 14). "
                            "The readable part is shown."));

    QByteArray whole("{\\rtf1 whole}");
    QBuffer wholeSource(&whole);
    wholeSource.open(QIODevice::ReadOnly);
    edit.Lines()->LoadFromStream(wholeSource);
    QVERIFY(edit.Lines()->LastLoadReport().DamageWarning(QStringLiteral("a.rtf")).isEmpty());
}

QTEST_MAIN(TestLines)
#include "tst_lines.moc"
