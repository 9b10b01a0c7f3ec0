#include "engine/codec/rtf/write/scriptwords.h"

#include "engine/codec/rtf/write/outputtables.h"
#include "engine/codec/rtf/write/rtfoutput.h"
#include "engine/codec/scriptfonts.h"
#include "engine/codec/tabkinds.h"
#include "engine/codec/textprops.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <map>

namespace engine {

namespace {

const char *alignmentWord(TabAlignment alignment)
{
    switch (alignment) {
    case TabAlignment::Center: return "tqc";
    case TabAlignment::Right: return "tqr";
    case TabAlignment::Decimal: return "tqdec";
    case TabAlignment::Left: break;
    }
    return nullptr;
}

const char *leaderWord(TabLeader leader)
{
    switch (leader) {
    case TabLeader::Dots: return "tldot";
    case TabLeader::Hyphens: return "tlhyph";
    case TabLeader::Underline: return "tlul";
    case TabLeader::ThickLine: return "tlth";
    case TabLeader::Equals: return "tleq";
    case TabLeader::MiddleDots: return "tlmdot";
    case TabLeader::None: break;
    }
    return nullptr;
}

}  // namespace

ScriptRunFonts scriptRunFonts(const QTextCharFormat &format, OutputFontTable &fonts)
{
    ScriptRunFonts result;
    if (const ScriptFont font = eastAsianFont(format); !font.isEmpty())
        result.eastAsian = fonts.indexOf(font.face, font.charset, font.pitchAndFamily);
    if (const ScriptFont font = complexFont(format); !font.isEmpty())
        result.complex = fonts.indexOf(font.face, font.charset, font.pitchAndFamily);
    result.complexHalfPoints = std::clamp(format.intProperty(prop::ComplexHalfPoints), 0, 3276);
    result.rightToLeft = format.boolProperty(prop::RightToLeftRun);
    return result;
}

void writeScriptFonts(RtfOutput &out, const ScriptRunFonts &fonts)
{
    if (fonts.eastAsian >= 0) {
        out.word("dbch");
        out.word("af", fonts.eastAsian);
        out.word("loch");
    }
    if (fonts.complex < 0 && fonts.complexHalfPoints == 0 && !fonts.rightToLeft)
        return;
    out.word("rtlch");
    if (fonts.complex >= 0)
        out.word("af", fonts.complex);
    if (fonts.complexHalfPoints > 0)
        out.word("afs", fonts.complexHalfPoints);
    if (!fonts.rightToLeft)
        out.word("ltrch");
}

void clearScriptFonts(QTextCharFormat &format)
{
    for (int property : {int(prop::EastAsianFace), int(prop::EastAsianFontInfo), int(prop::ComplexFace),
                         int(prop::ComplexFontInfo), int(prop::ComplexHalfPoints), int(prop::RightToLeftRun)})
        format.clearProperty(property);
}

void writeParagraphDirectionAndTabs(RtfOutput &out, const QTextBlockFormat &format, const int *tabs, int tabCount)
{
    if (format.layoutDirection() == Qt::RightToLeft)
        out.word("rtlpar");
    std::multimap<int, bool> stops;  // position, is a bar
    for (int i = 0; i < tabCount; ++i)
        stops.emplace(tabs[i], false);
    for (int position : barTabs(format))
        stops.emplace(position, true);
    for (const auto &[position, bar] : stops) {
        if (bar) {
            out.word("tb", position);
            continue;
        }
        const TabKind kind = tabKindAt(format, position);
        if (const char *word = alignmentWord(kind.alignment))
            out.word(word);
        if (const char *word = leaderWord(kind.leader))
            out.word(word);
        out.word("tx", position);
    }
}

}  // namespace engine
