#include "engine/codec/rtf/read/rtfreaderimpl.h"

// The list groups of an RTF file: \listtable with its \list and \listlevel groups,
// \listoverridetable, and the older \pn paragraph numbering; and the list item each
// paragraph is.
namespace engine::rtfin {

namespace {

// Sources of numbering that no \listid names: a list override that starts its levels
// again, an override number no table declares, a run of \pn paragraphs.
constexpr int kRestartedSource = 1 << 24;
constexpr int kUndeclaredSource = (2 << 24) - 1;
constexpr int kOldStyleSource = 3 << 24;
constexpr qsizetype kMaxLevelTextLength = 64;

int valueOr(const RtfToken &token, int fallback)
{
    return token.hasParameter ? token.parameter : fallback;
}

int startValue(const RtfToken &token)
{
    return std::clamp(valueOr(token, 1), 0, kMaxListStart);
}

}  // namespace

void ListDefinitionText::append(QStringView characters, bool asBytes)
{
    m_text += characters;
    m_bytes.append(characters.size(), asBytes ? 1 : 0);
}

void ListDefinitionText::clear()
{
    m_text.clear();
    m_bytes.clear();
}

ListDefinitionText ListDefinitionText::mid(qsizetype position, qsizetype length) const
{
    ListDefinitionText part;
    part.m_text = m_text.mid(position, length);
    part.m_bytes = m_bytes.mid(position, length);
    return part;
}

void ListDefinitionText::truncate(qsizetype length)
{
    m_text.truncate(length);
    m_bytes.truncate(length);
}

ListNumberKind listKindFromRtf(int levelFormat)
{
    switch (levelFormat) {
    case 1: return ListNumberKind::UpperRoman;
    case 2: return ListNumberKind::LowerRoman;
    case 3: return ListNumberKind::UpperLetter;
    case 4: return ListNumberKind::LowerLetter;
    case 23: return ListNumberKind::Bullet;
    case 255: return ListNumberKind::None;
    default: return ListNumberKind::Decimal;  // ordinals, leading zeros and the rest
    }
}

void ListTables::addList(int listId, const Levels &levels)
{
    if (m_lists.size() < kMaxRtfLists || m_lists.contains(listId))
        m_lists.insert(listId, levels);
}

void ListTables::addOverride(int overrideNumber, int listId, const StartOverrides &starts)
{
    if (m_overrides.size() >= kMaxRtfLists && !m_overrides.contains(overrideNumber))
        return;
    const bool restarts = std::any_of(starts.begin(), starts.end(), [](int start) { return start >= 0; });
    m_overrides.insert(overrideNumber, Override{listId, starts, restarts});
}

ListItem ListTables::itemOf(int overrideNumber, int level) const
{
    ListItem item;
    item.level = std::clamp(level, 0, kListLevels - 1);
    const auto override = m_overrides.constFind(overrideNumber);
    const auto list = override == m_overrides.constEnd() ? m_lists.constEnd() : m_lists.constFind(override->listId);
    if (list == m_lists.constEnd()) {
        // One source for them all, so that a file of many such numbers makes few lists.
        item.source = kUndeclaredSource;
        item.style = defaultLevelStyle(ListNumberKind::Decimal, item.level);
        return item;
    }
    // Overrides of one list number together unless they start its levels again.
    item.source = override->restarts ? kRestartedSource + overrideNumber : override->listId;
    item.style = list.value()[size_t(item.level)];
    if (const int start = override->starts[size_t(item.level)]; start >= 0)
        item.style.start = start;
    return item;
}

std::optional<ListItem> Reader::listItemOf(const ParaState &state) const
{
    if (state.listOverride >= 0)
        return m_listReading.tables.itemOf(state.listOverride, state.listLevel);
    if (state.oldStyleList < 0 || state.oldStyleList >= int(m_listReading.pnStyles.size()))
        return std::nullopt;
    ListItem item;
    item.source = kOldStyleSource + m_listReading.pnSource;
    item.level = m_listReading.pnLevels[size_t(state.oldStyleList)];
    item.style = m_listReading.pnStyles[size_t(state.oldStyleList)];
    return item;
}

// Runs of \pn paragraphs number on while nothing else comes between them.
void Reader::notePnContinuity(const ParaState &state)
{
    ListReading &lists = m_listReading;
    if (state.listOverride >= 0 || state.oldStyleList < 0) {
        lists.pnInterrupted = true;
    } else if (lists.pnInterrupted) {
        lists.pnInterrupted = false;
        ++lists.pnSource;
    }
}

bool Reader::openListDestination(RtfWord word, GroupState &group)
{
    ListReading &lists = m_listReading;
    const Destination current = group.destination;
    const auto enter = [&](Destination from, Destination to) {
        if (current != from)
            return false;
        group.destination = to;
        return true;
    };
    switch (word) {
    case RtfWord::listtable:
        return enter(Destination::Body, Destination::ListTable);
    case RtfWord::list:
        lists.listId = 0;
        lists.levelIndex = 0;
        for (int level = 0; level < kListLevels; ++level)
            lists.levels[size_t(level)] = defaultLevelStyle(ListNumberKind::Decimal, level);
        return enter(Destination::ListTable, Destination::List);
    case RtfWord::listlevel:
        lists.levelFormat = 0;
        lists.levelStart = 1;
        lists.levelFont = -1;
        lists.levelText.clear();
        return enter(Destination::List, Destination::ListLevel);
    case RtfWord::leveltext:
        lists.levelText.clear();
        return enter(Destination::ListLevel, Destination::LevelText);
    case RtfWord::listoverridetable:
        return enter(Destination::Body, Destination::ListOverrideTable);
    case RtfWord::listoverride:
        lists.overrideListId = 0;
        lists.overrideNumber = 0;
        lists.overrideLevel = 0;
        lists.overrideStarts.fill(-1);
        return enter(Destination::ListOverrideTable, Destination::ListOverride);
    case RtfWord::lfolevel:
        return enter(Destination::ListOverride, Destination::OverrideLevel);
    case RtfWord::listtext:
    case RtfWord::pntext:
        m_listText.clear();
        return enter(Destination::Body, Destination::ListText);
    case RtfWord::pn:
        lists.pnKind = ListNumberKind::Decimal;
        lists.pnLevel = 0;
        lists.pnStart = 1;
        lists.pnFont = -1;
        lists.pnContinues = false;
        lists.pnBefore.clear();
        lists.pnAfter.clear();
        return enter(Destination::Body, Destination::ParagraphNumbering);
    case RtfWord::pntxtb:
        return enter(Destination::ParagraphNumbering, Destination::PnTextBefore);
    case RtfWord::pntxta:
        return enter(Destination::ParagraphNumbering, Destination::PnTextAfter);
    default:
        return false;
    }
}

void Reader::closeListDestination(Destination inner, Destination outer)
{
    ListReading &lists = m_listReading;
    if (inner == outer)
        return;
    switch (inner) {
    case Destination::ListLevel:
        if (outer == Destination::List)
            finishListLevel();
        break;
    case Destination::List:
        lists.tables.addList(lists.listId, lists.levels);
        forgetFormats();
        break;
    case Destination::OverrideLevel:
        ++lists.overrideLevel;
        break;
    case Destination::ListOverride:
        lists.tables.addOverride(lists.overrideNumber, lists.overrideListId, lists.overrideStarts);
        forgetFormats();
        break;
    case Destination::ParagraphNumbering:
        top().para.oldStyleList = lists.pnContinues ? -1 : internPnStyle();
        noteParagraphChange();
        break;
    default:
        break;
    }
}

QString Reader::fontName(int number) const
{
    const FontEntry *font = m_fonts.find(number);
    return font ? font->name : QString();
}

// Bullets in a symbol font are shown as the Unicode characters they look like, in the
// paragraph's font; other fonts stay the marker's own.
void Reader::setMarkerText(ListLevelStyle &style, const QString &text, int font)
{
    const QString face = fontName(font);
    if (style.kind != ListNumberKind::Bullet) {
        style.text = text;
        return;
    }
    style.text = bulletFromSymbolFont(text, face);
    if (style.text.isEmpty())
        style.text = QString(QChar(0x2022));
    style.font = isSymbolFontName(face) ? QString() : face;
}

// \leveltext holds its length first, then its text, in which the characters 0 to 8 stand
// for the numbers of the levels; a ';' ends it. The text may hold ';' itself, so the last
// one is taken for the end.
void Reader::finishListLevel()
{
    ListReading &lists = m_listReading;
    if (lists.levelIndex >= kListLevels)
        return;
    const int level = lists.levelIndex++;
    ListLevelStyle style = defaultLevelStyle(listKindFromRtf(lists.levelFormat), level);
    style.start = lists.levelStart;
    if (!lists.levelText.isEmpty()) {
        const int length = lists.levelText.at(0).unicode();
        ListDefinitionText given = lists.levelText;
        if (const qsizetype end = given.text().lastIndexOf(u';'); end >= 1)
            given.truncate(end);
        given = given.mid(1, std::min<qsizetype>(length, kMaxLevelTextLength));
        QString text = isSymbolFontName(fontName(lists.levelFont)) ? given.text() : decodeBytes(given, lists.levelFont);
        // Control characters other than the level placeholders and tab carry no text.
        text.removeIf([](QChar c) { return c.unicode() >= kListLevels && c.unicode() < 0x20 && c != u'\t'; });
        if (!text.isEmpty() || style.kind == ListNumberKind::None)
            setMarkerText(style, text, lists.levelFont);
    } else if (style.kind == ListNumberKind::Bullet) {
        setMarkerText(style, style.text, lists.levelFont);
    }
    // Placeholders of levels below this one name nothing yet.
    QString text = style.text;
    text.removeIf([level](QChar c) { return c.unicode() < kListLevels && c.unicode() > level; });
    style.text = text;
    lists.levels[size_t(level)] = style;
}

// Characters read as bytes are decoded in the code page of the marker's font.
QString Reader::decodeBytes(const ListDefinitionText &text, int font)
{
    QString decoded;
    const FontEntry *entry = m_fonts.find(font);
    const int codePage = entry ? codePageOfFont(*entry) : m_ansiCodePage;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (text.isByte(i) && c.unicode() >= 0x80)
            decoded += m_decoder.decode(QByteArray(1, char(c.unicode())), codePage);
        else
            decoded += c;
    }
    return decoded;
}

