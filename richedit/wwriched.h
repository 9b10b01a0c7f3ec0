#pragma once
#include "engine/view/richeditview.h"
#include "richedit/wwmeasurement.h"
#include "richedit/wwriched_lines.h"
#include "richedit/wwtypes.h"

#include <QAbstractButton>
#include <QFlags>
#include <QList>
#include <QMenu>
#include <QPageSize>
#include <QPointer>
#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class TwwCustomRichEdit;
class TFindDialog;
class TReplaceDialog;
class TRichEditOleCallback;
class TwwObjectVerbFiles;

// Items of the built-in context menu; rpoPopupEdit also enables the F2 key.
enum TwwRichEditPopupOption : quint16 {
    rpoPopupEdit = 0x0001,
    rpoPopupCut = 0x0002,
    rpoPopupCopy = 0x0004,
    rpoPopupPaste = 0x0008,
    rpoPopupBold = 0x0010,
    rpoPopupItalic = 0x0020,
    rpoPopupUnderline = 0x0040,
    rpoPopupFont = 0x0080,
    rpoPopupBullet = 0x0100,
    rpoPopupParagraph = 0x0200,
    rpoPopupTabs = 0x0400,
    rpoPopupFind = 0x0800,
    rpoPopupReplace = 0x1000,
    rpoPopupInsertObject = 0x2000,
};
Q_DECLARE_FLAGS(TwwRichEditPopupOptions, TwwRichEditPopupOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TwwRichEditPopupOptions)

// Options of the editor window and the dialogs.
enum TwwRichEditOption : quint16 {
    reoShowLoad = 0x0001,
    reoShowSaveAs = 0x0002,
    reoShowSaveExit = 0x0004,
    reoShowPrint = 0x0008,
    reoShowPageSetup = 0x0010,
    reoShowFormatBar = 0x0020,
    reoShowToolBar = 0x0040,
    reoShowStatusBar = 0x0080,
    reoShowHints = 0x0100,
    reoShowRuler = 0x0200,
    reoShowInsertObject = 0x0400,
    reoCloseOnEscape = 0x0800,
    reoFlatButtons = 0x1000,
};
Q_DECLARE_FLAGS(TwwRichEditOptions, TwwRichEditOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TwwRichEditOptions)

enum TwwRichEditOleOption : quint8 { reoAdjustPopupMenu = 0x1, reoDisableOLE = 0x2 };
Q_DECLARE_FLAGS(TwwRichEditOleOptions, TwwRichEditOleOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TwwRichEditOleOptions)

enum TwwRichEditWidth { rewWindowSize, rewPrinterSize };

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// Members of SetParagraphFormat, each selecting one paragraph format mask bit.
enum TwwParaFormatMember : quint16 {
    pmAlignment = 0x0001,
    pmNumbering = 0x0002,
    pmOffset = 0x0004,
    pmRightIndent = 0x0008,
    pmStartIndent = 0x0010,
    pmTabs = 0x0020,
    pmSpaceBefore = 0x0040,
    pmSpaceAfter = 0x0080,
    pmLineSpacing = 0x0100,
};
Q_DECLARE_FLAGS(TwwParaFormatMembers, TwwParaFormatMember)
Q_DECLARE_OPERATORS_FOR_FLAGS(TwwParaFormatMembers)

enum class TwwSearchOption : quint8 { WholeWord = 0x1, MatchCase = 0x2 };
Q_DECLARE_FLAGS(TwwSearchOptions, TwwSearchOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TwwSearchOptions)

// Placement of the editor window: a Width or Height above 0 replaces its size, a Left or
// Top below 1 centres it.
struct TwwFormPosition {
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Width = 0;
    qint32 Height = 0;
    bool operator==(const TwwFormPosition &) const = default;
};

// Page margins in the control's measurement unit.
struct TwwPrintMargins {
    double Top = 1.0;
    double Bottom = 1.0;
    double Left = 1.0;
    double Right = 1.0;
    bool operator==(const TwwPrintMargins &) const = default;
};

enum TAttributeType { atSelected, atDefaultText };
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// The character format of the selection or the default format. Holds no state: every
// read asks the engine, every write sends only the mask bit of its attribute.
class TTextAttributes {
public:
    TTextAttributes(TwwCustomRichEdit *owner, TAttributeType type) : m_owner(owner), m_type(type) {}

