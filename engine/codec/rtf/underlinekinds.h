#pragma once
#include <QByteArrayView>
#include <QTextCharFormat>
#include <iterator>

// The underline kinds of RTF, each with the Qt style it is shown in. Kinds Qt cannot
// draw (double, words only, thick ...) are shown as the nearest style and carry their
// kind in prop::UnderlineKind, so that they are written back as read.
namespace engine {

struct UnderlineKind {
    const char *word;  // the RTF control word
    QTextCharFormat::UnderlineStyle style;
    bool qtShowsIt;    // the style alone says which kind it is
};

// Index 0 is "no underline" (\ulnone); 1 is the plain single underline (\ul).
inline constexpr UnderlineKind kUnderlineKinds[] = {
    {"ulnone", QTextCharFormat::NoUnderline, true},
    {"ul", QTextCharFormat::SingleUnderline, true},
    {"uld", QTextCharFormat::DotLine, true},
    {"uldash", QTextCharFormat::DashUnderline, true},
    {"uldashd", QTextCharFormat::DashDotLine, true},
    {"uldashdd", QTextCharFormat::DashDotDotLine, true},
    {"ulwave", QTextCharFormat::WaveUnderline, true},
    {"uldb", QTextCharFormat::SingleUnderline, false},
    {"ulw", QTextCharFormat::SingleUnderline, false},
    {"ulth", QTextCharFormat::SingleUnderline, false},
    {"ulthd", QTextCharFormat::DotLine, false},
    {"ulthdash", QTextCharFormat::DashUnderline, false},
    {"ulthdashd", QTextCharFormat::DashDotLine, false},
    {"ulthdashdd", QTextCharFormat::DashDotDotLine, false},
    {"ulldash", QTextCharFormat::DashUnderline, false},
    {"ulthldash", QTextCharFormat::DashUnderline, false},
    {"ulhwave", QTextCharFormat::WaveUnderline, false},
    {"ululdbwave", QTextCharFormat::WaveUnderline, false},
};
inline constexpr int kUnderlineKindCount = int(std::size(kUnderlineKinds));

// The kind named by an RTF word, or -1.
inline int underlineKindOf(QByteArrayView word)
{
    for (int i = 0; i < kUnderlineKindCount; ++i) {
        if (word == QByteArrayView(kUnderlineKinds[i].word))
            return i;
    }
    return -1;
}

// The kind a format shows: its kept kind, else the one its Qt style stands for.
inline int underlineKindOf(const QTextCharFormat &format, int keptKind, bool underlined)
{
    if (!underlined && format.underlineStyle() == QTextCharFormat::NoUnderline)
        return 0;
    if (keptKind > 1 && keptKind < kUnderlineKindCount)
        return keptKind;
    for (int i = 2; i < kUnderlineKindCount; ++i) {
        if (kUnderlineKinds[i].qtShowsIt && format.underlineStyle() == kUnderlineKinds[i].style)
            return i;
    }
    return 1;
}

}  // namespace engine
