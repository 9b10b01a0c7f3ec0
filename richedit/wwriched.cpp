#include "richedit/wwriched.h"

#include "engine/codec/documentextras.h"
#include "engine/codec/textprops.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "richedit/wwobjectverbfiles.h"
#include "richedit/wwricholecallback.h"
#include "platform/waitcursor.h"

#include "richedit/wwriched_lines.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextList>
#include <QUrl>

namespace {

// Sets a flag for the lifetime of the guard, also when leaving by an exception.
class FlagScope {
public:
    explicit FlagScope(bool &flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    bool &m_flag;
};

constexpr quint32 kInitialEventMask =
    engine::ENM_CHANGE | engine::ENM_SELCHANGE | engine::ENM_REQUESTRESIZE | engine::ENM_PROTECTED;

int screenPixelsPerInch()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

}  // namespace

TwwCustomRichEdit::TwwCustomRichEdit(QWidget *parent) : engine::RichEditView(parent)
{
    SetPaperSize(1);
    m_screenPixelsPerInch = screenPixelsPerInch();
    m_printJobName = platform::applicationTitle();
    m_lines = new TwwRichEditStrings(this);

    setEventMask(kInitialEventMask);
    setBackgroundColor(ColorToQColor(m_color));
    setTabChangesFocus(!m_wantTabs);
    setLineWrapMode(m_wordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    applyScrollBarPolicy();
    applySelectionVisibility();
    applyFontToDefaultAttributes();
    createSearchDialogs();
    // Setting up the document is no edit: a new editor is unmodified, with nothing to undo.
    document()->clearUndoRedoStacks();
    SetModified(false);

    connect(this, &engine::RichEditView::contentChanged, this, [this] { DoChange(); });
    connect(this, &engine::RichEditView::selectionChangeNotify, this, [this] {
        if (hasFocus() && m_editWidth == rewWindowSize)
            UpdateFormatRect();
        DoSelectionChange();
    });
    // The text's width leaves room for the vertical scroll bar while it shows: when the
    // bar comes or goes (a long load shows it only once Qt's layout has got far enough),
    // the window's rectangle is worked out again.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (m_editWidth == rewWindowSize)
            UpdateFormatRect();
    });
    connect(this, &engine::RichEditView::linkNotify, this, &TwwCustomRichEdit::handleLinkNotify);
    connect(this, &engine::RichEditView::objectDropFailed, this,
            [this](const QString &message) { platform::showError(this, message); });

    BuildPopupMenu();
    RegisterOleCallback();
}

TwwCustomRichEdit::~TwwCustomRichEdit()
{
    setOleCallback(nullptr);
    delete m_lines;
}

// ---- Properties ----

void TwwCustomRichEdit::SetEditWidth(TwwRichEditWidth width)
{
    m_editWidth = width;
}

void TwwCustomRichEdit::SetAutoURLDetect(bool on)
{
    if (m_autoUrlDetect == on)
        return;
    m_autoUrlDetect = on;
    setAutoUrlDetect(on);
    setEventMask(on ? eventMask() | engine::ENM_LINK : eventMask() & ~engine::ENM_LINK);
    m_linkClickPending = false;
}

void TwwCustomRichEdit::SetWordWrap(bool on)
{
    if (m_wordWrap == on)
        return;
    m_wordWrap = on;
    if (!on)
        setLineWrapMode(QTextEdit::NoWrap);
    else if (m_lastFormatRect.isNull())
        setLineWrapMode(QTextEdit::WidgetWidth);
    else
        setFormatRect(m_lastFormatRect);  // wraps at the rectangle's width again
}

void TwwCustomRichEdit::SetReadOnly(bool on)
{
    m_readOnly = on;
    setReadOnly(on);
    // A read-only editor still lets the user move the caret and select with the keys.
    if (on)
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                | Qt::LinksAccessibleByMouse);
}

void TwwCustomRichEdit::SetHideSelection(bool on)
{
    if (m_hideSelection == on)
        return;
    m_hideSelection = on;
    applySelectionVisibility();
}

void TwwCustomRichEdit::SetHideScrollBars(bool on)
{
    if (m_hideScrollBars == on)
        return;
    m_hideScrollBars = on;
    applyScrollBarPolicy();
}

void TwwCustomRichEdit::SetScrollBars(TScrollStyle style)
{
    if (m_scrollBars == style)
        return;
    m_scrollBars = style;
    applyScrollBarPolicy();
}

void TwwCustomRichEdit::SetWantTabs(bool on)
{
    m_wantTabs = on;
    setTabChangesFocus(!on);
}

void TwwCustomRichEdit::SetColor(TColor color)
{
    if (m_color == color)
        return;
    m_color = color;
    setBackgroundColor(ColorToQColor(color));
    applySelectionVisibility();
}

