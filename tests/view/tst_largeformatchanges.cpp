#include "engine/codec/formatmapping.h"
#include "engine/codec/textprops.h"
#include "engine/view/fastdocumentlayout.h"
#include "engine/view/richeditview.h"
#include "longdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <cstring>

using namespace engine;
using namespace longdocument;

namespace {

CharFormat bold(bool on)
{
    CharFormat format;
    format.mask = CFM_BOLD;
    format.effects = on ? quint32(CFE_BOLD) : 0;
    return format;
}

// The character format index of every character, paragraph ends included: what undo must
// give back exactly.
QList<int> formatIndexes(QTextDocument *document)
{
    QList<int> indexes;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            for (int i = 0; i < it.fragment().length(); ++i)
                indexes.append(it.fragment().charFormatIndex());
        indexes.append(block.charFormatIndex());
    }
    return indexes;
}

bool isBoldAt(RichEditView &view, int position)
{
    QTextCursor cursor(view.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat().fontWeight() >= QFont::DemiBold;
}

// Paragraphs of mixed runs: plain, italic and a coloured word each.
void fillMixed(RichEditView &view, int paragraphs)
{
    QTextCursor cursor(view.document());
    QTextCharFormat italic;
    italic.setFontItalic(true);
    QTextCharFormat red;
    red.setForeground(Qt::red);
    for (int i = 0; i < paragraphs; ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(QStringLiteral("Paragraph %1 with ").arg(i), QTextCharFormat());
        cursor.insertText(QStringLiteral("slanted words "), italic);
        cursor.insertText(QStringLiteral("and red ones that run on long enough to wrap once or twice"), red);
    }
    view.document()->clearUndoRedoStacks();
}

ParaFormat alignment(quint16 value)
{
    ParaFormat format;
    format.mask = PFM_ALIGNMENT;
    format.alignment = value;
    return format;
}

ParaFormat bullets(bool on)
{
    ParaFormat format;
    format.mask = PFM_NUMBERING;
    format.numbering = on ? PFN_BULLET : PFN_NONE;
    return format;
}

// Each paragraph's format number and list: what undo of a paragraph change must give back.
QList<std::pair<int, const QTextList *>> paragraphStates(QTextDocument *document)
{
    QList<std::pair<int, const QTextList *>> states;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        states.append({block.blockFormatIndex(), block.textList()});
    return states;
}

QList<int> listMembers(const QTextList *list)
{
    QList<int> numbers;
    for (int i = 0; list && i < list->count(); ++i)
        numbers.append(list->item(i).blockNumber());
    return numbers;
}

// Rows of the image in which a selected line of text shows text drawn outside the
// selection's highlight: dark text on the page colour instead of light text on the
// highlight.
QList<int> rowsWithTextOutsideTheHighlight(const QImage &image)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qRed(pixel) < 90 && qGreen(pixel) < 90 && qBlue(pixel) < 90) {
                rows.append(y);
                break;
            }
        }
    }
    return rows;
}

}  // namespace

