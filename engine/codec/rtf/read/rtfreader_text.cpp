#include "engine/codec/rtf/read/rtfreaderimpl.h"
#include "engine/codec/textprops.h"

#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace engine::rtfin {

namespace {

constexpr qsizetype kMaxInstructionLength = 64 * 1024;
constexpr qsizetype kMaxListTextLength = 1024;

// Control characters other than tab carry no text in RTF.
void dropControlCharacters(QString &text)
{
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t'; });
}

}  // namespace

void Reader::flushBytes()
{
    QString text = m_decoder.decode(m_pendingBytes, codePageOf(current().chars));
    m_pendingBytes.clear();
    dropControlCharacters(text);
    if (!text.isEmpty())
        deliverText(text);
}

void Reader::deliverText(QStringView text)
{
    switch (current().destination) {
    case Destination::Body:
        bodyText(text);
        return;
    case Destination::ListText:
        if (m_listText.isEmpty())
            m_listTextFormat = charFormat(current().chars);
        if (m_listText.size() < kMaxListTextLength)
            m_listText += text;
        return;
    case Destination::FontTable:
        // Bytes of the name so far are decoded first, so that the characters stay in order.
        if (!m_fontNameBytes.isEmpty())
            m_font.name += m_decoder.decode(std::exchange(m_fontNameBytes, QByteArray()), codePageOfFont(m_font));
        m_font.name += text;
        return;
    case Destination::FieldInstruction: {
        const int index = current().instructionField;
        if (index >= 0 && index < int(m_fields.size()) && m_fields[size_t(index)].instruction.size() < kMaxInstructionLength)
            m_fields[size_t(index)].instruction += text;
        return;
    }
    default:
        appendListDefinitionText(text, false);
        return;
    }
}

void Reader::deliverChar(char16_t c)
{
    deliverText(QStringView(&c, 1));
}

void Reader::bodyText(QStringView text)
{
    beginContent();
    m_shapePictureShown = false;
    appendBodyText(text);
}

// Before the first content of a paragraph comes its visible list number, and in a row
// read as text the tabs that separate it from the cells before.
void Reader::beginContent()
{
    showInObject(false);
    noteFieldShown();
    if (!m_builder.paragraphHasContent() && !m_listText.isEmpty())
        emitListText();
    if (m_pendingCellTabs > 0) {
        m_builder.appendText(QString(m_pendingCellTabs, u'\t'), currentTextFormatIndex());
        m_pendingCellTabs = 0;
    }
}

// A list item's number or bullet comes from its list; the text a file gives for readers
// that cannot number is kept only where the paragraph is no list item.
void Reader::emitListText()
{
    if (!m_listText.isEmpty() && !listItemOf(paragraphState()))
        m_builder.appendText(m_listText, m_listTextFormat);
    m_listText.clear();
}

void Reader::endParagraph()
{
    finishParagraph();
}

void Reader::finishParagraph(int tableLevel)
{
    // An empty paragraph stands at the level of the group its mark is in: a nesting level
    // set in a group closed before it belonged to what that group held.
    const int ownLevel = tableLevelOf(m_builder.paragraphHasContent() ? paragraphState() : current().para);
    showInObject(false);
    noteFieldShown();
    if (m_builder.paragraphHasContent())
        m_listText.clear();
    else
        emitListText();
    m_pendingCellTabs = 0;
    ParaState para = paragraphState();
    para.pageBreakBefore = para.pageBreakBefore || m_pageBreakNext;
    m_pageBreakNext = false;
    m_paragraphSet = false;
    notePnContinuity(para);
    const std::optional<ListItem> item = listItemOf(para);
    const ListItem *list = item ? &*item : nullptr;
    const QTextBlockFormat format = blockFormat(para);
    const int level = std::min(tableLevel >= 0 ? tableLevel : ownLevel, kMaxRtfTableDepth);
    if (level > 0 && m_tables.accepts(level)) {
        m_tables.addParagraph(level, m_builder.takeParagraph(format, list, charFormat(current().chars)));
        return;
    }
    const QTextCharFormat mark = charFormat(current().chars);
    if (m_tables.isOpen())
        placeOpenTable(format, mark);
    m_builder.endParagraph(format, list, mark);
}

void Reader::finishDocument()
{
    if (!m_pendingBytes.isEmpty())
        flushBytes();
    // A table's last paragraph may lack its cell mark in a cut file.
    if (tableLevelOf(paragraphState()) > 0 && m_builder.paragraphHasContent())
        finishParagraph();
    ParaState para = paragraphState();
    para.pageBreakBefore = para.pageBreakBefore || m_pageBreakNext;
    notePnContinuity(para);
    const std::optional<ListItem> item = listItemOf(para);
    if (m_tables.isOpen())
        placeOpenTable(blockFormat(para), charFormat(current().chars));
    m_builder.finish(blockFormat(para), item ? &*item : nullptr, charFormat(current().chars));
}

