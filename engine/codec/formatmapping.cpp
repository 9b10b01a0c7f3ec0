#include "engine/codec/formatmapping.h"

#include "engine/codec/blockformatrange.h"
#include "engine/codec/charformatrange.h"
#include "engine/codec/listformat.h"
#include "engine/codec/tabkinds.h"
#include "engine/codec/textprops.h"

#include <QHash>
#include <QTextDocument>
#include <QtGui/private/qtextdocument_p.h>
#include <QTextList>
#include <QTextOption>
#include <algorithm>
#include <cmath>

namespace engine {

namespace {

constexpr int kDefaultPointSize = 12;

int intProperty(const QTextFormat &format, int id, int fallback)
{
    return format.hasProperty(id) ? format.intProperty(id) : fallback;
}

qreal pointSizeOf(const QTextCharFormat &format)
{
    return format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                          : qreal(kDefaultPointSize);
}

// The baseline offset is stored in twips and shown as a percentage of the run's size.
void refreshBaselineDisplay(QTextCharFormat &target)
{
    const int twips = intProperty(target, prop::BaselineOffsetTwips, 0);
    if (twips == 0) {
        target.clearProperty(QTextFormat::TextBaselineOffset);
        return;
    }
    target.setBaselineOffset(twips * 100.0 / (pointSizeOf(target) * 20.0));
}

void applyEffects(const CharFormat &format, QTextCharFormat &target)
{
    const auto on = [&](quint32 effect) { return (format.effects & effect) != 0; };
    if (format.mask & CFM_BOLD)
        target.setFontWeight(on(CFE_BOLD) ? QFont::Bold : QFont::Normal);
    if (format.mask & CFM_ITALIC)
        target.setFontItalic(on(CFE_ITALIC));
    if (format.mask & CFM_UNDERLINE)
        target.setFontUnderline(on(CFE_UNDERLINE));
    if (format.mask & CFM_STRIKEOUT)
        target.setFontStrikeOut(on(CFE_STRIKEOUT));
    if (format.mask & CFM_PROTECTED) {
        if (on(CFE_PROTECTED))
            target.setProperty(prop::Protected, true);
        else
            target.clearProperty(prop::Protected);
    }
    if ((format.mask & CFM_LINK) && !on(CFE_LINK)) {
        target.setAnchor(false);
        target.clearProperty(QTextFormat::AnchorHref);
    } else if (format.mask & CFM_LINK) {
        target.setAnchor(true);
    }
    if (format.mask & CFM_COLOR) {
        if (on(CFE_AUTOCOLOR)) {
            target.setProperty(prop::AutoColor, true);
            target.setForeground(QBrush());
        } else {
            target.setProperty(prop::AutoColor, false);
            target.setForeground(colorFromRef(format.textColor));
        }
    }
}

// Tab stops count from the page's left edge; Qt counts them from where a line starts.
// The first line's start is used, so that a paragraph's first line, where tabs are
// typed, lines up with every other paragraph's whatever the indents; stops at or before
// it are left out, as the text cannot reach them.
QList<QTextOption::Tab> displayTabs(const QTextBlockFormat &format, int firstLineStart)
{
    QList<QTextOption::Tab> tabs;
    for (int position : format.property(prop::TabStopsTwips).value<QList<int>>())
        if (position > firstLineStart)
            tabs.append(displayTab(twipsToPixels(position - firstLineStart), tabKindAt(format, position)));
    return tabs;
}

// Qt margins, indent, spacing and line height follow the twip properties.
void refreshParagraphDisplay(QTextBlockFormat &target)
{
    const int start = intProperty(target, prop::StartIndentTwips, 0);
    const int offset = intProperty(target, prop::OffsetTwips, 0);
    const bool bullet = intProperty(target, prop::Numbering, PFN_NONE) == PFN_BULLET
                        || target.boolProperty(listprop::Marker);
    target.setLeftMargin(twipsToPixels(start + offset));
    target.setTextIndent(bullet ? 0.0 : twipsToPixels(-offset));
    if (target.hasProperty(prop::TabStopsTwips))
        target.setTabPositions(displayTabs(target, bullet ? start + offset : start));
    target.setRightMargin(twipsToPixels(intProperty(target, prop::RightIndentTwips, 0)));
    target.setTopMargin(twipsToPixels(intProperty(target, prop::SpaceBeforeTwips, 0)));
    target.setBottomMargin(twipsToPixels(intProperty(target, prop::SpaceAfterTwips, 0)));

    // A line height is shown (and written) without its sign. A height or multiple of
    // nothing, which would draw every line over the one before, shows as single spacing.
    const int spacing = intProperty(target, prop::LineSpacingTwips, 0);
    int rule = intProperty(target, prop::LineSpacingRule, 0);
    if ((rule >= 3 && spacing == 0) || (rule == 5 && spacing < 0))
        rule = 0;
    switch (rule) {
    case 1:
        target.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        break;
    case 2:
        target.setLineHeight(200, QTextBlockFormat::ProportionalHeight);
        break;
    case 3:
        target.setLineHeight(twipsToPixels(std::abs(spacing)), QTextBlockFormat::MinimumHeight);
        break;
    case 4:
        target.setLineHeight(twipsToPixels(std::abs(spacing)), QTextBlockFormat::FixedHeight);
        break;
    case 5:
        target.setLineHeight(spacing * 5.0, QTextBlockFormat::ProportionalHeight);
        break;
    default:
        target.setLineHeight(0, QTextBlockFormat::SingleHeight);
        break;
    }
}

quint16 alignmentOf(const QTextBlockFormat &format)
{
    const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignJustify)
        return PFA_JUSTIFY;
    if (horizontal & Qt::AlignHCenter)
        return PFA_CENTER;
    if (horizontal & Qt::AlignRight)
        return PFA_RIGHT;
    return PFA_LEFT;
}

Qt::Alignment qtAlignment(quint16 alignment)
{
    switch (alignment) {
    case PFA_RIGHT:
        return Qt::AlignRight;
    case PFA_CENTER:
        return Qt::AlignHCenter;
    case PFA_JUSTIFY:
        return Qt::AlignJustify;
    default:
        return Qt::AlignLeft;
    }
}

// Line spacing of a block that has no twip properties (e.g. pasted HTML).
void readQtLineHeight(const QTextBlockFormat &format, ParaFormat &result)
{
    const qreal height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (qFuzzyCompare(height, 150.0)) {
            result.lineSpacingRule = 1;
        } else if (qFuzzyCompare(height, 200.0)) {
            result.lineSpacingRule = 2;
        } else if (!qFuzzyCompare(height, 100.0)) {
            result.lineSpacingRule = 5;
            result.lineSpacing = qRound(height / 5.0);
        }
        break;
    case QTextBlockFormat::MinimumHeight:
        result.lineSpacingRule = 3;
        result.lineSpacing = pixelsToTwips(height);
        break;
    case QTextBlockFormat::FixedHeight:
        result.lineSpacingRule = 4;
        result.lineSpacing = pixelsToTwips(height);
        break;
    default:
        break;
    }
}