class TestLargeFormatChanges : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void formatOverPartialRunsChangesExactlyTheRange_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::newRow("inside one run") << 2 << 6;
        QTest::newRow("from a run's start into it") << 0 << 4;
        QTest::newRow("across runs, cut at both ends") << 5 << 30;
        QTest::newRow("across paragraphs") << 10 << 120;
        QTest::newRow("everything") << 0 << -1;
    }
    void formatOverPartialRunsChangesExactlyTheRange()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        RichEditView view;
        fillMixed(view, 3);
        const int last = end < 0 ? view.textLength() : end;
        view.setSelectionRange({start, last});
        view.setCharFormat(bold(true), true);
        for (int i = 0; i < view.textLength(); ++i) {
            if (view.textRange({i, i + 1}) == QStringLiteral("\r"))
                continue;
            QCOMPARE(isBoldAt(view, i), i >= start && i < last);
        }
        QCOMPARE(view.charFormat(true).effects & CFE_BOLD, quint32(CFE_BOLD));
    }

    void undoAndRedoGiveBackEveryFormatExactly()
    {
        RichEditView view;
        fillMixed(view, 40);
        const QList<int> before = formatIndexes(view.document());
        view.setSelectionRange({7, view.textLength() - 5});
        view.setCharFormat(bold(true), true);
        const QList<int> after = formatIndexes(view.document());
        QVERIFY(after != before);
        view.undoLast();
        QCOMPARE(formatIndexes(view.document()), before);
        view.redoLast();
        QCOMPARE(formatIndexes(view.document()), after);
    }

    void undoStillWorksAfterLaterEditsWereUndone()
    {
        RichEditView view;
        fillMixed(view, 5);
        const QString text = view.textRange({0, -1});
        const QList<int> before = formatIndexes(view.document());
        view.setSelectionRange({0, -1});
        view.setCharFormat(bold(true), true);
        // Typing into the middle of a run splits the stretches the format change recorded.
        view.setSelectionRange({25, 25});
        view.replaceSelection(QStringLiteral("typed"));
        view.undoLast();
        view.undoLast();
        QCOMPARE(view.textRange({0, -1}), text);
        QCOMPARE(formatIndexes(view.document()), before);
    }

    void emptyParagraphsTakeTheFormatForTypingAndParagraphEndsOtherwiseKeepTheirs()
    {
        RichEditView view;
        view.replaceSelection(QStringLiteral("\rtext\r\rmore"));
        const QTextBlock textBlock = view.document()->findBlockByNumber(1);
        const int textBlockEndFormat = view.document()->findBlockByNumber(2).charFormatIndex();
        view.setSelectionRange({0, -1});
        view.setCharFormat(bold(true), true);
        QVERIFY(view.document()->findBlockByNumber(0).charFormat().fontWeight() >= QFont::DemiBold);
        QVERIFY(view.document()->findBlockByNumber(2).charFormat().fontWeight() >= QFont::DemiBold);
        QVERIFY(textBlock.isValid());
        QVERIFY(textBlockEndFormat != view.document()->findBlockByNumber(2).charFormatIndex());
        view.undoLast();
        QCOMPARE(view.document()->findBlockByNumber(2).charFormatIndex(), textBlockEndFormat);
    }

    void anEmptyParagraphTakesTheFormatWhenTheRangeStartsOnItButNotWhenItEndsThere()
    {
        RichEditView view;
        view.replaceSelection(QStringLiteral("one\r\rtwo\r\rthree"));
        const QTextDocument *document = view.document();
        const int emptyAtEnd = document->findBlockByNumber(3).charFormatIndex();
        view.setSelectionRange({document->findBlockByNumber(1).position(), document->findBlockByNumber(3).position()});
        view.setCharFormat(bold(true), true);
        QVERIFY(document->findBlockByNumber(1).charFormat().fontWeight() >= QFont::DemiBold);
        QCOMPARE(document->findBlockByNumber(3).charFormatIndex(), emptyAtEnd);
        QVERIFY(isBoldAt(view, document->findBlockByNumber(2).position()));
        view.undoLast();
        QVERIFY(document->findBlockByNumber(1).charFormat().fontWeight() < QFont::DemiBold);
        view.redoLast();
        QVERIFY(document->findBlockByNumber(1).charFormat().fontWeight() >= QFont::DemiBold);
    }

    void undoLeavesTheCaretWhereItWas()
    {
        RichEditView view;
        fillMixed(view, 30);
        view.setSelectionRange({0, -1});
        view.setCharFormat(bold(true), true);
        const int caret = view.textCursor().position();
        view.undoLast();
        QCOMPARE(view.textCursor().position(), caret);
        view.redoLast();
        QCOMPARE(view.textCursor().position(), caret);
    }

    void largeChangeLaysOutWhatIsShownAndTheRestLaterAsQtWould()
    {
        RichEditView view;
        view.resize(400, 300);
        fillMixed(view, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setSelectionRange({0, -1});
        view.setCharFormat(bold(true), true);
        QVERIFY(layoutOf(view)->hasDeferredParagraphs());
        // What shows is laid out before it is drawn: its lines are those of a full layout.
        view.viewport()->grab();
        const int shownEnd = view.cursorForPosition(QPoint(0, view.viewport()->height() - 1)).block().blockNumber();
        QVERIFY(layoutOf(view)->hasDeferredParagraphs());
        const QList<BlockPlace> partly = places(view.document());
        layoutOf(view)->layOutDeferredParagraphs();
        QVERIFY(!layoutOf(view)->hasDeferredParagraphs());
        const QList<BlockPlace> deferred = places(view.document());
        for (int i = 0; i <= shownEnd; ++i)
            QCOMPARE(partly.at(i).lines, deferred.at(i).lines);
        QCOMPARE(layoutOfView(view), fullLayoutOf(view));
    }

    // Slices lay out paragraphs without moving those after them until they reach one that
    // is not deferred: in the end every paragraph stands where a full layout puts it.
    void backgroundSlicesPlaceEveryParagraphAsAFullLayoutWould_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<double>("scrolledTo");  // part of the scroll range shown
        QTest::addColumn<bool>("longWords");     // lines wider than the page
        QTest::newRow("everything, the top shown") << 0 << -1 << 0.0 << false;
        QTest::newRow("everything, the middle shown") << 0 << -1 << 0.5 << false;
        QTest::newRow("everything, the end shown") << 0 << -1 << 1.0 << false;
        QTest::newRow("a middle part") << 20000 << 60000 << 0.3 << false;
        QTest::newRow("lines wider than the page") << 0 << -1 << 0.5 << true;
    }
    void backgroundSlicesPlaceEveryParagraphAsAFullLayoutWould()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(double, scrolledTo);
        QFETCH(bool, longWords);
        RichEditView view;
        view.resize(400, 300);
        fillMixed(view, 800);
        if (longWords) {
            for (const int number : {100, 400, 700}) {
                QTextCursor cursor(view.document()->findBlockByNumber(number));
                cursor.insertText(QString(80, u'w') + u' ');
            }
        }
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QScrollBar *scroll = view.verticalScrollBar();
        scroll->setValue(int(scroll->maximum() * scrolledTo));
        view.setSelectionRange({from, to});
        view.setCharFormat(bold(true), true);
        QVERIFY(layoutOf(view)->hasDeferredParagraphs());
        QTRY_VERIFY_WITH_TIMEOUT(!layoutOf(view)->hasDeferredParagraphs(), 20000);
        QCOMPARE(layoutOfView(view), fullLayoutOf(view));
    }

    // Right after a load Qt is still laying the document out. Select All, then Bold, lay
    // out only what shows: the view stays where it was, and what shows is drawn in its new
    // lines, the highlight covering every letter.
    void selectAllAndBoldRightAfterALoadLayOutOnlyWhatShows()
    {
        RichEditView view;
        showLongLoad(view);
        auto *qtLayout = qobject_cast<QTextDocumentLayout *>(view.document()->documentLayout());
        QVERIFY(qtLayout->layoutStatus() < 100);
        view.setFocus();

        view.setSelectionRange({0, -1});
        QCOMPARE(view.selectionRange(), (CharRange{0, view.textLength()}));
        QCOMPARE(view.textCursor().position(), view.textLength());
        QCOMPARE(view.verticalScrollBar()->value(), 0);
        QVERIFY(qtLayout->layoutStatus() < 100);

        view.setCharFormat(bold(true), true);
        const QImage shown = view.viewport()->grab().toImage();
        QVERIFY(qtLayout->layoutStatus() < 100);
        QCOMPARE(view.verticalScrollBar()->value(), 0);
        QCOMPARE(rowsWithTextOutsideTheHighlight(shown), QList<int>());

        const int shownEnd = view.cursorForPosition(QPoint(0, view.viewport()->height() - 1)).block().blockNumber();
        const QList<BlockPlace> partly = places(view.document()).mid(0, shownEnd + 1);
        QTRY_VERIFY_WITH_TIMEOUT(qtLayout->layoutStatus() == 100 && !layoutOf(view)->hasDeferredParagraphs(), 30000);
        QCOMPARE(view.verticalScrollBar()->value(), 0);
        const QList<BlockPlace> laidOut = places(view.document());
        QCOMPARE(laidOut.mid(0, shownEnd + 1), partly);
        QCOMPARE(layoutOfView(view), fullLayoutOf(view));
    }

    // The same by the keyboard: Qt's own handling of Ctrl+A and Ctrl+Z scrolls to the
    // caret, which lays out everything before it.
    void ctrlAThenUndoOfBoldRightAfterALoadLayOutOnlyWhatShows()
    {
        RichEditView view;
        showLongLoad(view);
        auto *qtLayout = qobject_cast<QTextDocumentLayout *>(view.document()->documentLayout());
        view.setFocus();

        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(view.selectionRange(), (CharRange{0, view.textLength()}));
        QVERIFY(qtLayout->layoutStatus() < 100);

        view.setCharFormat(bold(true), true);
        QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
        view.viewport()->grab();
        QVERIFY(!view.document()->firstBlock().begin().fragment().charFormat().font().bold());
        QCOMPARE(view.selectionRange(), (CharRange{0, view.textLength()}));
        QVERIFY(qtLayout->layoutStatus() < 100);
        QCOMPARE(view.verticalScrollBar()->value(), 0);

        QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        view.viewport()->grab();
        QVERIFY(view.document()->firstBlock().begin().fragment().charFormat().font().bold());
        QCOMPARE(view.selectionRange(), (CharRange{0, view.textLength()}));
        QVERIFY(qtLayout->layoutStatus() < 100);
        QCOMPARE(view.verticalScrollBar()->value(), 0);
    }

    // Qt's own layout, told of an edit before where its background layout has got, ends
    // that layout and leaves the rest of the document without lines.
    void typingRightAfterALoadLeavesTheRestToTheBackgroundLayout()
    {
        RichEditView view;
        showLongLoad(view);
        auto *qtLayout = qobject_cast<QTextDocumentLayout *>(view.document()->documentLayout());
        QVERIFY(qtLayout->layoutStatus() < 100);
        view.setSelectionRange({3, 3});
        view.replaceSelection(QStringLiteral("typed "));
        view.viewport()->grab();
        QVERIFY(qtLayout->layoutStatus() < 100);
        QTRY_VERIFY_WITH_TIMEOUT(qtLayout->layoutStatus() == 100, 30000);
        QVERIFY(view.document()->lastBlock().previous().layout()->lineCount() > 0);
        QCOMPARE(layoutOfView(view), fullLayoutOf(view));
    }

    void editsWhileParagraphsAreDeferredKeepTheDeferredText()
    {
        RichEditView view;
        view.resize(400, 300);
        fillMixed(view, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setSelectionRange({5000, view.textLength() - 5000});
        view.setCharFormat(bold(true), true);
        QVERIFY(layoutOf(view)->hasDeferredParagraphs());
        view.setSelectionRange({10, 10});
        view.replaceSelection(QStringLiteral("a whole new paragraph\r"));
        view.setSelectionRange({view.textLength() - 3, view.textLength() - 3});
        view.replaceSelection(QStringLiteral("end"));
        layoutOf(view)->layOutDeferredParagraphs();
        QCOMPARE(layoutOfView(view), fullLayoutOf(view));
    }

    void theViewStaysWhereItWasThroughBoldUndoAndRedo()
    {
        RichEditView view;
        view.resize(400, 300);
        fillMixed(view, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        // Select All puts the caret at the end, and the view with it.
        view.setSelectionRange({0, -1});
        QTest::qWait(20);
        const auto topText = [&] { return view.cursorForPosition(QPoint(1, 1)).block().blockNumber(); };
        const int top = topText();
        view.setCharFormat(bold(true), true);
        QTest::qWait(20);
        QCOMPARE(topText(), top);
        view.undoLast();
        QTest::qWait(20);
        QCOMPARE(topText(), top);
        view.redoLast();
        QTRY_VERIFY(!layoutOf(view)->hasDeferredParagraphs());
        QCOMPARE(topText(), top);
    }

    void paragraphChangesUndoAndRedoAsOneStepGivingBackFormatsAndLists_data()
    {
        QTest::addColumn<ParaFormat>("change");
        QTest::newRow("centred") << alignment(PFA_CENTER);
        QTest::newRow("bullets on") << bullets(true);
        QTest::newRow("bullets off") << bullets(false);
    }
    void paragraphChangesUndoAndRedoAsOneStepGivingBackFormatsAndLists()
    {
        QFETCH(ParaFormat, change);
        RichEditView view;
        fillMixed(view, 30);
        view.setSelectionRange({view.lineIndex(10), view.lineIndex(14)});
        view.setParaFormat(bullets(true));
        view.document()->clearUndoRedoStacks();
        const auto before = paragraphStates(view.document());
        view.setSelectionRange({0, -1});
        view.setParaFormat(change);
        const auto after = paragraphStates(view.document());
        QVERIFY(after != before);
        view.undoLast();
        QVERIFY(!view.canUndo());
        QCOMPARE(paragraphStates(view.document()), before);
        QCOMPARE(listMembers(view.document()->findBlockByNumber(10).textList()), QList<int>({10, 11, 12, 13, 14}));
        view.redoLast();
        QCOMPARE(paragraphStates(view.document()), after);
    }

    void bulletsJoinTheBulletListTheyMeetAndLeaveNumberedListsWithTheirIndent()
    {
        RichEditView view;
        fillMixed(view, 10);
        view.setSelectionRange({view.lineIndex(3), view.lineIndex(4)});
        view.setParaFormat(bullets(true));
        const QTextList *existing = view.document()->findBlockByNumber(3).textList();
        QVERIFY(existing);
        view.setSelectionRange({0, -1});
        view.setParaFormat(bullets(true));
        // Paragraphs before the existing list start a list of their own; those after it join it.
        const QTextList *first = view.document()->findBlockByNumber(0).textList();
        QVERIFY(first && first != existing);
        QCOMPARE(listMembers(first), QList<int>({0, 1, 2}));
        QCOMPARE(listMembers(existing), QList<int>({3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(view.paraFormat().numbering, quint16(PFN_BULLET));

        QTextListFormat numbered;
        numbered.setStyle(QTextListFormat::ListDecimal);
        numbered.setIndent(2);
        QTextCursor(view.document()->findBlockByNumber(5)).createList(numbered);
        view.setSelectionRange({view.lineIndex(5), view.lineIndex(5)});
        view.setParaFormat(bullets(false));
        const QTextBlock left = view.document()->findBlockByNumber(5);
        QCOMPARE(left.textList(), nullptr);
        QCOMPARE(left.blockFormat().indent(), 2);
    }

    // Each paragraph's overlays as (start, length, is a link) triples.
    void overlaysFollowEachParagraphsRunsAfterALargeChange()
    {
        RichEditView view;
        QTextCursor cursor(view.document());
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(QStringLiteral("http://example.com"));
        QTextCharFormat hidden;
        hidden.setProperty(prop::Hidden, true);
        // Link at a paragraph's start and end, an empty paragraph, hidden text over a
        // paragraph end, a paragraph of nothing but a link.
        cursor.insertText(QStringLiteral("link"), link);
        cursor.insertText(QStringLiteral(" plain "), QTextCharFormat());
        cursor.insertText(QStringLiteral("end"), link);
        cursor.insertBlock();
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("text "), QTextCharFormat());
        cursor.insertText(QStringLiteral("hid"), hidden);
        cursor.insertBlock(QTextBlockFormat(), hidden);
        cursor.insertText(QStringLiteral("den"), hidden);
        cursor.insertText(QStringLiteral(" shown"), QTextCharFormat());
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("whole"), link);
        view.document()->clearUndoRedoStacks();
        const auto overlaysOf = [&](int number) {
            QList<std::tuple<int, int, bool>> result;
            for (const QTextLayout::FormatRange &range : view.document()->findBlockByNumber(number).layout()->formats())
                result.append({range.start, range.length, range.format.underlineStyle() == QTextCharFormat::SingleUnderline});
            return result;
        };
        view.setSelectionRange({0, -1});
        view.setCharFormat(bold(true), true);
        using Overlays = QList<std::tuple<int, int, bool>>;
        QCOMPARE(overlaysOf(0), Overlays({{0, 4, true}, {11, 3, true}}));
        QCOMPARE(overlaysOf(1), Overlays());
        QCOMPARE(overlaysOf(2), Overlays({{5, 3, false}}));
        QCOMPARE(overlaysOf(3), Overlays({{0, 3, false}}));
        QCOMPARE(overlaysOf(4), Overlays({{0, 5, true}}));
    }

    void linksKeepTheirOverlayThroughALargeChange()
    {
        RichEditView view;
        fillMixed(view, 300);
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref(QStringLiteral("http://example.com"));
        QTextCursor cursor(view.document()->findBlockByNumber(200));
        cursor.insertText(QStringLiteral("link"), link);
        view.setSelectionRange({0, -1});
        view.setCharFormat(bold(true), true);
        const QList<QTextLayout::FormatRange> overlays = view.document()->findBlockByNumber(200).layout()->formats();
        QCOMPARE(overlays.size(), 1);
        QCOMPARE(overlays.first().start, 0);
        QCOMPARE(overlays.first().length, 4);
    }
};

QTEST_MAIN(TestLargeFormatChanges)
#include "tst_largeformatchanges.moc"
