#include "engine/codec/charformatrange.h"
#include "engine/codec/formatmapping.h"
#include "engine/codec/objecttextformat.h"
#include "engine/view/richeditview.h"
#include "engine/view/richeditview_p.h"
#include "engine/codec/textprops.h"

#include <QKeyEvent>
#include <QSet>
#include <QTextBlock>
#include <QTextList>
#include <QTextDocument>
#include <QtGui/private/qtextdocument_p.h>
#include <QtGui/private/qtextformat_p.h>
#include <algorithm>
#include <optional>

namespace engine {

namespace {

// Keeps in `merged` only what `next` agrees with: differing attributes read as absent.
void intersectCharFormat(CharFormat &merged, const CharFormat &next)
{
    const auto keep = [&](quint32 maskBit, bool same) {
        if (!same)
            merged.mask &= ~maskBit;
    };
    static constexpr quint32 effectBits[] = {CFM_BOLD, CFM_ITALIC, CFM_UNDERLINE, CFM_STRIKEOUT,
                                             CFM_PROTECTED, CFM_LINK};
    for (quint32 bit : effectBits)
        keep(bit, (merged.effects & bit) == (next.effects & bit));  // CFE_x == CFM_x here
    keep(CFM_COLOR, (merged.effects & CFE_AUTOCOLOR) == (next.effects & CFE_AUTOCOLOR)
                        && merged.textColor == next.textColor);
    keep(CFM_SIZE, merged.height == next.height);
    keep(CFM_OFFSET, merged.offset == next.offset);
    keep(CFM_CHARSET, merged.charset == next.charset && merged.pitchAndFamily == next.pitchAndFamily);
    keep(CFM_FACE, merged.faceName == next.faceName);
}

// Values of absent attributes are zero.
void clearAbsentCharValues(CharFormat &format)
{
    for (quint32 bit : {CFM_BOLD, CFM_ITALIC, CFM_UNDERLINE, CFM_STRIKEOUT, CFM_PROTECTED, CFM_LINK})
        if (!(format.mask & bit))
            format.effects &= ~bit;
    if (!(format.mask & CFM_COLOR)) {
        format.effects &= ~quint32(CFE_AUTOCOLOR);
        format.textColor = 0;
    }
    if (!(format.mask & CFM_SIZE))
        format.height = 0;
    if (!(format.mask & CFM_OFFSET))
        format.offset = 0;
    if (!(format.mask & CFM_CHARSET)) {
        format.charset = 0;
        format.pitchAndFamily = 0;
    }
    if (!(format.mask & CFM_FACE))
        format.faceName.clear();
}

void intersectParaFormat(ParaFormat &merged, const ParaFormat &next)
{
    const auto keep = [&](quint32 maskBit, bool same) {
        if (!same)
            merged.mask &= ~maskBit;
    };
    keep(PFM_NUMBERING, merged.numbering == next.numbering);
    keep(PFM_STARTINDENT, merged.startIndent == next.startIndent);
    keep(PFM_RIGHTINDENT, merged.rightIndent == next.rightIndent);
    keep(PFM_OFFSET, merged.offset == next.offset);
    keep(PFM_ALIGNMENT, merged.alignment == next.alignment);
    keep(PFM_TABSTOPS, merged.tabCount == next.tabCount
                           && std::equal(merged.tabs.begin(), merged.tabs.begin() + merged.tabCount,
                                         next.tabs.begin()));
    keep(PFM_SPACEBEFORE, merged.spaceBefore == next.spaceBefore);
    keep(PFM_SPACEAFTER, merged.spaceAfter == next.spaceAfter);
    keep(PFM_LINESPACING, merged.lineSpacing == next.lineSpacing
                              && merged.lineSpacingRule == next.lineSpacingRule);
}

void clearAbsentParaValues(ParaFormat &format)
{
    const auto clear = [&](quint32 bit, auto &value) {
        if (!(format.mask & bit))
            value = 0;
    };
    clear(PFM_NUMBERING, format.numbering);
    clear(PFM_STARTINDENT, format.startIndent);
    clear(PFM_RIGHTINDENT, format.rightIndent);
    clear(PFM_OFFSET, format.offset);
    clear(PFM_ALIGNMENT, format.alignment);
    clear(PFM_SPACEBEFORE, format.spaceBefore);
    clear(PFM_SPACEAFTER, format.spaceAfter);
    clear(PFM_LINESPACING, format.lineSpacing);
    clear(PFM_LINESPACING, format.lineSpacingRule);
    if (!(format.mask & PFM_TABSTOPS)) {
        format.tabCount = 0;
        format.tabs.fill(0);
    }
}

// The document's own copy of `format`: a format changed here keeps the font worked out
// before the change for some properties (the underline style); the document works its
// copies' fonts out anew.
QTextCharFormat documentCopyOf(QTextDocument *document, const QTextCharFormat &format)
{
    QTextFormatCollection *formats = QTextDocumentPrivate::get(document)->formatCollection();
    return formats->charFormat(formats->indexForFormat(format));
}

// The Qt font that text with no font properties of its own shows in.
void applyToDefaultFont(QTextDocument *document, const QTextCharFormat &format)
{
    document->setDefaultFont(format.font().resolve(document->defaultFont()));
}

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
        return true;
    default:
        return false;
    }
}

}  // namespace