QTextList *bulletListEndingBefore(const QTextBlock &block)
{
    const QTextBlock previous = block.previous();
    QTextList *list = previous.isValid() ? previous.textList() : nullptr;
    return isBulletList(list) ? list : nullptr;
}

QTextListFormat bulletListFormat()
{
    return listFormat(defaultLevelStyle(ListNumberKind::Bullet, 0), 0, -1);
}

}  // namespace

double twipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

int pixelsToTwips(double pixels)
{
    return int(std::lround(pixels * kTwipsPerPixel));
}

QColor colorFromRef(quint32 ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

quint32 refFromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16);
}

bool isHyperlink(const QTextCharFormat &format)
{
    return format.isAnchor() && !format.anchorHref().isEmpty();
}

bool isHidden(const QTextCharFormat &format)
{
    return format.boolProperty(prop::Hidden);
}

bool isAutoColor(const QTextCharFormat &format)
{
    return format.boolProperty(prop::AutoColor) || !format.hasProperty(QTextFormat::ForegroundBrush)
           || format.foreground().style() == Qt::NoBrush;
}

void applyCharFormat(const CharFormat &format, QTextCharFormat &target)
{
    applyEffects(format, target);
    if ((format.mask & CFM_SIZE) && format.height > 0)
        target.setFontPointSize(format.height / 20.0);
    if ((format.mask & CFM_FACE) && !format.faceName.isEmpty()) {
        target.setFontFamilies(QStringList{format.faceName.left(kMaxFaceNameLength)});
        if (format.pitchAndFamily != 0)
            target.setProperty(prop::PitchAndFamily, int(format.pitchAndFamily));
        else
            target.clearProperty(prop::PitchAndFamily);
    }
    if (format.mask & CFM_CHARSET)
        target.setProperty(prop::Charset, int(format.charset));
    if (format.mask & CFM_OFFSET) {
        if (format.offset != 0)
            target.setProperty(prop::BaselineOffsetTwips, format.offset);
        else
            target.clearProperty(prop::BaselineOffsetTwips);
    }
    if (format.mask & (CFM_OFFSET | CFM_SIZE))
        refreshBaselineDisplay(target);
}

