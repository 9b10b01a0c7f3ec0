#include "engine/codec/rtf/read/rtfreaderimpl.h"
#include "engine/codec/scriptfonts.h"
#include "engine/codec/textprops.h"

// Fonts of other scripts: \loch, \hich and \dbch say which kind of text the following
// font words describe, \af names the font of East Asian text (after \dbch) or of
// right-to-left and complex text (otherwise), \afs the size of the latter, and \rtlch and
// \ltrch the direction of the run. Text is shown in the font of the script it is in.
namespace engine::rtfin {

namespace {

constexpr quint8 kHighRegion = 1;
constexpr quint8 kDoubleByteRegion = 2;

// A state without the fonts of other scripts, for text that is in none of them.
CharState latinState(CharState state)
{
    state.eastAsianFont = -1;
    state.complexFont = -1;
    state.complexHalfPoints = 0;
    state.fontRegion = 0;
    state.rightToLeft = false;
    state.scriptShown = false;
    return state;
}

bool hasScriptFields(const CharState &state)
{
    return state.eastAsianFont >= 0 || state.complexFont >= 0 || state.complexHalfPoints != 0 || state.fontRegion != 0
           || state.rightToLeft || state.scriptShown;
}

}  // namespace

bool Reader::handleScriptWord(RtfWord word, const RtfToken &token)
{
    // The group gets a state of its own only for a word that changes it.
    const auto own = [this]() -> CharState & { return top().chars; };
    switch (word) {
    case RtfWord::loch: own().fontRegion = 0; break;
    case RtfWord::hich: own().fontRegion = kHighRegion; break;
    case RtfWord::dbch: own().fontRegion = kDoubleByteRegion; break;
    case RtfWord::rtlch: own().rightToLeft = true; break;
    case RtfWord::ltrch: own().rightToLeft = false; break;
    case RtfWord::afs: {
        const int size = token.hasParameter ? token.parameter : 0;
        own().complexHalfPoints = size > 0 ? std::min(size, 3276) : 0;
        break;
    }
    case RtfWord::af: {
        CharState &chars = own();
        const int font = token.hasParameter ? token.parameter : 0;
        // Right-to-left runs name their own font; in a left-to-right run \af names the
        // font of the script region it follows. High-ANSI text is shown as Latin text.
        if (chars.rightToLeft)
            chars.complexFont = font;
        else if (chars.fontRegion == kDoubleByteRegion)
            chars.eastAsianFont = font;
        else if (chars.fontRegion == 0)
            chars.complexFont = font;
        break;
    }
    default:
        return false;
    }
    return true;
}

// Text of each script gets the state of that script: its font, and for complex text its
// size and direction. A font number the font table does not declare names no font.
void Reader::appendBodyText(QStringView text)
{
    if (!hasScriptFields(current().chars)) {
        m_builder.appendText(text, currentTextFormatIndex());
        return;
    }
    CharState state = current().chars;
    if (!m_fonts.find(state.eastAsianFont))
        state.eastAsianFont = -1;
    if (!m_fonts.find(state.complexFont))
        state.complexFont = -1;
    // A combining mark continues the script of the character before it; with none
    // before it in its paragraph, it stays in the run its state describes.
    const char32_t base = m_builder.lastBaseCharacter();
    const TextScript before = base != 0 ? scriptOf(base) : state.rightToLeft ? TextScript::Complex : TextScript::Latin;
    forEachScriptPart(text, before, [&](QStringView part, TextScript script) {
        CharState shown = latinState(state);
        if (script == TextScript::EastAsian && state.eastAsianFont >= 0) {
            shown.font = state.eastAsianFont;
            shown.eastAsianFont = state.eastAsianFont;
            shown.scriptShown = true;
        } else if (script == TextScript::Complex && (state.complexFont >= 0 || state.rightToLeft)) {
            if (state.complexFont >= 0)
                shown.font = shown.complexFont = state.complexFont;
            if (state.complexHalfPoints > 0)
                shown.halfPoints = shown.complexHalfPoints = state.complexHalfPoints;
            shown.rightToLeft = state.rightToLeft;
            shown.scriptShown = true;
        }
        m_builder.appendText(part, textFormatIndex(shown));
    });
}

// Anything but text shown in its script's font (marks, list numbers, pictures) takes
// the state of Latin text.
const CharState &Reader::shownState(const CharState &state)
{
    if (state.scriptShown || !hasScriptFields(state))
        return state;
    m_latinState = latinState(state);
    return m_latinState;
}

void Reader::addScriptProperties(const CharState &state, QTextCharFormat &format) const
{
    const auto scriptFont = [this](int number) {
        const FontEntry *font = m_fonts.find(number);
        return font ? ScriptFont{font->name.left(kMaxFaceNameLength), font->charset, font->pitchAndFamily} : ScriptFont();
    };
    if (state.eastAsianFont >= 0)
        setEastAsianFont(format, scriptFont(state.eastAsianFont));
    if (state.complexFont >= 0)
        setComplexFont(format, scriptFont(state.complexFont));
    if (state.complexHalfPoints > 0)
        format.setProperty(prop::ComplexHalfPoints, state.complexHalfPoints);
    if (state.rightToLeft)
        format.setProperty(prop::RightToLeftRun, true);
}

}  // namespace engine::rtfin
