#pragma once

class QTextCharFormat;
class QTextBlockFormat;

// The words a run needs beyond its Latin font: the font of East Asian text (\dbch\af,
// ending in \loch so that later \f words name Latin fonts again) and the font, size and
// direction of right-to-left and complex text (\rtlch\af\afs). Also the paragraph's
// direction and its tab stops with their kinds, leaders and bars.
namespace engine {

class OutputFontTable;
class RtfOutput;

struct ScriptRunFonts {
    int eastAsian = -1;  // font table index
    int complex = -1;
    int complexHalfPoints = 0;
    bool rightToLeft = false;

    bool isEmpty() const { return *this == ScriptRunFonts(); }
    bool operator==(const ScriptRunFonts &) const = default;
};

ScriptRunFonts scriptRunFonts(const QTextCharFormat &format, OutputFontTable &fonts);
// Written inside the run's own group, where they start from none.
void writeScriptFonts(RtfOutput &out, const ScriptRunFonts &fonts);
// Leaves a format with only what a run of Latin text carries.
void clearScriptFonts(QTextCharFormat &format);

// \rtlpar, then the stops and bars in position order, each after its kind and leader.
void writeParagraphDirectionAndTabs(RtfOutput &out, const QTextBlockFormat &format, const int *tabs, int tabCount);

}  // namespace engine
