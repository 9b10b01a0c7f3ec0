#pragma once
// Generates an RTF document full of tables for the table benchmark, written as another
// word processor writes tables: each row its definition (borders, padding, widths), the
// cells' paragraphs marked \intbl, formatted text in the cells, body text between tables.
#include <QByteArray>

namespace tablesbench {

inline void appendRowDefinition(QByteArray &rtf, int columns, bool header)
{
    rtf += "\\trowd\\trql\\trgaph108\\trleft-108";
    if (header)
        rtf += "\\trhdr";
    for (int c = 1; c <= columns; ++c) {
        for (const char *side : {"t", "l", "b", "r"})
            rtf += QByteArray("\\clbrdr") + side + "\\brdrs\\brdrw10\\brdrcf1";
        if (header)
            rtf += "\\clcbpat3";
        rtf += "\\cellx" + QByteArray::number(c * 1800);
    }
    rtf += "\r\n";
}

inline void appendCell(QByteArray &rtf, int table, int row, int column)
{
    rtf += "\\pard\\plain\\intbl\\f0\\fs20 ";
    if (row == 0) {
        rtf += "{\\b Heading " + QByteArray::number(column + 1) + "}";
    } else {
        rtf += "Cell " + QByteArray::number(table) + "." + QByteArray::number(row) + "." + QByteArray::number(column);
        rtf += " {\\i italic} {\\cf2 red} caf\\u233?";
    }
    rtf += "\\cell\r\n";
}

inline void appendTable(QByteArray &rtf, int table, int rows, int columns)
{
    for (int row = 0; row < rows; ++row) {
        appendRowDefinition(rtf, columns, row == 0);
        for (int column = 0; column < columns; ++column)
            appendCell(rtf, table, row, column);
        rtf += "\\row\r\n";
    }
}

// `tables` tables of rows x columns cells, each after a heading and a paragraph.
inline QByteArray generateRtf(int tables, int rows, int columns)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}\r\n"
                     "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green0\\blue0;\\red220\\green220\\blue220;}\r\n";
    for (int t = 0; t < tables; ++t) {
        rtf += "\\pard\\plain\\sb240\\sa120\\f1\\fs28\\b Table " + QByteArray::number(t + 1) + "\\par\r\n";
        rtf += "\\pard\\plain\\f0\\fs20 Body text before the table with {\\b bold} and {\\i italic} words.\\par\r\n";
        appendTable(rtf, t, rows, columns);
    }
    rtf += "\\pard\\plain\\f0\\fs20 The end.\\par\r\n}";
    return rtf;
}

}  // namespace tablesbench