CharFormat RichEditView::charFormat(bool selection) const
{
    const QFont defaultFont = document()->defaultFont();
    if (!selection)
        return readCharFormat(d->defaultFormat, defaultFont);

    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        CharFormat format = readCharFormat(cursor.charFormat(), defaultFont);
        const int before = cursor.position() - 1;
        if (before >= 0 && cursor.positionInBlock() > 0 && linkAt(before).min >= 0)
            format.effects |= CFE_LINK;
        return format;
    }

    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    Private::SelectionFormats &known = d->selectionFormats;
    if (!known.isFor(start, end, d->documentChanges))
        known = {start, end, d->documentChanges, distinctCharFormats(document(), start, end)};
    std::optional<CharFormat> merged;
    for (const QTextCharFormat &format : std::as_const(known.formats)) {
        const CharFormat next = readCharFormat(format, defaultFont);
        if (merged)
            intersectCharFormat(*merged, next);
        else
            merged = next;
    }
    if (!merged)  // only paragraph ends selected
        merged = readCharFormat(cursor.charFormat(), defaultFont);
    if (!(merged->effects & CFE_LINK) && linkAt(start).min >= 0 && linkAt(start).max >= end)
        merged->effects |= CFE_LINK;
    clearAbsentCharValues(*merged);
    return *merged;
}

void RichEditView::setCharFormat(const CharFormat &format, bool selection)
{
    if (!selection) {
        applyCharFormat(format, d->defaultFormat);
        applyToDefaultFont(document(), d->defaultFormat);
        if (document()->isEmpty()) {
            QTextCharFormat typing = textCursor().charFormat();
            applyCharFormat(format, typing);
            setCurrentCharFormat(typing);
        }
        return;
    }
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        // Only what is typed next changes: no undo step, no modification.
        QTextCharFormat typing = cursor.charFormat();
        applyCharFormat(format, typing);
        setCurrentCharFormat(typing);
        return;
    }
    // Every selected run takes `format` over its own: the selection's formats, if known,
    // change the same way. Only a change of links changes what is overlaid.
    Private::SelectionFormats &known = d->selectionFormats;
    const bool formatsKnown = known.isFor(cursor.selectionStart(), cursor.selectionEnd(), d->documentChanges);
    const bool keptOverlays = !(format.mask & CFM_LINK);
    d->highlighter->setOverlaysKept(keptOverlays);
    const int stepsBefore = document()->availableUndoSteps();
    cursor.beginEditBlock();
    applyCharFormatToSelection(cursor, format);
    cursor.endEditBlock();
    d->highlighter->setOverlaysKept(false);
    if (formatsKnown) {
        QList<QTextCharFormat> before = known.formats;
        for (QTextCharFormat &selected : known.formats) {
            applyCharFormat(format, selected);
            selected = documentCopyOf(document(), selected);
        }
        known.documentChanges = d->documentChanges;
        d->lastFormatChange = {stepsBefore, document()->availableUndoSteps(), known.start, known.end,
                               std::move(before), known.formats, keptOverlays};
    }
}

ParaFormat RichEditView::paraFormat() const
{
    const QTextCursor cursor = textCursor();
    QTextBlock block = document()->findBlock(cursor.selectionStart());
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());
    ParaFormat merged = readParaFormat(block);
    // Paragraphs share few formats: each format and list is read and merged once.
    QSet<std::pair<int, const QTextList *>> seen{{block.blockFormatIndex(), block.textList()}};
    while (block != last && block.isValid()) {
        block = block.next();
        const std::pair<int, const QTextList *> key{block.blockFormatIndex(), block.textList()};
        if (seen.contains(key))
            continue;
        seen.insert(key);
        intersectParaFormat(merged, readParaFormat(block));
    }
    clearAbsentParaValues(merged);
    return merged;
}

void RichEditView::setParaFormat(const ParaFormat &format)
{
    QTextCursor cursor = textCursor();
    applyParaFormatToParagraphs(cursor, format);
}

// Backspace at the start of a list paragraph takes away its number or bullet, and the
// paragraph shows its indents as a paragraph of no list again.
void RichEditView::keyPressEvent(QKeyEvent *event)
{
    // Qt's own Select All, Undo and Redo scroll to the caret, which after a change to
    // everything is at the end: the whole document is laid out to find it. Ours leave
    // the view where it is.
    if (event == QKeySequence::SelectAll) {
        setSelectionRange({0, -1});
        event->accept();
        return;
    }
    // A modifier alone changes nothing, but Qt repaints the selection for it, and the
    // rectangle of a selection reaching the end of a document still being laid out is
    // found by laying out everything.
    if (isModifierKey(event->key())) {
        event->ignore();
        return;
    }
    const bool undo = event == QKeySequence::Undo;
    if ((undo || event == QKeySequence::Redo) && !isReadOnly()) {
        if (undo)
            undoLast();
        else
            redoLast();
        event->accept();
        return;
    }
    QTextCursor cursor = textCursor();
    const bool plainBackspace = event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier);
    if (plainBackspace && !isReadOnly() && !cursor.hasSelection() && cursor.atBlockStart() && cursor.currentList()) {
        setBullets(cursor, false);
        event->accept();
        return;
    }
    typeBesideObjectsAsText();
    QTextEdit::keyPressEvent(event);
}

void RichEditView::inputMethodEvent(QInputMethodEvent *event)
{
    typeBesideObjectsAsText();
    QTextEdit::inputMethodEvent(event);
}

// Qt types in the format of the character before the caret, which next to a picture or a
// mark is the object's own: the picture's name and size, a note's tooltip, an empty
// field's instruction, which would make the typed text that field's result. What is typed
// there takes the character format around the object instead.
void RichEditView::typeBesideObjectsAsText()
{
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        return;
    const QTextCharFormat format = cursor.charFormat();
    if (isObjectFormat(format))
        setCurrentCharFormat(textFormatOf(format));
}

}  // namespace engine
