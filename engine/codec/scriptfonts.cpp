#include "engine/codec/scriptfonts.h"

#include "engine/codec/textprops.h"

#include <QChar>
#include <QTextCharFormat>

namespace engine {

namespace {

ScriptFont fontOf(const QTextCharFormat &format, int faceProperty, int infoProperty)
{
    ScriptFont font;
    font.face = format.stringProperty(faceProperty);
    const int info = format.intProperty(infoProperty);
    font.charset = info & 0xff;
    font.pitchAndFamily = (info >> 8) & 0xff;
    return font;
}

void setFont(QTextCharFormat &format, const ScriptFont &font, int faceProperty, int infoProperty)
{
    if (font.isEmpty()) {
        format.clearProperty(faceProperty);
        format.clearProperty(infoProperty);
        return;
    }
    format.setProperty(faceProperty, font.face);
    format.setProperty(infoProperty, (font.charset & 0xff) | ((font.pitchAndFamily & 0xff) << 8));
}

}  // namespace

TextScript scriptOf(char32_t character)
{
    if ((character >= 0x3000 && character <= 0x303f) || (character >= 0xff00 && character <= 0xffef))
        return TextScript::EastAsian;
    switch (QChar::script(character)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
    case QChar::Script_Yi:
        return TextScript::EastAsian;
    case QChar::Script_Arabic:
    case QChar::Script_Hebrew:
    case QChar::Script_Syriac:
    case QChar::Script_Thaana:
    case QChar::Script_Nko:
    case QChar::Script_Devanagari:
    case QChar::Script_Bengali:
    case QChar::Script_Gurmukhi:
    case QChar::Script_Gujarati:
    case QChar::Script_Oriya:
    case QChar::Script_Tamil:
    case QChar::Script_Telugu:
    case QChar::Script_Kannada:
    case QChar::Script_Malayalam:
    case QChar::Script_Sinhala:
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Tibetan:
    case QChar::Script_Khmer:
        return TextScript::Complex;
    default:
        return TextScript::Latin;
    }
}

bool isCombiningMark(char32_t character)
{
    switch (QChar::category(character)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        // Joiners and variation selectors take the script of what they join too.
        return QChar::script(character) == QChar::Script_Inherited;
    }
}

char32_t lastBaseCharacter(QStringView text)
{
    for (qsizetype i = text.size(); i > 0;) {
        --i;
        char32_t c = text[i].unicode();
        if (text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()) {
            --i;
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
        }
        if (!isCombiningMark(c))
            return c;
    }
    return 0;
}

ScriptFont eastAsianFont(const QTextCharFormat &format)
{
    return fontOf(format, prop::EastAsianFace, prop::EastAsianFontInfo);
}

ScriptFont complexFont(const QTextCharFormat &format)
{
    return fontOf(format, prop::ComplexFace, prop::ComplexFontInfo);
}

void setEastAsianFont(QTextCharFormat &format, const ScriptFont &font)
{
    setFont(format, font, prop::EastAsianFace, prop::EastAsianFontInfo);
}

void setComplexFont(QTextCharFormat &format, const ScriptFont &font)
{
    setFont(format, font, prop::ComplexFace, prop::ComplexFontInfo);
}

}  // namespace engine
