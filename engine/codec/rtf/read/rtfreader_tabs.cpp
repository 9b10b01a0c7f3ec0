#include "engine/codec/rtf/read/rtfreaderimpl.h"
#include "engine/codec/tabkinds.h"

// Tab stops with their kinds and leaders, vertical bars, and the paragraph's direction.
// The kind and leader words come before the \tx of their stop.
namespace engine::rtfin {

namespace {

constexpr quint8 kBarTab = 0xff;

}  // namespace

bool Reader::handleTabWord(RtfWord word, int position)
{
    TabKind kind = TabKind::fromCode(m_pendingTabCode);
    switch (word) {
    case RtfWord::tqc: kind.alignment = TabAlignment::Center; break;
    case RtfWord::tqr: kind.alignment = TabAlignment::Right; break;
    case RtfWord::tqdec: kind.alignment = TabAlignment::Decimal; break;
    case RtfWord::tldot: kind.leader = TabLeader::Dots; break;
    case RtfWord::tlhyph: kind.leader = TabLeader::Hyphens; break;
    case RtfWord::tlul: kind.leader = TabLeader::Underline; break;
    case RtfWord::tlth: kind.leader = TabLeader::ThickLine; break;
    case RtfWord::tleq: kind.leader = TabLeader::Equals; break;
    case RtfWord::tlmdot: kind.leader = TabLeader::MiddleDots; break;
    case RtfWord::tx:
    case RtfWord::tb:
        addTabStop(top().para, position, word == RtfWord::tb ? kBarTab : quint8(kind.code()));
        m_pendingTabCode = 0;
        return true;
    case RtfWord::rtlpar: top().para.rightToLeft = true; return true;
    case RtfWord::ltrpar: top().para.rightToLeft = false; return true;
    default:
        return false;
    }
    m_pendingTabCode = quint8(kind.code());
    return true;
}

// Stops stay in position order; a second stop at a position replaces the first.
void Reader::addTabStop(ParaState &para, int position, quint8 code)
{
    auto *end = para.tabs.begin() + para.tabCount;
    auto *at = std::lower_bound(para.tabs.begin(), end, position);
    const auto index = size_t(at - para.tabs.begin());
    if (at != end && *at == position) {
        para.tabCodes[index] = code;
        return;
    }
    if (para.tabCount >= kMaxTabStops)
        return;
    std::move_backward(at, end, end + 1);
    std::move_backward(para.tabCodes.begin() + index, para.tabCodes.begin() + para.tabCount,
                       para.tabCodes.begin() + para.tabCount + 1);
    *at = position;
    para.tabCodes[index] = code;
    ++para.tabCount;
}

void Reader::setTabStops(const ParaState &state, ParaFormat &record, QTextBlockFormat &format)
{
    QList<std::pair<int, TabKind>> kinds;
    QList<int> bars;
    record.tabCount = 0;
    for (int i = 0; i < state.tabCount; ++i) {
        const int position = state.tabs[size_t(i)];
        const quint8 code = state.tabCodes[size_t(i)];
        if (code == kBarTab) {
            bars.append(position);
            continue;
        }
        record.tabs[size_t(record.tabCount++)] = position;
        kinds.append({position, TabKind::fromCode(code)});
    }
    setTabKinds(format, kinds);
    setBarTabs(format, bars);
}

// Alignment stays where the file puts it: a right-to-left paragraph's left is the left.
void Reader::setDirection(const ParaState &state, QTextBlockFormat &format)
{
    if (!state.rightToLeft)
        return;
    format.setLayoutDirection(Qt::RightToLeft);
    format.setAlignment(format.alignment() | Qt::AlignAbsolute);
}

}  // namespace engine::rtfin
