#pragma once
#include "engine/codec/formatrecords.h"
#include "engine/codec/pagelayout.h"
#include "engine/codec/rtf/read/rtfreader.h"
#include "engine/view/richeditole.h"

#include <QEvent>
#include <QTextEdit>
#include <functional>
#include <vector>

// The rich text engine: a QTextDocument for storage, layout and undo, shown through a
// QTextEdit-derived view for caret, selection, keyboard, mouse and scrolling. It offers
// the engine operations the editor control drives, as member functions with the mask
// records of formatrecords.h. Character positions count a paragraph end as one
// character; a "line" is a paragraph.
namespace engine {

class NoteList;

// Notification mask bits: a notification is emitted only while its bit is set.
enum : quint32 {
    ENM_CHANGE = 0x00000001,
    ENM_REQUESTRESIZE = 0x00040000,
    ENM_SELCHANGE = 0x00080000,
    ENM_PROTECTED = 0x00200000,
    ENM_LINK = 0x04000000,
};

// Search flags.
enum : quint32 { FR_DOWN = 0x1, FR_WHOLEWORD = 0x2, FR_MATCHCASE = 0x4 };

// Stream formats.
enum StreamFormat { SF_TEXT = 1, SF_RTF = 2 };

// Chunk callbacks for streaming. A read callback fills up to `max` bytes and returns the
// count (0 at the end) or -1 on failure; a write callback returns false on failure.
using StreamReader = std::function<qint64(char *buffer, qint64 max)>;
using StreamWriter = std::function<bool(const char *data, qint64 size)>;

// What a stream load found: a source that failed (or held more than the engine takes),
// or for RTF the reader's result, which names what made the bytes unreadable and what a
// lenient read left out.
struct StreamInResult {
    bool sourceFailed = false;
    RtfReadResult rtf;

    bool ok() const { return !sourceFailed && rtf.ok(); }
    explicit operator bool() const { return ok(); }
};

class RichEditView : public QTextEdit {
    Q_OBJECT
public:
    explicit RichEditView(QWidget *parent = nullptr);
    ~RichEditView() override;

    // Text and selection
    void cutSelection();
    void copySelection();
    void pasteClipboard();
    void clearSelection();  // deletes the selection without the clipboard
    CharRange selectionRange() const;
    void setSelectionRange(CharRange range);
    void replaceSelection(const QString &text);
    // Replaces the characters of `range` in the format of its first character, without
    // moving the selection there (the selection shifts with the text around it).
    void replaceRange(CharRange range, const QString &text);
    QString selectedText() const;            // paragraph ends as "\r"
    QString textRange(CharRange range) const;  // paragraph ends as "\r"
    int textLength() const;                  // characters, paragraph ends counted
    int lineCount() const;                   // paragraphs; an empty document has 1
    int lineIndex(int line) const;           // first character of a paragraph, -1 if none; -1 asks for the caret's paragraph
    int lineLength(int charIndex) const;     // length of the paragraph holding charIndex, without its end
    int lineFromChar(int charIndex) const;
    QString lineText(int line) const;        // whole paragraph text, without its end

    // Formats
    CharFormat charFormat(bool selection) const;  // selection, or the default format
    void setCharFormat(const CharFormat &format, bool selection);
    ParaFormat paraFormat() const;                 // of every paragraph the selection touches
    void setParaFormat(const ParaFormat &format);

    // History
    bool canUndo() const;
    bool canRedo() const;
    // A step that only changed the formats of the selected text keeps that selection and
    // the view; any other puts the caret where Qt puts it and shows it.
    void undoLast();
    void redoLast();
    // Edits between the two calls undo as one step; the groups nest.
    void beginUndoGroup();
    void endUndoGroup();

    // Search: start of the first hit in range, or -1.
    int findText(quint32 flags, CharRange range, const QString &text) const;

