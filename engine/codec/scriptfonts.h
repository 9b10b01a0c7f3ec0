#pragma once
#include <QString>
#include <QStringView>

class QTextCharFormat;

// Text in East Asian and in right-to-left or complex scripts is shown in fonts of its
// own, which RTF names apart from the font of Latin text (\dbch\af and \rtlch\af). A run
// of such text carries those fonts as properties (textprops.h) so that they are written
// back, and is shown in the font of its script.
namespace engine {

enum class TextScript : quint8 { Latin, EastAsian, Complex };

// The script whose font shows the character.
TextScript scriptOf(char32_t character);

// A combining mark (an accent, a vowel sign, a joiner) has no script of its own: it is
// shown in the font of the character it combines with, the one before it.
bool isCombiningMark(char32_t character);

// The last character of the text that is no combining mark, or 0 when there is none.
char32_t lastBaseCharacter(QStringView text);

// Where the text changes from one script's font to another's: calls `part(text, script)`
// for each stretch in order. Each character counts by itself, whatever stands around it
// (spaces, digits and punctuation other than East Asian are Latin), so that text reads
// the same in one piece as character by character; a combining mark goes with the
// character before it, and at the start of the text with `before`, the script of the
// run the text continues.
template<typename Part>
void forEachScriptPart(QStringView text, TextScript before, Part &&part);

struct ScriptFont {
    QString face;
    int charset = 0;
    int pitchAndFamily = 0;

    bool isEmpty() const { return face.isEmpty(); }
    bool operator==(const ScriptFont &) const = default;
};

ScriptFont eastAsianFont(const QTextCharFormat &format);
ScriptFont complexFont(const QTextCharFormat &format);
void setEastAsianFont(QTextCharFormat &format, const ScriptFont &font);
void setComplexFont(QTextCharFormat &format, const ScriptFont &font);

// --- implementation ---

template<typename Part>
void forEachScriptPart(QStringView text, TextScript before, Part &&part)
{
    qsizetype start = 0;
    TextScript script = before;
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        const TextScript own = isCombiningMark(c) ? script : scriptOf(c);
        if (i > 0 && own != script) {
            part(text.sliced(start, i - start), script);
            start = i;
        }
        script = own;
        i += length;
    }
    if (start < text.size())
        part(text.sliced(start), script);
}

}  // namespace engine