// A page break starts a new paragraph that begins on a new page.
void Reader::breakPage()
{
    if (m_builder.paragraphHasContent())
        finishParagraph();
    m_pageBreakNext = true;
}

void Reader::commitFontEntry()
{
    if (!m_fontNameBytes.isEmpty())
        m_font.name += m_decoder.decode(m_fontNameBytes, codePageOfFont(m_font));
    m_fontNameBytes.clear();
    // A face name has no control characters, tabs included. It is cut to the length a
    // face may have before its ends are trimmed, so that it is written as it reads.
    m_font.name.removeIf([](QChar c) { return c.unicode() < 0x20; });
    m_font.name = m_font.name.left(kMaxFaceNameLength).trimmed();
    if (!m_font.name.isEmpty()) {
        m_fonts.add(m_fontNumber, m_font);
        if (m_extras.sourceFonts.size() < kMaxRtfFonts)
            m_extras.sourceFonts.append({m_fontNumber, m_font.name, m_font.charset, m_font.pitchAndFamily});
        forgetFormats();
    }
    m_font.name.clear();
}

void Reader::finishPicture()
{
    PictureData picture = std::exchange(m_picture, PictureData());
    if (picture.notHex) {
        noteDamage(RtfDamage::BadPicture, m_pictureOffset);
        ++m_skipped.pictures;
        return;
    }
    const bool overLimit =
        m_pictureCount >= kMaxRtfPictures || m_pictureBytes + picture.data.size() > kMaxRtfTotalPictureBytes;
    std::optional<DecodedPicture> decoded = overLimit ? std::nullopt : decodePicture(picture);
    QByteArray keptGroup;
    if (!decoded && !overLimit && picture.kind == PictureKind::Metafile && !picture.data.isEmpty()) {
        // No converter here: a framed box of its size stands for it, and its group is
        // written back as read.
        decoded = metafilePlaceholder(picture);
        // From its \pict on: what stands before it in the group is read as text.
        keptGroup = keptGroupFrom(m_pictureOffset);
    }
    if (!decoded) {
        ++m_skipped.pictures;
        qCInfo(lcRtf) << "picture dropped before byte" << m_tokens.position()
                      << (overLimit ? "(past the picture limits)" : "(damaged or of an unknown kind)");
        return;
    }
    ++m_pictureCount;
    m_pictureBytes += picture.data.size();

    const QUrl name(m_resourcePrefix + QStringLiteral("rtfpicture:%1").arg(m_pictureCount));
    m_document->addResource(QTextDocument::ImageResource, name, decoded->image);
    QTextImageFormat format;
    format.merge(charFormat(current().chars));
    format.setName(name.toString());
    format.setWidth(decoded->displaySize.width());
    format.setHeight(decoded->displaySize.height());
    format.setProperty(prop::ImageOriginalBytes, decoded->originalBytes);
    format.setProperty(prop::ImageOriginalKind, decoded->originalKind);
    const bool standsForObject = showInObject(true);
    if (!standsForObject && !keptGroup.isEmpty())
        format.setProperty(prop::KeptRtf, keptGroup);
    beginContent();
    if (current().inShapePicture)
        m_shapePictureShown = true;
    if (standsForObject) {
        m_objectToKeep = current().chars.object;
        m_objectPicture = format;
        return;
    }
    m_builder.appendImage(format);
}

// What the body shows inside an object's result decides what becomes of the object: a
// picture shown first stands for the whole object, anything else shown first leaves the
// object to be read as its result alone. Objects around it are read as their results.
// Returns true when the picture stands for the object.
bool Reader::showInObject(bool picture)
{
    const int index = current().chars.object;
    if (index < 0 || m_objects[size_t(index)].shown)
        return false;
    for (int i = index; i >= 0 && !m_objects[size_t(i)].shown; i = m_objects[size_t(i)].parent)
        m_objects[size_t(i)].shown = true;
    return picture;
}

// The rest of the object whose picture was just shown is skipped: the picture keeps the
// object's whole group, which is written back as it is, result included.
bool Reader::keepShownObject()
{
    const int index = std::exchange(m_objectToKeep, -1);
    QTextImageFormat picture = std::exchange(m_objectPicture, QTextImageFormat());
    while (depth() > 1 && current().chars.object == index) {
        if (!skipGroup())
            return false;
    }
    const qsizetype offset = m_objects[size_t(index)].offset;
    const qsizetype length = m_tokens.position() - offset;
    if (length <= kMaxRtfPictureBytes)
        picture.setProperty(prop::ObjectRtf, '{' + m_bytes.mid(offset, length));
    m_builder.appendImage(picture);
    return true;
}

}  // namespace engine::rtfin
