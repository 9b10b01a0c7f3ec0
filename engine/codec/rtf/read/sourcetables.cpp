#include "engine/codec/rtf/read/sourcetables.h"

#include "engine/codec/rtf/read/rtfreader.h"

#include <QTextCodec>

namespace engine::rtfin {

void SourceFontTable::add(int number, const FontEntry &font)
{
    if (m_fonts.size() < kMaxRtfFonts || m_fonts.contains(number))
        m_fonts.insert(number, font);
}

const FontEntry *SourceFontTable::find(int number) const
{
    const auto it = m_fonts.constFind(number);
    return it == m_fonts.constEnd() ? nullptr : &it.value();
}

void SourceColorTable::add(const QColor &color)
{
    if (m_colors.size() < kMaxRtfColors)
        m_colors.append(color);
}

QColor SourceColorTable::at(int index) const
{
    return index >= 0 && index < m_colors.size() ? m_colors.at(index) : QColor();
}

int codePageForCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;   // Mac Roman
    case 128: return 932;    // Shift JIS
    case 129: return 949;    // Hangul
    case 130: return 1361;   // Johab
    case 134: return 936;    // GB2312 / GBK
    case 136: return 950;    // Big5
    case 161: return 1253;   // Greek
    case 162: return 1254;   // Turkish
    case 163: return 1258;   // Vietnamese
    case 177: return 1255;   // Hebrew
    case 178: return 1256;   // Arabic
    case 186: return 1257;   // Baltic
    case 204: return 1251;   // Cyrillic
    case 222: return 874;    // Thai
    case 238: return 1250;   // Eastern European
    case 254: return 437;    // PC 437
    case 255: return 850;    // OEM
    default: return 0;       // ANSI, default and symbol use the file's code page
    }
}

QTextCodec *CodePageDecoder::codecFor(int codePage)
{
    const auto cached = m_codecs.constFind(codePage);
    if (cached != m_codecs.constEnd())
        return cached.value();
    QTextCodec *codec = nullptr;
    switch (codePage) {
    case 932: codec = QTextCodec::codecForName("Shift_JIS"); break;
    case 936: codec = QTextCodec::codecForName("GBK"); break;
    case 949: codec = QTextCodec::codecForName("windows-949"); break;
    case 950: codec = QTextCodec::codecForName("Big5"); break;
    case 10000: codec = QTextCodec::codecForName("macintosh"); break;
    default:
        for (const char *prefix : {"windows-", "cp", "IBM"}) {
            codec = QTextCodec::codecForName(QByteArray(prefix) + QByteArray::number(codePage));
            if (codec)
                break;
        }
        break;
    }
    if (!codec)
        codec = QTextCodec::codecForName("windows-1252");
    m_codecs.insert(codePage, codec);
    return codec;
}

namespace {

constexpr int kUtf8Mib = 106;

bool isMultiByte(int codePage)
{
    switch (codePage) {
    case 932: case 936: case 949: case 950: case 1361: case 65001:
        return true;
    default:
        return false;
    }
}

// The 256 characters of a code page, or an empty string when some byte does not stand
// for one character by itself.
QString tableOf(QTextCodec *codec)
{
    QByteArray all(256, Qt::Uninitialized);
    for (int byte = 0; byte < 256; ++byte)
        all[byte] = char(byte);
    if (!codec)
        return QString::fromLatin1(all);
    if (codec->mibEnum() == kUtf8Mib)
        return {};
    QString table;
    for (int byte = 0; byte < 256; ++byte) {
        const QString one = codec->toUnicode(all.constData() + byte, 1);
        if (one.size() != 1)
            return {};
        table += one;
    }
    return codec->toUnicode(all) == table ? table : QString();
}

}  // namespace

const QString &CodePageDecoder::singleByteTable(int codePage)
{
    auto found = m_tables.find(codePage);
    if (found == m_tables.end())
        found = m_tables.insert(codePage, isMultiByte(codePage) ? QString() : tableOf(codecFor(codePage)));
    return found.value();
}

QString CodePageDecoder::decode(QByteArrayView bytes, int codePage)
{
    if (const QString &table = singleByteTable(codePage); !table.isEmpty()) {
        QString text(bytes.size(), Qt::Uninitialized);
        QChar *out = text.data();
        for (const char byte : bytes)
            *out++ = table.at(quint8(byte));
        return text;
    }
    QTextCodec *codec = codecFor(codePage);
    if (!codec)
        return QString::fromLatin1(bytes.data(), bytes.size());
    return codec->toUnicode(bytes.data(), int(bytes.size()));
}

}  // namespace engine::rtfin
