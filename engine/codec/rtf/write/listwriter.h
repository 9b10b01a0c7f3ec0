#pragma once
#include "engine/codec/listformat.h"

#include <QHash>
#include <array>
#include <vector>

class QTextBlock;
class QTextList;

// Lists written as readers of RTF know them: one \list of the \listtable (with its
// \listoverride) per run of numbering, each paragraph naming it with \ls and its level
// with \ilvl, the older {\*\pn ...} description, and the paragraph's number or bullet as
// {\pntext ...} for readers that cannot number. Paragraphs are given in document order.
namespace engine {

class OutputFontTable;
class RtfOutput;

class ListWriter {
public:
    explicit ListWriter(OutputFontTable &fonts) : m_fonts(fonts) {}

    // The list words of a paragraph of `list`; textFont and halfPoints are those of its
    // first character, which its number takes.
    void writeParagraph(RtfOutput &out, const QTextBlock &block, const QTextList *list, int textFont,
                        int halfPoints);
    bool isEmpty() const { return m_outputs.empty(); }
    void writeTables(RtfOutput &out);  // the \listtable and \listoverridetable groups

private:
    // One \list of the output: a run of numbering that RTF readers count as one.
    struct OutputList {
        std::array<ListLevelStyle, kListLevels> levels;
        std::array<bool, kListLevels> given{};
    };
    // Lists of the document that number together, as written so far.
    struct Group {
        int output = -1;
        std::array<const QTextList *, kListLevels> last{};  // null once a level above came
        std::array<QString, kListLevels> numbers;           // the last shown, per level
    };

    Group &groupOf(const QTextList *list);
    int outputFor(Group &group, const QTextList *list, int level, const ListLevelStyle &style);
    QString markerOf(Group &group, const QTextList *list, int level, const ListLevelStyle &style);
    void writeFallback(RtfOutput &out, const ListLevelStyle &style, const QString &marker, int textFont,
                       int halfPoints);
    void writeOldStyle(RtfOutput &out, const ListLevelStyle &style, int level);
    void writeLevel(RtfOutput &out, const ListLevelStyle &style);
    int symbolFont();
    static bool isPlainBullet(const ListLevelStyle &style);

    OutputFontTable &m_fonts;
    int m_symbolFont = -1;
    std::vector<OutputList> m_outputs;
    QHash<int, Group> m_groups;                    // by list group
    QHash<const QTextList *, int> m_ownGroups;     // lists of no group, numbered below -1
    QHash<const QTextList *, int> m_itemsWritten;  // per list
};

}  // namespace engine