    // State and notifications
    bool canPasteClipboard() const;  // the engine's own answer, as if editable
    void setBackgroundColor(const QColor &color);
    // Whether the selection is drawn while the view has no focus; when it is not, the
    // selected text shows in its own colours.
    void setSelectionShownWithoutFocus(bool shown);
    quint32 eventMask() const;
    void setEventMask(quint32 mask);
    void setAutoUrlDetect(bool on);
    bool autoUrlDetect() const;

    // Formatting rectangle: where text is laid out inside the viewport, in pixels. Its
    // left and top move the text; its width is the line width. A null rectangle lays
    // the text out over the whole viewport, wrapped at its width.
    void setFormatRect(const QRect &rect);
    QRect formatRect() const;

    // Paging for print: measures (render false) or renders the page that starts at
    // range->chrg.min and answers the first character not placed (see PageLayout). A null
    // range drops the layout kept between requests.
    virtual int formatRange(FormatRange *range, bool render);

    // Streaming: replaces the whole content. When the bytes cannot be read in that
    // format the content is left as it was. `expectedBytes`, when the source knows its
    // size, lets the bytes be read into room made for them at once.
    StreamInResult streamIn(StreamFormat format, const StreamReader &reader, qint64 expectedBytes = 0);
    bool streamOut(StreamFormat format, const StreamWriter &writer) const;

    // The link (hyperlink, or detected URL while detection is on) holding the character
    // at `position`, or {-1, -1}.
    CharRange linkAt(int position) const;

    // Embedded objects (richeditview_objects.cpp): the object interface, and the
    // container's callback, without which drops of files are left to the container.
    RichEditOle *oleInterface() { return &m_ole; }
    bool setOleCallback(RichEditOleCallback *callback);
    RichEditOleCallback *oleCallback() const { return m_oleCallback; }

    // The footnotes and endnotes listed after the text (notelist.h).
    NoteList &noteList() const;

signals:
    void contentChanged();                   // under ENM_CHANGE
    void selectionChangeNotify();            // under ENM_SELCHANGE
    void linkNotify(QEvent::Type mouseEvent, engine::CharRange range);  // under ENM_LINK
    void objectDropFailed(const QString &message);  // a dropped file that could not be taken

protected:
    bool viewportEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;  // richeditview_formats.cpp
    void inputMethodEvent(QInputMethodEvent *event) override;  // richeditview_formats.cpp
    bool canInsertFromMimeData(const QMimeData *source) const override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // Around inserting text long enough to need the vertical scroll bar (a long paste), so
    // that a view sizing its text beside the bar can do so first: laid out at the full
    // width, all of it would be laid out again when the bar appears.
    virtual void longInsertionStarts() {}
    virtual void longInsertionEnds() {}

private:
    struct Private;
    Private *d;

    QTextCursor cursorForRange(CharRange range) const;
    void noteGroupEdit(const QTextCursor &range, const QString &text);
    void expectEditedParagraphs(const std::vector<int> &blockNumbers);
    void stepHistory(bool undo);
    void recallSelectionFormats(int start, int end, bool undone, int stepsBefore);
    void paintWithoutSelection(const QRect &area);
    int clampPosition(int position) const;
    void notifySelectionIfChanged();
    void typeBesideObjectsAsText();  // richeditview_formats.cpp
    void notifyLink(QEvent::Type type, const QPoint &viewportPos);
    bool pasteRtf(const QByteArray &rtf);  // richeditview_display.cpp; false when it is no RTF
    void applyFormatRect();
    void rememberTopOfView();
    void restoreTopOfView();
    qreal lineTop(int position) const;
    void layOutAroundCaret();
    bool selectObjectAt(const QPoint &viewportPos);
    bool dropFiles(QDropEvent *event, quint32 effect);

    RichEditOle m_ole{this};
    RichEditOleCallback *m_oleCallback = nullptr;
    friend class RichEditOle;
};

}  // namespace engine
