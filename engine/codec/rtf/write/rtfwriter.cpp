#include "engine/codec/rtf/write/rtfwriter.h"

#include "engine/codec/documentextras.h"
#include "engine/codec/formatmapping.h"
#include "engine/codec/rtf/write/keptrtf.h"
#include "engine/codec/rtf/write/listwriter.h"
#include "engine/codec/rtf/underlinekinds.h"
#include "engine/codec/rtf/write/rtfoutput.h"
#include "engine/codec/rtf/write/pictureencoder.h"
#include "engine/codec/rtf/write/scriptwords.h"
#include "engine/codec/rtf/write/outputtables.h"
#include "engine/codec/rtf/write/rtftablewriter.h"
#include "engine/codec/textprops.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>
#include <QtGui/private/qtextdocument_p.h>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace engine {
namespace {

enum class Script : quint8 { Normal, Super, Sub };

// Room before the body for the header (font, colour and list tables), written last: a
// header that fits needs no copy of the body. The body's buffer is sized for two bytes a
// character, more than plain text takes, so that it seldom grows; what is not written
// into is never touched.
constexpr qsizetype kHeaderRoom = 64 * 1024;

// "No language": written when text without a language follows text with one.
constexpr int kNoLanguage = 1024;

// The character properties an RTF reader tracks, in RTF terms (table indexes, half
// points). The defaults are those a reader starts with.
struct RunState {
    int font = 0;
    int halfPoints = 24;
    int color = 0;
    int highlight = 0;
    int language = 0;
    int offsetHalfPoints = 0;
    quint8 underline = 0;  // index into kUnderlineKinds
    Script script = Script::Normal;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    bool protect = false;
    ScriptRunFonts scripts;  // written only inside a group of their run
    bool operator==(const RunState &) const = default;
};

// Field instructions take the link in quotes; a quote inside it would end the argument
// and a backslash starts a switch, so both are neutralised.
QString hyperlinkInstruction(const QString &href)
{
    QString target = href;
    target.replace(u'"', QLatin1String("%22"));
    target.replace(u'\\', QLatin1String("\\\\"));
    return QLatin1String("HYPERLINK \"") + target + u'"';
}

void writeLineSpacing(RtfOutput &out, const ParaFormat &format)
{
    int twips = 0;
    bool multiple = false;
    switch (format.lineSpacingRule) {
    case 1: twips = 360; multiple = true; break;
    case 2: twips = 480; multiple = true; break;
    case 3: twips = std::abs(format.lineSpacing); break;   // at least
    case 4: twips = -std::abs(format.lineSpacing); break;  // exactly
    case 5: twips = std::max(0, format.lineSpacing) * 12; multiple = true; break;  // lineSpacing / 20 lines
    default: break;
    }
    if (twips == 0)
        return;
    out.word("sl", twips);
    out.word("slmult", multiple ? 1 : 0);
}

// What of the document is written: document positions (all of it by default), and
// whether the page setup and the groups kept from the file go along.
struct WriteRange {
    int start = 0;
    int end = std::numeric_limits<int>::max();
    bool fileExtras = true;
    bool cut() const { return start > 0 || end != std::numeric_limits<int>::max(); }
};

// The text of a run gathered from pieces: a view of the document's storage while the
// pieces follow each other there, a copy once they do not.
class GatheredText {
public:
    void start(QStringView text)
    {
        m_view = text;
        m_copied = false;
    }
    void add(QStringView text)
    {
        if (!m_copied && m_view.data() + m_view.size() == text.data()) {
            m_view = QStringView(m_view.data(), m_view.size() + text.size());
            return;
        }
        if (!m_copied)
            m_copy = m_view.toString();
        m_copied = true;
        m_copy += text;
    }
    QStringView text() const { return m_copied ? QStringView(m_copy) : m_view; }

private:
    QStringView m_view;
    QString m_copy;
    bool m_copied = false;
};

class DocumentWriter {
public:
    explicit DocumentWriter(const QTextDocument *document, WriteRange range = {});
    QByteArray write();

private:
    // What the writer needs of one character format, worked out once per format.
    struct Run {
        RunState state;
        QString href;         // link target, empty when the run is no link
        QString field;        // instruction of the field whose result the run is
        int fieldNumber = 0;
        bool object = false;  // a picture or a kept object
        bool mark = false;    // a note, bookmark, shape or empty field: read in the state written before it
    };

