#include "engine/view/fastdocumentlayout.h"
#include "engine/view/richeditview.h"
#include "engine/view/urldetector.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <functional>

using namespace engine;

namespace {

QList<qreal> blockTops(const QTextDocument *document)
{
    QList<qreal> tops;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        tops.append(document->documentLayout()->blockBoundingRect(block).top());
    return tops;
}

// A shown view of 200 wrapping paragraphs, each with "word" in it.
void showParagraphsWithAWord(RichEditView &view)
{
    view.resize(300, 400);
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("paragraph %1 with a word and enough words to wrap over lines\n").arg(i);
    view.setPlainText(text);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
}

void replaceWord(RichEditView &view, int paragraph, const QString &by)
{
    const int at = view.lineIndex(paragraph) + int(view.lineText(paragraph).indexOf(QStringLiteral("word")));
    view.replaceRange({at, at + 4}, by);
}

QPoint viewportPointOf(RichEditView &view, int position)
{
    QTextCursor cursor(view.document());
    cursor.setPosition(position);
    return view.cursorRect(cursor).center() + QPoint(2, 0);
}

// Clipboard contents of one kind: "text", "html", "rtf", "image", or anything else for
// a format nobody can paste.
QMimeData *clipboardData(const QString &kind)
{
    auto *data = new QMimeData;
    if (kind == QLatin1String("text"))
        data->setText(QStringLiteral("x"));
    else if (kind == QLatin1String("html"))
        data->setHtml(QStringLiteral("<b>x</b>"));
    else if (kind == QLatin1String("rtf"))
        data->setData(QStringLiteral("text/rtf"), "{\\rtf1 x}");
    else if (kind == QLatin1String("image"))
        data->setImageData(QImage(4, 4, QImage::Format_RGB32));
    else
        data->setData(QStringLiteral("application/x-unknown"), "?");
    return data;
}

}  // namespace

