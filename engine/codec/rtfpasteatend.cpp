#include "engine/codec/rtfpasteatend.h"

#include "engine/codec/deferredcursormoves.h"
#include "engine/codec/rtf/read/rtfreader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtGui/private/qtextdocument_p.h>
#include <memory>
#include <utility>

namespace engine {
namespace {

// The document keeps the switch that records undo steps to itself, and switching undo
// off through its interface drops the history. Naming a private member in an explicit
// instantiation is allowed, which lets this file pause the recording alone.
using UndoSwitch = bool QTextDocumentPrivate::*;

UndoSwitch undoSwitch();

template <UndoSwitch Member>
struct UndoSwitchOfDocument {
    friend UndoSwitch undoSwitch() { return Member; }
};
template struct UndoSwitchOfDocument<&QTextDocumentPrivate::undoEnabled>;

class UndoRecordingPause {
public:
    explicit UndoRecordingPause(QTextDocument *document)
        : m_storage(QTextDocumentPrivate::get(document)), m_was(std::exchange(m_storage->*undoSwitch(), false))
    {
    }
    ~UndoRecordingPause() { m_storage->*undoSwitch() = m_was; }
    UndoRecordingPause(const UndoRecordingPause &) = delete;
    UndoRecordingPause &operator=(const UndoRecordingPause &) = delete;

private:
    QTextDocumentPrivate *m_storage;
    bool m_was;
};

// One paste at the end, and its undo step.
class RtfPaste : public QAbstractUndoItem {
public:
    RtfPaste(QTextDocument *document, QByteArray rtf, const RtfCheck &check)
        : m_document(document), m_rtf(std::move(rtf)), m_check(check),
          m_start(document->characterCount() - 1)
    {
        static int pastes = 0;
        m_append.resourcePrefix = QStringLiteral("paste%1-").arg(++pastes);
        const QTextBlock site = document->lastBlock();
        m_blockFormat = site.blockFormat();
        m_markFormat = site.charFormat();
    }

    int start() const { return m_start; }

    // Reads the bytes in; returns the length added.
    int read()
    {
        DeferredCursorMoves cursorMoves(m_document, m_start);
        {
            UndoRecordingPause pause(m_document);
            appendCheckedRtf(m_rtf, m_check, m_document, m_append);
        }
        m_length = m_document->characterCount() - 1 - m_start;
        cursorMoves.finish(m_length);
        return m_length;
    }

    // Removes what read() added, and gives the paragraph it went into its formats back.
    void takeBack()
    {
        UndoRecordingPause pause(m_document);
        QTextDocumentPrivate *storage = QTextDocumentPrivate::get(m_document);
        if (m_length > 0)
            storage->remove(m_start, m_length);
        const QTextBlock site = m_document->findBlock(m_start);
        storage->setBlockFormat(site, site, m_blockFormat);
        if (m_start == 0)
            storage->setCharFormat(-1, 1, m_markFormat);
    }

    void undo() override { takeBack(); }
    void redo() override
    {
        m_append.reuseObjects = true;
        read();
    }

private:
    QTextDocument *m_document;
    const QByteArray m_rtf;
    const RtfCheck m_check;
    RtfAppend m_append;
    const int m_start;
    int m_length = 0;
    QTextBlockFormat m_blockFormat;  // of the paragraph at the start
    QTextCharFormat m_markFormat;    // of that paragraph's mark, which only the document's start changes
};

}  // namespace

bool canPasteRtfAtEnd(const QTextCursor &cursor)
{
    return !cursor.isNull() && !cursor.hasSelection() && cursor.position() == cursor.document()->characterCount() - 1;
}

bool pasteRtfAtEnd(QTextCursor &cursor, const QByteArray &rtf)
{
    const RtfCheck check = checkRtf(rtf);
    if (!check.result.ok())
        return false;
    QTextDocument *document = cursor.document();
    auto paste = std::make_unique<RtfPaste>(document, rtf, check);
    const int start = paste->start();
    cursor.beginEditBlock();
    const int length = paste->read();
    if (length > 0)
        document->appendUndoItem(paste.release());
    else
        paste->takeBack();  // formats a paragraph without text took
    cursor.endEditBlock();
    cursor.setPosition(start + length);
    return true;
}

}  // namespace engine