    QString Name() const;
    void SetName(const QString &name);
    TFontStyles Style() const;
    void SetStyle(TFontStyles style);
    int Size() const;  // points; 0 when it differs over the selection
    void SetSize(int points);
    TColor Color() const;  // clWindowText for the automatic colour
    void SetColor(TColor color);
    quint8 Charset() const;
    void SetCharset(quint8 charset);
    TFontPitch Pitch() const;

private:
    engine::CharFormat read() const;
    void write(const engine::CharFormat &format);

    TwwCustomRichEdit *m_owner;
    TAttributeType m_type;
};

// Justified text has no button of its own; it is reached by its key.
enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2, taJustify = 3 };
enum TNumberingStyle { nsNone = 0, nsBullet = 1 };

// The formats of the selection as a format bar shows them, read in one pass
// (wwriched_selection.cpp). What differs over the selection reads as absent.
struct TSelectionFormats {
    TFontStyles Style;        // the styles the whole selection has
    QString Name;             // empty when the faces differ
    int Size = 0;             // points; 0 when the sizes differ
    bool ColorKnown = false;  // false when the colours differ
    TColor Color = clWindowText;
    int Alignment = -1;       // a TAlignment, 3 for justified, -1 when they differ
    TNumberingStyle Numbering = nsNone;
};

// The paragraph format of every paragraph the selection touches. Indents and tab stops
// are in points (twips div 20); every write sends one mask bit.
class TParaAttributes {
public:
    explicit TParaAttributes(TwwCustomRichEdit *owner) : m_owner(owner) {}

    TAlignment Alignment() const;
    void SetAlignment(TAlignment alignment);
    TNumberingStyle Numbering() const;
    void SetNumbering(TNumberingStyle numbering);
    int FirstIndent() const;  // start indent
    void SetFirstIndent(int points);
    int LeftIndent() const;   // offset of the other lines
    void SetLeftIndent(int points);
    int RightIndent() const;
    void SetRightIndent(int points);
    int Tab(int index) const;
    void SetTab(int index, int points);
    int TabCount() const;
    void SetTabCount(int count);

private:
    engine::ParaFormat read() const;
    void write(const engine::ParaFormat &format);

    TwwCustomRichEdit *m_owner;
};

// The rich text editor control: the engine's view with the editor's own commands,
// dialogs, layout widths, measurement conversions and clickable links. Published
// properties are a getter named as the property and a setter with the prefix Set;
// a setter given the current value does nothing. Events fire only when assigned.
class TwwCustomRichEdit : public engine::RichEditView {
    Q_OBJECT
    friend class TwwRichEditStrings;
    friend class TTextAttributes;
    friend class TParaAttributes;

public:
    using TNotifyEvent = std::function<void(TwwCustomRichEdit *sender)>;
    using TwwURLOpenEvent =
        std::function<void(TwwCustomRichEdit *sender, const QString &urlLink, bool &useDefault)>;
    using TwwDialogEvent = std::function<void(QWidget *form)>;

    // Invokable, so that the editor window can make an editor of the opening one's class.
    Q_INVOKABLE explicit TwwCustomRichEdit(QWidget *parent = nullptr);
    ~TwwCustomRichEdit() override;

    // Events
    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;
    TwwURLOpenEvent OnURLOpen;
    TwwDialogEvent OnInitDialog;
    TwwDialogEvent OnCloseDialog;
    TwwDialogEvent OnCreateDialog;

