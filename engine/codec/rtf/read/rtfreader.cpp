#include "engine/codec/rtf/read/rtfreader.h"

#include "engine/codec/rtf/read/rtfreaderimpl.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTextDocument>

namespace engine {

Q_LOGGING_CATEGORY(lcRtf, "wp.rtf", QtWarningMsg)

QString RtfReadResult::message() const
{
    switch (error) {
    case RtfReadError::None:
        return {};
    case RtfReadError::NoDocument:
        return QCoreApplication::translate("engine", "There is no document to read into.");
    case RtfReadError::NotRtf:
        return QCoreApplication::translate("engine", "The data is not Rich Text Format.");
    }
    return {};
}

QString RtfReadResult::damageDescription() const
{
    const QString at = QLocale(QLocale::English, QLocale::UnitedStates).toString(qlonglong(damageOffset));
    switch (damage) {
    case RtfDamage::None:
        return {};
    case RtfDamage::UnclosedGroup:
        return QCoreApplication::translate("engine", "it ends before its last group is closed (byte %1)").arg(at);
    case RtfDamage::ShortBinary:
        return QCoreApplication::translate("engine", "it ends inside binary data (byte %1)").arg(at);
    case RtfDamage::BadPicture:
        return QCoreApplication::translate("engine", "a picture's data is not readable (byte %1)").arg(at);
    }
    return {};
}

namespace {

// Puts the tokens after the opening "{\rtf", which may follow ASCII whitespace; returns
// the offset of its brace, or -1 when the bytes do not start so.
qsizetype skipHeader(const QByteArray &bytes, RtfTokenizer &tokens)
{
    qsizetype start = 0;
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r'
                                    || bytes[start] == '\n'))
        ++start;
    tokens.setPosition(start);
    const RtfToken open = tokens.next();
    if (open.kind != RtfTokenKind::GroupOpen || open.offset != start)
        return -1;
    const RtfToken word = tokens.next();
    if (word.kind != RtfTokenKind::ControlWord || word.offset != start + 1 || word.data != QByteArrayView("rtf"))
        return -1;
    return start;
}

}  // namespace

// What makes reading fail, found before the document is touched: the bytes must start,
// after ASCII whitespace, with "{\rtf". Damage further on is read leniently.
RtfCheck checkRtf(const QByteArray &bytes)
{
    RtfTokenizer tokens(bytes);
    const qsizetype start = skipHeader(bytes, tokens);
    if (start < 0)
        return {{RtfReadError::NotRtf, 0}, -1};
    return {{}, start};
}

RtfReadResult readCheckedRtf(const QByteArray &bytes, const RtfCheck &check, QTextDocument *document)
{
    if (!check.result.ok()) {
        qCInfo(lcRtf) << "not read:" << check.result.message();
        return check.result;
    }
    if (!document)
        return {RtfReadError::NoDocument, 0};
    rtfin::Reader reader(bytes, document);
    return reader.read(check.start);
}

RtfReadResult appendCheckedRtf(const QByteArray &bytes, const RtfCheck &check, QTextDocument *document,
                               RtfAppend &append)
{
    if (!check.result.ok())
        return check.result;
    if (!document)
        return {RtfReadError::NoDocument, 0};
    rtfin::Reader reader(bytes, document, &append);
    return reader.read(check.start);
}

RtfReadResult readRtf(const QByteArray &bytes, QTextDocument *document)
{
    if (!document)
        return {RtfReadError::NoDocument, 0};
    return readCheckedRtf(bytes, checkRtf(bytes), document);
}

