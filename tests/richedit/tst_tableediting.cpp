#include "tests/support/testsupport.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtTest>
#include <memory>

namespace {

QTextTable *firstTable(QTextDocument *document)
{
    for (QTextFrame *frame : document->rootFrame()->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(frame))
            return table;
    }
    return nullptr;
}

QString cellText(QTextTable *table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

}  // namespace

// A table written by another word processor, edited as a user edits it.
class TestTableEditing : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showsTheTableAsWritten();
    void arrowKeysMoveBetweenCells();
    void typingAndDeletingStayInTheCell();
    void tabTypesATab();
    void pastingParagraphsKeepsTheTable();
    void selectAllDeleteRemovesTheTableAndUndoRestoresIt();
    void findReachesCellText();

private:
    void placeAt(int row, int column, bool atEnd = false);
    QTextTable *table() const { return firstTable(m_edit->document()); }

    std::unique_ptr<TwwDBRichEdit> m_edit;
};

void TestTableEditing::init()
{
    m_edit = std::make_unique<TwwDBRichEdit>();
    // As the word processor sets its editor.
    m_edit->SetWantReturns(true);
    m_edit->SetWantTabs(true);
    m_edit->resize(700, 500);
    m_edit->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_edit.get()));
    QByteArray rtf = testsupport::readRtfFixture(QStringLiteral("lowriter_table3x3.rtf"));
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    m_edit->Lines()->LoadFromStream(buffer);
    QVERIFY(table());
}

void TestTableEditing::cleanup()
{
    m_edit.reset();
}

void TestTableEditing::placeAt(int row, int column, bool atEnd)
{
    const QTextTableCell cell = table()->cellAt(row, column);
    m_edit->setTextCursor(atEnd ? cell.lastCursorPosition() : cell.firstCursorPosition());
}

void TestTableEditing::showsTheTableAsWritten()
{
    QTextTable *grid = table();
    QCOMPARE(grid->rows(), 3);
    QCOMPARE(grid->columns(), 3);
    QCOMPARE(grid->cellAt(1, 0).columnSpan(), 2);
    QCOMPARE(cellText(grid, 0, 0), QStringLiteral("Fruit"));
    QCOMPARE(cellText(grid, 1, 0), QStringLiteral("Apples and pears together"));
    QCOMPARE(cellText(grid, 2, 1), QStringLiteral("purple"));
    const QTextTableCellFormat format = grid->cellAt(2, 2).format().toTableCellFormat();
    QVERIFY(format.topBorder() > 0);
    QCOMPARE(format.leftBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
}

void TestTableEditing::arrowKeysMoveBetweenCells()
{
    placeAt(0, 0, true);
    QTest::keyClick(m_edit.get(), Qt::Key_Right);
    QCOMPARE(m_edit->textCursor().position(), table()->cellAt(0, 1).firstPosition());
    QTest::keyClick(m_edit.get(), Qt::Key_Down);
    QCOMPARE(table()->cellAt(m_edit->textCursor()).row(), 1);
    QTest::keyClick(m_edit.get(), Qt::Key_Down);
    QCOMPARE(table()->cellAt(m_edit->textCursor()).row(), 2);
}

void TestTableEditing::typingAndDeletingStayInTheCell()
{
    placeAt(2, 0);
    QTest::keyClicks(m_edit.get(), QStringLiteral("Big "));
    QCOMPARE(cellText(table(), 2, 0), QStringLiteral("Big Plum"));
    placeAt(2, 1);
    // Backspace at a cell's start joins nothing.
    QTest::keyClick(m_edit.get(), Qt::Key_Backspace);
    QCOMPARE(cellText(table(), 2, 0), QStringLiteral("Big Plum"));
    QCOMPARE(cellText(table(), 2, 1), QStringLiteral("purple"));
    placeAt(2, 2, true);
    QTest::keyClick(m_edit.get(), Qt::Key_Backspace);
    QCOMPARE(cellText(table(), 2, 2), QString());
    // Enter makes a second paragraph in the cell.
    placeAt(2, 1, true);
    QTest::keyClick(m_edit.get(), Qt::Key_Return);
    QTest::keyClicks(m_edit.get(), QStringLiteral("deep"));
    QCOMPARE(table()->rows(), 3);
    QCOMPARE(cellText(table(), 2, 1), QStringLiteral("purple") + QChar::ParagraphSeparator + QStringLiteral("deep"));
    QCOMPARE(cellText(table(), 2, 2), QString());
}

void TestTableEditing::tabTypesATab()
{
    placeAt(1, 2);
    QTest::keyClick(m_edit.get(), Qt::Key_Tab);
    QCOMPARE(cellText(table(), 1, 2), QStringLiteral("\t12"));
    QCOMPARE(table()->cellAt(m_edit->textCursor()).column(), 2);
}

void TestTableEditing::pastingParagraphsKeepsTheTable()
{
    auto *data = new QMimeData;
    data->setText(QStringLiteral("one\ntwo"));
    QApplication::clipboard()->setMimeData(data);
    placeAt(0, 2, true);
    m_edit->PasteFromClipboard();
    QCOMPARE(table()->rows(), 3);
    QCOMPARE(table()->columns(), 3);
    QCOMPARE(cellText(table(), 0, 2), QStringLiteral("Countone") + QChar::ParagraphSeparator + QStringLiteral("two"));
    QCOMPARE(cellText(table(), 1, 2), QStringLiteral("12"));
}

void TestTableEditing::selectAllDeleteRemovesTheTableAndUndoRestoresIt()
{
    m_edit->SelectAll();
    QTest::keyClick(m_edit.get(), Qt::Key_Delete);
    QVERIFY(!table());
    QVERIFY(m_edit->document()->toPlainText().isEmpty());
    m_edit->Undo();
    QVERIFY(table());
    QCOMPARE(cellText(table(), 1, 0), QStringLiteral("Apples and pears together"));
}

void TestTableEditing::findReachesCellText()
{
    const int found = m_edit->SearchText(QStringLiteral("purple"), 0, m_edit->document()->characterCount(), {});
    QCOMPARE(found, table()->cellAt(2, 1).firstPosition());
}

QTEST_MAIN(TestTableEditing)
#include "tst_tableediting.moc"