    // Published properties
    TwwRichEditStrings *Lines() const { return m_lines; }
    TwwRichEditPopupOptions PopupOptions() const { return m_popupOptions; }
    void SetPopupOptions(TwwRichEditPopupOptions options) { m_popupOptions = options; }
    TwwRichEditOptions EditorOptions() const { return m_editorOptions; }
    void SetEditorOptions(TwwRichEditOptions options) { m_editorOptions = options; }
    QString EditorCaption() const { return m_editorCaption; }
    void SetEditorCaption(const QString &caption) { m_editorCaption = caption; }
    TwwFormPosition &EditorPosition() { return m_editorPosition; }
    const TwwFormPosition &EditorPosition() const { return m_editorPosition; }
    void SetEditorPosition(const TwwFormPosition &position) { m_editorPosition = position; }
    TwwMeasurementUnits MeasurementUnits() const { return m_units; }
    void SetMeasurementUnits(TwwMeasurementUnits units) { m_units = units; }
    TwwPrintMargins &PrintMargins() { return m_margins; }
    const TwwPrintMargins &PrintMargins() const { return m_margins; }
    void SetPrintMargins(const TwwPrintMargins &margins) { m_margins = margins; }
    TwwRichEditWidth EditWidth() const { return m_editWidth; }
    void SetEditWidth(TwwRichEditWidth width);
    QString PrintJobName() const { return m_printJobName; }
    void SetPrintJobName(const QString &name) { m_printJobName = name; }
    TwwRichEditOleOptions OleOptions() const { return m_oleOptions; }
    void SetOleOptions(TwwRichEditOleOptions options);
    bool AutoURLDetect() const { return m_autoUrlDetect; }
    void SetAutoURLDetect(bool on);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool on);
    bool ReadOnly() const { return GetReadOnly(); }
    void SetReadOnly(bool on);
    bool PlainText() const { return m_plainText; }
    void SetPlainText(bool on) { m_plainText = on; }
    bool HideSelection() const { return m_hideSelection; }
    void SetHideSelection(bool on);
    bool HideScrollBars() const { return m_hideScrollBars; }
    void SetHideScrollBars(bool on);
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle style);
    bool WantTabs() const { return m_wantTabs; }
    void SetWantTabs(bool on);
    bool WantReturns() const { return m_wantReturns; }
    void SetWantReturns(bool on) { m_wantReturns = on; }
    int MaxLength() const { return m_maxLength; }  // characters; 0 means no limit
    void SetMaxLength(int length) { m_maxLength = qMax(0, length); }
    TColor Color() const { return m_color; }  // background
    void SetColor(TColor color);
    // The control's Font is the widget font (font()/setFont()); its colour and character
    // set, which a QFont lacks, are kept here. Every change reaches DefaultAttributes.
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);
    quint8 FontCharset() const { return m_fontCharset; }
    void SetFontCharset(quint8 charset);
    QMenu *PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu *menu) { m_popupMenu = menu; }
    QAbstractButton *UserSpeedButton1() const { return m_userButton1; }
    void SetUserSpeedButton1(QAbstractButton *button);
    QAbstractButton *UserSpeedButton2() const { return m_userButton2; }
    void SetUserSpeedButton2(QAbstractButton *button);

    // Other state
    int RichEditVersion() const { return m_richEditVersion; }
    void SetRichEditVersion(int version) { m_richEditVersion = version; }
    qint16 PaperSize() const { return m_paperSize; }
    int LeftTextInset() const { return m_leftTextInset; }
    void SetLeftTextInset(int pixels) { m_leftTextInset = pixels; }
    int ScreenPixelsPerInch() const { return m_screenPixelsPerInch; }
    bool Modified() const;
    void SetModified(bool modified);
    // While set, painting does nothing (the editor window sets it while it resizes).
    bool PaintSuppressed() const { return m_paintSuppressed; }
    void SetPaintSuppressed(bool on) { m_paintSuppressed = on; }

    // Text attributes of the selection and of the default format; paragraph attributes.
    TTextAttributes &SelectionAttributes() { return m_selectionAttributes; }
    TTextAttributes &DefaultAttributes() { return m_defaultAttributes; }
    TParaAttributes &ParagraphAttributes() { return m_paragraphAttributes; }

    // Editing through the control, as the main window uses it.
    int SelStart() const;
    void SetSelStart(int start);  // collapses the selection at start
    int SelLength() const;
    void SetSelLength(int length);
    QString SelText() const;
    void SetSelText(const QString &text);
    void SelectAll();
    void ClearSelection();
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void Undo();
    void Redo();
    void Clear();  // removes all text; Modified becomes false
    void StartEmptyDocument(int language);  // Clear, then the font and language to type in

    // Operations other parts call
    quint8 GetFontCharset(const QString &fontName) const;
    bool CanPaste() const;
    bool CanUndo() const;
    bool CanRedo() const;
    bool CanFindNext() const { return !LastFindText.isEmpty(); }
    bool HasSelection() const;
    void SetBullets(bool on);
    void SetParagraphFormat(TwwParaFormatMembers members, const QString &alignmentText,
                            bool numbering, int offset, int rightIndent, int startIndent,
                            int tabCount, const QList<int> &tabs, int spaceBefore,
                            int spaceAfter, int lineSpacing, int lineSpacingRule);
    void SetSelectionFont(const QString &faceName, int size, TColor color, TFontStyles style);

    // The selection's formats for a format bar (wwriched_selection.cpp)
    TSelectionFormats SelectionFormats() const;
    void SetSelectionStyle(TFontStyle style, bool on);  // that style only, the others kept
    void SetSelectionFaceName(const QString &name);
    bool SelectionHasColor(TColor color) const;  // the whole selection, not automatic
    void UpdateFormatRect();
    void SetPaperSize(qint16 code);
    void ApplyPaperSize();
    // The document's page setup (wwriched_pagesetup.cpp). A fresh document's: margins of
    // 1.0 each and the printer's first paper, portrait.
    void UseDefaultPageSetup();
    // After a load: the paper, orientation and margins the document gives, where it gives
    // them, become the printing setup.
    void TakeDocumentPageSetup();
    // After the user changed the page setup: the printing setup becomes the document's,
    // written with it, and the document is modified (no undo step).
    void KeepPageSetupInDocument();
    // Printing (wwriched_print.cpp). Print prints the whole content as one job; copies
    // above 1 go into that one job, each copy starting on a new page.
    void Print(const QString &title, int copies = 1);
    // Prints `copies` copies as separate jobs, one per copy; into a PDF file they go into
    // one job, since jobs of their own would each write the same file over the one before.
    void PrintCopies(const QString &title, int copies);
    // Where the text goes on the current printer's page: twips from the printable area's
    // corner, each margin counted from the paper's edge and clamped to the paper.
    QRect PrintMarginRect() const;
    QRect PrintPaperRect() const;
    // Every page request gets the margin rectangle as its formatting rectangle.
    int formatRange(engine::FormatRange *range, bool render) override;
    void CopyContentTo(TwwCustomRichEdit *target);

    // Measurement conversions in MeasurementUnits
    static QString StripUnitSuffix(const QString &text) { return wwmeasure::stripUnitSuffix(text); }
    int UnitsToTwips(const QString &text) const { return wwmeasure::unitsToTwips(m_units, text); }
    double TwipsToUnits(int twips) const { return wwmeasure::twipsToUnits(m_units, twips); }
    QString UnitsToText(double value) const { return wwmeasure::unitsToText(m_units, value); }
    QString UnitsToGridText(double value, int steps) const
    {
        return wwmeasure::unitsToGridText(m_units, value, steps);
    }

    // Search state and the find and replace dialogs (wwriched_search.cpp)
    QString LastFindText;
    int FindStartPos = 0;
    bool FindWrapped = false;
    bool SavedHideSelection = true;
    TFindDialog *FindDialog() const { return m_findDialog; }
    TReplaceDialog *ReplaceDialog() const { return m_replaceDialog; }
    void FindDialogFind(TFindDialog *sender);
    void ReplaceDialogReplace(TFindDialog *sender);
    void FindDialogClose(TFindDialog *sender);

    // Layout state, readable for callers that need to know what the engine was sent.
    QRect LastFormatRect() const { return m_lastFormatRect; }
    int FormatRectSendCount() const { return m_formatRectSends; }

    // Embedded objects (wwriched_objects.cpp): the engine's object interface (none with
    // reoDisableOLE), the selected object with its verbs, and running a verb by its index
    // in the verb list ("Invalid Verb" past its end).
    engine::RichEditOle *OleInterface() const { return m_oleInterface; }
    TRichEditOleCallback *OleCallback() const { return m_oleCallback.get(); }
    const std::optional<engine::SelectedObject> &SelectedObject() const { return m_selectedObject; }
    const QList<engine::objects::ObjectVerb> &SelectedObjectVerbs() const { return m_verbs; }
    void DoVerb(int index);

    // The built-in context menu (wwriched_popup.cpp): item 1 to 19, and its pop-up rules.
    QAction *PopupItem(int number) const;
    void ContextMenuPopup();

    // Virtual operations, in slot order
    virtual bool GetReadOnly() const;
    virtual void BeforeModify();
    virtual void UpdateFieldData();
    virtual bool IsContentLoaded() const;
    virtual QObject *GetBoundField() const;
    virtual void DoURLOpen(const QString &urlLink, bool &useDefault);
    virtual int SearchText(const QString &text, int startPos, int length, TwwSearchOptions options);
    virtual void LoadFieldStream();
    virtual bool InsertObject();
    virtual bool ExecuteEditorWindow();
    virtual void ExecuteFindDialog();
    virtual void ExecuteReplaceDialog();
    virtual void ExecuteFontDialog();
    virtual bool ExecuteParagraphDialog();
    virtual bool ExecuteTabDialog();
    virtual void FindNext();
    virtual void DoReplace();
    virtual void DoInitDialog(QWidget *form);
    virtual void DoCloseDialog(QWidget *form);
    virtual void DoCreateDialog(QWidget *form);

