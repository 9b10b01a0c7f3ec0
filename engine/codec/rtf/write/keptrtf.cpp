#include "engine/codec/rtf/write/keptrtf.h"

#include "engine/codec/documentextras.h"
#include "engine/codec/rtf/rtftokenizer.h"
#include "engine/codec/rtf/write/outputtables.h"

namespace engine {

namespace {

enum class Reference { None, Font, Color };

Reference referenceOf(QByteArrayView word)
{
    static const char *const kFonts[] = {"f", "af", "pnf", "stshfdbch", "stshfloch", "stshfhich", "stshfbi"};
    static const char *const kColors[] = {"cf", "cb", "highlight", "chcbpat", "chcfpat", "cbpat", "cfpat", "brdrcf", "ulc"};
    for (const char *name : kFonts) {
        if (word == QByteArrayView(name))
            return Reference::Font;
    }
    for (const char *name : kColors) {
        if (word == QByteArrayView(name))
            return Reference::Color;
    }
    return Reference::None;
}

// Where the digits of a control word's parameter end.
qsizetype parameterEnd(QByteArrayView rtf, qsizetype at)
{
    if (at < rtf.size() && rtf[at] == '-')
        ++at;
    while (at < rtf.size() && rtf[at] >= '0' && rtf[at] <= '9')
        ++at;
    return at;
}

}  // namespace

KeptRtfRenumbering::KeptRtfRenumbering(const DocumentExtras &extras, OutputFontTable &fonts, OutputColorTable &colors)
    : m_extras(extras), m_fonts(fonts), m_colors(colors)
{
}

QByteArray KeptRtfRenumbering::apply(QByteArrayView rtf)
{
    QByteArray result;
    result.reserve(rtf.size() + 16);
    RtfTokenizer tokens(rtf);
    qsizetype copied = 0;
    for (RtfToken token = tokens.next(); token.kind != RtfTokenKind::End; token = tokens.next()) {
        if (token.kind != RtfTokenKind::ControlWord)
            continue;
        if (token.data == QByteArrayView("plain")) {
            // \plain resets the font to the file's default, which may not be the writer's.
            const int font = fontIndex(m_extras.sourceDefaultFont);
            if (font == 0)
                continue;
            const qsizetype end = parameterEnd(rtf, token.offset + 1 + token.data.size());
            result.append(rtf.sliced(copied, end - copied));
            result.append("\\f" + QByteArray::number(font));
            copied = end;
            continue;
        }
        if (!token.hasParameter)
            continue;
        const Reference reference = referenceOf(token.data);
        if (reference == Reference::None)
            continue;
        const qsizetype digits = token.offset + 1 + token.data.size();
        result.append(rtf.sliced(copied, digits - copied));
        const int index = reference == Reference::Font ? fontIndex(token.parameter) : colorIndex(token.parameter);
        result.append(QByteArray::number(index));
        copied = parameterEnd(rtf, digits);
    }
    result.append(rtf.sliced(copied));
    return result;
}

// A number the source did not declare stands for the default font.
int KeptRtfRenumbering::fontIndex(int sourceNumber)
{
    for (const KeptFont &font : m_extras.sourceFonts) {
        if (font.number == sourceNumber)
            return m_fonts.indexOf(font.face, font.charset, font.pitchAndFamily);
    }
    return 0;
}

int KeptRtfRenumbering::colorIndex(int sourceIndex)
{
    if (sourceIndex < 0 || sourceIndex >= m_extras.sourceColors.size())
        return 0;
    const QColor color = m_extras.sourceColors.at(sourceIndex);
    return color.isValid() ? m_colors.indexOf(color) : 0;
}

}  // namespace engine