class TestEngineText : public QObject {
    Q_OBJECT

public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && m_onViewportResize)
            m_onViewportResize();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onViewportResize;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void rangesUseCarriageReturnsForParagraphEnds()
    {
        RichEditView view;
        view.replaceSelection(QStringLiteral("one\r\ntwo\nthree\rfour\vsoft"));
        QCOMPARE(view.lineCount(), 4);
        QCOMPARE(view.textLength(), 23);
        QCOMPARE(view.textRange({0, -1}), QStringLiteral("one\rtwo\rthree\rfour\vsoft"));
        QCOMPARE(view.textRange({2, 6}), QStringLiteral("e\rtw"));
        QCOMPARE(view.textRange({19, 500}), QStringLiteral("soft"));
        view.setSelectionRange({0, 9});
        QCOMPARE(view.selectedText(), QStringLiteral("one\rtwo\rt"));
        QCOMPARE(view.selectionRange(), (CharRange{0, 9}));
    }

    void selectionRangeClampsAndSelectsAll()
    {
        RichEditView view;
        view.setPlainText(QStringLiteral("hello\nworld"));
        view.setSelectionRange({0, -1});
        QCOMPARE(view.selectionRange(), (CharRange{0, 11}));
        view.setSelectionRange({3, 999});
        QCOMPARE(view.selectionRange(), (CharRange{3, 11}));
        view.setSelectionRange({-1, 4});  // caret at 4
        QCOMPARE(view.selectionRange(), (CharRange{4, 4}));
    }

    void replaceSelectionInsertsAtTheCaret()
    {
        RichEditView view;
        view.setPlainText(QStringLiteral("abcdef"));
        view.setSelectionRange({2, 4});
        view.replaceSelection(QStringLiteral("XY\rZ"));
        QCOMPARE(view.textRange({0, -1}), QStringLiteral("abXY\rZef"));
        QCOMPARE(view.selectionRange(), (CharRange{6, 6}));
        view.setSelectionRange({1, 1});
        view.replaceSelection(QStringLiteral("-"));
        QCOMPARE(view.textRange({0, -1}), QStringLiteral("a-bXY\rZef"));
        view.setSelectionRange({0, 2});
        view.clearSelection();
        QCOMPARE(view.textRange({0, -1}), QStringLiteral("bXY\rZef"));
    }

    void linesAreParagraphsAndNeverCut()
    {
        RichEditView view;
        const QString longLine(10000, QLatin1Char('x'));
        view.setPlainText(QStringLiteral("first\n") + longLine + QStringLiteral("\n\nlast"));
        QCOMPARE(view.lineCount(), 4);
        QCOMPARE(view.lineIndex(1), 6);
        QCOMPARE(view.lineIndex(2), 10007);
        QCOMPARE(view.lineIndex(4), -1);
        QCOMPARE(view.lineLength(7), 10000);
        QCOMPARE(view.lineLength(10007), 0);
        QCOMPARE(view.lineText(1), longLine);
        QCOMPARE(view.lineText(3), QStringLiteral("last"));
        QCOMPARE(view.lineText(9), QString());
        QCOMPARE(view.lineFromChar(10008), 3);
        view.setSelectionRange({8, 8});
        QCOMPARE(view.lineIndex(-1), 6);
        QCOMPARE(view.lineFromChar(-1), 1);

        RichEditView empty;
        QCOMPARE(empty.lineCount(), 1);
        QCOMPARE(empty.textLength(), 0);
        QCOMPARE(empty.lineLength(0), 0);
    }

    void contentChangedOnlyUnderItsMaskAndOnlyForRealChanges()
    {
        RichEditView view;
        view.setPlainText(QStringLiteral("text"));
        QSignalSpy changes(&view, &RichEditView::contentChanged);
        view.setSelectionRange({4, 4});
        view.replaceSelection(QStringLiteral("!"));
        QCOMPARE(changes.count(), 0);  // mask off

        view.setEventMask(ENM_CHANGE);
        view.replaceSelection(QStringLiteral("?"));
        QCOMPARE(changes.count(), 1);
        view.setSelectionRange({0, 2});
        QCOMPARE(changes.count(), 1);  // selecting changes nothing
        CharFormat bold;
        bold.mask = CFM_BOLD;
        bold.effects = CFE_BOLD;
        view.setCharFormat(bold, true);
        QCOMPARE(changes.count(), 2);  // a format change is a change
        view.setAutoUrlDetect(true);
        QCOMPARE(changes.count(), 2);  // display only
    }

    void contentChangedIsSentOnceTheDocumentIsModified()
    {
        RichEditView view;
        view.setEventMask(ENM_CHANGE);
        QList<bool> modifiedWhenNotified;
        connect(&view, &RichEditView::contentChanged, this,
                [&] { modifiedWhenNotified << view.document()->isModified(); });
        view.replaceSelection(QStringLiteral("a"));
        view.document()->setModified(false);
        QTest::keyClicks(view.viewport(), QStringLiteral("b"));
        QCOMPARE(modifiedWhenNotified, QList<bool>({true, true}));
    }

    void selectionNotifiesWhenTheRangeChanges()
    {
        RichEditView view;
        view.setPlainText(QStringLiteral("some text here"));
        QSignalSpy spy(&view, &RichEditView::selectionChangeNotify);
        view.setSelectionRange({1, 3});
        QCOMPARE(spy.count(), 0);  // mask off

        view.setEventMask(ENM_SELCHANGE);
        view.setSelectionRange({2, 5});
        QCOMPARE(spy.count(), 1);
        view.setSelectionRange({2, 5});
        QCOMPARE(spy.count(), 1);  // same range: nothing
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_Right);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(view.selectionRange(), (CharRange{5, 5}));
    }

    void detectedUrlsAreLinksWithoutEdits()
    {
        RichEditView view;
        view.setPlainText(QStringLiteral("see www.example.com/page. and mailto:me@example.org"));
        view.document()->setModified(false);
        QCOMPARE(view.linkAt(6).min, -1);  // detection off
        view.setAutoUrlDetect(true);
        QVERIFY(view.autoUrlDetect());
        QCOMPARE(view.linkAt(6), (CharRange{4, 24}));
        QCOMPARE(view.linkAt(24).min, -1);  // the full stop is not part of it
        QCOMPARE(view.linkAt(40), (CharRange{30, 51}));
        view.setSelectionRange({8, 12});
        QVERIFY(view.charFormat(true).effects & CFE_LINK);
        view.setSelectionRange({0, 3});
        QVERIFY(!(view.charFormat(true).effects & CFE_LINK));
        QVERIFY(!view.canUndo());
        QVERIFY(!view.document()->isModified());
    }

    void hyperlinkAnchorsCountAsLinks()
    {
        RichEditView view;
        QTextCursor cursor(view.document());
        cursor.insertText(QStringLiteral("go "));
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(QStringLiteral("https://example.org"));
        cursor.insertText(QStringLiteral("here"), link);
        cursor.insertText(QStringLiteral(" now"), QTextCharFormat());
        QCOMPARE(view.linkAt(4), (CharRange{3, 7}));
        QCOMPARE(view.linkAt(8).min, -1);
        view.setSelectionRange({3, 7});
        QVERIFY(view.charFormat(true).effects & CFE_LINK);
    }

    void mouseOverLinksNotifiesUnderTheMask()
    {
        RichEditView view;
        view.resize(400, 200);
        view.setPlainText(QStringLiteral("visit http://example.com today"));
        view.setAutoUrlDetect(true);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy spy(&view, &RichEditView::linkNotify);
        const QPoint onLink = viewportPointOf(view, 10);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onLink);
        QCOMPARE(spy.count(), 0);  // ENM_LINK not set

        view.setEventMask(ENM_LINK);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, onLink);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, onLink);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).value<QEvent::Type>(), QEvent::MouseButtonPress);
        QCOMPARE(spy.at(1).at(0).value<QEvent::Type>(), QEvent::MouseButtonRelease);
        QCOMPARE(spy.at(1).at(1).value<CharRange>(), (CharRange{6, 24}));

        spy.clear();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, viewportPointOf(view, 2));
        QCOMPARE(spy.count(), 0);  // plain text
    }

    void formatRectMovesTextAndSetsTheLineWidth()
    {
        RichEditView view;
        view.resize(500, 300);
        view.setPlainText(QString(200, QLatin1Char('w')).replace(QLatin1Char('w'), QStringLiteral("w ")));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const int leftBefore = view.viewport()->mapTo(&view, QPoint(view.cursorRect(QTextCursor(view.document())).x(), 0)).x();

        view.setFormatRect(QRect(6, 2, 200, 280));
        QCOMPARE(view.formatRect(), QRect(6, 2, 200, 280));
        QCoreApplication::processEvents();
        const int leftAfter = view.viewport()->mapTo(&view, QPoint(view.cursorRect(QTextCursor(view.document())).x(), 0)).x();
        QCOMPARE(leftAfter - leftBefore, 6);
        const QTextLayout *layout = view.document()->begin().layout();
        QVERIFY(layout->lineCount() > 1);
        for (int i = 0; i < layout->lineCount(); ++i)
            QVERIFY(layout->lineAt(i).naturalTextWidth() <= 200);
    }

    // Moving the viewport for a new rectangle may bring a scroll bar, whose owner sets a
    // narrower rectangle there and then: the narrower one is the one laid out.
    void aRectangleSetWhileTheViewportMovesIsTheOneThatStands()
    {
        RichEditView view;
        view.resize(500, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFormatRect(QRect(3, 2, 400, 280));
        const QRect narrower(6, 2, 380, 280);
        bool nested = false;
        view.viewport()->installEventFilter(this);
        m_onViewportResize = [&] {
            if (!std::exchange(nested, true))
                view.setFormatRect(narrower);
        };
        view.setFormatRect(QRect(6, 2, 394, 280));
        m_onViewportResize = nullptr;
        QVERIFY(nested);
        QCOMPARE(view.formatRect(), narrower);
        QCOMPARE(view.document()->pageSize().width(), qreal(narrower.width()));
    }

    void canPasteAnswersForWhatTheClipboardHolds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("pasteable");
        QTest::newRow("text") << "text" << true;
        QTest::newRow("html") << "html" << true;
        QTest::newRow("rtf") << "rtf" << true;
        QTest::newRow("image") << "image" << true;
        QTest::newRow("nothing") << "none" << false;
    }

    void canPasteAnswersForWhatTheClipboardHolds()
    {
        QFETCH(QString, kind);
        QFETCH(bool, pasteable);
        QGuiApplication::clipboard()->setMimeData(clipboardData(kind));
        RichEditView view;
        view.setReadOnly(true);  // answered as if editable
        QCOMPARE(view.canPasteClipboard(), pasteable);
    }

    void readOnlyViewRefusesPastes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text") << "text";
        QTest::newRow("html") << "html";
        QTest::newRow("rtf") << "rtf";
        QTest::newRow("image") << "image";
    }

    void readOnlyViewRefusesPastes()
    {
        QFETCH(QString, kind);
        QGuiApplication::clipboard()->setMimeData(clipboardData(kind));
        RichEditView view;
        view.setPlainText(QStringLiteral("keep"));
        view.document()->setModified(false);
        view.setReadOnly(true);
        view.pasteClipboard();
        QCOMPARE(view.textRange({0, -1}), QStringLiteral("keep"));
        QVERIFY(!view.document()->isModified());
        view.setReadOnly(false);
        view.pasteClipboard();
        QVERIFY(view.textLength() > 4);
    }

    void pastedImageKeepsItsBytes()
    {
        auto *data = new QMimeData;
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::red);
        data->setImageData(image);
        QGuiApplication::clipboard()->setMimeData(data);
        RichEditView view;
        view.pasteClipboard();
        QCOMPARE(view.textLength(), 1);
        QCOMPARE(view.textRange({0, 1}), QString(QChar::ObjectReplacementCharacter));
    }

    void clipboardCarriesRtfBothWays()
    {
        RichEditView source;
        source.setPlainText(QStringLiteral("keep this bold"));
        source.setSelectionRange({10, 14});
        CharFormat bold;
        bold.mask = CFM_BOLD;
        bold.effects = CFE_BOLD;
        source.setCharFormat(bold, true);
        source.setSelectionRange({5, 14});
        source.copySelection();
        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY2(copied->hasFormat(QStringLiteral("text/rtf")), qPrintable(copied->formats().join(QLatin1Char(' '))));
        QCOMPARE(copied->text(), QStringLiteral("this bold"));

        // Only RTF on the clipboard: the pasted text keeps its formatting.
        auto *rtfOnly = new QMimeData;
        rtfOnly->setData(QStringLiteral("text/rtf"), copied->data(QStringLiteral("text/rtf")));
        QGuiApplication::clipboard()->setMimeData(rtfOnly);
        RichEditView target;
        target.pasteClipboard();
        QCOMPARE(target.textRange({0, -1}), QStringLiteral("this bold"));
        target.setSelectionRange({5, 9});
        QVERIFY(target.charFormat(true).effects & CFE_BOLD);
        target.setSelectionRange({0, 4});
        QVERIFY(!(target.charFormat(true).effects & CFE_BOLD));
    }

    void urlDetection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("urls");  // "start:length" joined by spaces
        QTest::newRow("none") << "no links here: at all" << "";
        QTest::newRow("http") << "go http://a.b/c?d=1 now" << "3:16";
        QTest::newRow("https in brackets") << "(https://x.org)" << "1:13";
        QTest::newRow("ftp and file") << "ftp://h/f file:///tmp/x" << "0:9 10:13";
        QTest::newRow("www at the start") << "www.site.com, next" << "0:12";
        QTest::newRow("bare prefix") << "http:// and www." << "";
        QTest::newRow("mail") << "write mailto:a@b.c." << "6:12";
        QTest::newRow("not inside a word") << "xwww.site.com" << "";
    }

    void urlDetection()
    {
        QFETCH(QString, text);
        QFETCH(QString, urls);
        QStringList found;
        for (const TextSpan &span : findUrls(text))
            found.append(QStringLiteral("%1:%2").arg(span.start).arg(span.length));
        QCOMPARE(found.join(QLatin1Char(' ')), urls);
    }

    void groupedReplacementsKeepTheLayoutConsistent()
    {
        RichEditView view;
        showParagraphsWithAWord(view);
        view.document()->documentLayout()->documentSize();
        auto *layout = dynamic_cast<FastDocumentLayout *>(view.document()->documentLayout());
        const auto laidOutAfresh = [&view] {
            view.document()->markContentsDirty(0, view.document()->characterCount());
            return blockTops(view.document());
        };

        // Replacements that keep every height are laid out where they stand.
        layout->syncPositions();
        view.beginUndoGroup();
        for (int paragraph : {0, 50, 120})
            replaceWord(view, paragraph, QStringLiteral("term"));
        view.endUndoGroup();
        QVERIFY(layout->hasPendingPositions());
        const QList<qreal> inPlace = blockTops(view.document());
        // Bringing the positions up to date keeps the first paragraph laid out.
        layout->syncPositions();
        QVERIFY(view.document()->firstBlock().layout()->lineCount() > 0);
        QCOMPARE(blockTops(view.document()), inPlace);
        QCOMPARE(laidOutAfresh(), inPlace);

        // One that adds a line moves everything after it.
        view.beginUndoGroup();
        replaceWord(view, 10, QStringLiteral("term"));
        replaceWord(view, 60, QStringLiteral("much longer text that surely needs one more line of its own"));
        view.endUndoGroup();
        const QList<qreal> grown = blockTops(view.document());
        QVERIFY(grown.at(61) > inPlace.at(61));
        QCOMPARE(laidOutAfresh(), grown);

        // Undo and redo of a group edit the same paragraphs again.
        view.undoLast();
        QCOMPARE(blockTops(view.document()), inPlace);
        view.undoLast();
        QCOMPARE(view.lineText(50).contains(QStringLiteral("word")), true);
        QCOMPARE(laidOutAfresh(), blockTops(view.document()));
        view.redoLast();
        QCOMPARE(view.lineText(120).contains(QStringLiteral("term")), true);
        QCOMPARE(laidOutAfresh(), inPlace);
    }

    // Redo of a group of several replacements, each of them more than one step of Qt's
    // history, lays out the paragraphs it edits where they stand, as the group did.
    void redoOfAGroupLaysOutItsParagraphsInPlace()
    {
        RichEditView view;
        showParagraphsWithAWord(view);
        auto *layout = dynamic_cast<FastDocumentLayout *>(view.document()->documentLayout());
        layout->syncPositions();
        view.beginUndoGroup();
        for (int paragraph : {0, 50, 120})
            replaceWord(view, paragraph, QStringLiteral("term"));
        view.endUndoGroup();
        const QList<qreal> replaced = blockTops(view.document());
        view.undoLast();
        layout->syncPositions();
        view.redoLast();
        QVERIFY(layout->hasPendingPositions());
        QCOMPARE(blockTops(view.document()), replaced);
        QVERIFY(view.lineText(120).contains(QStringLiteral("term")));
    }

    void typingInPlaceKeepsTheLayoutConsistent()
    {
        RichEditView view;
        view.resize(300, 400);
        QString text;
        for (int i = 0; i < 400; ++i)
            text += QStringLiteral("paragraph %1 with enough words to wrap over lines\n").arg(i);
        view.setPlainText(text);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        // Qt's own step-by-step layout of a fresh document can leave paragraphs overlapping
        // for a while after an edit above its front; finish it first.
        view.document()->documentLayout()->documentSize();
        view.setFocus();
        view.setSelectionRange({view.lineIndex(200) + 5, view.lineIndex(200) + 5});
        QTest::keyClicks(&view, QStringLiteral("typed in place, long enough to wrap a new line here"));
        for (int i = 0; i < 30; ++i)
            QTest::keyClick(&view, Qt::Key_Backspace);
        view.setSelectionRange({view.lineIndex(100), view.lineIndex(100)});
        QTest::keyClicks(&view, QStringLiteral("xyz"));
        auto *layout = dynamic_cast<FastDocumentLayout *>(view.document()->documentLayout());
        QVERIFY(layout);
        QVERIFY(layout->hasPendingPositions());  // the keys were laid out in place

        const QList<qreal> afterTyping = blockTops(view.document());
        for (int i = 1; i < afterTyping.size(); ++i)
            QVERIFY2(afterTyping.at(i) > afterTyping.at(i - 1), qPrintable(QStringLiteral("paragraph %1: %2 after %3").arg(i).arg(afterTyping.at(i)).arg(afterTyping.at(i - 1))));

        // A click on a later paragraph lands in it, although positions shifted while typing.
        const QTextBlock target = view.document()->findBlockByNumber(210);
        view.verticalScrollBar()->setValue(int(afterTyping.at(210)) - 20);
        QCoreApplication::processEvents();
        const QPoint inTarget = viewportPointOf(view, target.position() + 3);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, inTarget);
        QCOMPARE(view.lineFromChar(view.selectionRange().min), 210);

        // Space before and after one paragraph moves the ones after it.
        ParaFormat spacing;
        spacing.mask = PFM_SPACEBEFORE | PFM_SPACEAFTER;
        spacing.spaceBefore = 300;
        spacing.spaceAfter = 150;
        view.setSelectionRange({view.lineIndex(150) + 1, view.lineIndex(150) + 1});
        view.setParaFormat(spacing);
        const QList<qreal> spaced = blockTops(view.document());
        QCOMPARE(spaced.at(150) - afterTyping.at(150), 20.0);
        QCOMPARE(spaced.at(151) - afterTyping.at(151), 30.0);

        // Laying the whole document out again gives the same positions.
        view.document()->markContentsDirty(0, view.document()->characterCount());
        QCOMPARE(blockTops(view.document()), spaced);
    }
};

QTEST_MAIN(TestEngineText)
#include "tst_enginetext.moc"
