#pragma once
#include <QTextFormat>

// Custom QTextFormat properties that the engine, the RTF reader and the RTF writer all
// agree on. Qt keeps what it can show natively (font family, point size, weight,
// italic, underline style, strike-out, foreground, vertical alignment, block alignment,
// margins, tab positions); these properties carry what Qt has no slot for, and the
// exact twip values of paragraph measures so that they round-trip without pixel
// rounding.
namespace engine::prop {
enum : int {
    // Character formats
    Charset = QTextFormat::UserProperty + 1,  // int: character set (RTF \fcharset)
    PitchAndFamily,                           // int: pitch in bits 0-1, family in bits 4-7
    AutoColor,                                // bool: text uses the window-text colour
    Hidden,                                   // bool: RTF hidden text (\v), shown grey and dotted
    Language,                                 // int: language id (RTF \lang)
    BaselineOffsetTwips,                      // int: raised (+) or lowered (-) text (\up, \dn)
    HighlightColor,                           // QColor: RTF \highlight background
    Protected,                                // bool: protected text (CFE_PROTECTED)
    UnderlineKind,                            // int: an underline Qt cannot draw (rtf/underlinekinds.h)
    // Fonts of other scripts (scriptfonts.h), set on runs of text in that script
    EastAsianFace,                            // QString: font for CJK text (RTF \dbch\af)
    EastAsianFontInfo,                        // int: its charset | pitch and family << 8
    ComplexFace,                              // QString: font for right-to-left and complex text (\af)
    ComplexFontInfo,                          // int: its charset | pitch and family << 8
    ComplexHalfPoints,                        // int: size of complex text in half points (\afs)
    RightToLeftRun,                           // bool: the run is right-to-left text (\rtlch)
    FieldInstruction,                         // QString: a field's instruction; the run is its result
    FieldNumber,                              // int: tells adjacent fields with the same instruction apart

    // Block (paragraph) formats; Qt's margins are set from these for display.
    StartIndentTwips = QTextFormat::UserProperty + 100,  // int
    RightIndentTwips,                                    // int
    OffsetTwips,                                         // int
    SpaceBeforeTwips,                                    // int
    SpaceAfterTwips,                                     // int
    LineSpacingTwips,                                    // int
    LineSpacingRule,                                     // int 0..5
    TabStopsTwips,                                       // QList<int>, ascending, at most 32
    Numbering,                                           // int: 0 none, 1 bullet
    PageBreakBefore,                                     // bool: RTF \page before this paragraph
    TabKinds,    // QList<int>: position, kind pairs of the stops that are not plain left tabs (tabkinds.h)
    BarTabsTwips,                                        // QList<int>: vertical bars (\tb), ascending

    // Image formats
    ImageOriginalBytes = QTextFormat::UserProperty + 200,  // QByteArray: PNG or JPEG bytes as read
    ImageOriginalKind,                                     // QString: "png" or "jpeg"
    ObjectRtf,                                             // QByteArray: a kept \object group, written back verbatim
    KeptRtf,  // QByteArray: a footnote, endnote or comment with its anchor, written back with
              // its font and colour numbers made the writer's own (documentextras.h)
    FieldResultEmpty,  // bool: the mark of a field whose result is empty; written as nothing
                       // inside its field (FieldInstruction)

    // Table formats (QTextTableFormat) and table cell formats (QTextTableCellFormat); Qt's
    // column widths, paddings and borders are set from these for display.
    TableColumnEdgesTwips = QTextFormat::UserProperty + 300,  // QList<int>: columns + 1 edges, from the margin
    TableGapTwips,                                            // int: RTF \trgaph
    TableAutoFit,                                             // bool: RTF \trautofit1
    CellRowHeightTwips,  // int: the height of the cell's row, at least (+) or exactly (-)
    CellFiller,          // bool: a cell the reader added where a row had none, written only when filled
};
}  // namespace engine::prop
