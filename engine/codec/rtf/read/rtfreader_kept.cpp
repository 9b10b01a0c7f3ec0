#include "engine/codec/rtf/read/rtfreaderimpl.h"
#include "engine/codec/rtf/read/notemark.h"
#include "engine/codec/textprops.h"

#include <QTextDocument>

// Parts of a document the editor does not show as text are kept as their RTF, to be
// written back: headers, footers, the stylesheet and the information group go with the
// document; footnotes, endnotes, comments, bookmarks, text boxes and drawing objects stay
// where they stand, shown as a mark. Fields other than links keep their instruction on
// the runs of their result.
namespace engine::rtfin {

namespace {

constexpr int kMaxNotes = 10000;
constexpr qsizetype kMaxHeaderBytes = 64 * 1024 * 1024;
constexpr char kFootnoteNumber[] = "\\chftn";

constexpr int kMaxPageTwips = 1440 * 200;

// A paper edge: 0 (none) without a value.
int pageTwips(const RtfToken &token)
{
    return token.hasParameter ? std::clamp(token.parameter, 0, kMaxPageTwips) : 0;
}

// A margin or a header's distance: 0 is one, so without a value there is none.
int distanceTwips(const RtfToken &token)
{
    return token.hasParameter ? std::clamp(token.parameter, 0, kMaxPageTwips) : PageSetup::kNotGiven;
}

}  // namespace

bool Reader::isHeaderGroup(RtfWord word)
{
    switch (word) {
    case RtfWord::header: case RtfWord::headerl: case RtfWord::headerr: case RtfWord::headerf:
    case RtfWord::footer: case RtfWord::footerl: case RtfWord::footerr: case RtfWord::footerf:
    case RtfWord::info:
    case RtfWord::stylesheet:
        return true;
    default:
        return false;
    }
}

// The groups that come before a comment belong to it and go with it.
bool Reader::isNoteGroup(RtfWord word)
{
    switch (word) {
    case RtfWord::footnote:
    case RtfWord::annotation:
    case RtfWord::atnid:
    case RtfWord::atnauthor:
    case RtfWord::atndate:
    case RtfWord::atntime:
    case RtfWord::atnref:
    case RtfWord::atnparent:
    case RtfWord::atnicn:
    case RtfWord::bkmkstart:
    case RtfWord::bkmkend:
    case RtfWord::shp:
    case RtfWord::do_:
        return true;
    default:
        return false;
    }
}

// Only groups of the body's own text are kept: inside a field, an object or a picture
// they belong to something the reader shows otherwise.
bool Reader::canKeepGroup() const
{
    return depth() > 1 && !sharesPastLimit() && current().destination == Destination::Body
           && m_fields.empty() && current().chars.object < 0;
}

// What stands before the word in its group has been read as text already.
bool Reader::keepGroup(RtfWord word, qsizetype offset, bool starred)
{
    if (word == RtfWord::shp && !shapeHoldsText()) {
        // A picture or drawing shown by its result, read as usual.
        if (handleDestination(word))
            return true;
        return skipDestination("shp", offset);
    }
    if (!skipGroup())
        return false;
    QByteArray bytes = (starred ? QByteArray("{\\*") : QByteArray("{")) + m_bytes.mid(offset, m_tokens.position() - offset);
    if (isHeaderGroup(word)) {
        if (m_extras.headerGroups.size() + bytes.size() <= kMaxHeaderBytes)
            m_extras.headerGroups += bytes + "\r\n";
        return true;
    }
    keepNote(word, std::move(bytes));
    return true;
}

// A shape with a text box is kept whole; its text would otherwise be lost.
bool Reader::shapeHoldsText()
{
    const qsizetype start = m_tokens.position();
    m_tokens.skipGroup();
    const bool holdsText = QByteArrayView(m_bytes).sliced(start, m_tokens.position() - start).contains("\\shptxt");
    m_tokens.setPosition(start);
    return holdsText;
}

QByteArray Reader::keptGroupFrom(qsizetype offset) const
{
    QByteArray group = '{' + m_bytes.mid(offset, m_tokens.position() - offset);
    RtfTokenizer tokens(group);
    int open = 0;
    for (RtfToken token = tokens.next(); token.kind != RtfTokenKind::End; token = tokens.next()) {
        if (token.kind == RtfTokenKind::GroupOpen)
            ++open;
        else if (token.kind == RtfTokenKind::GroupClose)
            --open;
    }
    return open > 0 ? QByteArray() : group;
}

void Reader::keepFieldInstruction(const QString &instruction, CharState &chars)
{
    constexpr qsizetype kMaxKeptFields = 100000;
    if (instruction.trimmed().isEmpty() || m_fieldInstructions.size() >= kMaxKeptFields)
        return;
    m_fieldInstructions.append(instruction);
    chars.field = int(m_fieldInstructions.size() - 1);
}

// A field holds what its result shows, and each field around it too.
void Reader::noteFieldShown()
{
    for (auto field = m_fields.rbegin(); field != m_fields.rend() && !field->shown; ++field)
        field->shown = true;
}

// A field whose result shows nothing (a page reference not yet worked out, a field
// without \fldrslt) stands in the text as an empty mark that carries its instruction,
// and is written back as the field with an empty result. Only fields in the body's own
// text: an empty one inside another field or an object goes with what holds it.
void Reader::keepEmptyField(const Field &field)
{
    if (field.resultIsInstruction || !m_fields.empty() || current().destination != Destination::Body
        || current().chars.object >= 0 || m_notes >= kMaxNotes)
        return;
    CharState chars = current().chars;
    if (field.kept >= 0)
        chars.field = field.kept;
    else
        keepFieldInstruction(field.instruction, chars);
    if (chars.field < 0)
        return;
    ++m_notes;
    QTextImageFormat mark;
    mark.merge(charFormat(chars));
    mark.merge(emptyFieldMark(m_document, field.instruction, m_resourcePrefix));
    beginContent();
    m_builder.appendImage(mark);
}

void Reader::keepNote(RtfWord word, QByteArray bytes)
{
    if (word == RtfWord::bkmkstart || word == RtfWord::bkmkend || word == RtfWord::shp || word == RtfWord::do_) {
        keepMark(word == RtfWord::bkmkstart || word == RtfWord::bkmkend ? NoteKind::Bookmark : NoteKind::Shape, bytes);
        return;
    }
    if (word != RtfWord::footnote && word != RtfWord::annotation) {
        m_noteAnchor += bytes;  // a comment's id, author and date
        return;
    }
    const QByteArray group = bytes;
    const QByteArray anchor = std::exchange(m_noteAnchor, QByteArray());
    if (anchor == kFootnoteNumber)
        bytes = "{\\super\\chftn" + bytes + '}';  // the number's group holds its note, as readers expect
    else
        bytes.prepend(anchor);
    if (m_notes >= kMaxNotes) {
        ++m_skipped.destinations;
        return;
    }
    ++m_notes;
    NoteKind kind = NoteKind::Comment;
    if (word == RtfWord::footnote) {
        const bool endnote = bytes.contains("\\ftnalt");
        kind = endnote ? NoteKind::Endnote : NoteKind::Footnote;
        ++(endnote ? m_endnotes : m_footnotes);
    }
    appendMark(kind, kind == NoteKind::Endnote ? m_endnotes : m_footnotes, group, bytes);
}

void Reader::keepMark(NoteKind kind, const QByteArray &bytes)
{
    if (m_notes >= kMaxNotes) {
        ++m_skipped.destinations;
        return;
    }
    ++m_notes;
    appendMark(kind, m_notes, bytes, bytes);
}

// The mark shows `shown`; `kept` is written back in its place.
void Reader::appendMark(NoteKind kind, int number, QByteArrayView shown, const QByteArray &kept)
{
    QTextImageFormat mark;
    mark.merge(charFormat(current().chars));
    mark.merge(noteMark(m_document, kind, number, shown, m_resourcePrefix));
    mark.setProperty(prop::KeptRtf, kept);
    beginContent();
    m_builder.appendImage(mark);
}

void Reader::handlePageWord(RtfWord word, const RtfToken &token)
{
    PageSetup &page = m_extras.page;
    switch (word) {
    case RtfWord::paperw: page.paperWidth = pageTwips(token); break;
    case RtfWord::paperh: page.paperHeight = pageTwips(token); break;
    case RtfWord::margl: page.marginLeft = distanceTwips(token); break;
    case RtfWord::margr: page.marginRight = distanceTwips(token); break;
    case RtfWord::margt: page.marginTop = distanceTwips(token); break;
    case RtfWord::margb: page.marginBottom = distanceTwips(token); break;
    case RtfWord::landscape: page.landscape = true; break;
    case RtfWord::facingp: page.facingPages = true; break;
    case RtfWord::chftn:
        // The automatic number before a footnote is written back with the note.
        if (current().destination == Destination::Body)
            m_noteAnchor = kFootnoteNumber;
        break;
    case RtfWord::chatn:
        if (current().destination == Destination::Body)
            m_noteAnchor += "\\chatn ";
        break;
    default:
        if (current().destination == Destination::Body)
            handleSectionPageWord(word, token);
        break;
    }
}

// The first section's page, where a writer states it for the section rather than the
// document, is the page the document's text is laid out on.
void Reader::handleSectionPageWord(RtfWord word, const RtfToken &token)
{
    PageSetup &page = m_extras.page;
    if (m_pastFirstSection)
        return;
    switch (word) {
    case RtfWord::sect: m_pastFirstSection = true; break;
    case RtfWord::pgwsxn: page.paperWidth = pageTwips(token); break;
    case RtfWord::pghsxn: page.paperHeight = pageTwips(token); break;
    case RtfWord::marglsxn: page.marginLeft = distanceTwips(token); break;
    case RtfWord::margrsxn: page.marginRight = distanceTwips(token); break;
    case RtfWord::margtsxn: page.marginTop = distanceTwips(token); break;
    case RtfWord::margbsxn: page.marginBottom = distanceTwips(token); break;
    case RtfWord::lndscpsxn: page.landscape = true; break;
    case RtfWord::headery: page.headerY = distanceTwips(token); break;
    case RtfWord::footery: page.footerY = distanceTwips(token); break;
    case RtfWord::titlepg: page.titlePage = true; break;
    default: break;
    }
}

void Reader::storeExtras()
{
    if (m_appends)
        return;
    m_extras.sourceDefaultFont = std::max(0, m_defaultFont);
    setDocumentExtras(m_document, m_extras);
}

}  // namespace engine::rtfin