    // `end` is the word that ends the paragraph, `tableLevel` the tables around it.
    void writeBlock(const QTextBlock &block, const char *end = "par", int tableLevel = 0);
    void writeRangeBlocks();
    const QByteArray &paragraphStart(const QTextBlock &block);
    QByteArray computeParagraphStart(const QTextBlock &block);
    void writeListWords(const QTextBlock &block, const QTextList *list);
    bool startsWithObject(const QTextBlock &block);
    template<typename Visit>
    void forEachPieceOf(const QTextBlock &block, Visit &&visit);
    bool writtenAlike(int formatBefore, int format);
    void writeFragment(int formatIndex, QStringView text);
    QTextCharFormat charFormat(int formatIndex) const
    {
        return QTextDocumentPrivate::get(m_document)->formatCollection()->charFormat(formatIndex);
    }
    void writeRun(const RunState &target, QStringView text);
    void writeObjects(QStringView text, const QTextCharFormat &format);
    void switchLink(const QString &href);
    void switchField(const QString &instruction, int number);
    template<typename FormatSource>
    const Run &run(int formatIndex, FormatSource &&format);
    Run computeRun(const QTextCharFormat &format);
    RunState computeRunState(const QTextCharFormat &format);
    RunState markState(const QTextCharFormat &format);
    void changeTo(const RunState &target);
    void changeEffects(const RunState &target);
    bool ansiFont() const { return isAnsiCharset(m_fonts.charsetOf(m_state.font)); }
    static bool isAnsiCharset(int charset) { return charset == 0 || charset == 1; }
    QByteArray header();
    void writePageSetup(RtfOutput &out) const;

    const QTextDocument *m_document;
    const QString m_buffer;  // the document's storage: the text of every fragment
    WriteRange m_range;
    QFont m_defaultFont;
    RtfOutput m_out;
    OutputFontTable m_fonts;
    OutputColorTable m_colors;
    DocumentExtras m_extras;
    KeptRtfRenumbering m_kept;
    QByteArray m_headerGroups;  // renumbered
    RunState m_state;
    std::vector<std::optional<Run>> m_runs;               // by the document's format index
    std::vector<std::optional<QByteArray>> m_paragraphs;  // by the block format index
    QString m_link;                                   // href of the open field, if any
    RunState m_stateBeforeLink;
    ListWriter m_lists{m_fonts};
    QString m_field;  // instruction of the open field, if any
    int m_fieldNumber = 0;
    RunState m_stateBeforeField;
};

DocumentWriter::DocumentWriter(const QTextDocument *document, WriteRange range)
    : m_document(document),
      m_buffer(QTextDocumentPrivate::get(document)->buffer()),
      m_range(range),
      m_defaultFont(document->defaultFont()),
      m_out(qsizetype(document->characterCount()) * 2 + 4096, kHeaderRoom),
      m_extras(documentExtras(document)),
      m_kept(m_extras, m_fonts, m_colors)
{
    // Font 0 is the document's default font, so that \deff0 names what unformatted
    // text is shown in.
    const CharFormat plain = readCharFormat(QTextCharFormat(), m_defaultFont);
    m_fonts.indexOf(plain.faceName, plain.charset, plain.pitchAndFamily);
    if (!m_range.fileExtras) {
        // Kept objects in the range still need the source's fonts and colours.
        m_extras.page = PageSetup();
        m_extras.headerGroups.clear();
    }
}

QByteArray DocumentWriter::write()
{
    const QTextFrame *root = m_document->rootFrame();
    if (m_range.cut()) {
        writeRangeBlocks();
    } else if (root->childFrames().isEmpty()) {
        for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next())
            writeBlock(block);
    } else {
        TableWriter tables(m_out, m_colors, [this](const QTextBlock &block, const char *end, int level) {
            writeBlock(block, end, level);
        });
        tables.writeFrame(root, 0);
    }
    m_out.raw("}\r\n");
    m_headerGroups = m_kept.apply(m_extras.headerGroups);
    return m_out.take(header());
}

QByteArray DocumentWriter::header()
{
    // The list tables first: their bullets may name fonts.
    RtfOutput lists(256);
    m_lists.writeTables(lists);
    RtfOutput out(1024);
    out.raw("{\\rtf1\\ansi\\ansicpg1252\\deff0");
    m_fonts.write(out);
    out.newline();
    m_colors.write(out);
    out.newline();
    out.raw(m_headerGroups);
    out.raw(lists.bytes());
    writePageSetup(out);
    out.word("uc", 1);
    out.newline();
    return out.take();
}

