#pragma once
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>

// Generates a deterministic RTF document for benchmarks: mixed-format paragraphs with
// Unicode text (Greek, Cyrillic, CJK written as \uN), bullets, hyperlinks, a small
// table now and then, and a few PNG pictures. About 200 bytes per paragraph with the
// default 18 words, so 50,000 paragraphs make some 10 MB.
namespace bench {

inline QByteArray generatedPng(int size, int seed)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(seed * 37 % 360, 160, 230));
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawEllipse(2, 2, size - 4, size - 4);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

inline QByteArray generateRtf(int paragraphs, int pictures = 5, int wordsPerParagraph = 18)
{
    static const char *const kWords[] = {"lorem", "ipsum", "dolor", "sit", "amet", "consectetur",
                                         "adipiscing", "elit", "sed", "do", "eiusmod", "tempor"};
    static const char *const kUnicode[] = {"\\u954?\\u945?\\u955?\\u951?", "\\u1087?\\u1088?\\u1080?\\u1074?",
                                           "\\u28450?\\u23383?", "caf\\'e9", "\\u8212?"};
    QByteArray out;
    out.reserve(qsizetype(paragraphs) * (12 * wordsPerParagraph) + pictures * 20000 + 1024);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033"
           "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}"
           "{\\f2\\fmodern\\fcharset0 Courier New;}{\\f3\\fnil\\fcharset2 Symbol;}}\r\n"
           "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}\r\n"
           "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext \\'01\\u8226 ?;}{\\levelnumbers;}"
           "\\fi-360\\li720}\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\r\n"
           "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Benchmark}}\\viewkind4\\uc1\r\n";
    quint32 state = 12345;
    const auto next = [&state](quint32 bound) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % bound;
    };
    const int pictureEvery = pictures > 0 ? std::max(1, paragraphs / pictures) : 0;
    for (int p = 0; p < paragraphs; ++p) {
        const bool bullet = p % 10 >= 7;
        out += "\\pard";
        if (bullet)
            out += "\\ls1\\fi-360\\li720{\\listtext\\f3 \\'b7\\tab}";
        else if (p % 5 == 0)
            out += "\\qj\\sb120\\sa120\\sl276\\slmult1";
        else if (p % 5 == 1)
            out += "\\qc";
        else
            out += "\\li360\\tx1440\\tx2880";
        out += "\\plain\\f" + QByteArray::number(next(3)) + "\\fs" + QByteArray::number(20 + 2 * next(5)) + ' ';
        for (int w = 0; w < wordsPerParagraph; ++w) {
            const quint32 style = next(12);
            if (style == 0)
                out += "{\\b ";
            else if (style == 1)
                out += "{\\i ";
            else if (style == 2)
                out += "{\\ul\\cf2 ";
            else if (style == 3)
                out += "{\\cf3\\fs28 ";
            if (next(9) == 0)
                out += kUnicode[next(5)];
            else
                out += kWords[next(12)];
            if (style <= 3)
                out += '}';
            out += ' ';
        }
        if (p % 20 == 3)
            out += "{\\field{\\*\\fldinst HYPERLINK \"http://example.com/page" + QByteArray::number(p)
                   + "\"}{\\fldrslt{\\ul\\cf3 link " + QByteArray::number(p) + "}}}";
        if (pictureEvery && p % pictureEvery == pictureEvery / 2) {
            out += "{\\*\\shppict{\\pict\\pngblip\\picwgoal960\\pichgoal960 ";
            out += generatedPng(64, p).toHex();
            out += "}}";
        }
        out += "\\par\r\n";
    }
    out += "}";
    return out;
}

}  // namespace bench
