#include "richedit/wwriched.h"

#include "platform/dialogs.h"
#include "richedit/Wwintl.h"

#include <algorithm>

using namespace engine;

namespace {

constexpr quint32 kStyleMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
constexpr int kTwipsPerPoint = 20;
constexpr int kBulletMinimumIndentPoints = 10;
constexpr int kBulletOffsetTwips = 720;

quint32 effectsOf(TFontStyles style)
{
    return quint32(style.toInt()) & kStyleMask;  // the style bits are the effect bits
}

// The automatic colour travels as an effect; any other colour as its RGB value.
void putColor(CharFormat &format, TColor color)
{
    if (color == clWindowText)
        format.effects |= CFE_AUTOCOLOR;
    else
        format.textColor = ColorToRGB(color);
}

}  // namespace

// ---- TTextAttributes ----

CharFormat TTextAttributes::read() const
{
    return m_owner->charFormat(m_type == atSelected);
}

void TTextAttributes::write(const CharFormat &format)
{
    m_owner->setCharFormat(format, m_type == atSelected);
}

QString TTextAttributes::Name() const
{
    return read().faceName.left(kMaxFaceNameLength);
}

void TTextAttributes::SetName(const QString &name)
{
    CharFormat format;
    format.mask = CFM_FACE;
    format.faceName = name.left(kMaxFaceNameLength);
    write(format);
}

TFontStyles TTextAttributes::Style() const
{
    return TFontStyles::fromInt(int(read().effects & kStyleMask));
}

void TTextAttributes::SetStyle(TFontStyles style)
{
    CharFormat format;
    format.mask = kStyleMask;
    format.effects = effectsOf(style);
    write(format);
}

int TTextAttributes::Size() const
{
    return read().height / kTwipsPerPoint;
}

void TTextAttributes::SetSize(int points)
{
    CharFormat format;
    format.mask = CFM_SIZE;
    format.height = points * kTwipsPerPoint;
    write(format);
}

TColor TTextAttributes::Color() const
{
    const CharFormat format = read();
    return (format.effects & CFE_AUTOCOLOR) ? clWindowText : format.textColor;
}

void TTextAttributes::SetColor(TColor color)
{
    CharFormat format;
    format.mask = CFM_COLOR;
    putColor(format, color);
    write(format);
}

quint8 TTextAttributes::Charset() const
{
    return read().charset;
}

void TTextAttributes::SetCharset(quint8 charset)
{
    CharFormat format;
    format.mask = CFM_CHARSET;
    format.charset = charset;
    write(format);
}

TFontPitch TTextAttributes::Pitch() const
{
    switch (read().pitchAndFamily & 3) {
    case FIXED_PITCH: return fpFixed;
    case VARIABLE_PITCH: return fpVariable;
    default: return fpDefault;
    }
}

// ---- TParaAttributes ----

ParaFormat TParaAttributes::read() const
{
    return m_owner->paraFormat();
}

void TParaAttributes::write(const ParaFormat &format)
{
    m_owner->setParaFormat(format);
}

// Justified and mixed paragraphs have no button of their own; they read as left.
TAlignment TParaAttributes::Alignment() const
{
    switch (read().alignment) {
    case PFA_RIGHT: return taRightJustify;
    case PFA_CENTER: return taCenter;
    case PFA_JUSTIFY: return taJustify;
    default: return taLeftJustify;
    }
}

void TParaAttributes::SetAlignment(TAlignment alignment)
{
    ParaFormat format;
    format.mask = PFM_ALIGNMENT;
    format.alignment = quint16(alignment + 1);
    write(format);
}

TNumberingStyle TParaAttributes::Numbering() const
{
    return read().numbering == PFN_BULLET ? nsBullet : nsNone;
}

// Bullets hang in the offset: switching them off takes the offset back to 0, and
// switching them on makes room for the bullet when there is less than 10 points.
void TParaAttributes::SetNumbering(TNumberingStyle numbering)
{
    if (numbering == nsNone)
        SetLeftIndent(0);
    else if (LeftIndent() < kBulletMinimumIndentPoints)
        SetLeftIndent(kBulletMinimumIndentPoints);
    ParaFormat format;
    format.mask = PFM_NUMBERING;
    format.numbering = numbering == nsBullet ? PFN_BULLET : PFN_NONE;
    write(format);
}

int TParaAttributes::FirstIndent() const
{
    return read().startIndent / kTwipsPerPoint;
}

void TParaAttributes::SetFirstIndent(int points)
{
    ParaFormat format;
    format.mask = PFM_STARTINDENT;
    format.startIndent = points * kTwipsPerPoint;
    write(format);
}

int TParaAttributes::LeftIndent() const
{
    return read().offset / kTwipsPerPoint;
}

void TParaAttributes::SetLeftIndent(int points)
{
    ParaFormat format;
    format.mask = PFM_OFFSET;
    format.offset = points * kTwipsPerPoint;
    write(format);
}

int TParaAttributes::RightIndent() const
{
    return read().rightIndent / kTwipsPerPoint;
}

void TParaAttributes::SetRightIndent(int points)
{
    ParaFormat format;
    format.mask = PFM_RIGHTINDENT;
    format.rightIndent = points * kTwipsPerPoint;
    write(format);
}

int TParaAttributes::Tab(int index) const
{
    if (index < 0 || index >= kMaxTabStops)
        return 0;
    return read().tabs[size_t(index)] / kTwipsPerPoint;
}