void DocumentWriter::writeRangeBlocks()
{
    for (QTextBlock block = m_document->findBlock(m_range.start); block.isValid() && block.position() <= m_range.end;
         block = block.next())
        writeBlock(block);
}

void DocumentWriter::writeBlock(const QTextBlock &block, const char *end, int tableLevel)
{
    m_out.words(paragraphStart(block));
    if (tableLevel > 0)
        m_out.word("intbl");
    if (tableLevel > 1)
        m_out.word("itap", tableLevel);
    const QTextList *list = block.textList();
    if (list)
        writeListWords(block, list);
    const int blockStart = block.position();
    const qsizetype textLength = block.length() - 1;
    const qsizetype from = std::clamp<qint64>(qint64(m_range.start) - blockStart, 0, textLength);
    const qsizetype to = std::clamp<qint64>(qint64(m_range.end) - blockStart, 0, textLength);
    // Neighbouring fragments that write the same way are written as one, so that a run
    // needing a group of its own gets one group however the document splits it.
    int pending = -1;  // the format of the run being gathered
    GatheredText text;
    qsizetype offset = 0;
    forEachPieceOf(block, [&](int format, QStringView piece) {
        const qsizetype first = std::max(offset, from);
        const qsizetype last = std::min(offset + piece.size(), to);
        const qsizetype pieceStart = std::exchange(offset, offset + piece.size());
        if (first >= last)
            return offset < to;
        const QStringView part = piece.mid(first - pieceStart, last - first);
        if (pending >= 0 && writtenAlike(pending, format)) {
            text.add(part);
            return offset < to;
        }
        if (pending >= 0)
            writeFragment(pending, text.text());
        pending = format;
        text.start(part);
        return offset < to;
    });
    if (pending >= 0)
        writeFragment(pending, text.text());
    // Fields and links close with their paragraph: a table that starts in the next one
    // must not open inside their groups, which would take its properties away on closing.
    switchField(QString(), 0);
    switchLink(QString());
    // An empty paragraph's mark carries the format of what will be typed into it; a list
    // item that starts with an object takes its number's format from its mark.
    if (from >= to || (list && startsWithObject(block)))
        changeTo(markState(block.charFormat()));
    m_out.word(end);
    m_out.newline();
}

const QByteArray &DocumentWriter::paragraphStart(const QTextBlock &block)
{
    const auto index = size_t(std::max(0, block.blockFormatIndex()));
    if (index >= m_paragraphs.size())
        m_paragraphs.resize(index + 1);
    std::optional<QByteArray> &cached = m_paragraphs[index];
    if (!cached)
        cached = computeParagraphStart(block);
    return *cached;
}

// The page break, \pard and the paragraph's properties. They depend only on the block
// format (list membership included), so each distinct format is worked out once.
QByteArray DocumentWriter::computeParagraphStart(const QTextBlock &block)
{
    RtfOutput out(64);
    const QTextBlockFormat blockFormat = block.blockFormat();
    if (blockFormat.boolProperty(prop::PageBreakBefore)
        || (blockFormat.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)) {
        out.word("page");
        out.newline();
    }
    const ParaFormat format = readParaFormat(block);
    const bool bullet = block.textList() != nullptr;
    out.word("pard");
    switch (format.alignment) {
    case PFA_RIGHT: out.word("qr"); break;
    case PFA_CENTER: out.word("qc"); break;
    case PFA_JUSTIFY: out.word("qj"); break;
    default: break;
    }
    // Platform model to RTF: the other lines start at start + offset (\li), the first
    // line at start (\fi relative to \li). List paragraphs always state both, so that
    // no reader takes a list level's indents instead.
    if (const int left = format.startIndent + format.offset; left != 0 || bullet)
        out.word("li", left);
    if (format.rightIndent != 0)
        out.word("ri", format.rightIndent);
    if (format.offset != 0 || bullet)
        out.word("fi", -format.offset);
    if (format.spaceBefore != 0)
        out.word("sb", format.spaceBefore);
    if (format.spaceAfter != 0)
        out.word("sa", format.spaceAfter);
    writeLineSpacing(out, format);
    writeParagraphDirectionAndTabs(out, blockFormat, format.tabs.data(), format.tabCount);
    return out.take();
}

