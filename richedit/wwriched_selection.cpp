#include "richedit/wwriched.h"

using namespace engine;

namespace {

constexpr quint32 kStyleMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
constexpr int kTwipsPerPoint = 20;

// The engine's alignment value minus one: justified gives 3, and a selection over
// differing alignments gives -1.
int alignmentOf(const ParaFormat &format)
{
    if (!(format.mask & PFM_ALIGNMENT))
        return -1;
    return int(format.alignment) - 1;
}

}  // namespace

// One read of the character format and one of the paragraph format, however many
// controls are set from them.
TSelectionFormats TwwCustomRichEdit::SelectionFormats() const
{
    const CharFormat chars = charFormat(true);
    const ParaFormat paragraphs = paraFormat();
    TSelectionFormats formats;
    formats.Style = TFontStyles::fromInt(int(chars.effects & kStyleMask));
    formats.Name = chars.faceName.left(kMaxFaceNameLength);
    formats.Size = chars.height / kTwipsPerPoint;
    formats.ColorKnown = chars.mask & CFM_COLOR;
    formats.Color = (chars.effects & CFE_AUTOCOLOR) ? clWindowText : chars.textColor;
    formats.Alignment = alignmentOf(paragraphs);
    formats.Numbering = paragraphs.numbering == PFN_BULLET ? nsBullet : nsNone;
    return formats;
}

// Only the one style is written: a selection whose other styles differ from run to run
// reads them as off, and writing them back would strip them from the runs that have them.
void TwwCustomRichEdit::SetSelectionStyle(TFontStyle style, bool on)
{
    CharFormat format;
    format.mask = style;  // a style's bit is its mask and effect bit
    format.effects = on ? style : 0;
    setCharFormat(format, true);
}

// The face goes with the character set of the control's own font, not that of the chosen
// font. A name equal to the current one (case counts) sends nothing, so choosing the face
// in effect makes no undo step.
void TwwCustomRichEdit::SetSelectionFaceName(const QString &name)
{
    if (SelectionAttributes().Name() == name)
        return;
    CharFormat format;
    format.mask = CFM_FACE | CFM_CHARSET;
    format.faceName = name.left(kMaxFaceNameLength);
    format.charset = GetFontCharset(font().family());
    setCharFormat(format, true);
}

bool TwwCustomRichEdit::SelectionHasColor(TColor color) const
{
    const TSelectionFormats formats = SelectionFormats();
    return formats.ColorKnown && formats.Color != clWindowText && formats.Color == color;
}