namespace rtfin {

Reader::Reader(const QByteArray &bytes, QTextDocument *document, RtfAppend *append)
    : m_bytes(bytes), m_document(document), m_tokens(bytes), m_builder(document, append),
      m_resourcePrefix(append ? append->resourcePrefix : QString()), m_appends(append != nullptr)
{
    m_builder.reserveFor(bytes.size());
}

// Starts after the "{\rtf" whose brace is at `start`, which the caller has checked.
void Reader::enterOutermostGroup(qsizetype start)
{
    m_tokens.setPosition(start);
    m_tokens.next();  // the brace
    m_tokens.next();  // \rtf
    GroupState outermost;
    outermost.openOffset = start;
    m_states.push_back(outermost);
    m_stateLevels.push_back(0);
    m_levelOffsets.push_back(start);
}

RtfReadResult Reader::read(qsizetype start)
{
    enterOutermostGroup(start);
    readGroups();
    storeExtras();
    RtfReadResult result;
    result.damage = m_damage;
    result.damageOffset = m_damageOffset;
    result.skipped = m_skipped;
    return result;
}

void Reader::readGroups()
{
    for (;;) {
        if (m_objectToKeep >= 0 && !keepShownObject())
            break;
        RtfToken token = m_tokens.next();
        if (m_unicodeSkipLeft > 0 && !skipUnicodeFallback(token))
            continue;
        if (!m_pendingBytes.isEmpty() && !continuesBytes(token))
            flushBytes();
        if (m_starPending && token.kind != RtfTokenKind::ControlWord) {
            // \* marks an optional destination: anything but a control word after it
            // leaves nothing this reader could use in the group.
            m_starPending = false;
            if (depth() > 1 && token.kind != RtfTokenKind::GroupClose) {
                if (token.kind == RtfTokenKind::GroupOpen && !m_tokens.skipGroup())
                    break;
                if (!skipGroup())
                    break;
                continue;
            }
        }
        switch (token.kind) {
        case RtfTokenKind::End:
            finishAtEnd(token.offset);
            return;
        case RtfTokenKind::GroupOpen:
            openGroup(token.offset);
            break;
        case RtfTokenKind::GroupClose:
            if (depth() == 1) {
                finishDocument();
                return;
            }
            closeGroup();
            break;
        case RtfTokenKind::ControlWord:
            if (!handleWord(token)) {
                finishAtEnd(m_tokens.size());
                return;
            }
            break;
        case RtfTokenKind::ControlSymbol:
            handleSymbol(token.symbol);
            break;
        case RtfTokenKind::Text:
            handleText(token.data);
            break;
        case RtfTokenKind::HexByte:
            handleHexByte(token.hexByte);
            break;
        case RtfTokenKind::Binary:
            if (token.data.size() < token.parameter)
                noteDamage(RtfDamage::ShortBinary, token.offset);
            handleBinary(token.data);
            break;
        }
    }
    finishAtEnd(m_tokens.size());
}

// A truncated file keeps what it holds: the groups still open close at the end of the
// data, each doing what its closing brace would have done.
void Reader::finishAtEnd(qsizetype offset)
{
    noteDamage(RtfDamage::UnclosedGroup, offset);
    m_unicodeSkipLeft = 0;
    if (!m_pendingBytes.isEmpty())
        flushBytes();
    while (depth() > 1)
        closeGroup();
    if (m_objectToKeep >= 0) {
        // The object around the picture was cut: the picture alone is kept.
        m_objectToKeep = -1;
        m_builder.appendImage(std::exchange(m_objectPicture, QTextImageFormat()));
    }
    finishDocument();
}

void Reader::noteDamage(RtfDamage damage, qsizetype offset)
{
    qCInfo(lcRtf) << "damaged data read leniently at byte" << offset << "kind" << int(damage);
    if (m_damage != RtfDamage::None)
        return;
    m_damage = damage;
    m_damageOffset = offset;
}

GroupState &Reader::top()
{
    const int level = depth() - 1;
    if (m_stateLevels.back() != level && int(m_states.size()) < kMaxRtfGroupStates) {
        GroupState state = m_states.back();
        state.openOffset = m_levelOffsets.back();
        state.endsField = state.endsPicture = false;
        m_states.push_back(std::move(state));
        m_stateLevels.push_back(level);
    }
    m_states.back().textFormat = -1;  // whoever asks for the state may change it
    return m_states.back();
}

// The innermost group has no state of its own and can get none: what it starts would
// change the state of a group around it.
bool Reader::sharesPastLimit() const
{
    return m_stateLevels.back() != depth() - 1 && int(m_states.size()) >= kMaxRtfGroupStates;
}

// A \uN character is followed by \ucN fallback characters for readers without Unicode:
// each text byte, \'hh, control word or \bin block counts as one; a brace ends the
// fallback early. Returns true when the token (or what is left of a text run) still
// needs handling.
bool Reader::skipUnicodeFallback(RtfToken &token)
{
    switch (token.kind) {
    case RtfTokenKind::GroupOpen:
    case RtfTokenKind::GroupClose:
    case RtfTokenKind::End:
        m_unicodeSkipLeft = 0;
        return true;
    case RtfTokenKind::Text: {
        const qsizetype skipped = std::min<qsizetype>(m_unicodeSkipLeft, token.data.size());
        m_unicodeSkipLeft -= int(skipped);
        token.data = token.data.sliced(skipped);
        return !token.data.isEmpty();
    }
    default:
        --m_unicodeSkipLeft;
        return false;
    }
}

// Text bytes, escaped bytes and the escaped specials are decoded together.
bool Reader::continuesBytes(const RtfToken &token)
{
    switch (token.kind) {
    case RtfTokenKind::Text:
    case RtfTokenKind::HexByte:
        return true;
    case RtfTokenKind::ControlSymbol:
        return token.symbol == '\\' || token.symbol == '{' || token.symbol == '}';
    default:
        return false;
    }
}

// A new level shares the state around it until a control word changes it.
void Reader::openGroup(qsizetype offset)
{
    if (int(m_states.size()) >= kMaxRtfGroupStates) {
        if (m_skipped.deepGroups++ == 0)
            qCInfo(lcRtf) << "groups from byte" << offset << "on share the formatting of a group around them";
    }
    m_levelOffsets.push_back(offset);
}

std::optional<GroupState> Reader::popLevel()
{
    std::optional<GroupState> own;
    if (m_stateLevels.back() == depth() - 1) {
        own = std::move(m_states.back());
        m_states.pop_back();
        m_stateLevels.pop_back();
    }
    m_levelOffsets.pop_back();
    return own;
}

bool Reader::skipGroup()
{
    if (!m_tokens.skipGroup())
        return false;
    if (depth() > 1) {
        // The group's own destination ends unread, but what it opened must still end.
        if (const std::optional<GroupState> closed = popLevel())
            endGroupActions(*closed);
    }
    return true;
}

void Reader::endGroupActions(const GroupState &closed)
{
    if (closed.endsPicture)
        finishPicture();
    if (closed.endsField && !m_fields.empty()) {
        const Field field = std::move(m_fields.back());
        m_fields.pop_back();
        if (!field.shown)
            keepEmptyField(field);
    }
}

// A level that shared its state closes with the same destination inside and around it.
void Reader::closeGroup()
{
    const Destination inner = current().destination;
    const std::optional<GroupState> closed = popLevel();
    const Destination outer = current().destination;

    switch (inner) {
    case Destination::FontTable:
        // An entry ends with its group, and the last one also with the table.
        commitFontEntry();
        break;
    case Destination::DefaultParagraph:
        if (outer != Destination::DefaultParagraph)
            top().para = m_defaultParagraph;
        break;
    default:
        closeListDestination(inner, outer);
        break;
    }
    if (closed)
        endGroupActions(*closed);
}

void Reader::handleText(QByteArrayView text)
{
    switch (current().destination) {
    case Destination::Body:
    case Destination::ListText:
    case Destination::FieldInstruction:
        if (m_pendingBytes.isEmpty()) {
            bool plain = true;
            for (const char c : text) {
                if (c < 0x20 || c > 0x7e) {
                    plain = false;
                    break;
                }
            }
            if (plain && current().destination == Destination::Body) {
                beginContent();
                m_shapePictureShown = false;
                m_builder.appendText(QLatin1StringView(text.data(), text.size()), currentTextFormatIndex());
                return;
            }
            if (plain) {
                deliverText(QString::fromLatin1(text.data(), text.size()));
                return;
            }
        }
        m_pendingBytes.append(text.data(), text.size());
        return;
    case Destination::FontTable:
        for (const char c : text) {
            if (c == ';')
                commitFontEntry();
            else
                m_fontNameBytes.append(c);
        }
        return;
    case Destination::ColorTable:
        for (const char c : text) {
            if (c != ';')
                continue;
            m_colors.add(m_colorGiven ? QColor(m_red, m_green, m_blue) : QColor());
            if (m_extras.sourceColors.size() < kMaxRtfColors)
                m_extras.sourceColors.append(m_colorGiven ? QColor(m_red, m_green, m_blue) : QColor());
            forgetFormats();
            m_red = m_green = m_blue = 0;
            m_colorGiven = false;
        }
        return;
    case Destination::Picture:
        m_picture.appendHex(text);
        return;
    default:
        appendListDefinitionText(QString::fromLatin1(text.data(), text.size()), true);
        return;
    }
}

void Reader::handleHexByte(quint8 byte)
{
    switch (current().destination) {
    case Destination::Body:
    case Destination::ListText:
    case Destination::FieldInstruction:
        m_pendingBytes.append(char(byte));
        return;
    case Destination::FontTable:
        m_fontNameBytes.append(char(byte));
        return;
    default:
        appendListDefinitionText(QString(QChar(byte)), true);
        return;
    }
}

void Reader::handleBinary(QByteArrayView bytes)
{
    if (current().destination == Destination::Picture)
        m_picture.appendBinary(bytes);
}

void Reader::handleSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        // Escaped bytes of the text: in a double-byte code page one may be the second
        // byte of a character, so they are decoded with the bytes around them.
        handleHexByte(quint8(symbol));
        return;
    case '~':
        deliverChar(0x00A0);
        return;
    case '-':
        deliverChar(0x00AD);
        return;
    case '_':
        deliverChar(0x2011);
        return;
    case '*':
        m_starPending = true;
        return;
    case '\n':
        if (current().destination == Destination::Body)
            endParagraph();
        return;
    default:
        return;
    }
}

}  // namespace rtfin
}  // namespace engine