void DocumentWriter::writePageSetup(RtfOutput &out) const
{
    const PageSetup &page = m_extras.page;
    if (page.paperWidth > 0)
        out.word("paperw", page.paperWidth);
    if (page.paperHeight > 0)
        out.word("paperh", page.paperHeight);
    const std::pair<const char *, int> distances[] = {{"margl", page.marginLeft}, {"margr", page.marginRight},
                                                      {"margt", page.marginTop},  {"margb", page.marginBottom},
                                                      {"headery", page.headerY},  {"footery", page.footerY}};
    for (const auto &[name, twips] : distances) {
        if (twips != PageSetup::kNotGiven)
            out.word(name, twips);
    }
    if (page.landscape)
        out.word("landscape");
    if (page.facingPages)
        out.word("facingp");
    if (page.titlePage)
        out.word("titlepg");
    if (!page.isEmpty())
        out.newline();
}

// The number takes the font and size of the paragraph's first character.
void DocumentWriter::writeListWords(const QTextBlock &block, const QTextList *list)
{
    const QTextBlock::iterator first = block.begin();
    RunState text;
    if (first.atEnd() || startsWithObject(block)) {
        text = markState(block.charFormat());
    } else {
        const QTextFragment fragment = first.fragment();
        text = run(fragment.charFormatIndex(), [&] { return fragment.charFormat(); }).state;
    }
    m_lists.writeParagraph(m_out, block, list, text.font, text.halfPoints);
}

bool DocumentWriter::startsWithObject(const QTextBlock &block)
{
    const QTextBlock::iterator first = block.begin();
    if (first.atEnd())
        return false;
    const QTextFragment fragment = first.fragment();
    return run(fragment.charFormatIndex(), [&] { return fragment.charFormat(); }).object;
}

// The paragraph's text piece by piece, each piece in one format, read straight from the
// document's storage: a fragment asked for its position or text walks the storage's
// tree each time, and the paragraph's text would be one more copy. `visit` returns
// false when it needs no more pieces.
template<typename Visit>
void DocumentWriter::forEachPieceOf(const QTextBlock &block, Visit &&visit)
{
    const QTextDocumentPrivate::FragmentMap &pieces = QTextDocumentPrivate::get(block)->fragmentMap();
    const int position = block.position();
    const uint end = pieces.findNode(position + block.length() - 1);  // the paragraph mark
    for (uint piece = pieces.findNode(position); piece != end; piece = pieces.next(piece)) {
        const QTextFragmentData *data = pieces.fragment(piece);
        if (!visit(data->format, QStringView(m_buffer).mid(data->stringPosition, data->size_array[0])))
            return;
    }
}

bool DocumentWriter::writtenAlike(int formatBefore, int format)
{
    if (formatBefore == format)
        return true;
    // A lookup may grow the table of runs, so both are looked up before either is kept.
    const auto lookUp = [this](int index) -> const Run & {
        return run(index, [&] { return charFormat(index); });
    };
    lookUp(formatBefore);
    lookUp(format);
    const Run &previous = lookUp(formatBefore);
    const Run &next = lookUp(format);
    return !previous.object && !next.object && previous.state == next.state && previous.href == next.href
           && previous.field == next.field && previous.fieldNumber == next.fieldNumber;
}

void DocumentWriter::writeFragment(int formatIndex, QStringView text)
{
    const Run &format = run(formatIndex, [&] { return charFormat(formatIndex); });
    if (format.mark && !format.field.isEmpty() && (format.field != m_field || format.fieldNumber != m_fieldNumber)) {
        // The mark of an empty field is read in the format around its field, outside any
        // link or field before it.
        switchField(QString(), 0);
        switchLink(QString());
        changeTo(format.state);
    }
    switchField(format.field, format.fieldNumber);
    switchLink(format.href);
    // An object's run format says nothing about the text around it; leaving the state
    // alone saves a change there and back. A mark takes the format it is read in.
    if (format.object) {
        if (format.mark)
            changeTo(format.state);
        writeObjects(text, charFormat(formatIndex));
        return;
    }
    writeRun(format.state, text);
}

// Highlighting and super- or subscript are written only inside a group of their run:
// some readers take \highlight0 for a black background or ignore \nosupersub, while
// every reader restores the format when a group closes. Outside such groups they are
// therefore always off.
void DocumentWriter::writeRun(const RunState &target, QStringView text)
{
    if (target.highlight == 0 && target.script == Script::Normal && target.scripts.isEmpty()) {
        changeTo(target);
        m_out.text(text, ansiFont());
        return;
    }
    const RunState outside = m_state;
    m_out.open();
    changeTo(target);
    m_out.text(text, ansiFont());
    m_out.close();
    m_state = outside;
}

