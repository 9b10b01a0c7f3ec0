#include "engine/codec/rtf/write/outputtables.h"

#include "engine/codec/rtf/write/rtfoutput.h"

namespace engine {
namespace {

const char *familyWord(int pitchAndFamily)
{
    switch ((pitchAndFamily >> 4) & 0xF) {
    case 1: return "froman";
    case 2: return "fswiss";
    case 3: return "fmodern";
    case 4: return "fscript";
    case 5: return "fdecor";
    default: return "fnil";
    }
}

}  // namespace

int OutputFontTable::indexOf(const QString &face, int charset, int pitchAndFamily)
{
    const QString key = QString::number(charset) + u'/' + QString::number(pitchAndFamily) + u'/' + face;
    const auto found = m_index.constFind(key);
    if (found != m_index.constEnd())
        return *found;
    const int index = int(m_fonts.size());
    m_fonts.append({face, charset, pitchAndFamily});
    m_index.insert(key, index);
    return index;
}

void OutputFontTable::write(RtfOutput &out) const
{
    out.open();
    out.word("fonttbl");
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        const Font &font = m_fonts.at(i);
        out.open();
        out.word("f", int(i));
        out.word(familyWord(font.pitchAndFamily));
        out.word("fcharset", font.charset);
        if ((font.pitchAndFamily & 3) != 0)
            out.word("fprq", font.pitchAndFamily & 3);
        // A semicolon ends the name in the table and cannot be escaped.
        QString face = font.face;
        face.remove(u';');
        out.text(face, font.charset == 0);
        out.raw(";");
        out.close();
    }
    out.close();
}

int OutputColorTable::indexOf(const QColor &color)
{
    const QRgb rgb = color.rgb() | 0xFF000000u;
    const auto found = m_index.constFind(rgb);
    if (found != m_index.constEnd())
        return *found;
    m_colors.append(rgb);
    const int index = int(m_colors.size());
    m_index.insert(rgb, index);
    return index;
}

void OutputColorTable::write(RtfOutput &out) const
{
    out.open();
    out.word("colortbl");
    out.raw(";");
    for (QRgb rgb : m_colors) {
        out.word("red", qRed(rgb));
        out.word("green", qGreen(rgb));
        out.word("blue", qBlue(rgb));
        out.raw(";");
    }
    out.close();
}

}  // namespace engine