CharFormat readCharFormat(const QTextCharFormat &format, const QFont &defaultFont)
{
    CharFormat result;
    result.mask = CFM_ALL;
    const QFont font = format.font().resolve(defaultFont);
    if (font.weight() >= QFont::DemiBold)
        result.effects |= CFE_BOLD;
    if (font.italic())
        result.effects |= CFE_ITALIC;
    if (font.underline())
        result.effects |= CFE_UNDERLINE;
    if (font.strikeOut())
        result.effects |= CFE_STRIKEOUT;
    if (format.boolProperty(prop::Protected))
        result.effects |= CFE_PROTECTED;
    if (isHyperlink(format))
        result.effects |= CFE_LINK;
    if (isAutoColor(format))
        result.effects |= CFE_AUTOCOLOR;
    else
        result.textColor = refFromColor(format.foreground().color());

    const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : qreal(kDefaultPointSize);
    result.height = int(std::lround(points * 20.0));
    result.offset = intProperty(format, prop::BaselineOffsetTwips, 0);
    result.charset = quint8(intProperty(format, prop::Charset, 0));
    result.pitchAndFamily = quint8(intProperty(format, prop::PitchAndFamily, 0));
    const QStringList families = format.fontFamilies().toStringList();
    result.faceName = (families.isEmpty() ? defaultFont.family() : families.first())
                          .left(kMaxFaceNameLength);
    return result;
}

void applyCharFormatToSelection(QTextCursor &cursor, const CharFormat &format)
{
    if (cursor.hasSelection())
        applyCharFormatToRange(cursor.document(), cursor.selectionStart(), cursor.selectionEnd(), format);
}

QTextCharFormat hiddenTextOverlay()
{
    QTextCharFormat overlay;
    overlay.setForeground(QColor(128, 128, 128));
    overlay.setUnderlineStyle(QTextCharFormat::DotLine);
    return overlay;
}

QTextCharFormat linkOverlay()
{
    QTextCharFormat overlay;
    overlay.setForeground(QColor(0, 0, 255));
    overlay.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    return overlay;
}

void applyParaFormat(const ParaFormat &format, QTextBlockFormat &target)
{
    const quint32 mask = format.mask;
    if (mask & PFM_STARTINDENT)
        target.setProperty(prop::StartIndentTwips, format.startIndent);
    else if (mask & PFM_OFFSETINDENT)
        target.setProperty(prop::StartIndentTwips,
                           intProperty(target, prop::StartIndentTwips, 0) + format.startIndent);
    if (mask & PFM_RIGHTINDENT)
        target.setProperty(prop::RightIndentTwips, format.rightIndent);
    if (mask & PFM_OFFSET)
        target.setProperty(prop::OffsetTwips, format.offset);
    if (mask & PFM_ALIGNMENT)
        target.setAlignment(qtAlignment(format.alignment));
    if (mask & PFM_TABSTOPS) {
        QList<int> tabs;
        const int count = std::clamp<int>(format.tabCount, 0, kMaxTabStops);
        for (int i = 0; i < count; ++i)
            tabs.append(format.tabs[size_t(i)]);
        std::sort(tabs.begin(), tabs.end());
        target.setProperty(prop::TabStopsTwips, QVariant::fromValue(tabs));
        keepTabKindsAt(target, tabs);
    }
    if (mask & PFM_NUMBERING)
        target.setProperty(prop::Numbering, format.numbering == PFN_BULLET ? PFN_BULLET : PFN_NONE);
    if (mask & PFM_SPACEBEFORE)
        target.setProperty(prop::SpaceBeforeTwips, format.spaceBefore);
    if (mask & PFM_SPACEAFTER)
        target.setProperty(prop::SpaceAfterTwips, format.spaceAfter);
    if (mask & PFM_LINESPACING) {
        target.setProperty(prop::LineSpacingRule, std::clamp<int>(format.lineSpacingRule, 0, 5));
        target.setProperty(prop::LineSpacingTwips, format.lineSpacing);
    }
    refreshParagraphDisplay(target);
}

