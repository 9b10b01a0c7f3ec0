#include "engine/codec/formatmapping.h"
#include "engine/view/richeditview.h"
#include "engine/codec/rtf/write/rtfwriter.h"
#include "engine/codec/textprops.h"

#include <QBuffer>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QAbstractTextDocumentLayout>
#include <QtGui/private/qtextdocumentlayout_p.h>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>

using namespace engine;

namespace {

// A source that hands out the bytes in chunks of at most `chunk`, and fails (-1) once
// `failAt` bytes have been delivered when failAt is not negative.
StreamReader chunkedReader(const QByteArray &bytes, qint64 chunk = 7, qint64 failAt = -1)
{
    auto position = std::make_shared<qint64>(0);
    return [=](char *buffer, qint64 max) -> qint64 {
        if (failAt >= 0 && *position >= failAt)
            return -1;
        const qint64 count = std::min({max, chunk, qint64(bytes.size()) - *position});
        std::memcpy(buffer, bytes.constData() + *position, size_t(count));
        *position += count;
        return count;
    };
}

QByteArray streamOutAll(const RichEditView &view, StreamFormat format, int *chunks = nullptr)
{
    QByteArray out;
    int count = 0;
    view.streamOut(format, [&](const char *data, qint64 size) {
        out.append(data, size);
        ++count;
        return true;
    });
    if (chunks)
        *chunks = count;
    return out;
}

QByteArray pngBytes()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A view with content, a modified flag and an undo step.
void giveHistory(RichEditView &view, const QString &text)
{
    view.setPlainText(QString());
    QTextCursor cursor(view.document());
    cursor.insertText(text);
    QVERIFY(view.canUndo());
    QVERIFY(view.document()->isModified());
}

}  // namespace

class TestRichEditStream : public QObject {
    Q_OBJECT
private slots:
    void rtfReplacesContentAndHistory();
    void formatsOfFirstAndLastParagraphSurvive();
    void bulletsAndPicturesSurvive();
    void failuresLeaveContentAlone_data();
    void failuresLeaveContentAlone();
    void plainText();
    void largeLoadAnswersBeforeItIsLaidOut();
    void streamOutInChunks();
    void streamOutReportsWriterFailure();
};

void TestRichEditStream::rtfReplacesContentAndHistory()
{
    RichEditView view;
    view.resize(300, 200);
    view.show();
    QTextDocument *const document = view.document();
    giveHistory(view, QStringLiteral("old text"));
    view.setSelectionRange({0, 0});
    const QSizeF pageSize = document->pageSize();
    QVERIFY(pageSize.width() > 0);
    view.setEventMask(ENM_SELCHANGE);
    QSignalSpy selectionNotices(&view, &RichEditView::selectionChangeNotify);
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard first \\b bold\\b0\\par\r\n\\pard second\\par\r\n}";
    QVERIFY(view.streamIn(SF_RTF, chunkedReader(rtf)));
    QCOMPARE(selectionNotices.count(), 1);  // the caret stayed, but the text under it is new
    QCOMPARE(view.document(), document);
    QCOMPARE(document->toPlainText(), QStringLiteral("first bold\nsecond"));
    QCOMPARE(document->blockCount(), 2);
    QVERIFY(!view.canUndo());
    QVERIFY(!document->isModified());
    QCOMPARE(view.selectionRange(), (CharRange{0, 0}));
    auto fragments = document->begin().begin();
    ++fragments;
    const QTextFragment bold = fragments.fragment();
    QCOMPARE(bold.text(), QStringLiteral("bold"));
    QCOMPARE(bold.charFormat().fontWeight(), int(QFont::Bold));
    // Editing after a load is undoable again.
    QTextCursor(document).insertText(QStringLiteral("x"));
    QVERIFY(view.canUndo());
}

