#include "engine/codec/rtf/read/rtfdocumentbuilder.h"

#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/codec/scriptfonts.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextformat_p.h>
#include <algorithm>
#include <span>
#include <utility>

namespace engine::rtfin {

DocumentBuilder::DocumentBuilder(QTextDocument *document, RtfAppend *append)
    : m_document(document),
      m_lists([this](const QTextFormat &format) { return createObject(format); }),
      m_appender(document),
      m_append(append)
{
    if (!append) {
        m_undoWasEnabled = document->isUndoRedoEnabled();
        document->setUndoRedoEnabled(false);
        document->clear();
    }
    m_cursor = QTextCursor(document);
    m_cursor.movePosition(QTextCursor::End);
    m_joinsText = append && m_cursor.position() > 0;
    m_cursor.beginEditBlock();
    setCursorsFollowInsertions(false);
}

DocumentBuilder::~DocumentBuilder()
{
    setCursorsFollowInsertions(true);
    if (!m_cursor.isNull())
        m_cursor.endEditBlock();
    if (!m_append)
        m_document->setUndoRedoEnabled(m_undoWasEnabled);
}

// Read again after its undo, a paste makes its lists and tables under the indexes they
// had, which the undo steps recorded after it name.
QTextObject *DocumentBuilder::createObject(const QTextFormat &format)
{
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
    if (!m_append)
        return storage->createObject(format);
    std::vector<int> &made = m_append->objects;
    if (m_append->reuseObjects && m_objectsMade < made.size()) {
        const int index = made[m_objectsMade++];
        storage->formatCollection()->setObjectFormat(index, format);
        return storage->createObject(format, index);
    }
    QTextObject *object = storage->createObject(format);
    made.resize(m_objectsMade);
    made.push_back(object->objectIndex());
    ++m_objectsMade;
    return object;
}

// Everything is inserted at the document's end, past every cursor but the builder's own,
// so the storage need not visit the cursors after each insertion (it costs as much as
// the insertion itself). The builder's cursor is moved to the end before each use.
void DocumentBuilder::setCursorsFollowInsertions(bool follow)
{
    QTextDocumentPrivate::get(m_document)->blockCursorAdjustment = !follow;
}

namespace {

bool isStructural(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QTextBeginningOfFrame
           || c == QTextEndOfFrame;
}

}  // namespace

void DocumentBuilder::closeRun()
{
    if (!runIsOpen())
        return;
    m_runs.push_back(Run{m_runStart, m_text.size() - m_runStart, m_textFormat, m_textHasMarks});
    m_runStart = m_text.size();
    m_textHasMarks = false;
}

// Text of the same format as the open run joins it; other text starts a new run.
void DocumentBuilder::continueRun(int format)
{
    if (runIsOpen() && format != m_textFormat)
        closeRun();
    m_textFormat = format;
    m_hasContent = true;
}

void DocumentBuilder::noteBase(QStringView text)
{
    if (const char32_t base = engine::lastBaseCharacter(text))
        m_lastBase = base;
}

void DocumentBuilder::appendText(QStringView text, int format)
{
    if (text.isEmpty())
        return;
    continueRun(format);
    m_text.append(text);
    m_textHasMarks = m_textHasMarks || std::any_of(text.begin(), text.end(), isStructural);
    noteBase(text);
}

// Printable ASCII holds neither marks nor combining marks: its last character is the base.
void DocumentBuilder::appendText(QLatin1StringView text, int format)
{
    if (text.isEmpty())
        return;
    continueRun(format);
    m_text.append(text);
    m_lastBase = char32_t(text.back().unicode());
}

void DocumentBuilder::appendImage(const QTextImageFormat &format)
{
    closeRun();
    m_text.append(QChar::ObjectReplacementCharacter);
    m_runs.push_back(Run{m_runStart, 1, formatIndex(format), false});
    m_runStart = m_text.size();
    m_hasContent = true;
    m_lastBase = QChar::ObjectReplacementCharacter;
}

// Inside a table still being placed the cursor cannot be used: a paragraph's marks are
// kept as line breaks.
void DocumentBuilder::keepMarksAsLineBreaks(Paragraph &paragraph)
{
    for (Run &run : paragraph.runs) {
        if (!run.marks)
            continue;
        const auto begin = paragraph.text.begin() + run.from;
        std::replace_if(begin, begin + run.length, isStructural, QChar::LineSeparator);
        run.marks = false;
    }
}

// Text with paragraph or frame marks takes the cursor, which splits it into paragraphs.
void DocumentBuilder::insertMarkedRun(const QString &paragraphText, const Run &run)
{
    setCursorsFollowInsertions(true);
    m_cursor.movePosition(QTextCursor::End);
    const QTextFormatCollection *formats = QTextDocumentPrivate::get(m_document)->formatCollection();
    m_cursor.insertText(paragraphText.mid(run.from, run.length), formats->charFormat(run.format));
    setCursorsFollowInsertions(false);
    m_end = -1;
}

// Runs that hold no paragraph or frame marks go straight into the document's storage, at
// its end, as one insertion of their joined text in the first run's format: inserting
// run by run, the storage would look up the place, the paragraph and the cursors again
// for each. The text is handed over without a copy: the storage copies it into its own.
void DocumentBuilder::insertRuns(const QString &paragraphText, std::span<const Run> runs)
{
    const qsizetype from = runs.front().from;
    const qsizetype length = runs.back().from + runs.back().length - from;
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
    const int at = insertionPoint();
    storage->insert(at, QString::fromRawData(paragraphText.constData() + from, length), runs.front().format);
    m_end = at + int(length);
    if (runs.size() > 1)
        cutIntoRuns(at, runs);
}

// The joined text, one piece of the storage's text, is cut into one piece per run with
// the run's format, as inserting the runs one by one would have left it (the runs of a
// paragraph differ in format). The first piece may have joined the text before it, when
// that has its format and comes right before it in the storage's buffer.
void DocumentBuilder::cutIntoRuns(int at, std::span<const Run> runs)
{
    QTextDocumentPrivate::FragmentMap &pieces = QTextDocumentPrivate::get(m_document)->fragmentMap();
    const uint first = pieces.findNode(at);
    const int firstStart = int(pieces.position(first));
    const int bufferStart = int(pieces.fragment(first)->stringPosition) + (at - firstStart) - int(runs.front().from);
    pieces.setSize(first, at - firstStart + int(runs.front().length));
    int position = at + int(runs.front().length);
    for (const Run &run : runs.subspan(1)) {
        QTextFragmentData *piece = pieces.fragment(pieces.insert_single(position, uint(run.length)));
        piece->stringPosition = bufferStart + int(run.from);
        piece->format = run.format;
        position += int(run.length);
    }
}

// Where text goes: before the document's last paragraph mark. The storage finds its
// length by walking its tree, so the builder counts along while it inserts text alone.
int DocumentBuilder::insertionPoint()
{
    if (m_end < 0)
        m_end = QTextDocumentPrivate::get(m_document)->length() - 1;
    return m_end;
}

void DocumentBuilder::endParagraph(const QTextBlockFormat &format, const ListItem *list, const QTextCharFormat &markFormat)
{
    placeParagraph(takeParagraph(format, list, markFormat));
}

DocumentBuilder::Paragraph DocumentBuilder::takeParagraph(const QTextBlockFormat &format, const ListItem *list,
                                                          const QTextCharFormat &markFormat)
{
    closeRun();
    m_hasContent = false;
    m_runStart = 0;
    m_lastBase = 0;
    Paragraph paragraph{std::exchange(m_text, {}), std::exchange(m_runs, {}), format, markFormat, std::nullopt};
    if (list)
        paragraph.list = *list;
    return paragraph;
}

int DocumentBuilder::formatIndex(const QTextFormat &format)
{
    return QTextDocumentPrivate::get(m_document)->formatCollection()->indexForFormat(format);
}

void DocumentBuilder::placeCellParagraph(Paragraph &&paragraph, int cellFormatIndex)
{
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
    storage->insertBlock(QTextBeginningOfFrame, storage->length() - 1, formatIndex(paragraph.format), cellFormatIndex);
    m_afterFrameEnd = false;
    placeRuns(std::move(paragraph));
}

// The first paragraph read into a document after text of its own joins the paragraph
// there, which keeps its formats; only a list item's text arriving in a paragraph that is
// none starts a paragraph of its own.
bool DocumentBuilder::joinsFirstParagraph(Paragraph &paragraph) const
{
    if (!m_joinsText || m_paragraphs > 0)
        return false;
    if (paragraph.list && !paragraph.runs.empty() && !m_document->lastBlock().textList())
        return false;
    paragraph.list.reset();
    return true;
}

void DocumentBuilder::placeParagraph(Paragraph &&paragraph)
{
    if (appendDirectly(paragraph))
        return;
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
    QTextFormatCollection *formats = storage->formatCollection();
    if (m_afterFrameEnd || joinsFirstParagraph(paragraph)) {
        // The frame's end already started this paragraph with its format, or the
        // paragraph joins the document's last one.
    } else if (m_paragraphs == 0 && !m_joinsText) {
        m_cursor.setBlockFormat(paragraph.format);
        m_cursor.setBlockCharFormat(paragraph.markFormat);
    } else if (paragraph.list) {
        // The paragraph joins its list as it is inserted: joining afterwards would change
        // its format once more.
        QTextList *list = m_lists.listFor(*std::exchange(paragraph.list, std::nullopt));
        const int format = listedFormatIndex(paragraph.format, list);
        m_lists.insertJoining(list, [&] {
            storage->insertBlock(storage->length() - 1, format, formats->indexForFormat(paragraph.markFormat));
        });
    } else {
        storage->insertBlock(storage->length() - 1, formats->indexForFormat(paragraph.format),
                             formats->indexForFormat(paragraph.markFormat));
    }
    m_afterFrameEnd = false;
    placeRuns(std::move(paragraph));
}

int DocumentBuilder::listedFormatIndex(const QTextBlockFormat &format, const QTextList *list)
{
    if (m_lastListed.index < 0 || m_lastListed.list != list || m_lastListed.format != format) {
        QTextBlockFormat listed = format;
        listed.setObjectIndex(list->objectIndex());
        m_lastListed = ListedFormat{format, list, formatIndex(listed)};
    }
    return m_lastListed.index;
}

// A paragraph after others, outside tables and without marks in its text, is appended
// straight into the storage (StorageAppender); the others take Qt's insertions.
bool DocumentBuilder::appendDirectly(Paragraph &paragraph)
{
    if (m_afterFrameEnd || m_paragraphs == 0 || m_openFrames > 0)
        return false;
    QTextFormatCollection *formats = QTextDocumentPrivate::get(m_document)->formatCollection();
    QTextList *list = paragraph.list ? m_lists.listFor(*paragraph.list) : nullptr;
    const int format = list ? listedFormatIndex(paragraph.format, list) : formats->indexForFormat(paragraph.format);
    const int markFormat = formats->indexForFormat(paragraph.markFormat);
    if (!m_appender.accepts(format, markFormat, paragraph.runs))
        return false;
    if (list)
        m_lists.insertJoining(list, [&] { m_end = m_appender.appendParagraph(format, markFormat, paragraph.text, paragraph.runs); });
    else
        m_end = m_appender.appendParagraph(format, markFormat, paragraph.text, paragraph.runs);
    ++m_paragraphs;
    reuseStorage(paragraph);
    return true;
}

// The next paragraph is collected into the storage of the one just placed.
void DocumentBuilder::reuseStorage(Paragraph &paragraph)
{
    if (!m_runs.empty() || !m_text.isEmpty())
        return;
    m_runs = std::move(paragraph.runs);
    m_runs.clear();
    m_text = std::move(paragraph.text);
    m_text.resize(0);
}

void DocumentBuilder::placeRuns(Paragraph &&paragraph)
{
    ++m_paragraphs;
    m_end = -1;  // the paragraph's start moved the end
    if (m_openFrames > 0)
        keepMarksAsLineBreaks(paragraph);
    const std::span<const Run> runs = paragraph.runs;
    for (size_t first = 0; first < runs.size();) {
        if (runs[first].marks) {
            insertMarkedRun(paragraph.text, runs[first]);
            ++first;
            continue;
        }
        size_t end = first + 1;
        while (end < runs.size() && !runs[end].marks)
            ++end;
        insertRuns(paragraph.text, runs.subspan(first, end - first));
        first = end;
    }
    reuseStorage(paragraph);
    if (paragraph.list)
        m_lists.place(m_document->lastBlock(), *paragraph.list);
}

void DocumentBuilder::placeFrameEnd(const QTextCharFormat &frameFormat, const QTextBlockFormat &nextFormat)
{
    QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
    QTextFormatCollection *formats = storage->formatCollection();
    storage->insertBlock(QTextEndOfFrame, storage->length() - 1, formats->indexForFormat(nextFormat),
                         formats->indexForFormat(frameFormat));
    m_afterFrameEnd = true;
    m_openFrames = std::max(0, m_openFrames - 1);
    ++m_paragraphs;
}

void DocumentBuilder::finish(const QTextBlockFormat &format, const ListItem *list, const QTextCharFormat &markFormat)
{
    if (m_hasContent || (m_paragraphs == 0 && !m_append) || m_afterFrameEnd)
        endParagraph(format, list, markFormat);
    setCursorsFollowInsertions(true);
    m_cursor.endEditBlock();
    m_cursor = QTextCursor();
}

}  // namespace engine::rtfin