ParaFormat readParaFormat(const QTextBlockFormat &format)
{
    ParaFormat result;
    result.mask = PFM_ALL;
    result.numbering = quint16(intProperty(format, prop::Numbering, PFN_NONE));
    const int qtOffset = pixelsToTwips(-format.textIndent());
    const int qtStart = pixelsToTwips(format.leftMargin()) - qtOffset;
    result.offset = intProperty(format, prop::OffsetTwips, qtOffset);
    result.startIndent = intProperty(format, prop::StartIndentTwips, qtStart);
    result.rightIndent = intProperty(format, prop::RightIndentTwips, pixelsToTwips(format.rightMargin()));
    result.alignment = alignmentOf(format);
    result.spaceBefore = intProperty(format, prop::SpaceBeforeTwips, pixelsToTwips(format.topMargin()));
    result.spaceAfter = intProperty(format, prop::SpaceAfterTwips, pixelsToTwips(format.bottomMargin()));

    QList<int> tabs;
    if (format.hasProperty(prop::TabStopsTwips)) {
        tabs = format.property(prop::TabStopsTwips).value<QList<int>>();
    } else {
        for (const QTextOption::Tab &tab : format.tabPositions())
            tabs.append(pixelsToTwips(tab.position));
    }
    result.tabCount = qint16(std::min<qsizetype>(tabs.size(), kMaxTabStops));
    for (int i = 0; i < result.tabCount; ++i)
        result.tabs[size_t(i)] = tabs[i];

    if (format.hasProperty(prop::LineSpacingRule)) {
        result.lineSpacingRule = quint8(format.intProperty(prop::LineSpacingRule));
        result.lineSpacing = intProperty(format, prop::LineSpacingTwips, 0);
    } else {
        readQtLineHeight(format, result);
    }
    return result;
}

ParaFormat readParaFormat(const QTextBlock &block)
{
    ParaFormat result = readParaFormat(block.blockFormat());
    if (!block.blockFormat().hasProperty(prop::OffsetTwips) && block.textList()) {
        // A list paragraph without twip properties: the text sits at the left margin.
        result.offset = 0;
        result.startIndent = pixelsToTwips(block.blockFormat().leftMargin());
    }
    result.numbering = isBulletList(block.textList()) ? PFN_BULLET : PFN_NONE;
    return result;
}

bool isBulletList(const QTextList *list)
{
    if (isEngineList(list))
        return levelStyleOf(list->format()).kind == ListNumberKind::Bullet;
    return list != nullptr && list->format().style() == QTextListFormat::ListDisc;
}

// One pass over the paragraphs: each joins the bullet list it is in, or else the one the
// paragraphs before it joined, or the bullet list that ends just before the first of
// them, or a new one. Leaving a list keeps the list's indent, as Qt's lists do.
void setBullets(QTextCursor &cursor, bool on)
{
    QTextDocument *document = cursor.document();
    QHash<const QTextList *, bool> bulletLists;
    const auto isBullets = [&](const QTextList *list) {
        auto found = bulletLists.constFind(list);
        if (found == bulletLists.cend())
            found = bulletLists.insert(list, isBulletList(list));
        return *found;
    };
    int joined = -1;  // the list paragraphs not in a bullet list join
    const auto target = [&](const QTextBlock &block) {
        if (!on)
            return -1;
        if (const QTextList *current = block.textList(); isBullets(current)) {
            joined = current->objectIndex();
            return joined;
        }
        if (joined < 0) {
            const QTextList *before = bulletListEndingBefore(block);
            joined = before ? before->objectIndex()
                            : QTextDocumentPrivate::get(document)->createObject(bulletListFormat())->objectIndex();
        }
        return joined;
    };
    const auto change = [&](const QTextBlockFormat &old, int list) {
        QTextBlockFormat format = old;
        format.setProperty(prop::Numbering, on ? PFN_BULLET : PFN_NONE);
        if (on)
            format.setProperty(listprop::Marker, true);
        else
            format.clearProperty(listprop::Marker);
        refreshParagraphDisplay(format);
        if (old.objectIndex() >= 0 && old.objectIndex() != list) {
            if (const auto *left = qobject_cast<const QTextList *>(document->object(old.objectIndex())))
                format.setIndent(format.indent() + left->format().indent());
        }
        return format;
    };
    cursor.beginEditBlock();
    changeBlockFormats(document, document->findBlock(cursor.selectionStart()),
                       document->findBlock(cursor.selectionEnd()), change, target);
    cursor.endEditBlock();
}

void applyParaFormatToParagraphs(QTextCursor &cursor, const ParaFormat &format)
{
    QTextDocument *document = cursor.document();
    cursor.beginEditBlock();
    changeBlockFormats(document, document->findBlock(cursor.selectionStart()),
                       document->findBlock(cursor.selectionEnd()), [&](const QTextBlockFormat &old, int) {
                           QTextBlockFormat merged = old;
                           applyParaFormat(format, merged);
                           return merged;
                       });
    if (format.mask & PFM_NUMBERING)
        setBullets(cursor, format.numbering == PFN_BULLET);
    cursor.endEditBlock();
}

}  // namespace engine