void TestRichEditStream::formatsOfFirstAndLastParagraphSurvive()
{
    RichEditView view;
    giveHistory(view, QStringLiteral("old"));
    // The form's initial content: one empty paragraph whose mark carries the format.
    const QByteArray initial = "{\\rtf1\\ansi\\deff0{\\fonttbl {\\f0\\fnil MS Sans Serif;}}\r\n"
                               "\\uc1\\pard\\lang2057\\ulnone\\f0\\fs16\\par\r\n}\r\n";
    QVERIFY(view.streamIn(SF_RTF, chunkedReader(initial + QByteArray(1, '\0'))));
    QCOMPARE(view.document()->blockCount(), 1);
    QCOMPARE(view.document()->toPlainText(), QString());
    const QTextCharFormat mark = view.document()->begin().charFormat();
    QCOMPARE(mark.fontPointSize(), 8.0);
    QCOMPARE(mark.fontFamilies().toStringList().value(0), QStringLiteral("MS Sans Serif"));
    QCOMPARE(mark.intProperty(prop::Language), 2057);

    // The marks of a first and a last empty paragraph.
    const QByteArray marks = "{\\rtf1\\ansi\\pard\\fs40\\par\\pard\\fs20 text\\par\\pard\\fs30\\par}";
    QVERIFY(view.streamIn(SF_RTF, chunkedReader(marks)));
    QCOMPARE(view.document()->blockCount(), 3);
    QCOMPARE(view.document()->begin().charFormat().fontPointSize(), 20.0);
    QCOMPARE(view.document()->lastBlock().charFormat().fontPointSize(), 15.0);

    const QByteArray aligned = "{\\rtf1\\ansi\\pard\\qc\\li720\\sb120 centred\\par\\pard\\qr right\\par}";
    QVERIFY(view.streamIn(SF_RTF, chunkedReader(aligned)));
    const QTextBlock first = view.document()->begin();
    QCOMPARE(readParaFormat(first).alignment, quint16(PFA_CENTER));
    QCOMPARE(readParaFormat(first).startIndent, 720);
    QCOMPARE(readParaFormat(first).spaceBefore, 120);
    QCOMPARE(readParaFormat(first.next()).alignment, quint16(PFA_RIGHT));
}

void TestRichEditStream::bulletsAndPicturesSurvive()
{
    QTextDocument source;
    QTextCursor cursor(&source);
    cursor.insertText(QStringLiteral("one"));
    setBullets(cursor, true);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("two "));
    QTextImageFormat picture;
    picture.setName(QStringLiteral("pic"));
    picture.setProperty(prop::ImageOriginalBytes, pngBytes());
    picture.setProperty(prop::ImageOriginalKind, QStringLiteral("png"));
    cursor.insertImage(picture);
    const QByteArray rtf = writeRtf(&source);

    RichEditView view;
    QVERIFY(view.streamIn(SF_RTF, chunkedReader(rtf, 4096)));
    const QTextBlock first = view.document()->begin();
    QVERIFY(isBulletList(first.textList()));
    QCOMPARE(first.next().textList(), first.textList());
    QTextImageFormat shown;
    for (auto it = first.next().begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat())
            shown = it.fragment().charFormat().toImageFormat();
    }
    QVERIFY(shown.isValid());
    const QVariant image = view.document()->resource(QTextDocument::ImageResource, QUrl(shown.name()));
    QVERIFY(image.isValid());
    QCOMPARE(streamOutAll(view, SF_RTF), rtf);
}

void TestRichEditStream::failuresLeaveContentAlone_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("failAt");
    QTest::newRow("source fails at once") << QByteArray("{\\rtf1 new\\par}") << qint64(0);
    QTest::newRow("source fails midway") << QByteArray("{\\rtf1 new text\\par}") << qint64(8);
    QTest::newRow("not rtf") << QByteArray("plain words") << qint64(-1);
    QTest::newRow("empty") << QByteArray() << qint64(-1);
}

void TestRichEditStream::failuresLeaveContentAlone()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, failAt);
    RichEditView view;
    giveHistory(view, QStringLiteral("keep me"));
    QVERIFY(!view.streamIn(SF_RTF, chunkedReader(bytes, 3, failAt)));
    QCOMPARE(view.document()->toPlainText(), QStringLiteral("keep me"));
    QVERIFY(view.canUndo());
    QVERIFY(view.document()->isModified());
}