// Each object character becomes its kept \object group or its picture; anything else in
// the run is text.
void DocumentWriter::writeObjects(QStringView text, const QTextCharFormat &format)
{
    const QByteArray objectRtf = format.property(prop::ObjectRtf).toByteArray();
    const QByteArray keptRtf = format.property(prop::KeptRtf).toByteArray();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QChar::ObjectReplacementCharacter)
            m_out.text(text.mid(i, 1), ansiFont());
        else if (format.boolProperty(prop::FieldResultEmpty))
            continue;  // the field around it has opened and closes after it
        else if (!keptRtf.isEmpty())
            m_out.raw(m_kept.apply(keptRtf));
        else if (!objectRtf.isEmpty())
            m_out.raw(objectRtf);
        else if (format.isImageFormat())
            writeRtfPicture(m_out, m_document, format.toImageFormat());
    }
}

// A link is a HYPERLINK field whose result holds the link's runs. The field's groups
// restore the character state on closing, so the tracked state does too.
void DocumentWriter::switchLink(const QString &href)
{
    if ((href.isEmpty() && m_link.isEmpty()) || href == m_link)
        return;
    if (!m_link.isEmpty()) {
        m_out.raw("}}}");
        m_state = m_stateBeforeLink;
    }
    m_link = href;
    if (href.isEmpty())
        return;
    m_stateBeforeLink = m_state;
    m_out.raw("{\\field{\\*\\fldinst{");
    m_out.text(hyperlinkInstruction(href), ansiFont());
    m_out.raw("}}{\\fldrslt{");
}

// A field other than a link keeps its instruction; its result holds the runs that carry
// it. A link inside it closes first, and the field's groups restore the state too.
void DocumentWriter::switchField(const QString &instruction, int number)
{
    if (number == m_fieldNumber && ((instruction.isEmpty() && m_field.isEmpty()) || instruction == m_field))
        return;
    switchLink(QString());
    if (!m_field.isEmpty()) {
        m_out.raw("}}}");
        m_state = m_stateBeforeField;
    }
    m_field = instruction;
    m_fieldNumber = number;
    if (instruction.isEmpty())
        return;
    m_stateBeforeField = m_state;
    m_out.raw("{\\field{\\*\\fldinst{");
    m_out.text(instruction, ansiFont());
    m_out.raw("}}{\\fldrslt{");
}

// The format is asked of `format` only the first time its index is seen.
template<typename FormatSource>
const DocumentWriter::Run &DocumentWriter::run(int formatIndex, FormatSource &&format)
{
    const auto index = size_t(std::max(0, formatIndex));
    if (index >= m_runs.size())
        m_runs.resize(index + 1);
    std::optional<Run> &cached = m_runs[index];
    if (!cached)
        cached = computeRun(format());
    return *cached;
}

DocumentWriter::Run DocumentWriter::computeRun(const QTextCharFormat &format)
{
    Run result;
    result.object = format.isImageFormat() || format.hasProperty(prop::ObjectRtf);
    // An object is written without its run's state, so its font and colours must not
    // enter the tables either. A mark's state leaves out what is only written in a group.
    result.mark = result.object && !format.hasProperty(prop::ObjectRtf)
                  && (format.hasProperty(prop::KeptRtf) || format.boolProperty(prop::FieldResultEmpty));
    if (!result.object) {
        result.state = computeRunState(format);
    } else if (result.mark) {
        result.state = markState(format);
    }
    if (isHyperlink(format))
        result.href = format.anchorHref();
    result.field = format.stringProperty(prop::FieldInstruction);
    result.fieldNumber = format.intProperty(prop::FieldNumber);
    return result;
}