// Setting a stop beyond the current count extends the count to include it.
void TParaAttributes::SetTab(int index, int points)
{
    if (index < 0 || index >= kMaxTabStops)
        return;
    ParaFormat format = read();
    format.mask = PFM_TABSTOPS;
    format.tabs[size_t(index)] = points * kTwipsPerPoint;
    format.tabCount = qint16(std::max<int>(format.tabCount, index + 1));
    write(format);
}

int TParaAttributes::TabCount() const
{
    return read().tabCount;
}

void TParaAttributes::SetTabCount(int count)
{
    ParaFormat format = read();
    format.mask = PFM_TABSTOPS;
    format.tabCount = qint16(std::clamp(count, 0, kMaxTabStops));
    write(format);
}

// ---- The control's formatting commands ----

void TwwCustomRichEdit::SetSelectionFont(const QString &faceName, int size, TColor color,
                                         TFontStyles style)
{
    CharFormat format;
    format.mask = kStyleMask | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET;
    format.effects = effectsOf(style);
    putColor(format, color);
    if (size > 0)
        format.height = size * kTwipsPerPoint;
    else
        format.mask &= ~CFM_SIZE;  // no size given: the selection keeps its sizes
    format.charset = GetFontCharset(faceName);
    format.faceName = faceName.left(kMaxFaceNameLength);
    setCharFormat(format, true);
}

void TwwCustomRichEdit::SetBullets(bool on)
{
    BeforeModify();
    if (on)
        SetParagraphFormat(pmNumbering | pmOffset, QString(), true, kBulletOffsetTwips, 0, 0, 0, {},
                           0, 0, 0, 0);
    else
        ParagraphAttributes().SetNumbering(nsNone);
}

namespace {

quint32 paraMaskOf(TwwParaFormatMembers members, int richEditVersion)
{
    static constexpr std::pair<TwwParaFormatMember, quint32> kBits[] = {
        {pmAlignment, PFM_ALIGNMENT},     {pmNumbering, PFM_NUMBERING},
        {pmOffset, PFM_OFFSET},           {pmRightIndent, PFM_RIGHTINDENT},
        {pmStartIndent, PFM_STARTINDENT}, {pmTabs, PFM_TABSTOPS},
        {pmSpaceBefore, PFM_SPACEBEFORE}, {pmSpaceAfter, PFM_SPACEAFTER},
        {pmLineSpacing, PFM_LINESPACING},
    };
    quint32 mask = 0;
    for (const auto &[member, bit] : kBits)
        if (members.testFlag(member))
            mask |= bit;
    // The first engine version's record has no spacing fields.
    if (richEditVersion < 2)
        mask &= ~(PFM_SPACEBEFORE | PFM_SPACEAFTER | PFM_LINESPACING);
    return mask;
}

quint16 alignmentOfText(const QString &text)
{
    const TwwRichEditParagraphDlg &texts = RichEditTexts().ParagraphDialog;
    if (text == texts.AlignLeft)
        return PFA_LEFT;
    if (text == texts.AlignRight)
        return PFA_RIGHT;
    if (text == texts.AlignJustify)
        return PFA_JUSTIFY;
    return PFA_CENTER;
}

}  // namespace

void TwwCustomRichEdit::SetParagraphFormat(TwwParaFormatMembers members, const QString &alignmentText,
                                           bool numbering, int offset, int rightIndent,
                                           int startIndent, int tabCount, const QList<int> &tabs,
                                           int spaceBefore, int spaceAfter, int lineSpacing,
                                           int lineSpacingRule)
{
    BeforeModify();
    ParaFormat format;
    format.mask = paraMaskOf(members, m_richEditVersion);
    format.numbering = numbering ? PFN_BULLET : PFN_NONE;
    format.startIndent = startIndent;
    format.rightIndent = rightIndent;
    format.offset = offset;
    format.alignment = alignmentOfText(alignmentText);
    format.spaceBefore = spaceBefore;
    format.spaceAfter = spaceAfter;
    format.lineSpacing = lineSpacing;
    format.lineSpacingRule = quint8(lineSpacingRule);
    if (members.testFlag(pmTabs)) {
        const int count = std::clamp<int>(tabCount, 0, std::min<int>(kMaxTabStops, int(tabs.size())));
        format.tabCount = qint16(count);
        std::copy_n(tabs.cbegin(), count, format.tabs.begin());
    }
    setParaFormat(format);
}

// ---- Font dialog ----

void TwwCustomRichEdit::ExecuteFontDialog()
{
    TTextAttributes &selection = SelectionAttributes();
    const TFontStyles style = selection.Style();
    platform::FontChoice initial;
    initial.family = selection.Name();
    initial.pointSize = selection.Size();
    initial.bold = style.testFlag(fsBold);
    initial.italic = style.testFlag(fsItalic);
    initial.underline = style.testFlag(fsUnderline);
    initial.strikeOut = style.testFlag(fsStrikeOut);
    const TColor color = selection.Color();
    initial.color = color == clWindowText ? QColor() : ColorToQColor(color);

    const std::optional<platform::FontChoice> chosen = platform::dialogs().chooseFont(this, initial);
    if (!chosen)
        return;
    TFontStyles chosenStyle;
    chosenStyle.setFlag(fsBold, chosen->bold);
    chosenStyle.setFlag(fsItalic, chosen->italic);
    chosenStyle.setFlag(fsUnderline, chosen->underline);
    chosenStyle.setFlag(fsStrikeOut, chosen->strikeOut);
    BeforeModify();
    SetSelectionFont(chosen->family, chosen->pointSize, QColorToColor(chosen->color), chosenStyle);
}