void TwwCustomRichEdit::SetFontColor(TColor color)
{
    if (m_fontColor == color)
        return;
    m_fontColor = color;
    applyFontToDefaultAttributes();
}

void TwwCustomRichEdit::SetFontCharset(quint8 charset)
{
    if (m_fontCharset == charset)
        return;
    m_fontCharset = charset;
    applyFontToDefaultAttributes();
}

void TwwCustomRichEdit::SetUserSpeedButton1(QAbstractButton *button)
{
    m_userButton1 = button;
    if (button)
        button->hide();
}

void TwwCustomRichEdit::SetUserSpeedButton2(QAbstractButton *button)
{
    m_userButton2 = button;
    if (button)
        button->hide();
}

bool TwwCustomRichEdit::Modified() const
{
    return document()->isModified();
}

void TwwCustomRichEdit::SetModified(bool modified)
{
    document()->setModified(modified);
}

// Scroll bars named in ScrollBars appear when needed, or always (disabled when there is
// nothing to scroll) when HideScrollBars is off; the others never.
void TwwCustomRichEdit::applyScrollBarPolicy()
{
    const Qt::ScrollBarPolicy shown = m_hideScrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    const bool vertical = m_scrollBars == ssVertical || m_scrollBars == ssBoth;
    const bool horizontal = m_scrollBars == ssHorizontal || m_scrollBars == ssBoth;
    setVerticalScrollBarPolicy(vertical ? shown : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? shown : Qt::ScrollBarAlwaysOff);
}