RunState DocumentWriter::computeRunState(const QTextCharFormat &format)
{
    const CharFormat record = readCharFormat(format, m_defaultFont);
    const auto on = [&](quint32 effect) { return (record.effects & effect) != 0; };
    RunState state;
    state.font = m_fonts.indexOf(record.faceName, record.charset, record.pitchAndFamily);
    state.halfPoints = int(std::lround(record.height / 10.0));
    state.bold = on(CFE_BOLD);
    state.italic = on(CFE_ITALIC);
    state.underline = quint8(underlineKindOf(format, format.intProperty(prop::UnderlineKind), on(CFE_UNDERLINE)));
    state.strike = on(CFE_STRIKEOUT);
    state.protect = on(CFE_PROTECTED);
    state.hidden = isHidden(format);
    if (!on(CFE_AUTOCOLOR))
        state.color = m_colors.indexOf(colorFromRef(record.textColor));
    const QColor highlight = format.property(prop::HighlightColor).value<QColor>();
    if (highlight.isValid())
        state.highlight = m_colors.indexOf(highlight);
    else if (format.background().style() == Qt::SolidPattern)
        state.highlight = m_colors.indexOf(format.background().color());
    state.language = format.intProperty(prop::Language);
    state.offsetHalfPoints = int(std::lround(record.offset / 10.0));
    state.scripts = scriptRunFonts(format, m_fonts);
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        state.script = Script::Super;
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        state.script = Script::Sub;
    return state;
}

// The format of a paragraph mark, without what is only written inside a run's group
// (whose colour would otherwise enter the table unused).
RunState DocumentWriter::markState(const QTextCharFormat &format)
{
    QTextCharFormat mark = format;
    mark.clearProperty(prop::HighlightColor);
    mark.clearBackground();
    mark.clearProperty(QTextFormat::TextVerticalAlignment);
    clearScriptFonts(mark);
    return computeRunState(mark);
}

void DocumentWriter::changeTo(const RunState &target)
{
    if (target == m_state)
        return;
    if (target.font != m_state.font)
        m_out.word("f", target.font);
    if (target.halfPoints != m_state.halfPoints)
        m_out.word("fs", target.halfPoints);
    if (target.color != m_state.color)
        m_out.word("cf", target.color);
    if (target.highlight != m_state.highlight)
        m_out.word("highlight", target.highlight);
    if (target.language != m_state.language)
        m_out.word("lang", target.language != 0 ? target.language : kNoLanguage);
    changeEffects(target);
    if (target.scripts != m_state.scripts)
        writeScriptFonts(m_out, target.scripts);
    m_state = target;
}

void DocumentWriter::changeEffects(const RunState &target)
{
    const auto toggle = [&](bool from, bool to, const char *word) {
        if (from != to)
            to ? m_out.word(word) : m_out.word(word, 0);
    };
    toggle(m_state.bold, target.bold, "b");
    toggle(m_state.italic, target.italic, "i");
    if (target.underline != m_state.underline)
        m_out.word(kUnderlineKinds[target.underline].word);
    toggle(m_state.strike, target.strike, "strike");
    if (target.script != m_state.script && target.script != Script::Normal)
        m_out.word(target.script == Script::Super ? "super" : "sub");
    if (target.offsetHalfPoints != m_state.offsetHalfPoints) {
        if (target.offsetHalfPoints < 0)
            m_out.word("dn", -target.offsetHalfPoints);
        else
            m_out.word("up", target.offsetHalfPoints);
    }
    toggle(m_state.hidden, target.hidden, "v");
    toggle(m_state.protect, target.protect, "protect");
}

}  // namespace

QByteArray writeRtf(const QTextDocument *document)
{
    return DocumentWriter(document).write();
}

namespace {

bool cutsThroughTable(const QTextDocument *document, int start, int end)
{
    for (const QTextFrame *frame : document->rootFrame()->childFrames()) {
        const int frameStart = frame->firstPosition() - 1;  // its start mark
        const int frameEnd = frame->lastPosition() + 1;     // its end mark
        if (frameStart < end && start <= frameEnd)
            return true;
    }
    return false;
}

}  // namespace

QByteArray writeRtfRange(const QTextDocument *document, int start, int end)
{
    const int documentEnd = document->characterCount() - 1;
    start = std::clamp(start, 0, documentEnd);
    end = std::clamp(end, start, documentEnd);
    if (start == 0 && end == documentEnd) {
        WriteRange everything;  // tables and all
        everything.fileExtras = false;
        return DocumentWriter(document, everything).write();
    }
    if (cutsThroughTable(document, start, end)) {
        QTextCursor cursor(const_cast<QTextDocument *>(document));
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        QTextDocument copy;
        QTextCursor(&copy).insertFragment(cursor.selection());
        return writeRtfRange(&copy, 0, copy.characterCount() - 1);
    }
    return DocumentWriter(document, WriteRange{start, end, false}).write();
}

}  // namespace engine
