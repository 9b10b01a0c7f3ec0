#include "engine/view/clipboarddata.h"
#include "engine/view/richeditview.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

using namespace engine;

namespace {

void makeBold(QTextDocument *document, int from, int to)
{
    QTextCursor range(document);
    range.setPosition(from);
    range.setPosition(to, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    range.mergeCharFormat(format);
}

}  // namespace

class TestClipboardData : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // RTF under each of its names, text and HTML; the HTML, made only when asked for,
    // still shows what was copied after the document changed.
    void copyOffersEveryFormatAsCopied()
    {
        RichEditView view;
        view.setPlainText(QStringLiteral("one bold line\nsecond"));
        makeBold(view.document(), 4, 8);
        view.setSelectionRange({4, 20});
        view.copySelection();
        view.setPlainText(QStringLiteral("changed"));

        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        for (const QString &type : ClipboardData::rtfTypes()) {
            QVERIFY2(copied->hasFormat(type), qPrintable(type));
            QVERIFY(copied->data(type).startsWith("{\\rtf1"));
        }
        QVERIFY(copied->formats().contains(QStringLiteral("text/html")));
        QCOMPARE(copied->text(), QStringLiteral("bold line\nsecond"));
        QVERIFY(copied->hasHtml());
        const QString html = copied->html();
        QVERIFY2(html.contains(QStringLiteral("font-weight:700")), qPrintable(html));
        QVERIFY(html.contains(QStringLiteral("second")));
        QVERIFY(!html.contains(QStringLiteral("changed")));
        QCOMPARE(QString::fromUtf8(copied->data(QStringLiteral("text/html"))), html);
    }

    // Pasting the copy of a list brings one list of the same items, undone in one step.
    void copiedListPastesAsOneListUndoneAtOnce()
    {
        RichEditView source;
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines.append(QStringLiteral("item %1").arg(i));
        source.setPlainText(lines.join(u'\n'));
        source.setSelectionRange({0, -1});
        source.textCursor().createList(QTextListFormat::ListDisc);
        source.copySelection();

        RichEditView target;
        target.setPlainText(QStringLiteral("before"));
        target.setSelectionRange({6, 6});
        target.document()->clearUndoRedoStacks();
        target.pasteClipboard();
        const QTextList *list = target.document()->findBlockByNumber(1).textList();
        QVERIFY(list);
        QCOMPARE(list->count(), 200);  // the first item starts a paragraph of its own
        QCOMPARE(list->item(0).text(), QStringLiteral("item 0"));
        QCOMPARE(list->item(199).text(), QStringLiteral("item 199"));
        target.document()->undo();
        QCOMPARE(target.document()->toPlainText(), QStringLiteral("before"));
        QVERIFY(!target.document()->isUndoAvailable());
    }

    // A paste over a selection in mid-paragraph: its first paragraph joins the text
    // before it, the caret and a place further on follow it, formats come along; undo
    // gives back the document, redo the paste.
    void pasteOverASelectionUndoesAndRedoes()
    {
        RichEditView source;
        source.setPlainText(QStringLiteral("one\ntwo"));
        makeBold(source.document(), 4, 7);
        source.setSelectionRange({0, -1});
        source.copySelection();

        RichEditView target;
        target.setPlainText(QStringLiteral("abcdef\nlast"));
        target.document()->clearUndoRedoStacks();
        QTextCursor further(target.document());
        further.setPosition(9);  // the "s" of "last"
        target.setSelectionRange({2, 4});
        target.pasteClipboard();
        const QString pasted = QStringLiteral("abone\ntwoef\nlast");
        QCOMPARE(target.document()->toPlainText(), pasted);
        QCOMPARE(target.textCursor().position(), 9);
        QVERIFY(!target.textCursor().hasSelection());
        QCOMPARE(further.position(), 14);
        QTextCursor two(target.document());
        two.setPosition(7);
        QCOMPARE(two.charFormat().fontWeight(), QFont::Bold);

        target.document()->undo();
        QCOMPARE(target.document()->toPlainText(), QStringLiteral("abcdef\nlast"));
        QVERIFY(!target.document()->isUndoAvailable());
        target.document()->redo();
        QCOMPARE(target.document()->toPlainText(), pasted);
        two.setPosition(7);
        QCOMPARE(two.charFormat().fontWeight(), QFont::Bold);
    }
};

QTEST_MAIN(TestClipboardData)
#include "tst_clipboarddata.moc"
