#pragma once
#include <QByteArrayView>
#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

class QTextCodec;

// The tables an RTF file declares before its text (fonts, colours, lists) and the code
// page decoding of its 8-bit text, as the reader keeps them.
namespace engine::rtfin {

struct FontEntry {
    QString name;
    int charset = 0;      // \fcharset
    int codePage = 0;     // \cpg, 0 when the charset decides
    quint8 pitchAndFamily = 0;
};

class SourceFontTable {
public:
    void add(int number, const FontEntry &font);  // ignored past the font limit
    const FontEntry *find(int number) const;

private:
    QHash<int, FontEntry> m_fonts;
};

class SourceColorTable {
public:
    // An entry that names no component is the automatic colour (an invalid QColor).
    void clear() { m_colors.clear(); }
    void add(const QColor &color);  // ignored past the colour limit
    QColor at(int index) const;     // invalid when automatic or out of range

private:
    QList<QColor> m_colors;
};

// The Windows code page that a font character set stands for (0 when the file's ANSI
// code page applies).
int codePageForCharset(int charset);

// Decodes 8-bit text through the platform codecs, one codec per code page, found once.
// A code page of one byte a character is decoded through a table of its 256 characters,
// made once from its codec: text escaped as \'hh comes a few bytes at a time, and a
// codec costs more to call than such a table.
class CodePageDecoder {
public:
    QString decode(QByteArrayView bytes, int codePage);

private:
    QTextCodec *codecFor(int codePage);
    const QString &singleByteTable(int codePage);
    QHash<int, QTextCodec *> m_codecs;
    QHash<int, QString> m_tables;  // empty for code pages of more than one byte a character
};

}  // namespace engine::rtfin