// The view paints the selection with the inactive colour group while it lacks the focus;
// with HideSelection that group draws no highlight.
void TwwCustomRichEdit::applySelectionVisibility()
{
    setSelectionShownWithoutFocus(!m_hideSelection);
    if (m_hideSelection)
        return;
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

// The control's Font reaches the default format attribute by attribute, and only where
// the default format differs, so an unchanged attribute is never rewritten.
void TwwCustomRichEdit::applyFontToDefaultAttributes()
{
    const QFont current = font();
    TTextAttributes &defaults = DefaultAttributes();
    const QString name = current.family().left(engine::kMaxFaceNameLength);
    if (defaults.Name() != name)
        defaults.SetName(name);
    const int points = qRound(current.pointSizeF());
    if (points > 0 && defaults.Size() != points)
        defaults.SetSize(points);
    TFontStyles style;
    style.setFlag(fsBold, current.bold());
    style.setFlag(fsItalic, current.italic());
    style.setFlag(fsUnderline, current.underline());
    style.setFlag(fsStrikeOut, current.strikeOut());
    if (defaults.Style() != style)
        defaults.SetStyle(style);
    if (defaults.Color() != m_fontColor)
        defaults.SetColor(m_fontColor);
    const quint8 charset = GetFontCharset(name);
    if (defaults.Charset() != charset)
        defaults.SetCharset(charset);
}

// ---- Editing through the control ----

int TwwCustomRichEdit::SelStart() const
{
    return selectionRange().min;
}

void TwwCustomRichEdit::SetSelStart(int start)
{
    setSelectionRange({start, start});
}

int TwwCustomRichEdit::SelLength() const
{
    const engine::CharRange range = selectionRange();
    return range.max - range.min;
}

void TwwCustomRichEdit::SetSelLength(int length)
{
    const int start = SelStart();
    setSelectionRange({start, start + length});
}

QString TwwCustomRichEdit::SelText() const
{
    return selectedText();
}

void TwwCustomRichEdit::SetSelText(const QString &text)
{
    replaceSelection(text);
}

void TwwCustomRichEdit::SelectAll()
{
    setSelectionRange({0, -1});
}

void TwwCustomRichEdit::ClearSelection()
{
    clearSelection();
}

void TwwCustomRichEdit::CutToClipboard()
{
    cutSelection();
}

void TwwCustomRichEdit::CopyToClipboard()
{
    copySelection();
}

void TwwCustomRichEdit::PasteFromClipboard()
{
    pasteClipboard();
}

void TwwCustomRichEdit::Undo()
{
    undoLast();
}

void TwwCustomRichEdit::Redo()
{
    redoLast();
}

// Like setting the window text to nothing: the text goes, and with it the history of the
// previous document; the empty paragraph left starts over with the default formats.
void TwwCustomRichEdit::Clear()
{
    setSelectionRange({0, -1});
    replaceSelection(QString());
    QTextCursor start(document());
    if (QTextList *list = start.currentList())
        list->remove(start.block());
    start.setBlockFormat(QTextBlockFormat());
    start.setBlockCharFormat(QTextCharFormat());
    setTextCursor(start);
    document()->clearUndoRedoStacks();
    engine::clearDocumentExtras(document());  // a new document has no page setup or headers
    SetModified(false);
}

// An empty document whose one paragraph carries the control's font and the given
// language, so that what is typed first has that format; the state of a fresh start.
void TwwCustomRichEdit::StartEmptyDocument(int language)
{
    Clear();
    QTextCharFormat format;
    format.setFontFamilies({font().family()});
    format.setFontPointSize(font().pointSizeF());
    format.setProperty(engine::prop::Language, language);
    QTextCursor start(document());
    start.setBlockCharFormat(format);
    start.setCharFormat(format);
    setTextCursor(start);
}

// ---- Queries ----

// A QFont carries no character set; the control keeps one beside it. The default
// character set stands for the system's, which is ANSI here.
quint8 TwwCustomRichEdit::GetFontCharset(const QString &) const
{
    return m_fontCharset == DEFAULT_CHARSET ? ANSI_CHARSET : m_fontCharset;
}

namespace {

bool isVectorPictureFormat(const QString &format)
{
    const QString f = format.toLower();
    return f == u"image/svg+xml" || f == u"image/x-wmf" || f == u"image/wmf" || f == u"image/x-emf"
           || f == u"image/emf" || f.contains(u"metafile");
}

bool isBitmapFormat(const QString &format)
{
    return format == u"application/x-qt-image"
           || (format.startsWith(u"image/") && !isVectorPictureFormat(format));
}

bool hasTextualFormat(const QMimeData &mime)
{
    return mime.hasText() || mime.hasHtml() || mime.hasFormat(QStringLiteral("text/rtf"))
           || mime.hasFormat(QStringLiteral("application/rtf"))
           || mime.hasFormat(QStringLiteral("text/richtext"));
}

}  // namespace

// The engine's answer (as if editable), overruled by the clipboard's pictures: a vector
// picture can always be pasted; a bitmap with nothing textual beside it cannot.
bool TwwCustomRichEdit::CanPaste() const
{
    const bool engineAnswer = canPasteClipboard();
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return engineAnswer;
    bool bitmap = false;
    for (const QString &format : mime->formats()) {
        if (isVectorPictureFormat(format))
            return true;
        if (isBitmapFormat(format))
            bitmap = true;
    }
    if (bitmap && !hasTextualFormat(*mime))
        return false;
    return engineAnswer;
}

bool TwwCustomRichEdit::CanUndo() const
{
    return canUndo();
}

bool TwwCustomRichEdit::CanRedo() const
{
    return canRedo();
}

bool TwwCustomRichEdit::HasSelection() const
{
    const engine::CharRange range = selectionRange();
    return range.min != range.max;  // without copying the selected text
}

// ---- Virtual operations with their behaviour in this class ----

bool TwwCustomRichEdit::GetReadOnly() const
{
    return m_readOnly;
}

void TwwCustomRichEdit::BeforeModify() {}

void TwwCustomRichEdit::UpdateFieldData() {}

bool TwwCustomRichEdit::IsContentLoaded() const
{
    return true;
}

QObject *TwwCustomRichEdit::GetBoundField() const
{
    return nullptr;
}

void TwwCustomRichEdit::LoadFieldStream() {}

void TwwCustomRichEdit::DoURLOpen(const QString &urlLink, bool &useDefault)
{
    if (OnURLOpen)
        OnURLOpen(this, urlLink, useDefault);
}

void TwwCustomRichEdit::DoInitDialog(QWidget *form)
{
    if (OnInitDialog)
        OnInitDialog(form);
}

void TwwCustomRichEdit::DoCloseDialog(QWidget *form)
{
    if (OnCloseDialog)
        OnCloseDialog(form);
}

void TwwCustomRichEdit::DoCreateDialog(QWidget *form)
{
    if (OnCreateDialog)
        OnCreateDialog(form);
}

void TwwCustomRichEdit::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TwwCustomRichEdit::DoSelectionChange()
{
    if (OnSelectionChange)
        OnSelectionChange(this);
}

// ---- Links ----

// A press on a link arms the click; the release on a link while armed opens it, unless
// the OnURLOpen handler took it over by clearing useDefault.
void TwwCustomRichEdit::handleLinkNotify(QEvent::Type mouseEvent, engine::CharRange range)
{
    if (!m_autoUrlDetect || m_inRightButtonRelease)
        return;
    if (mouseEvent == QEvent::MouseButtonPress) {
        m_linkClickPending = m_pressedButton == Qt::LeftButton;
    } else if (mouseEvent == QEvent::MouseButtonRelease && m_linkClickPending) {
        m_linkClickPending = false;
        const QString url = textRange(range);
        bool useDefault = true;
        DoURLOpen(url, useDefault);
        if (useDefault)
            openLink(url);
    }
}

void TwwCustomRichEdit::openLink(const QString &url)
{
    WaitCursor busy;
    QDesktopServices::openUrl(QUrl::fromUserInput(url.trimmed()));
}

// ---- Keys, mouse, layout events ----

void TwwCustomRichEdit::keyPressEvent(QKeyEvent *event)
{
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && event->modifiers() == Qt::ControlModifier) {
        // Ctrl+Enter breaks the paragraph even where Enter belongs to the form.
        if (!GetReadOnly())
            replaceSelection(QStringLiteral("\r"));
        event->accept();
        return;
    }
    if (isReturn && !m_wantReturns) {
        event->ignore();  // left to the form (its default button)
        return;
    }
    const QString typed = event->text();
    if (m_maxLength > 0 && !typed.isEmpty() && typed.at(0).isPrint() && !GetReadOnly()) {
        const int length = document()->characterCount() - 1;
        if (length - SelLength() + typed.size() > m_maxLength) {
            event->accept();
            return;
        }
    }
    engine::RichEditView::keyPressEvent(event);
}