int Reader::internPnStyle()
{
    ListReading &lists = m_listReading;
    ListReading::PnInputs inputs{lists.pnKind, lists.pnLevel, lists.pnStart, lists.pnFont, m_ansiCodePage,
                                 lists.pnBefore, lists.pnAfter};
    if (lists.lastPn == inputs)
        return lists.lastPnIndex;
    lists.lastPnIndex = internNewPnStyle();
    lists.lastPn = std::move(inputs);
    return lists.lastPnIndex;
}

int Reader::internNewPnStyle()
{
    ListReading &lists = m_listReading;
    ListLevelStyle style = defaultLevelStyle(lists.pnKind, lists.pnLevel);
    style.start = lists.pnStart;
    if (lists.pnKind == ListNumberKind::Bullet) {
        setMarkerText(style, lists.pnBefore.isEmpty() ? style.text : decodePnText(lists.pnBefore), lists.pnFont);
    } else {
        // The number's whole text fits a level's text, as it is written as one.
        const QString before = decodePnText(lists.pnBefore).left(kMaxLevelTextLength - 1);
        const QString after = decodePnText(lists.pnAfter).left(kMaxLevelTextLength - 1 - before.size());
        style.text = before + QChar(lists.pnLevel) + after;
    }
    const QString key = QStringLiteral("%1/%2/%3/%4/").arg(int(style.kind)).arg(style.start).arg(lists.pnLevel).arg(style.font)
                        + style.text;
    const auto known = lists.pnIndexes.constFind(key);
    if (known != lists.pnIndexes.constEnd())
        return known.value();
    if (lists.pnStyles.size() >= size_t(kMaxRtfLists))
        return -1;
    lists.pnStyles.push_back(style);
    lists.pnLevels.push_back(lists.pnLevel);
    lists.pnIndexes.insert(key, int(lists.pnStyles.size() - 1));
    return int(lists.pnStyles.size() - 1);
}

