#include "engine/codec/plaintext.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/view/clipboarddata.h"
#include "engine/view/fastdocumentlayout.h"
#include "engine/view/richeditview.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <memory>

using namespace engine;

namespace {

constexpr int kParagraphs = 600;  // about 60,000 characters: a long paste

// Paragraphs of mixed runs, some long enough to wrap, put on the clipboard as a copy does.
void copyLongText()
{
    QTextDocument source;
    QTextCursor cursor(&source);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    for (int i = 0; i < kParagraphs; ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(QStringLiteral("Paragraph %1 ").arg(i), QTextCharFormat());
        cursor.insertText(QStringLiteral("with slanted words that run on ").repeated(1 + i % 3), italic);
    }
    const int end = source.characterCount() - 1;
    QGuiApplication::clipboard()->setMimeData(
        new ClipboardData(writeRtfRange(&source, 0, end), plainTextOfRange(&source, 0, end)));
}

FastDocumentLayout *layoutOf(RichEditView &view)
{
    return dynamic_cast<FastDocumentLayout *>(view.document()->documentLayout());
}

QList<qreal> blockTops(QTextDocument *document)
{
    QList<qreal> tops;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        tops.append(document->documentLayout()->blockBoundingRect(block).top());
    return tops;
}

// A fixed text width, as the editor control sets it: the scroll bar appearing leaves it.
struct ShownView {
    ShownView()
    {
        view.resize(500, 400);
        view.setFormatRect(QRect(0, 0, 440, 400));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
    RichEditView view;
};

}  // namespace

class TestLargePaste : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void aLongPasteLeavesTheCaretAfterItAndInView()
    {
        copyLongText();
        ShownView shown;
        RichEditView &view = shown.view;
        view.pasteClipboard();
        QCOMPARE(view.document()->blockCount(), kParagraphs);
        QCOMPARE(view.textCursor().position(), view.document()->characterCount() - 1);
        QVERIFY(layoutOf(view)->hasDeferredParagraphs());
        QVERIFY(view.viewport()->rect().contains(view.cursorRect()));
        QVERIFY(view.verticalScrollBar()->value() > 0);
    }

    // Laid out in the background, every paragraph ends where laying the whole document out
    // at once puts it, and the scroll bar spans the whole of it.
    void aLongPasteIsLaidOutInTheEndAsIfAllAtOnce()
    {
        copyLongText();
        ShownView shown;
        RichEditView &view = shown.view;
        view.pasteClipboard();
        // The view keeps the caret in sight while the paragraphs above it are laid out.
        QElapsedTimer waited;
        waited.start();
        while (layoutOf(view)->hasDeferredParagraphs() && waited.elapsed() < 60000) {
            QTest::qWait(20);
            QVERIFY(view.viewport()->rect().contains(view.cursorRect()));
        }
        QVERIFY(!layoutOf(view)->hasDeferredParagraphs());
        QCoreApplication::processEvents();

        std::unique_ptr<QTextDocument> whole(view.document()->clone());
        whole->documentLayout()->setPaintDevice(view.viewport());
        whole->setPageSize(view.document()->pageSize());
        QCOMPARE(blockTops(view.document()), blockTops(whole.get()));
        const qreal height = view.document()->documentLayout()->documentSize().height();
        QCOMPARE(height, whole->documentLayout()->documentSize().height());
        QCOMPARE(view.verticalScrollBar()->maximum(), int(height) - view.viewport()->height());
        QVERIFY(view.viewport()->rect().contains(view.cursorRect()));
    }

    // Scrolled to the top before the background got there, the view draws the pasted text
    // from its first paragraph, leaving those further down for later.
    void drawingTheTopOfALongPasteLaysOutWhatShows()
    {
        copyLongText();
        ShownView shown;
        RichEditView &view = shown.view;
        view.pasteClipboard();
        view.verticalScrollBar()->setValue(0);
        view.viewport()->repaint();
        const QTextDocument *document = view.document();
        QVERIFY(document->firstBlock().layout()->lineCount() > 0);
        QCOMPARE(document->documentLayout()->blockBoundingRect(document->firstBlock()).top(),
                 document->rootFrame()->frameFormat().topMargin());
        QCOMPARE(document->findBlockByNumber(kParagraphs / 2).layout()->lineCount(), 0);
    }

    void undoOfALongPasteGivesBackTheEmptyDocument()
    {
        copyLongText();
        ShownView shown;
        RichEditView &view = shown.view;
        view.pasteClipboard();
        view.undoLast();
        QCOMPARE(view.document()->characterCount(), 1);
        QCOMPARE(view.textCursor().position(), 0);
        QTRY_VERIFY(!layoutOf(view)->hasDeferredParagraphs());
        view.redoLast();
        QCOMPARE(view.document()->blockCount(), kParagraphs);
    }

    // Setting the same width again leaves the layout as it is; a new width lays it out anew.
    void onlyAChangedWidthLaysTheDocumentOutAgain()
    {
        copyLongText();
        ShownView shown;
        RichEditView &view = shown.view;
        view.pasteClipboard();
        layoutOf(view)->layOutDeferredParagraphs();
        auto *layout = qobject_cast<QTextDocumentLayout *>(view.document()->documentLayout());
        QTextDocument *document = view.document();
        const QTextBlock longest = document->findBlockByNumber(2);
        const int lines = longest.layout()->lineCount();
        document->setPageSize(document->pageSize());
        QCOMPARE(layout->layoutStatus(), 100);
        QCOMPARE(longest.layout()->lineCount(), lines);
        document->setPageSize(QSizeF(document->pageSize().width() / 2, -1));
        layout->ensureLayouted(1e9);
        QVERIFY(longest.layout()->lineCount() > lines);
    }
};

QTEST_MAIN(TestLargePaste)
#include "tst_largepaste.moc"