protected:
    void FindAndReplace(TFindDialog *dialog, bool replacing, const QString &replaceText);
    virtual void DoChange();
    virtual void DoSelectionChange();

    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void longInsertionStarts() override;
    void longInsertionEnds() override;

    bool vertScrollBarPresent() const;
    void handleLinkNotify(QEvent::Type mouseEvent, engine::CharRange range);
    void applyFontToDefaultAttributes();
    void applyScrollBarPolicy();
    void applySelectionVisibility();
    void openLink(const QString &url);
    void sendFormatRect(const QRect &rect);
    QRect printerFormatRect() const;
    QRect windowFormatRect() const;
    void releaseWithRightButtonRule(QMouseEvent *event);
    void clickAtRightClick(const QPointF &viewportPos);
    void RegisterOleCallback();
    void AdjustPopupMenu(QMenu *menu);
    void ReadSelectedObjectVerbs();
    void RunObjectVerb(const engine::SelectedObject &selected, int verbNumber);
    void BuildPopupMenu();
    void RefreshPopupCaptions();
    void TogglePopupStyle(int item, TFontStyle style);

    bool m_linkClickPending = false;
    Qt::MouseButton m_pressedButton = Qt::NoButton;
    bool m_inRightButtonRelease = false;
    bool m_firstPaintDone = false;
    bool m_scrollBarExpected = false;  // during a long insertion, before the bar shows

