#include "engine/codec/pagelayout.h"
#include "engine/view/fastdocumentlayout.h"
#include "engine/view/richeditview.h"
#include "longdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdlib>
#include <memory>

using namespace engine;
using namespace longdocument;

namespace {

constexpr int kParagraphs = 1500;  // about 190,000 characters: a large document
constexpr int kViewHeight = 300;

QTextDocumentLayout *qtLayoutOf(RichEditView &view)
{
    return qobject_cast<QTextDocumentLayout *>(view.document()->documentLayout());
}


// The paragraphs whose tops show in the view, by number.
QList<int> shownParagraphs(RichEditView &view)
{
    QList<int> numbers;
    const int top = view.verticalScrollBar()->value();
    QAbstractTextDocumentLayout *layout = view.document()->documentLayout();
    for (QTextBlock block = view.cursorForPosition(QPoint(1, 1)).block(); block.isValid(); block = block.next()) {
        if (layout->blockBoundingRect(block).top() > top + view.viewport()->height())
            break;
        numbers.append(block.blockNumber());
    }
    return numbers;
}

// The first character the view shows, and where its line stands in the view.
struct TopOfView {
    int position;
    int lineTop;
};

TopOfView topOfView(RichEditView &view)
{
    const QTextCursor top = view.cursorForPosition(QPoint(1, 1));
    return {top.position(), view.cursorRect(top).top()};
}

// Whether the line of the character that was at the top of the view stands where it stood.
bool staysInPlace(RichEditView &view, const TopOfView &top)
{
    QTextCursor cursor(view.document());
    cursor.setPosition(top.position);
    const int lineTop = view.cursorRect(cursor).top();
    if (std::abs(lineTop - top.lineTop) <= 1)
        return true;
    qWarning() << "the top line moved from" << top.lineTop << "to" << lineTop;
    return false;
}

// A long document shown at a fixed text width, as the editor control sets it, laid out
// completely and scrolled to part of its range.
struct LongView {
    explicit LongView(double scrolledTo)
    {
        view.resize(520, kViewHeight);
        view.setFormatRect(QRect(0, 0, 360, kViewHeight));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        loadLong(view, kParagraphs);
        QTRY_VERIFY_WITH_TIMEOUT(qtLayoutOf(view)->layoutStatus() == 100, 30000);
        QScrollBar *scroll = view.verticalScrollBar();
        scroll->setValue(int(scroll->maximum() * scrolledTo));
        view.viewport()->grab();
    }
    RichEditView view;
};

// Page starts, as the printer asks for them page after page.
QList<int> pageStarts(RichEditView &view)
{
    QImage device(816, 1056, QImage::Format_RGB32);
    device.setDotsPerMeterX(3780);
    device.setDotsPerMeterY(3780);
    FormatRange range;
    range.target = &device;
    range.rc = QRect(0, 0, 6 * 1440, 9 * 1440);
    range.rcPage = range.rc;
    QList<int> starts{0};
    for (int page = 0; page < 5; ++page) {
        range.chrg = {starts.last(), -1};
        starts.append(view.formatRange(&range, false));
    }
    view.formatRange(nullptr, false);
    return starts;
}

}  // namespace

