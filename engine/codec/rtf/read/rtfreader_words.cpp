#include "engine/codec/rtf/read/rtfreaderimpl.h"
#include "engine/codec/rtf/read/hyperlinkfield.h"
#include "engine/codec/rtf/underlinekinds.h"

#include <utility>

namespace engine::rtfin {

namespace {

bool toggleOn(const RtfToken &token)
{
    return !token.hasParameter || token.parameter != 0;
}

int valueOr(const RtfToken &token, int fallback)
{
    return token.hasParameter ? token.parameter : fallback;
}

// Lengths in twips are kept within what a page can hold, so later arithmetic cannot
// overflow.
int twips(const RtfToken &token)
{
    constexpr int kMaxTwips = 1440 * 1000;
    return std::clamp(valueOr(token, 0), -kMaxTwips, kMaxTwips);
}

}  // namespace

bool Reader::skipDestination(QByteArrayView name, qsizetype offset)
{
    ++m_skipped.destinations;
    qCDebug(lcRtf) << "destination" << name << "skipped at byte" << offset;
    return skipGroup();
}

bool Reader::handleWord(const RtfToken &token)
{
    const RtfControlWord *entry = findRtfControlWord(token.data);
    const bool starred = std::exchange(m_starPending, false);
    const bool canSkip = depth() > 1;  // never skip the outermost group
    if (!entry)
        return !(starred && canSkip) || skipDestination(token.data, token.offset);
    if (entry->kind == RtfWordKind::Destination && (isHeaderGroup(entry->id) || isNoteGroup(entry->id))
        && canKeepGroup())
        return keepGroup(entry->id, token.offset, starred);
    if (entry->kind == RtfWordKind::Destination) {
        // The outermost group is never skipped; a level past the state limit could
        // only start its destination in the state of a group around it.
        if (!canSkip) {
            handleDestination(entry->id);
            return true;
        }
        m_destinationOffset = token.offset;
        if (!sharesPastLimit() && handleDestination(entry->id)) {
            if (entry->id == RtfWord::pict)
                m_pictureOffset = token.offset;
            return true;
        }
        return skipDestination(token.data, token.offset);
    }
    if (starred && canSkip)
        return skipDestination(token.data, token.offset);

    const RtfWord word = entry->id;
    switch (current().destination) {
    case Destination::FontTable:
        handleFontWord(word, token);
        return true;
    case Destination::ColorTable:
        if (word == RtfWord::red || word == RtfWord::green || word == RtfWord::blue) {
            const int value = std::clamp(valueOr(token, 0), 0, 255);
            (word == RtfWord::red ? m_red : word == RtfWord::green ? m_green : m_blue) = value;
            m_colorGiven = true;
        }
        return true;
    case Destination::Picture:
        handlePictureWord(word, token);
        return true;
    case Destination::ListTable:
    case Destination::List:
    case Destination::ListLevel:
    case Destination::ListOverrideTable:
    case Destination::ListOverride:
    case Destination::ParagraphNumbering:
    case Destination::LevelText:
    case Destination::OverrideLevel:
    case Destination::PnTextBefore:
    case Destination::PnTextAfter:
        handleListWord(word, token);
        return true;
    default:
        break;
    }
    if (word == RtfWord::u) {
        handleUnicode(valueOr(token, 0));
        return true;
    }
    // The words of characters and paragraphs, most of those in a document, concern
    // nothing else.
    if (entry->kind != RtfWordKind::Symbol) {
        if (handleCharacterWord(word, token))
            return true;
        if (handleParagraphWord(word, token)) {
            noteParagraphChange();
            return true;
        }
    }
    handlePageWord(word, token);
    if (entry->kind == RtfWordKind::Symbol) {
        handleSymbolWord(word);
        return true;
    }
    handleDocumentWord(word, token);
    handleTableWord(word, token);
    return true;
}

// Switches the current group to the destination the word starts. Returns false when
// the group is to be skipped.
bool Reader::handleDestination(RtfWord word)
{
    GroupState &group = top();
    const Destination current = group.destination;
    const bool inBody = current == Destination::Body;
    switch (word) {
    // The document's tables count only where its text would: inside a picture or a shape
    // they belong to something else.
    case RtfWord::fonttbl:
        if (!inBody)
            return false;
        group.destination = Destination::FontTable;
        m_fontNameBytes.clear();
        m_font = FontEntry();
        return true;
    case RtfWord::colortbl:
        if (!inBody)
            return false;
        group.destination = Destination::ColorTable;
        m_colors.clear();
        m_extras.sourceColors.clear();
        forgetFormats();
        m_colorGiven = false;
        m_red = m_green = m_blue = 0;
        return true;
    case RtfWord::pict:
        if (!inBody)
            return false;
        group.destination = Destination::Picture;
        group.endsPicture = true;
        m_picture = PictureData();
        return true;
    case RtfWord::shppict:
        if (!inBody)
            return false;
        group.inShapePicture = true;
        m_shapePictureShown = false;
        return true;
    case RtfWord::nonshppict:
        // The copy for readers without \shppict: skipped when the \shppict before it
        // gave a picture (each \shppict stands for one \nonshppict).
        if (m_shapePictureShown) {
            m_shapePictureShown = false;
            return false;
        }
        return inBody;
    case RtfWord::shp:
        if (!inBody)
            return false;
        group.destination = Destination::Container;
        return true;
    case RtfWord::shprslt:
    case RtfWord::result:
        if (current != Destination::Container)
            return false;
        group.destination = Destination::Body;
        return true;
    case RtfWord::object:
        // An object is a group of its own: the outermost group is the document.
        if (!inBody || depth() < 2)
            return false;
        m_objects.push_back(Object{m_destinationOffset, group.chars.object});
        group.chars.object = int(m_objects.size() - 1);
        group.destination = Destination::Container;
        return true;
    case RtfWord::field:
        if ((!inBody && current != Destination::FieldInstruction) || int(m_fields.size()) >= kMaxRtfFieldDepth)
            return false;
        m_fields.push_back(Field{QString(), current == Destination::FieldInstruction});
        group.endsField = true;
        group.destination = Destination::Container;
        return true;
    case RtfWord::fldinst:
        if (m_fields.empty() || current != Destination::Container)
            return false;
        group.destination = Destination::FieldInstruction;
        group.instructionField = int(m_fields.size() - 1);
        return true;
    case RtfWord::fldrslt: {
        if (m_fields.empty() || current != Destination::Container)
            return false;
        Field &field = m_fields.back();
        if (field.resultIsInstruction) {
            // The result of a field inside another's instruction is part of that one.
            group.destination = Destination::FieldInstruction;
            group.instructionField = int(m_fields.size() - 2);
            return true;
        }
        group.destination = Destination::Body;
        const QString target = hyperlinkTarget(field.instruction);
        if (!target.isEmpty()) {
            m_links.append(target);
            group.chars.link = int(m_links.size() - 1);
        } else {
            keepFieldInstruction(field.instruction, group.chars);
            field.kept = group.chars.field;
        }
        return true;
    }
    case RtfWord::defpap:
        if (!inBody)
            return false;
        group.destination = Destination::DefaultParagraph;
        return true;
    case RtfWord::nesttableprops:
        if (!inBody)
            return false;
        group.inNestedTableProps = true;
        return true;
    default:
        return openListDestination(word, group);
    }
}

void Reader::handleFontWord(RtfWord word, const RtfToken &token)
{
    switch (word) {
    case RtfWord::f:
        if (!m_fontNameBytes.isEmpty() || !m_font.name.isEmpty())
            commitFontEntry();
        m_fontNumber = valueOr(token, 0);
        m_font = FontEntry();
        break;
    case RtfWord::fnil: m_font.pitchAndFamily = (m_font.pitchAndFamily & 0x0f); break;
    case RtfWord::froman: m_font.pitchAndFamily = (m_font.pitchAndFamily & 0x0f) | 0x10; break;
    case RtfWord::fswiss: m_font.pitchAndFamily = (m_font.pitchAndFamily & 0x0f) | 0x20; break;
    case RtfWord::fmodern: m_font.pitchAndFamily = (m_font.pitchAndFamily & 0x0f) | 0x30; break;
    case RtfWord::fscript: m_font.pitchAndFamily = (m_font.pitchAndFamily & 0x0f) | 0x40; break;
    case RtfWord::fdecor: m_font.pitchAndFamily = (m_font.pitchAndFamily & 0x0f) | 0x50; break;
    case RtfWord::fcharset: m_font.charset = std::clamp(valueOr(token, 0), 0, 255); break;
    case RtfWord::fprq:
        m_font.pitchAndFamily = (m_font.pitchAndFamily & 0xf0) | quint8(std::clamp(valueOr(token, 0), 0, 2));
        break;
    case RtfWord::cpg: m_font.codePage = std::max(0, valueOr(token, 0)); break;
    case RtfWord::u: handleUnicode(valueOr(token, 0)); break;
    default: break;
    }
}

void Reader::handleDocumentWord(RtfWord word, const RtfToken &token)
{
    switch (word) {
    case RtfWord::ansi: m_ansiCodePage = 1252; break;
    case RtfWord::mac: m_ansiCodePage = 10000; break;
    case RtfWord::pc: m_ansiCodePage = 437; break;
    case RtfWord::pca: m_ansiCodePage = 850; break;
    case RtfWord::ansicpg:
        if (valueOr(token, 0) > 0)
            m_ansiCodePage = token.parameter;
        break;
    case RtfWord::deff:
        m_defaultFont = valueOr(token, 0);
        top().chars.font = m_defaultFont;
        break;
    case RtfWord::deflang:
        m_defaultLanguage = std::max(0, valueOr(token, 0));
        top().chars.language = m_defaultLanguage;
        break;
    case RtfWord::uc: top().unicodeSkip = quint8(std::clamp(valueOr(token, 1), 0, 16)); break;
    default: break;
    }
}

bool Reader::handleCharacterWord(RtfWord word, const RtfToken &token)
{
    // The group gets a state of its own only for a word that changes it.
    const auto chars = [this]() -> CharState & { return top().chars; };
    switch (word) {
    case RtfWord::plain: {
        const CharState &now = current().chars;
        CharState reset;
        reset.font = m_defaultFont;
        reset.language = m_defaultLanguage;
        reset.link = now.link;
        reset.field = now.field;
        reset.object = now.object;
        chars() = reset;
        break;
    }
    case RtfWord::b: chars().bold = toggleOn(token); break;
    case RtfWord::i: chars().italic = toggleOn(token); break;
    case RtfWord::strike:
    case RtfWord::striked: chars().strike = toggleOn(token); break;
    case RtfWord::v: chars().hidden = toggleOn(token); break;
    case RtfWord::protect: chars().protect = toggleOn(token); break;
    case RtfWord::ul: case RtfWord::uld: case RtfWord::uldash: case RtfWord::uldashd:
    case RtfWord::uldashdd: case RtfWord::uldb: case RtfWord::ulhwave: case RtfWord::ulldash:
    case RtfWord::ulth: case RtfWord::ulthd: case RtfWord::ulthdash: case RtfWord::ulthdashd:
    case RtfWord::ulthdashdd: case RtfWord::ulthldash: case RtfWord::ululdbwave: case RtfWord::ulw:
    case RtfWord::ulwave:
        chars().underline = toggleOn(token) ? quint8(std::max(1, underlineKindOf(token.data))) : 0;
        break;
    case RtfWord::ulnone: chars().underline = 0; break;
    case RtfWord::f: chars().font = valueOr(token, 0); break;
    case RtfWord::fs: {
        const int size = valueOr(token, 24);
        chars().halfPoints = size > 0 ? std::min(size, 3276) : 24;
        break;
    }
    case RtfWord::cf: chars().color = valueOr(token, 0); break;
    case RtfWord::cb:
    case RtfWord::chcbpat:
    case RtfWord::highlight: chars().highlight = valueOr(token, 0); break;
    case RtfWord::lang: chars().language = std::max(0, valueOr(token, 0)); break;
    // "\super0" and "\sub0" switch their own position off, as other toggles do.
    case RtfWord::super: {
        CharState &own = chars();
        own.vertical = toggleOn(token) ? 1 : (own.vertical == 1 ? 0 : own.vertical);
        break;
    }
    case RtfWord::sub: {
        CharState &own = chars();
        own.vertical = toggleOn(token) ? 2 : (own.vertical == 2 ? 0 : own.vertical);
        break;
    }
    case RtfWord::nosupersub: {
        CharState &own = chars();
        own.vertical = 0;
        own.baselineTwips = 0;
        break;
    }
    case RtfWord::up: chars().baselineTwips = std::clamp(valueOr(token, 6), 0, 3276) * 10; break;
    case RtfWord::dn: chars().baselineTwips = -std::clamp(valueOr(token, 6), 0, 3276) * 10; break;
    default: return handleScriptWord(word, token);
    }
    return true;
}

bool Reader::handleParagraphWord(RtfWord word, const RtfToken &token)
{
    const auto para = [this]() -> ParaState & { return top().para; };
    switch (word) {
    case RtfWord::pard: para() = m_defaultParagraph; break;
    case RtfWord::ql: para().alignment = PFA_LEFT; break;
    case RtfWord::qr: para().alignment = PFA_RIGHT; break;
    case RtfWord::qc: para().alignment = PFA_CENTER; break;
    case RtfWord::qj:
    case RtfWord::qd: para().alignment = PFA_JUSTIFY; break;
    case RtfWord::li:
    case RtfWord::lin: para().leftIndent = twips(token); break;
    case RtfWord::ri:
    case RtfWord::rin: para().rightIndent = twips(token); break;
    case RtfWord::fi: para().firstIndent = twips(token); break;
    case RtfWord::sb: para().spaceBefore = twips(token); break;
    case RtfWord::sa: para().spaceAfter = twips(token); break;
    case RtfWord::sl: para().lineSpacing = twips(token); break;
    case RtfWord::slmult: para().lineMultiple = toggleOn(token); break;
    case RtfWord::intbl: para().inTable = true; break;
    case RtfWord::itap:
        // In a nested row's definition it names the row's level, not the paragraph's.
        if (current().inNestedTableProps)
            return false;
        para().tableLevel = std::clamp(valueOr(token, 1), 0, 1024);
        break;
    case RtfWord::pagebb: para().pageBreakBefore = true; break;
    case RtfWord::ls: para().listOverride = std::max(0, valueOr(token, 0)); break;
    case RtfWord::ilvl: para().listLevel = std::clamp(valueOr(token, 0), 0, kListLevels - 1); break;
    default: return handleTabWord(word, twips(token));
    }
    return true;
}

// Body text takes the paragraph properties set last before its mark; \defpap's become
// what \pard resets to.
void Reader::noteParagraphChange()
{
    switch (current().destination) {
    case Destination::Body:
        m_lastParagraph = current().para;
        m_paragraphSet = true;
        break;
    case Destination::DefaultParagraph:
        m_defaultParagraph = current().para;
        break;
    default:
        break;
    }
}

void Reader::handleSymbolWord(RtfWord word)
{
    switch (word) {
    case RtfWord::par:
        if (current().destination == Destination::Body)
            endParagraph();
        break;
    case RtfWord::page:
        if (current().destination == Destination::Body)
            breakPage();
        break;
    case RtfWord::line: deliverChar(QChar::LineSeparator); break;
    case RtfWord::tab: deliverChar(u'\t'); break;
    case RtfWord::emdash: deliverChar(0x2014); break;
    case RtfWord::endash: deliverChar(0x2013); break;
    case RtfWord::emspace: deliverChar(0x2003); break;
    case RtfWord::enspace: deliverChar(0x2002); break;
    case RtfWord::qmspace: deliverChar(0x2005); break;
    case RtfWord::bullet: deliverChar(0x2022); break;
    case RtfWord::lquote: deliverChar(0x2018); break;
    case RtfWord::rquote: deliverChar(0x2019); break;
    case RtfWord::ldblquote: deliverChar(0x201C); break;
    case RtfWord::rdblquote: deliverChar(0x201D); break;
    case RtfWord::zwj: deliverChar(0x200D); break;
    case RtfWord::zwnj: deliverChar(0x200C); break;
    case RtfWord::ltrmark: deliverChar(0x200E); break;
    case RtfWord::rtlmark: deliverChar(0x200F); break;
    default: break;
    }
}

void Reader::handlePictureWord(RtfWord word, const RtfToken &token)
{
    PictureData &picture = m_picture;
    const int value = std::clamp(valueOr(token, 0), 0, 1 << 24);
    switch (word) {
    case RtfWord::pngblip: picture.kind = PictureKind::Png; break;
    case RtfWord::jpegblip: picture.kind = PictureKind::Jpeg; break;
    case RtfWord::dibitmap: picture.kind = PictureKind::Dib; break;
    case RtfWord::wbitmap: picture.kind = PictureKind::Ddb; break;
    case RtfWord::emfblip:
    case RtfWord::wmetafile:
    case RtfWord::pmmetafile:
    case RtfWord::macpict: picture.kind = PictureKind::Metafile; break;
    case RtfWord::picw: picture.width = value; break;
    case RtfWord::pich: picture.height = value; break;
    case RtfWord::picwgoal: picture.goalWidth = value; break;
    case RtfWord::pichgoal: picture.goalHeight = value; break;
    case RtfWord::picscalex: picture.scaleX = value; break;
    case RtfWord::picscaley: picture.scaleY = value; break;
    case RtfWord::wbmbitspixel: picture.bitsPerPixel = value; break;
    case RtfWord::wbmwidthbytes: picture.widthBytes = value; break;
    default: break;
    }
}

void Reader::handleUnicode(int value)
{
    int code = value < 0 ? value + 65536 : value;
    // Beyond Unicode, or one of QTextDocument's frame markers, which would split the
    // paragraph as a paragraph mark does.
    if (code < 0 || code > 0x10FFFF || code == 0xFDD0 || code == 0xFDD1)
        code = 0xFFFD;
    // Control characters carry no text, and an object replacement character without its
    // object stands for nothing.
    if ((code >= 0x20 && code != 0xFFFC) || code == '\t') {
        // Characters beyond the first plane take two UTF-16 units.
        char16_t units[2];
        const qsizetype count = QChar::requiresSurrogates(char32_t(code)) ? 2 : 1;
        if (count == 2) {
            units[0] = QChar::highSurrogate(char32_t(code));
            units[1] = QChar::lowSurrogate(char32_t(code));
        } else {
            units[0] = char16_t(code);
        }
        deliverText(QStringView(units, count));
    }
    m_unicodeSkipLeft = current().unicodeSkip;
}

}  // namespace engine::rtfin
