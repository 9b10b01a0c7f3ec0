#pragma once
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

// The font and colour tables of an RTF file, numbered in order of first use so that the
// same document always gives the same file.
namespace engine {

class RtfOutput;

class OutputFontTable {
public:
    // Index of the font, added on first use. A face used with two character sets (or
    // two pitch and family values) is two fonts in RTF.
    int indexOf(const QString &face, int charset, int pitchAndFamily);
    int charsetOf(int index) const { return m_fonts.at(index).charset; }
    void write(RtfOutput &out) const;  // the whole {\fonttbl ...} group

private:
    struct Font {
        QString face;
        int charset;
        int pitchAndFamily;
    };
    QList<Font> m_fonts;
    QHash<QString, int> m_index;  // by face, charset and pitch-and-family
};

class OutputColorTable {
public:
    // Index 0 is the automatic colour; the first real colour is 1.
    int indexOf(const QColor &color);
    void write(RtfOutput &out) const;  // the whole {\colortbl ...} group

private:
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_index;
};

}  // namespace engine