class TestLargeWidthChange : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The text width changes as the editor control changes it (its format rectangle) or
    // as a view of the window's width does (a resize).
    void aNewWidthLaysOutWhatShowsAtOnceAndTheRestLaterWithoutMovingTheView_data()
    {
        QTest::addColumn<double>("scrolledTo");
        QTest::addColumn<bool>("byWindow");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("narrower, the top shown") << 0.0 << false << QList<int>{260};
        QTest::newRow("narrower, the middle shown") << 0.5 << false << QList<int>{260};
        QTest::newRow("wider, the middle shown") << 0.5 << false << QList<int>{480};
        QTest::newRow("narrower, the end shown") << 1.0 << false << QList<int>{260};
        QTest::newRow("twice in a row") << 0.4 << false << QList<int>{300, 440};
        QTest::newRow("narrower window, the middle shown") << 0.5 << true << QList<int>{300};
        QTest::newRow("wider window, the middle shown") << 0.5 << true << QList<int>{640};
    }
    void aNewWidthLaysOutWhatShowsAtOnceAndTheRestLaterWithoutMovingTheView()
    {
        QFETCH(double, scrolledTo);
        QFETCH(bool, byWindow);
        QFETCH(QList<int>, widths);
        LongView shown(scrolledTo);
        RichEditView &view = shown.view;
        if (byWindow) {
            view.setFormatRect(QRect());  // the text takes the viewport's width
            QTRY_VERIFY(!layoutOf(view)->hasDeferredParagraphs());
        }
        const TopOfView top = topOfView(view);

        QList<BlockPlace> partly;
        QList<int> shownNow;
        for (const int width : widths) {
            if (byWindow)
                view.resize(width, kViewHeight);
            else
                view.setFormatRect(QRect(0, 0, width, kViewHeight));
            QVERIFY(layoutOf(view)->hasDeferredParagraphs());
            QVERIFY(staysInPlace(view, top));
            shownNow = shownParagraphs(view);
            partly = places(view.document());
        }
        view.viewport()->grab();
        QVERIFY(staysInPlace(view, top));

        QTRY_VERIFY_WITH_TIMEOUT(!layoutOf(view)->hasDeferredParagraphs(), 30000);
        const Layout full = fullLayoutOf(view);
        QCOMPARE(layoutOfView(view), full);
        for (const int number : shownNow)
            QCOMPARE(partly.at(number).lines, full.places.at(number).lines);
        QVERIFY(staysInPlace(view, top));
    }

    // The vertical scroll bar appears while Qt lays the loaded document out, which takes
    // width from the text: every paragraph ends up laid out at the narrower width.
    void aScrollBarAppearingDuringTheLoadNarrowsEveryParagraph()
    {
        RichEditView view;
        showLongLoad(view);
        QTRY_VERIFY_WITH_TIMEOUT(layoutOf(view)->layoutStatus() == 100 && !layoutOf(view)->hasDeferredParagraphs(),
                                 30000);
        QVERIFY(view.verticalScrollBar()->isVisible());
        const Layout full = fullLayoutOf(view);
        QCOMPARE(layoutOfView(view), full);
        const qreal width = view.document()->pageSize().width();
        for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
            for (int i = 0; i < block.layout()->lineCount(); ++i)
                QVERIFY2(block.layout()->lineAt(i).width() <= width, qPrintable(QString::number(block.blockNumber())));
        }
    }

    // While the background lays the document out: typing goes where the caret is and
    // leaves the view where it is, a selection covers what it names, Ctrl+End shows the
    // end, and printing pages the document as it will stand.
    void editingWhileTheBackgroundLaysOutWorksOnTheRightPositions()
    {
        LongView shown(0.5);
        RichEditView &view = shown.view;
        view.setFocus();
        const int caret = view.cursorForPosition(QPoint(40, kViewHeight / 2)).position();
        view.setSelectionRange({caret, caret});
        view.setFormatRect(QRect(0, 0, 260, kViewHeight));
        QVERIFY(layoutOf(view)->hasDeferredParagraphs());
        const TopOfView top = topOfView(view);
        // One background slice at a time, until one has laid out paragraphs above the view
        // and left those after them where they were.
        QElapsedTimer waited;
        waited.start();
        while (!layoutOf(view)->hasPendingPositions() && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QVERIFY(layoutOf(view)->hasPendingPositions());
        QVERIFY(layoutOf(view)->hasDeferredParagraphs());

        QTest::keyClicks(&view, QStringLiteral("typed"));
        QCOMPARE(view.textRange({caret, caret + 5}), QStringLiteral("typed"));
        QVERIFY(view.viewport()->rect().contains(view.cursorRect().center()));
        QTest::mouseMove(view.viewport(), QPoint(60, 60));
        QVERIFY(staysInPlace(view, top));
        view.setSelectionRange({caret - 3, caret + 8});
        QCOMPARE(view.selectedText(), view.textRange({caret - 3, caret + 8}));
        QCOMPARE(view.selectionRange(), (CharRange{caret - 3, caret + 8}));
        const QList<int> pages = pageStarts(view);

        QTRY_VERIFY_WITH_TIMEOUT(!layoutOf(view)->hasDeferredParagraphs(), 30000);
        QCOMPARE(layoutOfView(view), fullLayoutOf(view));
        QCOMPARE(pageStarts(view), pages);
    }

    // The paragraphs at the end wait with their old lines: the view goes where their
    // new lines put the caret.
    void ctrlEndRightAfterANewWidthShowsTheCaret()
    {
        LongView shown(0.5);
        RichEditView &view = shown.view;
        view.setFocus();
        view.setFormatRect(QRect(0, 0, 260, kViewHeight));
        QVERIFY(layoutOf(view)->hasDeferredParagraphs());
        QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view.textCursor().position(), view.textLength());
        view.viewport()->grab();
        QVERIFY(view.viewport()->rect().contains(view.cursorRect().center()));
        QTRY_VERIFY_WITH_TIMEOUT(!layoutOf(view)->hasDeferredParagraphs(), 30000);
        QVERIFY(view.viewport()->rect().contains(view.cursorRect().center()));
    }
};

QTEST_MAIN(TestLargeWidthChange)
#include "tst_largewidthchange.moc"