QString Reader::decodePnText(const ListDefinitionText &text)
{
    QString decoded = isSymbolFontName(fontName(m_listReading.pnFont)) ? text.text() : decodeBytes(text, m_listReading.pnFont);
    decoded.removeIf([](QChar c) { return c.unicode() < 0x20; });
    return decoded.left(kMaxLevelTextLength);
}

// Text of a level's number (\leveltext) or of the old form's text before or after the
// number (\pntxtb, \pntxta).
void Reader::appendListDefinitionText(QStringView text, bool asBytes)
{
    ListReading &lists = m_listReading;
    ListDefinitionText *target = nullptr;
    switch (current().destination) {
    case Destination::LevelText: target = &lists.levelText; break;
    case Destination::PnTextBefore: target = &lists.pnBefore; break;
    case Destination::PnTextAfter: target = &lists.pnAfter; break;
    default: return;
    }
    if (target->size() < kMaxLevelTextLength * 2)
        target->append(text, asBytes);
}

void Reader::handleListWord(RtfWord word, const RtfToken &token)
{
    ListReading &lists = m_listReading;
    const Destination destination = current().destination;
    switch (word) {
    case RtfWord::u:
        handleUnicode(valueOr(token, 0));
        break;
    case RtfWord::listid:
        if (destination == Destination::List)
            lists.listId = valueOr(token, 0);
        else if (destination == Destination::ListOverride)
            lists.overrideListId = valueOr(token, 0);
        break;
    case RtfWord::levelnfc:
    case RtfWord::levelnfcn:
        if (destination == Destination::ListLevel)
            lists.levelFormat = valueOr(token, 0);
        break;
    case RtfWord::levelstartat:
        if (destination == Destination::ListLevel)
            lists.levelStart = startValue(token);
        else if (destination == Destination::OverrideLevel && lists.overrideLevel < kListLevels)
            lists.overrideStarts[size_t(lists.overrideLevel)] = startValue(token);
        break;
    case RtfWord::f:
        if (destination == Destination::ListLevel)
            lists.levelFont = valueOr(token, 0);
        break;
    case RtfWord::ls:
        if (destination == Destination::ListOverride)
            lists.overrideNumber = valueOr(token, 0);
        break;
    default:
        handlePnWord(word, token);
        break;
    }
}

