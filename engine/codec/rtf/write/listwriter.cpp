#include "engine/codec/rtf/write/listwriter.h"

#include "engine/codec/rtf/write/outputtables.h"
#include "engine/codec/rtf/write/rtfoutput.h"

#include <QTextBlock>
#include <QTextList>

namespace engine {

namespace {

int rtfLevelFormat(ListNumberKind kind)
{
    switch (kind) {
    case ListNumberKind::Bullet: return 23;
    case ListNumberKind::Decimal: return 0;
    case ListNumberKind::UpperRoman: return 1;
    case ListNumberKind::LowerRoman: return 2;
    case ListNumberKind::UpperLetter: return 3;
    case ListNumberKind::LowerLetter: return 4;
    case ListNumberKind::None: return 255;
    }
    return 0;
}

const char *oldStyleKind(ListNumberKind kind)
{
    switch (kind) {
    case ListNumberKind::UpperRoman: return "pnucrm";
    case ListNumberKind::LowerRoman: return "pnlcrm";
    case ListNumberKind::UpperLetter: return "pnucltr";
    case ListNumberKind::LowerLetter: return "pnlcltr";
    default: return "pndec";
    }
}

void hexByte(RtfOutput &out, int value)
{
    static const char digits[] = "0123456789abcdef";
    const char bytes[] = {'\\', '\'', digits[(value >> 4) & 15], digits[value & 15]};
    out.raw(QByteArrayView(bytes, 4));
}

}  // namespace

bool ListWriter::isPlainBullet(const ListLevelStyle &style)
{
    return style.kind == ListNumberKind::Bullet && style.font.isEmpty() && style.text == QString(QChar(0x2022));
}

int ListWriter::symbolFont()
{
    if (m_symbolFont < 0)
        m_symbolFont = m_fonts.indexOf(QStringLiteral("Symbol"), 2, 0x02);
    return m_symbolFont;
}

ListWriter::Group &ListWriter::groupOf(const QTextList *list)
{
    int key = listGroupOf(list);
    if (key < 0) {
        auto own = m_ownGroups.constFind(list);
        if (own == m_ownGroups.constEnd())
            own = m_ownGroups.insert(list, -2 - int(m_ownGroups.size()));
        key = own.value();
    }
    return m_groups[key];
}

// A group goes on in its output list while RTF readers would number it as the document
// does; a level whose style changes, or a second list of a level with no item of a level
// above between them (a restart), needs an output list of its own.
int ListWriter::outputFor(Group &group, const QTextList *list, int level, const ListLevelStyle &style)
{
    const auto at = size_t(level);
    bool fresh = group.output < 0;
    if (!fresh) {
        const OutputList &output = m_outputs[size_t(group.output)];
        fresh = (output.given[at] && output.levels[at] != style) || (group.last[at] && group.last[at] != list);
    }
    if (fresh) {
        OutputList output;
        for (int other = 0; other < kListLevels; ++other)
            output.levels[size_t(other)] = defaultLevelStyle(ListNumberKind::Decimal, other);
        m_outputs.push_back(output);
        group.output = int(m_outputs.size() - 1);
        group.last.fill(nullptr);
    }
    OutputList &output = m_outputs[size_t(group.output)];
    if (!output.given[at]) {
        output.levels[at] = style;
        output.given[at] = true;
    }
    group.last[at] = list;
    for (size_t below = at + 1; below < size_t(kListLevels); ++below)
        group.last[below] = nullptr;
    return group.output;
}

QString ListWriter::markerOf(Group &group, const QTextList *list, int level, const ListLevelStyle &style)
{
    const int item = m_itemsWritten[list]++;
    const bool numbered = style.kind != ListNumberKind::Bullet && style.kind != ListNumberKind::None;
    group.numbers[size_t(level)] = formatListNumber(style.start + item, numbered ? style.kind : ListNumberKind::Decimal);
    return listMarkerText(style, level, group.numbers.data());
}

void ListWriter::writeParagraph(RtfOutput &out, const QTextBlock &, const QTextList *list, int textFont,
                                int halfPoints)
{
    const ListLevelStyle style = levelStyleOf(list->format());
    const int level = listLevelOf(list);
    Group &group = groupOf(list);
    const int output = outputFor(group, list, level, style);
    const QString marker = markerOf(group, list, level, style);
    if (style.kind != ListNumberKind::None)
        writeFallback(out, style, marker, textFont, halfPoints);
    writeOldStyle(out, style, level);
    out.word("ls", output + 1);
    out.word("ilvl", level);
}

void ListWriter::writeFallback(RtfOutput &out, const ListLevelStyle &style, const QString &marker, int textFont,
                               int halfPoints)
{
    out.open();
    out.word("pntext");
    if (isPlainBullet(style)) {
        out.word("f", symbolFont());
        out.raw("\\'b7");
    } else {
        const int font = style.kind == ListNumberKind::Bullet && !style.font.isEmpty()
                             ? m_fonts.indexOf(style.font, 0, 0)
                             : textFont;
        out.word("f", font);
        out.word("fs", halfPoints);
        out.text(marker, m_fonts.charsetOf(font) <= 1);
    }
    out.word("tab");
    out.close();
}

void ListWriter::writeOldStyle(RtfOutput &out, const ListLevelStyle &style, int level)
{
    out.raw("{\\*");
    out.word("pn");
    if (style.kind == ListNumberKind::Bullet) {
        out.word("pnlvlblt");
        if (isPlainBullet(style)) {
            out.word("pnf", symbolFont());
            out.word("pnindent", 0);
            out.raw("{\\pntxtb\\'b7}}");
            return;
        }
        out.word("pnindent", 0);
        out.open();
        out.word("pntxtb");
        out.text(style.text, true);
        out.close();
        out.close();
        return;
    }
    out.word(style.kind == ListNumberKind::None ? "pnlvlcont" : "pnlvlbody");
    out.word(oldStyleKind(style.kind));
    out.word("pnstart", style.start);
    out.word("pnindent", 0);
    // The old form shows the paragraph's own level number only: the text around it.
    const qsizetype own = style.text.indexOf(QChar(level));
    QString before = own < 0 ? QString() : style.text.left(own);
    if (std::any_of(before.begin(), before.end(), [](QChar c) { return c.unicode() < kListLevels; }))
        before.clear();  // it goes with the numbers of levels above, which the old form lacks
    const QString after = own < 0 ? QString() : style.text.mid(own + 1);
    const auto part = [&](const char *word, const QString &text) {
        QString shown = text;
        shown.removeIf([](QChar c) { return c.unicode() < 0x20; });
        if (shown.isEmpty())
            return;
        out.open();
        out.word(word);
        out.text(shown, true);
        out.close();
    };
    part("pntxtb", before);
    part("pntxta", after);
    out.close();
}

void ListWriter::writeTables(RtfOutput &out)
{
    if (m_outputs.empty())
        return;
    out.raw("{\\*\\listtable");
    for (size_t i = 0; i < m_outputs.size(); ++i) {
        const OutputList &output = m_outputs[i];
        const int id = int(i) + 1;
        const bool simple = std::none_of(output.given.begin() + 1, output.given.end(), [](bool given) { return given; });
        out.open();
        out.word("list");
        out.word("listtemplateid", id);
        if (simple)
            out.word("listsimple");
        for (int level = 0; level < (simple ? 1 : kListLevels); ++level)
            writeLevel(out, output.levels[size_t(level)]);
        out.word("listid", id);
        out.close();
        out.newline();
    }
    out.close();
    out.newline();
    out.raw("{\\*\\listoverridetable");
    for (size_t i = 0; i < m_outputs.size(); ++i) {
        out.raw("{\\listoverride");
        out.word("listid", int(i) + 1);
        out.word("listoverridecount", 0);
        out.word("ls", int(i) + 1);
        out.close();
    }
    out.close();
    out.newline();
}

// A level carries no indents: the paragraph's own \li and \fi always apply, and the tab
// after the number reaches the hanging indent.
void ListWriter::writeLevel(RtfOutput &out, const ListLevelStyle &style)
{
    out.raw("{\\listlevel");
    out.word("levelnfc", rtfLevelFormat(style.kind));
    out.word("levelnfcn", rtfLevelFormat(style.kind));
    out.word("leveljc", 0);
    out.word("levelfollow", 0);
    out.word("levelstartat", style.start);
    out.raw("{\\leveltext");
    out.word("leveltemplateid", 0);
    QByteArray numbers;
    if (isPlainBullet(style)) {
        hexByte(out, 1);
        out.raw("\\'b7;}{\\levelnumbers;}");
        out.word("f", symbolFont());
        out.close();
        return;
    }
    hexByte(out, int(std::min<qsizetype>(style.text.size(), 255)));
    for (qsizetype i = 0; i < style.text.size() && i < 255; ++i) {
        const QChar c = style.text[i];
        if (c.unicode() < kListLevels) {
            hexByte(out, c.unicode());
            numbers.append(char(i + 1));
        } else {
            out.text(QStringView(&c, 1), true);
        }
    }
    out.raw(";}{\\levelnumbers");
    for (const char position : numbers)
        hexByte(out, position);
    out.raw(";}");
    if (style.kind == ListNumberKind::Bullet && !style.font.isEmpty())
        out.word("f", m_fonts.indexOf(style.font, 0, 0));
    out.close();
}

}  // namespace engine
