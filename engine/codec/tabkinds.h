#pragma once
#include <QList>
#include <QTextOption>

class QTextBlockFormat;

// Tab stops other than plain left tabs. A paragraph keeps its stop positions in
// prop::TabStopsTwips; the kind of each stop that aligns otherwise or has a leader is
// kept beside them by position in prop::TabKinds, so that stops added, moved or removed
// by other means leave the remaining kinds in place. Vertical bars (\tb) are no stops:
// they are kept in prop::BarTabsTwips.
namespace engine {

enum class TabAlignment : quint8 { Left, Center, Right, Decimal };
enum class TabLeader : quint8 { None, Dots, Hyphens, Underline, ThickLine, Equals, MiddleDots };

struct TabKind {
    TabAlignment alignment = TabAlignment::Left;
    TabLeader leader = TabLeader::None;

    bool isPlain() const { return alignment == TabAlignment::Left && leader == TabLeader::None; }
    int code() const { return int(alignment) | (int(leader) << 4); }
    static TabKind fromCode(int code);
    bool operator==(const TabKind &) const = default;
};

// The kind of the stop at `position` (twips); a plain left tab when none is kept.
TabKind tabKindAt(const QTextBlockFormat &format, int position);
// Keeps `kinds` (position, kind) in the format; plain tabs are left out.
void setTabKinds(QTextBlockFormat &format, const QList<std::pair<int, TabKind>> &kinds);
// Forgets the kinds of stops that are no longer at their positions.
void keepTabKindsAt(QTextBlockFormat &format, const QList<int> &positions);
QList<int> barTabs(const QTextBlockFormat &format);
void setBarTabs(QTextBlockFormat &format, const QList<int> &positions);

// How Qt draws the stop: right, centre and decimal alignment; leaders and bars are not drawn.
QTextOption::Tab displayTab(qreal position, TabKind kind);

}  // namespace engine
