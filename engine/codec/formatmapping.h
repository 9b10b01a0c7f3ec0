#pragma once
#include "engine/codec/formatrecords.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextList;

// Mapping between the mask records (CharFormat, ParaFormat) and Qt's text formats. Every
// function works on a bare QTextDocument / QTextCursor, without a view, so that the RTF
// reader and writer share exactly the representation the editor shows.
//
// Units: records hold twips. Exact twip values live in the prop::*Twips properties of
// textprops.h; the Qt margins, indent, tab positions and line heights are derived from
// them for display at 96 dpi (1 pixel = 15 twips) and are never read back when the twip
// property is present.
//
// Character formats:
// - face: QTextCharFormat::fontFamilies() (first entry); size: fontPointSize (twips / 20);
//   bold: fontWeight >= QFont::DemiBold; italic, underline, strike-out: Qt's flags.
// - automatic colour: prop::AutoColor true and no foreground brush; a foreground brush
//   of style Qt::NoBrush also reads as automatic. Any other colour: a solid foreground
//   and no prop::AutoColor.
// - charset, pitch-and-family, language, hidden (\v), baseline offset, highlight: the
//   properties of textprops.h. The baseline offset is also shown through
//   QTextCharFormat::baselineOffset (percent of the font size), without shrinking.
// - hidden text is stored unchanged (its true colour and underline stay in the format);
//   the view draws it grey with a dotted underline through hiddenTextOverlay().
// - links: a format with isAnchor() and a non-empty anchorHref() is a hyperlink
//   (CFE_LINK); the view draws it underlined in the link colour through linkOverlay().
//
// Paragraph formats (platform indent model):
// - startIndent is where the first line starts, offset is where the other lines start
//   relative to it, rightIndent is measured from the right edge. Display: leftMargin =
//   (start + offset) px, textIndent = -offset px, rightMargin = right px.
// - Lists (listformat.h): a list paragraph has listprop::Marker and its block belongs to
//   a QTextList; a bullet paragraph also has prop::Numbering == PFN_BULLET and a list of
//   kind Bullet. A list paragraph is shown with textIndent 0 and its text (first and
//   other lines) at start + offset; its bullet or number sits in the hanging space at
//   the start indent. Contiguous bullet paragraphs made by setBullets() share one list.
//   Readers of a block (readParaFormat(QTextBlock)) go by list membership, which is what
//   the user sees: a bullet list reads as PFN_BULLET, a numbered one as PFN_NONE.
// - Alignment: Qt::AlignLeft, AlignRight, AlignHCenter, AlignJustify.
// - Tab stops: prop::TabStopsTwips (QList<int>, ascending, at most 32) and Qt's
//   tabPositions (left tabs) in pixels, counted from the first line's start as Qt
//   counts them; stops at or before that start are not shown.
// - Space before/after: the twip properties, shown as topMargin/bottomMargin.
// - Line spacing: prop::LineSpacingRule and prop::LineSpacingTwips, shown as
//   0 single: SingleHeight; 1 one and a half: 150 % proportional; 2 double: 200 %;
//   3 at least: MinimumHeight lineSpacing px; 4 exactly: FixedHeight lineSpacing px;
//   5 multiple: proportional lineSpacing * 5 % (lineSpacing / 20 lines).
namespace engine {

constexpr double kTwipsPerPixel = 15.0;  // display at 96 dpi

double twipsToPixels(int twips);
int pixelsToTwips(double pixels);

// 0x00BBGGRR colour references.
QColor colorFromRef(quint32 ref);
quint32 refFromColor(const QColor &color);

// Character formats.
void applyCharFormat(const CharFormat &format, QTextCharFormat &target);  // masked fields only
CharFormat readCharFormat(const QTextCharFormat &format, const QFont &defaultFont);  // full record, mask CFM_ALL
// Applies the masked fields to every character of the cursor's selection, one run at a
// time so that per-run values (such as the baseline offset shown relative to each run's
// size) stay right. Does nothing on an empty selection; callers group it in an edit block.
void applyCharFormatToSelection(QTextCursor &cursor, const CharFormat &format);
bool isHyperlink(const QTextCharFormat &format);
bool isHidden(const QTextCharFormat &format);
bool isAutoColor(const QTextCharFormat &format);

// Display overlays that the view lays over hidden text and links (the stored formats
// stay as they are).
QTextCharFormat hiddenTextOverlay();
QTextCharFormat linkOverlay();

// Paragraph formats.
void applyParaFormat(const ParaFormat &format, QTextBlockFormat &target);  // masked fields only
ParaFormat readParaFormat(const QTextBlockFormat &format);  // numbering from prop::Numbering
ParaFormat readParaFormat(const QTextBlock &block);         // numbering from list membership
// Applies the masked fields to every paragraph the cursor's selection touches, bullets
// included, as one edit block.
void applyParaFormatToParagraphs(QTextCursor &cursor, const ParaFormat &format);
// Puts the paragraphs the cursor touches into a bullet list (joining a bullet list that
// ends just before them; numbered paragraphs leave their list) or takes them out of
// their list. Does not change indents.
void setBullets(QTextCursor &cursor, bool on);
bool isBulletList(const QTextList *list);

}  // namespace engine
