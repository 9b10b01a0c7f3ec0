#include "engine/codec/formatmapping.h"
#include "engine/codec/rtf/read/rtfreaderimpl.h"
#include "engine/codec/rtf/underlinekinds.h"
#include "engine/codec/textprops.h"

namespace engine::rtfin {

namespace {

constexpr qsizetype kMaxCachedFormats = 4096;

void setLineSpacing(const ParaState &state, ParaFormat &format)
{
    const int spacing = state.lineSpacing;
    if (spacing == 0) {
        format.lineSpacingRule = 0;
    } else if (spacing < 0) {
        format.lineSpacingRule = 4;  // exactly
        format.lineSpacing = -spacing;
    } else if (!state.lineMultiple) {
        format.lineSpacingRule = 3;  // at least
        format.lineSpacing = spacing;
    } else if ((spacing + 6) / 12 == 20) {
        // One line, as near as the multiple rule's 20ths of a line come to it.
        format.lineSpacingRule = 0;
    } else if (spacing == 360) {
        format.lineSpacingRule = 1;
    } else if (spacing == 480) {
        format.lineSpacingRule = 2;
    } else {
        // \slmult counts 240ths of a line, the multiple rule 20ths.
        format.lineSpacingRule = 5;
        format.lineSpacing = std::max(1, (spacing + 6) / 12);
    }
}

}  // namespace

int Reader::codePageOfFont(const FontEntry &font) const
{
    if (font.codePage > 0)
        return font.codePage;
    const int codePage = codePageForCharset(font.charset);
    return codePage ? codePage : m_ansiCodePage;
}

int Reader::codePageOf(const CharState &state) const
{
    const FontEntry *font = m_fonts.find(state.font);
    return font ? codePageOfFont(*font) : m_ansiCodePage;
}

bool Reader::isBullet(const ParaState &state) const
{
    const std::optional<ListItem> item = listItemOf(state);
    return item && item->style.kind == ListNumberKind::Bullet;
}

void Reader::forgetFormats()
{
    ++m_formatGeneration;
    m_charFormats.clear();
    m_blockFormats.clear();
    m_listReading.lastPn.reset();  // its text was decoded by the fonts
}

Reader::RecentFormat &Reader::recentFormat(const CharState &given)
{
    const CharState &state = shownState(given);
    RecentFormat &entry = m_recentFormats[state.slot(kRecentFormatBits)];
    if (entry.generation == m_formatGeneration && entry.state == state)
        return entry;
    const CachedFormat &cached = charFormatFor(state);
    entry = RecentFormat{state, cached.format, cached.index, m_formatGeneration};
    return entry;
}

QTextCharFormat Reader::charFormat(const CharState &state)
{
    return recentFormat(state).format;
}

int Reader::textFormatIndex(const CharState &state)
{
    RecentFormat &entry = recentFormat(state);
    if (entry.index < 0) {
        entry.index = m_builder.formatIndex(entry.format);
        const auto cached = m_charFormats.find(entry.state);
        if (cached != m_charFormats.end())
            cached->index = entry.index;
    }
    return entry.index;
}

// Runs of text in one group mostly share its state: its format is kept with it.
int Reader::currentTextFormatIndex()
{
    const GroupState &group = current();
    if (group.textFormat < 0 || group.textFormatGeneration != m_formatGeneration) {
        group.textFormat = textFormatIndex(group.chars);
        group.textFormatGeneration = m_formatGeneration;
    }
    return group.textFormat;
}

const Reader::CachedFormat &Reader::charFormatFor(const CharState &state)
{
    const auto cached = m_charFormats.constFind(state);
    if (cached != m_charFormats.constEnd())
        return cached.value();
    if (m_charFormats.size() >= kMaxCachedFormats)
        m_charFormats.clear();

    // Only what differs from Qt's defaults goes into the format: fewer properties make
    // every run cheaper for the document to store and compare, and an absent property
    // reads back as the default (normal weight, automatic colour, no offset).
    CharFormat record;
    record.mask = CFM_SIZE;
    record.height = state.halfPoints * 10;
    const auto effect = [&record](bool on, quint32 mask, quint32 bit) {
        if (on) {
            record.mask |= mask;
            record.effects |= bit;
        }
    };
    effect(state.bold, CFM_BOLD, CFE_BOLD);
    effect(state.italic, CFM_ITALIC, CFE_ITALIC);
    effect(state.underline != 0, CFM_UNDERLINE, CFE_UNDERLINE);
    effect(state.strike, CFM_STRIKEOUT, CFE_STRIKEOUT);
    effect(state.protect, CFM_PROTECTED, CFE_PROTECTED);
    if (state.baselineTwips != 0) {
        record.mask |= CFM_OFFSET;
        record.offset = state.baselineTwips;
    }
    const QColor color = m_colors.at(state.color);
    if (color.isValid()) {
        record.mask |= CFM_COLOR;
        record.textColor = refFromColor(color);
    }
    if (const FontEntry *font = m_fonts.find(state.font)) {
        record.mask |= CFM_FACE | CFM_CHARSET;
        record.faceName = font->name.left(kMaxFaceNameLength);
        record.charset = quint8(font->charset);
        record.pitchAndFamily = font->pitchAndFamily;
    } else if (!m_fonts.find(m_defaultFont)) {
        // Text in no named font is in the face every reader of RTF assumes then.
        record.mask |= CFM_FACE;
        record.faceName = QStringLiteral("Times New Roman");
        record.pitchAndFamily = 0x12;  // variable pitch, roman
    }

    QTextCharFormat format;
    applyCharFormat(record, format);
    if (state.underline > 1) {
        const UnderlineKind &kind = kUnderlineKinds[state.underline];
        format.setUnderlineStyle(kind.style);
        if (!kind.qtShowsIt)
            format.setProperty(prop::UnderlineKind, int(state.underline));
    }
    if (state.hidden)
        format.setProperty(prop::Hidden, true);
    constexpr int kNoLanguage = 1024;  // "no proofing", what writers use for none
    if (state.language > 0 && state.language != kNoLanguage)
        format.setProperty(prop::Language, state.language);
    if (state.highlight > 0) {
        const QColor highlight = m_colors.at(state.highlight);
        if (highlight.isValid()) {
            format.setProperty(prop::HighlightColor, highlight);
            format.setBackground(highlight);
        }
    }
    if (state.vertical == 1)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (state.vertical == 2)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    addScriptProperties(state, format);
    if (state.field >= 0 && state.field < m_fieldInstructions.size()) {
        format.setProperty(prop::FieldInstruction, m_fieldInstructions.at(state.field));
        format.setProperty(prop::FieldNumber, state.field + 1);
    }
    if (state.link >= 0 && state.link < m_links.size()) {
        format.setAnchor(true);
        format.setAnchorHref(m_links.at(state.link));
    }
    return m_charFormats.insert(state, CachedFormat{format}).value();
}

QTextBlockFormat Reader::blockFormat(const ParaState &state)
{
    const auto cached = m_blockFormats.constFind(state);
    if (cached != m_blockFormats.constEnd())
        return cached.value();
    if (m_blockFormats.size() >= kMaxCachedFormats)
        m_blockFormats.clear();

    ParaFormat record;
    record.mask = PFM_ALL;
    record.startIndent = state.leftIndent + state.firstIndent;
    record.offset = -state.firstIndent;
    record.rightIndent = state.rightIndent;
    record.alignment = state.alignment;
    record.numbering = isBullet(state) ? PFN_BULLET : PFN_NONE;
    record.spaceBefore = state.spaceBefore;
    record.spaceAfter = state.spaceAfter;
    setLineSpacing(state, record);

    QTextBlockFormat format;
    if (state.listOverride >= 0 || state.oldStyleList >= 0)
        format.setProperty(listprop::Marker, true);
    setTabStops(state, record, format);
    applyParaFormat(record, format);
    setDirection(state, format);
    if (state.pageBreakBefore) {
        format.setProperty(prop::PageBreakBefore, true);
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    }
    return m_blockFormats.insert(state, format).value();
}

}  // namespace engine::rtfin