void TestRichEditStream::plainText()
{
    RichEditView view;
    giveHistory(view, QStringLiteral("old"));
    // Whatever the bytes, text loading succeeds; a file that only looks like RTF is text.
    QVERIFY(view.streamIn(SF_TEXT, chunkedReader(QByteArray("{\\rtf1 junk\r\nline 2\nline 3\r"))));
    QCOMPARE(view.lineCount(), 4);
    QCOMPARE(view.lineText(0), QStringLiteral("{\\rtf1 junk"));
    QCOMPARE(view.lineText(2), QStringLiteral("line 3"));
    QVERIFY(!view.canUndo());
    QVERIFY(!view.document()->isModified());
    QCOMPARE(streamOutAll(view, SF_TEXT), QByteArray("{\\rtf1 junk\r\nline 2\r\nline 3\r\n"));
}

// A large document is laid out from the top while the program waits for input; until then
// the view already answers from the start, and whatever asks for a place further on gets
// the right one.
void TestRichEditStream::largeLoadAnswersBeforeItIsLaidOut()
{
    RichEditView view;
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
    constexpr int kParagraphs = 3000;
    for (int i = 0; i < kParagraphs; ++i)
        rtf += "\\pard Paragraph " + QByteArray::number(i) + " of the {\\b long} document\\par\r\n";
    rtf += '}';
    QVERIFY(view.streamIn(SF_RTF, chunkedReader(rtf, 65536)));
    QTextDocument *const document = view.document();
    auto *layout = qobject_cast<QTextDocumentLayout *>(document->documentLayout());
    QVERIFY(layout);
    QVERIFY(layout->layoutStatus() < 100);  // the rest is laid out later
    QCOMPARE(view.selectionRange(), (CharRange{0, 0}));
    QCOMPARE(view.verticalScrollBar()->value(), 0);
    QVERIFY(view.viewport()->rect().contains(view.cursorRect().center()));

    const QString last = QStringLiteral("Paragraph %1 of").arg(kParagraphs - 1);
    QCOMPARE(view.findText(FR_DOWN, {0, -1}, last), document->lastBlock().position());

    view.setFocus();
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    const int end = document->characterCount() - 1;
    QCOMPARE(view.selectionRange(), (CharRange{end, end}));
    QVERIFY(view.viewport()->rect().contains(view.cursorRect().center()));
    // The scroll range, estimated while the layout went on, takes the true height once
    // the layout reports it.
    QTRY_COMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    const QRectF lastRect = layout->blockBoundingRect(document->lastBlock());
    QVERIFY(lastRect.bottom() <= layout->documentSize().height());
    QVERIFY(lastRect.top() > layout->blockBoundingRect(document->lastBlock().previous()).top());

    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(view.selectionRange(), (CharRange{0, 0}));
    QCOMPARE(view.verticalScrollBar()->value(), 0);
}

void TestRichEditStream::streamOutInChunks()
{
    RichEditView view;
    QString big;
    for (int i = 0; i < 20000; ++i)
        big += QStringLiteral("line %1\n").arg(i);
    view.setPlainText(big);
    int chunks = 0;
    const QByteArray rtf = streamOutAll(view, SF_RTF, &chunks);
    QVERIFY(chunks > 1);
    QCOMPARE(rtf, writeRtf(view.document()));

    RichEditView empty;
    int textChunks = -1;
    QCOMPARE(streamOutAll(empty, SF_TEXT, &textChunks), QByteArray());
    QCOMPARE(textChunks, 0);
}

void TestRichEditStream::streamOutReportsWriterFailure()
{
    RichEditView view;
    view.setPlainText(QString(200000, u'x'));
    int calls = 0;
    QVERIFY(!view.streamOut(SF_RTF, [&](const char *, qint64) { return ++calls < 2; }));
    QCOMPARE(calls, 2);  // nothing more is offered after the failure
}

QTEST_MAIN(TestRichEditStream)
#include "tst_richeditstream.moc"
