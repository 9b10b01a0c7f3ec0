#include "engine/codec/tabkinds.h"

#include "engine/codec/textprops.h"

#include <QTextBlockFormat>

namespace engine {

TabKind TabKind::fromCode(int code)
{
    TabKind kind;
    kind.alignment = TabAlignment(std::clamp(code & 0x0f, 0, int(TabAlignment::Decimal)));
    kind.leader = TabLeader(std::clamp((code >> 4) & 0x0f, 0, int(TabLeader::MiddleDots)));
    return kind;
}

TabKind tabKindAt(const QTextBlockFormat &format, int position)
{
    if (!format.hasProperty(prop::TabKinds))
        return {};
    const QList<int> pairs = format.property(prop::TabKinds).value<QList<int>>();
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        if (pairs[i] == position)
            return TabKind::fromCode(pairs[i + 1]);
    }
    return {};
}

void setTabKinds(QTextBlockFormat &format, const QList<std::pair<int, TabKind>> &kinds)
{
    QList<int> pairs;
    for (const auto &[position, kind] : kinds) {
        if (!kind.isPlain())
            pairs << position << kind.code();
    }
    if (pairs.isEmpty())
        format.clearProperty(prop::TabKinds);
    else
        format.setProperty(prop::TabKinds, QVariant::fromValue(pairs));
}

void keepTabKindsAt(QTextBlockFormat &format, const QList<int> &positions)
{
    if (!format.hasProperty(prop::TabKinds))
        return;
    const QList<int> pairs = format.property(prop::TabKinds).value<QList<int>>();
    QList<std::pair<int, TabKind>> kept;
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        if (positions.contains(pairs[i]))
            kept.append({pairs[i], TabKind::fromCode(pairs[i + 1])});
    }
    setTabKinds(format, kept);
}

QList<int> barTabs(const QTextBlockFormat &format)
{
    return format.hasProperty(prop::BarTabsTwips) ? format.property(prop::BarTabsTwips).value<QList<int>>() : QList<int>();
}

void setBarTabs(QTextBlockFormat &format, const QList<int> &positions)
{
    if (positions.isEmpty())
        format.clearProperty(prop::BarTabsTwips);
    else
        format.setProperty(prop::BarTabsTwips, QVariant::fromValue(positions));
}

QTextOption::Tab displayTab(qreal position, TabKind kind)
{
    switch (kind.alignment) {
    case TabAlignment::Center: return QTextOption::Tab(position, QTextOption::CenterTab);
    case TabAlignment::Right: return QTextOption::Tab(position, QTextOption::RightTab);
    case TabAlignment::Decimal:
        return QTextOption::Tab(position, QTextOption::DelimiterTab, u'.');
    case TabAlignment::Left: break;
    }
    return QTextOption::Tab(position, QTextOption::LeftTab);
}

}  // namespace engine
