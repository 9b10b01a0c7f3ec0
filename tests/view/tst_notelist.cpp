#include "engine/view/notelist.h"
#include "engine/view/richeditview.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>

using namespace engine;

namespace {

void load(RichEditView &view, const QByteArray &rtf)
{
    auto position = std::make_shared<qsizetype>(0);
    view.streamIn(SF_RTF, [=](char *buffer, qint64 max) -> qint64 {
        const qint64 count = std::min<qint64>(max, rtf.size() - *position);
        std::memcpy(buffer, rtf.constData() + *position, size_t(count));
        *position += count;
        return count;
    });
}

void paste(RichEditView &view, const QByteArray &rtf)
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"), rtf);
    QGuiApplication::clipboard()->setMimeData(data);
    view.paste();
}

const QByteArray kNotes = "{\\rtf1 First{\\super\\chftn}{\\footnote\\pard\\plain\\chftn  Note one.} and"
                          "{\\super\\chftn}{\\footnote\\ftnalt\\pard\\plain\\chftn  The end note.} and"
                          "{\\super\\chftn}{\\footnote\\pard\\plain\\chftn  Note two.}"
                          "{\\*\\atnid A}{\\*\\annotation A comment.}\\par}";

}  // namespace

class TestNoteList : public QObject {
    Q_OBJECT
private slots:
    // Footnotes by their numbers and endnotes by theirs, in the order of their marks;
    // comments are not notes.
    void notesAreListedAfterTheTextWithTheirMarks()
    {
        RichEditView view;
        view.resize(400, 300);
        load(view, kNotes);
        view.noteList().rebuild();
        QCOMPARE(view.noteList().text(), QStringLiteral("1 Note one.\ni The end note.\n2 Note two."));
    }

    void theScrollRangeReachesPastTheTextToTheList()
    {
        RichEditView view;
        view.resize(400, 120);
        view.show();
        QByteArray rtf = "{\\rtf1 ";
        for (int i = 0; i < 20; ++i)
            rtf += "Line\\par ";
        load(view, rtf + "Last{\\super\\chftn}{\\footnote\\pard\\plain\\chftn  The note.}\\par}");
        QTRY_VERIFY(!view.noteList().isEmpty());
        QScrollBar *bar = view.verticalScrollBar();
        const int textMaximum = int(view.document()->size().height()) - view.viewport()->height();
        QVERIFY2(bar->maximum() > textMaximum, qPrintable(QStringLiteral("%1 <= %2").arg(bar->maximum()).arg(textMaximum)));
    }

    // The list follows marks removed and inserted, a moment after the change.
    void theListFollowsEdits()
    {
        RichEditView view;
        load(view, kNotes);
        view.noteList().rebuild();
        QTextCursor cursor(view.document());
        cursor.movePosition(QTextCursor::End);
        cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        QTRY_VERIFY(view.noteList().isEmpty());
        view.undo();
        QTRY_COMPARE(view.noteList().text().count(u'\n'), 2);
    }

    // A footnote pasted into the middle of a document that has pictures of its own is
    // listed with the others, under its own number.
    void aFootnotePastedBetweenTheMarksIsListed()
    {
        RichEditView view;
        load(view, kNotes);
        view.setSelectionRange({-1, -1});
        paste(view, "{\\rtf1 Pasted{\\super\\chftn}{\\footnote\\pard\\plain\\chftn  Note pasted.}}");
        view.noteList().rebuild();
        QCOMPARE(view.noteList().text(), QStringLiteral("1 Note one.\ni The end note.\n2 Note two.\n1 Note pasted."));
        view.setSelectionRange({2, 2});
        paste(view, "{\\rtf1 Early{\\super\\chftn}{\\footnote\\pard\\plain\\chftn  Note early.}}");
        view.noteList().rebuild();
        QVERIFY(view.noteList().text().startsWith(QStringLiteral("1 Note early.\n1 Note one.")));
    }

    void typingLeavesTheListAlone()
    {
        RichEditView view;
        load(view, kNotes);
        view.noteList().rebuild();
        QTextCursor cursor(view.document());
        cursor.insertText(QStringLiteral("typed "));
        QTest::qWait(400);
        QCOMPARE(view.noteList().text().count(u'\n'), 2);
    }
};

QTEST_MAIN(TestNoteList)
#include "tst_notelist.moc"