void Reader::handlePnWord(RtfWord word, const RtfToken &token)
{
    ListReading &lists = m_listReading;
    switch (word) {
    case RtfWord::pnlvlblt:
        lists.pnKind = ListNumberKind::Bullet;
        lists.pnLevel = 0;
        break;
    case RtfWord::pnlvlcont:
        lists.pnContinues = true;
        break;
    case RtfWord::pnlvlbody:
        lists.pnLevel = 0;
        break;
    case RtfWord::pnlvl:
        lists.pnLevel = std::clamp(valueOr(token, 1) - 1, 0, kListLevels - 1);
        break;
    case RtfWord::pndec: lists.pnKind = ListNumberKind::Decimal; break;
    case RtfWord::pnucltr: lists.pnKind = ListNumberKind::UpperLetter; break;
    case RtfWord::pnlcltr: lists.pnKind = ListNumberKind::LowerLetter; break;
    case RtfWord::pnucrm: lists.pnKind = ListNumberKind::UpperRoman; break;
    case RtfWord::pnlcrm: lists.pnKind = ListNumberKind::LowerRoman; break;
    case RtfWord::pnstart: lists.pnStart = startValue(token); break;
    case RtfWord::pnf: lists.pnFont = valueOr(token, 0); break;
    default: break;
    }
}

}  // namespace engine::rtfin
