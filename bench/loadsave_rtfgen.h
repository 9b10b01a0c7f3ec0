#pragma once
// Generates RTF documents for the load and save benchmarks, written byte by byte as
// another word processor would, so that the benchmarks do not read only what our own
// writer produces: mixed fonts, sizes, colours and styles, Unicode text as \uN,
// legacy bullets, hyperlink fields and a few PNG pictures.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>

namespace loadsavebench {

inline QByteArray pictureHex(int seed)
{
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((seed * 47) % 360, 160, 220));
    QPainter painter(&image);
    painter.drawEllipse(4, 4, 40, 24);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex();
}

// The text of one paragraph: ASCII words with Latin, Greek and CJK characters mixed in.
inline void appendUnicodeWords(QByteArray &rtf, int paragraph)
{
    static const char *const words[] = {"report", "caf\\u233?", "stra\\u223?e", "\\u937?\\u955?\\u966?",
                                        "\\u20013?\\u25991?", "data", "na\\u239?ve", "\\u8364?12",
                                        "window", "\\u1087?\\u1088?\\u1080?"};
    for (int w = 0; w < 3; ++w) {
        rtf += words[(paragraph + w * 3) % 10];
        rtf += ' ';
    }
}

inline void appendParagraph(QByteArray &rtf, int i)
{
    const bool bullet = i % 10 == 3 || i % 10 == 4;
    rtf += "\\pard";
    if (bullet)
        rtf += "{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent360{\\pntxtb\\'B7}}\\fi-360\\li720";
    else if (i % 7 == 0)
        rtf += "\\qc";
    else if (i % 11 == 0)
        rtf += "\\li720\\ri360\\sb120\\sa120";
    rtf += "\\plain\\f0\\fs20 Paragraph " + QByteArray::number(i) + " with ";
    rtf += "{\\b bold words} and {\\i\\cf2 italic red text} ";
    appendUnicodeWords(rtf, i);
    rtf += "{\\f1\\fs32 then large} ";
    if (i % 5 == 0) {
        rtf += "{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/page" + QByteArray::number(i)
            + "\"}}{\\fldrslt{\\ul\\cf3 a link}}} ";
    }
    rtf += "{\\ul underlined} tail.";
    rtf += "\\par\r\n";
}

// About `paragraphs` paragraphs; 50,000 give about 10 MB.
inline QByteArray generateRtf(int paragraphs, int pictures)
{
    QByteArray rtf;
    rtf.reserve(qsizetype(paragraphs) * 200 + pictures * 4096);
    rtf += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}"
           "{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
           "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
           "\\uc1\r\n";
    const int pictureEvery = pictures > 0 ? qMax(1, paragraphs / pictures) : 0;
    for (int i = 0; i < paragraphs; ++i) {
        if (pictureEvery && i % pictureEvery == pictureEvery / 2) {
            rtf += "\\pard{\\pict\\pngblip\\picw48\\pich32\\picwgoal720\\pichgoal480 " + pictureHex(i)
                + "}\\par\r\n";
        }
        appendParagraph(rtf, i);
    }
    rtf += "}\r\n";
    return rtf;
}

}  // namespace loadsavebench