private:
    void UsePaper(const QPageSize &paper, bool landscape);

    TwwRichEditStrings *m_lines = nullptr;
    TTextAttributes m_selectionAttributes{this, atSelected};
    TTextAttributes m_defaultAttributes{this, atDefaultText};
    TParaAttributes m_paragraphAttributes{this};

    TwwRichEditPopupOptions m_popupOptions{0x3F8F};
    TwwRichEditOptions m_editorOptions{0x1FFC};
    QString m_editorCaption = QStringLiteral("Edit Rich Text");
    TwwFormPosition m_editorPosition;
    TwwMeasurementUnits m_units = muInches;
    TwwPrintMargins m_margins;
    TwwRichEditWidth m_editWidth = rewWindowSize;
    QString m_printJobName;
    TwwRichEditOleOptions m_oleOptions;
    bool m_autoUrlDetect = false;
    bool m_wordWrap = true;
    bool m_readOnly = false;
    bool m_plainText = false;
    bool m_hideSelection = true;
    bool m_hideScrollBars = true;
    TScrollStyle m_scrollBars = ssNone;
    bool m_wantTabs = false;
    bool m_wantReturns = true;
    int m_maxLength = 0;
    TColor m_color = clWindow;
    TColor m_fontColor = clWindowText;
    quint8 m_fontCharset = DEFAULT_CHARSET;
    QPointer<QMenu> m_popupMenu;
    QPointer<QAbstractButton> m_userButton1;
    QPointer<QAbstractButton> m_userButton2;

    int m_richEditVersion = 2;
    qint16 m_paperSize = 1;
    int m_leftTextInset = 0;
    int m_screenPixelsPerInch = 96;
    bool m_paintSuppressed = false;

    QRect m_lastFormatRect;
    int m_formatRectSends = 0;

    // Search (wwriched_search.cpp)
    struct SearchPass;
    void createSearchDialogs();
    void openSearchDialog(TFindDialog *dialog);
    bool searchDialogOpen() const;
    void endSearchRun();
    TFindDialog *m_findDialog = nullptr;
    TReplaceDialog *m_replaceDialog = nullptr;
    TFindDialog *m_searchDialog = nullptr;  // whose options the last search used
    int m_runReplacedFrom = -1;  // first text the run replaced before wrapping, or -1

    std::unique_ptr<TRichEditOleCallback> m_oleCallback;
    engine::RichEditOle *m_oleInterface = nullptr;
    std::unique_ptr<TwwObjectVerbFiles> m_verbFiles;
    std::optional<engine::SelectedObject> m_selectedObject;
    QList<engine::objects::ObjectVerb> m_verbs;
    bool m_verbsRead = false;
    std::array<QAction *, 19> m_popupItems{};
    QList<QAction *> m_addedObjectItems;
};

// The class applications place. Handles the keys and the first paint of the editor;
// without a database binding its virtual operations behave as the base class's.
class TwwDBRichEdit : public TwwCustomRichEdit {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TwwDBRichEdit(QWidget *parent = nullptr);

    bool AutoDisplay() const { return m_autoDisplay; }
    void SetAutoDisplay(bool on) { m_autoDisplay = on; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_autoDisplay = true;
};
