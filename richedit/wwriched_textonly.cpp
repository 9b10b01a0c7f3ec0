#include "richedit/wwriched_textonly.h"

#include "engine/codec/textprops.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>

namespace {

bool hasTrueProperty(const QTextFormat &format, int property)
{
    return format.hasProperty(property) && format.property(property).toBool();
}

bool hasNonZeroProperty(const QTextFormat &format, int property)
{
    return format.hasProperty(property) && format.property(property).toInt() != 0;
}

bool hasVisibleBrush(const QTextFormat &format, int property)
{
    return format.hasProperty(property) && format.brushProperty(property).style() != Qt::NoBrush;
}

bool fontDiffers(const QTextCharFormat &format, const QFont &base)
{
    const QFont font = format.font().resolve(base);
    return font.family() != base.family() || font.pointSizeF() != base.pointSizeF()
           || font.weight() != base.weight() || font.italic() != base.italic()
           || font.underline() != base.underline() || font.strikeOut() != base.strikeOut()
           || font.overline() != base.overline();
}

// A colour set without the automatic-colour mark is a chosen colour.
bool hasChosenColour(const QTextCharFormat &format)
{
    return hasVisibleBrush(format, QTextFormat::ForegroundBrush)
           && !hasTrueProperty(format, engine::prop::AutoColor);
}

bool charFormatIsRich(const QTextCharFormat &format, const QFont &base)
{
    return format.isImageFormat() || format.isAnchor() || fontDiffers(format, base)
           || hasChosenColour(format) || hasVisibleBrush(format, QTextFormat::BackgroundBrush)
           || format.hasProperty(engine::prop::HighlightColor)
           || format.verticalAlignment() != QTextCharFormat::AlignNormal
           || hasTrueProperty(format, engine::prop::Hidden)
           || hasNonZeroProperty(format, engine::prop::BaselineOffsetTwips);
}

bool blockFormatIsRich(const QTextBlockFormat &format)
{
    const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute;
    const bool aligned = horizontal != 0 && horizontal != Qt::AlignLeft && horizontal != Qt::AlignLeading;
    static const int measures[] = {engine::prop::StartIndentTwips,  engine::prop::RightIndentTwips,
                                   engine::prop::OffsetTwips,       engine::prop::SpaceBeforeTwips,
                                   engine::prop::SpaceAfterTwips,   engine::prop::LineSpacingRule,
                                   engine::prop::Numbering};
    for (int property : measures) {
        if (hasNonZeroProperty(format, property))
            return true;
    }
    return aligned || format.leftMargin() != 0 || format.rightMargin() != 0 || format.textIndent() != 0
           || format.indent() != 0 || format.topMargin() != 0 || format.bottomMargin() != 0
           || !format.tabPositions().isEmpty() || hasTrueProperty(format, engine::prop::PageBreakBefore)
           || hasVisibleBrush(format, QTextFormat::BackgroundBrush);
}

bool blockIsRich(const QTextBlock &block, const QFont &base)
{
    if (block.textList() || blockFormatIsRich(block.blockFormat()))
        return true;
    if (block.text().contains(QChar::ObjectReplacementCharacter))
        return true;
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
        if (charFormatIsRich(fragment.fragment().charFormat(), base))
            return true;
    }
    return false;
}

}  // namespace

bool documentHoldsMoreThanText(const QTextDocument &document)
{
    if (!document.rootFrame()->childFrames().isEmpty())
        return true;  // tables
    const QFont base = document.defaultFont();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (blockIsRich(block, base))
            return true;
    }
    return false;
}