void TwwCustomRichEdit::mousePressEvent(QMouseEvent *event)
{
    m_pressedButton = event->button();
    engine::RichEditView::mousePressEvent(event);
}

// A click counts as a link click only when both its press and its release are on a
// link; a release anywhere disarms a press that was not completed on one.
void TwwCustomRichEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        releaseWithRightButtonRule(event);
        return;
    }
    engine::RichEditView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        m_linkClickPending = false;
}

// A right click first clicks where it is, so that an embedded object under it becomes
// the selection; a click that selects nothing leaves the previous selection in place.
void TwwCustomRichEdit::clickAtRightClick(const QPointF &viewportPos)
{
    const engine::CharRange saved = selectionRange();
    const QPointF global = viewport()->mapToGlobal(viewportPos);
    QMouseEvent press(QEvent::MouseButtonPress, viewportPos, viewportPos, global, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    engine::RichEditView::mousePressEvent(&press);
    QMouseEvent release(QEvent::MouseButtonRelease, viewportPos, viewportPos, global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    engine::RichEditView::mouseReleaseEvent(&release);
    if (selectedText().isEmpty())
        setSelectionRange(saved);
}

void TwwCustomRichEdit::releaseWithRightButtonRule(QMouseEvent *event)
{
    if (m_inRightButtonRelease)
        return;
    FlagScope guard(m_inRightButtonRelease);
    clickAtRightClick(event->position());
    engine::RichEditView::mouseReleaseEvent(event);
    m_linkClickPending = false;
}

void TwwCustomRichEdit::resizeEvent(QResizeEvent *event)
{
    engine::RichEditView::resizeEvent(event);
    if (m_editWidth == rewWindowSize)
        UpdateFormatRect();
}

void TwwCustomRichEdit::changeEvent(QEvent *event)
{
    engine::RichEditView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyFontToDefaultAttributes();
}

// Where the platform asks for the menu on the press, before any release, the right
// click's selection rule runs here, so that the menu works on what was clicked.
void TwwCustomRichEdit::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Mouse && !m_inRightButtonRelease) {
        FlagScope guard(m_inRightButtonRelease);
        clickAtRightClick(event->pos());
    }
    if (m_popupMenu && m_oleOptions.testFlag(reoAdjustPopupMenu) && m_oleInterface)
        AdjustPopupMenu(m_popupMenu);
    if (m_popupMenu)
        m_popupMenu->popup(event->globalPos());
    event->accept();
}

// ---- TwwDBRichEdit ----

TwwDBRichEdit::TwwDBRichEdit(QWidget *parent) : TwwCustomRichEdit(parent)
{
    SetOleOptions(reoAdjustPopupMenu);
    SetLeftTextInset(3);
}

void TwwDBRichEdit::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_F2 && PopupOptions().testFlag(rpoPopupEdit)) {
        event->accept();
        ExecuteEditorWindow();
        return;
    }
    const bool pasteKey = (event->key() == Qt::Key_Insert && (modifiers & Qt::ShiftModifier))
                          || (event->key() == Qt::Key_V && (modifiers & Qt::ControlModifier));
    if (pasteKey && !CanPaste()) {
        event->accept();
        return;
    }
    TwwCustomRichEdit::keyPressEvent(event);
}

void TwwDBRichEdit::paintEvent(QPaintEvent *event)
{
    if (PaintSuppressed())
        return;
    if (!m_firstPaintDone) {
        m_firstPaintDone = true;
        UpdateFormatRect();
    }
    TwwCustomRichEdit::paintEvent(event);
}
