#include "platform/dialogs.h"
#include "richedit/Wwintl.h"
#include "richedit/wwprinter.h"
#include "richedit/wwriched.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <QTextLayout>
#include <QTextBlock>
#include <QtTest>
#include <memory>

namespace {

// Answers the font dialog from a queue and remembers what it was filled with.
class FontDialogScript : public platform::DialogProvider {
public:
    FontDialogScript() { platform::setDialogProvider(this); }
    ~FontDialogScript() override { platform::setDialogProvider(nullptr); }

    std::optional<platform::FontChoice> answer;
    platform::FontChoice shown;
    int fontDialogs = 0;

    platform::MessageResult messageBox(QWidget *, const QString &, const QString &,
                                       platform::MessageIcon, platform::MessageButtons) override
    {
        return platform::MessageResult::Cancel;
    }
    std::optional<platform::FontChoice> chooseFont(QWidget *, const platform::FontChoice &initial) override
    {
        ++fontDialogs;
        shown = initial;
        return answer;
    }
    QString openFileName(QWidget *, const platform::FileDialogRequest &) override { return {}; }
    QString saveFileName(QWidget *, const platform::FileDialogRequest &) override { return {}; }
};

// Records every BeforeModify with the paragraph and character state it saw, so a test
// can tell that it ran before the change.
class CountingRichEdit : public TwwDBRichEdit {
public:
    using TwwDBRichEdit::TwwDBRichEdit;
    int beforeModifyCalls = 0;
    QList<int> offsetsSeen;
    QList<bool> boldSeen;
    int editorWindowCalls = 0;
    bool readOnlyOverride = false;

    void BeforeModify() override
    {
        ++beforeModifyCalls;
        offsetsSeen << paraFormat().offset;
        boldSeen << SelectionAttributes().Style().testFlag(fsBold);
    }
    bool ExecuteEditorWindow() override
    {
        ++editorWindowCalls;
        return true;
    }
    bool GetReadOnly() const override { return readOnlyOverride || TwwDBRichEdit::GetReadOnly(); }
};

// Receives URLs that the control hands to the desktop.
class UrlSink : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

void setClipboard(QMimeData *data)
{
    QGuiApplication::clipboard()->setMimeData(data);
}

QMimeData *imageOnly()
{
    auto *data = new QMimeData;
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    data->setImageData(image);
    return data;
}

// The centre of the character at `position`, in viewport coordinates.
QPoint pointOfChar(TwwCustomRichEdit &edit, int position)
{
    QTextCursor cursor(edit.document());
    cursor.setPosition(position);
    const QRect rect = edit.cursorRect(cursor);
    return QPoint(rect.x() + 3, rect.center().y());
}

}  // namespace

class TestRichEditControl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void constructionDefaults();
    void textAttributesWorkOnTheSelectionOnly();
    void textAttributeWritesTouchOnlyTheirAttribute();
    void selectionFormatsAgreeWithTheAttributes();
    void selectionStyleChangesThatStyleOnly();
    void automaticAndExplicitColours();
    void defaultAttributesFollowTheFont();
    void paragraphAttributes();
    void bulletsSetAndResetTheOffset();
    void bulletNumberingRaisesASmallIndent();
    void setParagraphFormatMasksAndAlignmentText_data();
    void setParagraphFormatMasksAndAlignmentText();
    void setParagraphFormatTabs();
    void setParagraphFormatFirstEngineVersionHasNoSpacing();
    void setSelectionFontSetsEveryAttribute();
    void fontDialogFillsFromSelectionAndApplies();
    void fontDialogCancelChangesNothing();
    void beforeModifyRunsBeforeEachCommand();
    void readOnlyReadsThroughTheVirtual();
    void canPasteFollowsTheClipboard();
    void pasteKeysConsumedWhenNothingPasteable();
    void f2OpensTheEditorWindowOnlyWithPopupEdit();
    void wantReturnsOff();
    void maxLengthStopsTyping();
    void scrollBars();
    void selectionHiddenWithoutFocus();
    void windowFormatRectSentOnlyWhenChanged();
    void aLongPasteTakesTheWidthBesideTheScrollBarFirst();
    void printerFormatRectFromThePaper();
    void paintSuppressionSkipsPainting();
    void wordWrapSurvivesTheFormatRect();
    void linkClickFiresURLOpen();
    void linkClickOpensWithTheDesktopByDefault();
    void linkNotificationsOnlyWithAutoURLDetect();
    void rightClickKeepsTheSelection();
    void changeAndSelectionEventsFireWhenAssigned();
    void clearEmptiesAndResetsModified();
    void clearStartsOverWithTheDefaultFormats();
    void searchTextFindsForward();

private:
    std::unique_ptr<QWidget> m_form;
    CountingRichEdit *m_edit = nullptr;
};

void TestRichEditControl::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    CreateGlobalIntl(*qApp);
}

void TestRichEditControl::init()
{
    m_form = std::make_unique<QWidget>();
    m_form->resize(500, 300);
    m_edit = new CountingRichEdit(m_form.get());
    m_edit->setGeometry(0, 0, 400, 250);
}

void TestRichEditControl::cleanup()
{
    m_form.reset();
    m_edit = nullptr;
    QGuiApplication::clipboard()->clear();
}

void TestRichEditControl::constructionDefaults()
{
    TwwDBRichEdit edit;
    QCOMPARE(edit.PopupOptions(), TwwRichEditPopupOptions(0x3F8F));
    QVERIFY(!edit.PopupOptions().testFlag(rpoPopupBold));
    QVERIFY(edit.PopupOptions().testFlag(rpoPopupInsertObject));
    QCOMPARE(edit.EditorOptions(), TwwRichEditOptions(0x1FFC));
    QVERIFY(!edit.EditorOptions().testFlag(reoShowSaveAs));
    QCOMPARE(edit.EditorCaption(), QStringLiteral("Edit Rich Text"));
    QCOMPARE(edit.EditorPosition(), TwwFormPosition());
    QCOMPARE(edit.MeasurementUnits(), muInches);
    QCOMPARE(edit.PrintMargins(), (TwwPrintMargins{1.0, 1.0, 1.0, 1.0}));
    QCOMPARE(edit.EditWidth(), rewWindowSize);
    QCOMPARE(edit.OleOptions(), TwwRichEditOleOptions(reoAdjustPopupMenu));
    QVERIFY(!edit.AutoURLDetect());
    QVERIFY(edit.WordWrap());
    QVERIFY(!edit.ReadOnly());
    QVERIFY(edit.HideSelection());
    QVERIFY(edit.HideScrollBars());
    QVERIFY(edit.WantReturns());
    QVERIFY(!edit.WantTabs());
    QCOMPARE(edit.RichEditVersion(), 2);
    QCOMPARE(edit.PaperSize(), qint16(1));
    QCOMPARE(edit.LeftTextInset(), 3);
    QVERIFY(edit.Lines());
    QVERIFY(!edit.CanFindNext());
    edit.LastFindText = QStringLiteral("x");
    QVERIFY(edit.CanFindNext());
    QVERIFY(!edit.Modified());  // taking the font into the default format is no edit
    QVERIFY(!edit.CanUndo());
    edit.setFont(QFont(QStringLiteral("Arial"), 20));
    QVERIFY(!edit.Modified());
    QVERIFY(!edit.CanUndo());
    QCOMPARE(edit.eventMask() & engine::ENM_LINK, 0u);
    QVERIFY(edit.eventMask() & engine::ENM_CHANGE);
    QVERIFY(edit.eventMask() & engine::ENM_SELCHANGE);

    TwwCustomRichEdit plain;
    QCOMPARE(plain.OleOptions(), TwwRichEditOleOptions());
    QCOMPARE(plain.LeftTextInset(), 0);
}

void TestRichEditControl::textAttributesWorkOnTheSelectionOnly()
{
    m_edit->SetSelText(QStringLiteral("Hello world"));
    m_edit->setSelectionRange({0, 5});
    m_edit->SelectionAttributes().SetStyle(fsBold | fsUnderline);
    m_edit->SelectionAttributes().SetSize(14);
    m_edit->SelectionAttributes().SetName(QStringLiteral("Courier New"));

    QCOMPARE(m_edit->SelectionAttributes().Style(), fsBold | fsUnderline);
    QCOMPARE(m_edit->SelectionAttributes().Size(), 14);
    QCOMPARE(m_edit->SelectionAttributes().Name(), QStringLiteral("Courier New"));

    m_edit->setSelectionRange({6, 11});
    QCOMPARE(m_edit->SelectionAttributes().Style(), TFontStyles());
    QVERIFY(m_edit->SelectionAttributes().Size() != 14);

    // Over both words the differing attributes read as absent.
    m_edit->SelectAll();
    QCOMPARE(m_edit->SelectionAttributes().Style(), TFontStyles());
    QCOMPARE(m_edit->SelectionAttributes().Size(), 0);
    QCOMPARE(m_edit->SelectionAttributes().Name(), QString());

    // A face name longer than the engine keeps is cut to 32 characters.
    m_edit->SelectionAttributes().SetName(QString(40, QLatin1Char('F')));
    QCOMPARE(m_edit->SelectionAttributes().Name(), QString(32, QLatin1Char('F')));
}

// The one read a format bar makes gives what the single attributes give, also over a
// selection whose formats differ.
void TestRichEditControl::selectionFormatsAgreeWithTheAttributes()
{
    m_edit->SetSelText(QStringLiteral("Hello world\nNext"));
    m_edit->setSelectionRange({0, 5});
    m_edit->SelectionAttributes().SetStyle(fsBold | fsItalic);
    m_edit->SelectionAttributes().SetSize(14);
    m_edit->SelectionAttributes().SetColor(TColor(0x0000FF));
    m_edit->ParagraphAttributes().SetAlignment(taCenter);

    TSelectionFormats formats = m_edit->SelectionFormats();
    QCOMPARE(formats.Style, fsBold | fsItalic);
    QCOMPARE(formats.Size, 14);
    QCOMPARE(formats.Name, m_edit->SelectionAttributes().Name());
    QVERIFY(formats.ColorKnown);
    QCOMPARE(formats.Color, TColor(0x0000FF));
    QVERIFY(m_edit->SelectionHasColor(TColor(0x0000FF)));
    QCOMPARE(formats.Alignment, int(taCenter));
    QCOMPARE(formats.Numbering, nsNone);

    m_edit->SelectAll();
    formats = m_edit->SelectionFormats();
    QCOMPARE(formats.Style, TFontStyles());
    QCOMPARE(formats.Size, 0);
    QVERIFY(!formats.ColorKnown);
    QVERIFY(!m_edit->SelectionHasColor(TColor(0x0000FF)));
    QCOMPARE(formats.Alignment, -1);
}

void TestRichEditControl::selectionStyleChangesThatStyleOnly()
{
    m_edit->SetSelText(QStringLiteral("ab"));
    m_edit->setSelectionRange({0, 1});
    m_edit->SelectionAttributes().SetStyle(fsItalic);
    m_edit->SelectAll();
    m_edit->SetSelectionStyle(fsBold, true);
    m_edit->setSelectionRange({0, 1});
    QCOMPARE(m_edit->SelectionAttributes().Style(), fsBold | fsItalic);
    m_edit->setSelectionRange({1, 2});
    QCOMPARE(m_edit->SelectionAttributes().Style(), TFontStyles(fsBold));
    m_edit->SelectAll();
    m_edit->SetSelectionStyle(fsBold, false);
    QCOMPARE(m_edit->SelectionFormats().Style, TFontStyles());

    m_edit->SetSelectionFaceName(QStringLiteral("Courier New"));
    QCOMPARE(m_edit->SelectionAttributes().Name(), QStringLiteral("Courier New"));
    m_edit->document()->clearUndoRedoStacks();
    m_edit->SetSelectionFaceName(QStringLiteral("Courier New"));  // the same: nothing sent
    QVERIFY(!m_edit->CanUndo());
}

void TestRichEditControl::textAttributeWritesTouchOnlyTheirAttribute()
{
    m_edit->SetSelText(QStringLiteral("abc"));
    m_edit->SelectAll();
    TTextAttributes &selection = m_edit->SelectionAttributes();
    selection.SetStyle(fsItalic);
    selection.SetName(QStringLiteral("Arial"));
    selection.SetSize(20);
    QCOMPARE(selection.Style(), TFontStyles(fsItalic));
    QCOMPARE(selection.Name(), QStringLiteral("Arial"));
    selection.SetCharset(238);
    QCOMPARE(selection.Charset(), quint8(238));
    QCOMPARE(selection.Size(), 20);
    QCOMPARE(selection.Style(), TFontStyles(fsItalic));
    // The size is whole points of the twips height.
    engine::CharFormat odd;
    odd.mask = engine::CFM_SIZE;
    odd.height = 219;
    m_edit->setCharFormat(odd, true);
    QCOMPARE(selection.Size(), 10);
}

void TestRichEditControl::automaticAndExplicitColours()
{
    m_edit->SetSelText(QStringLiteral("colour"));
    m_edit->SelectAll();
    TTextAttributes &selection = m_edit->SelectionAttributes();
    selection.SetColor(0x0000FF);  // red in 0x00BBGGRR
    QCOMPARE(selection.Color(), TColor(0x0000FF));
    QVERIFY(!(m_edit->charFormat(true).effects & engine::CFE_AUTOCOLOR));
    selection.SetColor(clWindowText);
    QCOMPARE(selection.Color(), clWindowText);
    QVERIFY(m_edit->charFormat(true).effects & engine::CFE_AUTOCOLOR);
}

void TestRichEditControl::defaultAttributesFollowTheFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(12);
    font.setBold(true);
    m_edit->setFont(font);
    TTextAttributes &defaults = m_edit->DefaultAttributes();
    QCOMPARE(defaults.Name(), QStringLiteral("Courier New"));
    QCOMPARE(defaults.Size(), 12);
    QCOMPARE(defaults.Style(), TFontStyles(fsBold));
    QCOMPARE(defaults.Color(), clWindowText);

    m_edit->SetFontColor(0x00FF00);
    QCOMPARE(defaults.Color(), TColor(0x00FF00));
    m_edit->SetFontCharset(161);
    QCOMPARE(defaults.Charset(), quint8(161));
    QCOMPARE(m_edit->GetFontCharset(QStringLiteral("any name")), quint8(161));
    m_edit->SetFontCharset(DEFAULT_CHARSET);
    QCOMPARE(m_edit->GetFontCharset(QString()), ANSI_CHARSET);

    // What is typed into an empty document takes the default format.
    QTest::keyClicks(m_edit, QStringLiteral("x"));
    m_edit->SelectAll();
    QCOMPARE(m_edit->SelectionAttributes().Name(), QStringLiteral("Courier New"));
    QCOMPARE(m_edit->SelectionAttributes().Size(), 12);
}

void TestRichEditControl::paragraphAttributes()
{
    m_edit->SetSelText(QStringLiteral("one\rtwo"));
    m_edit->SetSelStart(0);
    TParaAttributes &para = m_edit->ParagraphAttributes();
    para.SetAlignment(taCenter);
    QCOMPARE(para.Alignment(), taCenter);
    QCOMPARE(m_edit->paraFormat().alignment, quint16(engine::PFA_CENTER));
    para.SetAlignment(taRightJustify);
    QCOMPARE(para.Alignment(), taRightJustify);
    para.SetFirstIndent(36);
    para.SetLeftIndent(18);
    para.SetRightIndent(9);
    QCOMPARE(m_edit->paraFormat().startIndent, 720);
    QCOMPARE(m_edit->paraFormat().offset, 360);
    QCOMPARE(m_edit->paraFormat().rightIndent, 180);
    QCOMPARE(para.FirstIndent(), 36);
    QCOMPARE(para.LeftIndent(), 18);
    QCOMPARE(para.RightIndent(), 9);
    QCOMPARE(para.Alignment(), taRightJustify);  // indents left the alignment alone

    para.SetTab(0, 36);
    para.SetTab(1, 72);
    QCOMPARE(para.TabCount(), 2);
    QCOMPARE(para.Tab(1), 72);
    para.SetTabCount(1);
    QCOMPARE(para.TabCount(), 1);
    para.SetTab(40, 10);  // beyond the 32 stops: ignored
    QCOMPARE(para.TabCount(), 1);
    QCOMPARE(para.Tab(-1), 0);

    // The second paragraph kept its own format.
    m_edit->SetSelStart(5);
    QCOMPARE(para.Alignment(), taLeftJustify);
    QCOMPARE(para.FirstIndent(), 0);
}

void TestRichEditControl::bulletsSetAndResetTheOffset()
{
    m_edit->SetSelText(QStringLiteral("item"));
    m_edit->SetBullets(true);
    QCOMPARE(m_edit->ParagraphAttributes().Numbering(), nsBullet);
    QCOMPARE(m_edit->paraFormat().offset, 720);
    m_edit->SetBullets(false);
    QCOMPARE(m_edit->ParagraphAttributes().Numbering(), nsNone);
    QCOMPARE(m_edit->paraFormat().offset, 0);
}

void TestRichEditControl::bulletNumberingRaisesASmallIndent()
{
    m_edit->SetSelText(QStringLiteral("a\rb"));
    m_edit->SetSelStart(0);
    m_edit->ParagraphAttributes().SetLeftIndent(5);
    m_edit->ParagraphAttributes().SetNumbering(nsBullet);
    QCOMPARE(m_edit->paraFormat().offset, 200);
    QCOMPARE(m_edit->ParagraphAttributes().Numbering(), nsBullet);

    m_edit->SetSelStart(2);
    m_edit->ParagraphAttributes().SetLeftIndent(30);
    m_edit->ParagraphAttributes().SetNumbering(nsBullet);
    QCOMPARE(m_edit->paraFormat().offset, 600);  // wide enough already
}

void TestRichEditControl::setParagraphFormatMasksAndAlignmentText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("alignment");
    QTest::newRow("left text") << "Left" << int(engine::PFA_LEFT);
    QTest::newRow("right text") << "Right" << int(engine::PFA_RIGHT);
    QTest::newRow("center text") << "Center" << int(engine::PFA_CENTER);
    QTest::newRow("empty means centre") << "" << int(engine::PFA_CENTER);
    QTest::newRow("case matters") << "left" << int(engine::PFA_CENTER);
}

void TestRichEditControl::setParagraphFormatMasksAndAlignmentText()
{
    QFETCH(QString, text);
    QFETCH(int, alignment);
    m_edit->SetSelText(QStringLiteral("para"));
    m_edit->ParagraphAttributes().SetFirstIndent(10);
    m_edit->SetParagraphFormat(pmAlignment | pmRightIndent, text, true, 999, 288, 1440, 0, {}, 0, 0,
                               0, 0);
    const engine::ParaFormat format = m_edit->paraFormat();
    QCOMPARE(int(format.alignment), alignment);
    QCOMPARE(format.rightIndent, 288);
    QCOMPARE(format.startIndent, 200);  // not a member: unchanged
    QCOMPARE(format.offset, 0);
    QCOMPARE(format.numbering, quint16(engine::PFN_NONE));
}

void TestRichEditControl::setParagraphFormatTabs()
{
    m_edit->SetSelText(QStringLiteral("tabs"));
    QList<int> many;
    for (int i = 1; i <= 40; ++i)
        many << i * 360;
    m_edit->SetParagraphFormat(pmTabs, QString(), false, 0, 0, 0, 40, many, 0, 0, 0, 0);
    engine::ParaFormat format = m_edit->paraFormat();
    QCOMPARE(int(format.tabCount), 32);
    QCOMPARE(format.tabs[31], 32 * 360);

    // A count beyond the positions given takes only the positions there are.
    m_edit->SetParagraphFormat(pmTabs, QString(), false, 0, 0, 0, 5, {720, 1440}, 0, 0, 0, 0);
    format = m_edit->paraFormat();
    QCOMPARE(int(format.tabCount), 2);
    QCOMPARE(format.tabs[1], 1440);

    // Tabs outside the members are not sent.
    m_edit->SetParagraphFormat(pmSpaceBefore, QString(), false, 0, 0, 0, 1, {100}, 240, 0, 0, 0);
    format = m_edit->paraFormat();
    QCOMPARE(int(format.tabCount), 2);
    QCOMPARE(format.spaceBefore, 240);
}

void TestRichEditControl::setParagraphFormatFirstEngineVersionHasNoSpacing()
{
    m_edit->SetSelText(QStringLiteral("v1"));
    m_edit->SetRichEditVersion(1);
    m_edit->SetParagraphFormat(pmSpaceAfter | pmStartIndent, QString(), false, 0, 0, 360, 0, {}, 0,
                               480, 0, 0);
    QCOMPARE(m_edit->paraFormat().spaceAfter, 0);
    QCOMPARE(m_edit->paraFormat().startIndent, 360);
}

void TestRichEditControl::setSelectionFontSetsEveryAttribute()
{
    m_edit->SetSelText(QStringLiteral("font"));
    m_edit->SelectAll();
    m_edit->SelectionAttributes().SetStyle(fsBold);
    m_edit->SetFontCharset(204);
    m_edit->SetSelectionFont(QStringLiteral("Times New Roman"), 16, 0x123456, fsItalic | fsStrikeOut);
    TTextAttributes &selection = m_edit->SelectionAttributes();
    QCOMPARE(selection.Name(), QStringLiteral("Times New Roman"));
    QCOMPARE(selection.Size(), 16);
    QCOMPARE(selection.Color(), TColor(0x123456));
    QCOMPARE(selection.Style(), fsItalic | fsStrikeOut);  // bold went: the style is sent whole
    QCOMPARE(selection.Charset(), quint8(204));

    m_edit->SetSelectionFont(QStringLiteral("Arial"), 0, clWindowText, {});
    QCOMPARE(selection.Size(), 16);  // no size given: kept
    QCOMPARE(selection.Color(), clWindowText);
}

void TestRichEditControl::fontDialogFillsFromSelectionAndApplies()
{
    FontDialogScript dialogs;
    m_edit->SetSelText(QStringLiteral("dialog"));
    m_edit->SelectAll();
    m_edit->SetSelectionFont(QStringLiteral("Arial"), 11, 0x0000FF, fsBold);
    platform::FontChoice answer;
    answer.family = QStringLiteral("Courier New");
    answer.pointSize = 18;
    answer.italic = true;
    answer.color = QColor(0, 128, 0);
    dialogs.answer = answer;
    const int before = m_edit->beforeModifyCalls;

    m_edit->ExecuteFontDialog();

    QCOMPARE(dialogs.fontDialogs, 1);
    QCOMPARE(dialogs.shown.family, QStringLiteral("Arial"));
    QCOMPARE(dialogs.shown.pointSize, 11);
    QVERIFY(dialogs.shown.bold);
    QVERIFY(!dialogs.shown.italic);
    QCOMPARE(dialogs.shown.color, QColor(255, 0, 0));
    QCOMPARE(m_edit->beforeModifyCalls, before + 1);
    QCOMPARE(m_edit->boldSeen.last(), true);  // BeforeModify saw the old format
    TTextAttributes &selection = m_edit->SelectionAttributes();
    QCOMPARE(selection.Name(), QStringLiteral("Courier New"));
    QCOMPARE(selection.Size(), 18);
    QCOMPARE(selection.Style(), TFontStyles(fsItalic));
    QCOMPARE(selection.Color(), TColor(0x008000));

    // Automatic colour both ways: shown as no colour, chosen as the automatic one.
    selection.SetColor(clWindowText);
    answer.color = QColor();
    dialogs.answer = answer;
    m_edit->ExecuteFontDialog();
    QVERIFY(!dialogs.shown.color.isValid());
    QCOMPARE(selection.Color(), clWindowText);
}

void TestRichEditControl::fontDialogCancelChangesNothing()
{
    FontDialogScript dialogs;
    m_edit->SetSelText(QStringLiteral("keep"));
    m_edit->SelectAll();
    m_edit->SelectionAttributes().SetSize(13);
    dialogs.answer.reset();
    m_edit->ExecuteFontDialog();
    QCOMPARE(dialogs.fontDialogs, 1);
    QCOMPARE(m_edit->beforeModifyCalls, 0);
    QCOMPARE(m_edit->SelectionAttributes().Size(), 13);
}

void TestRichEditControl::beforeModifyRunsBeforeEachCommand()
{
    m_edit->SetSelText(QStringLiteral("x"));
    m_edit->SetBullets(true);
    QVERIFY(m_edit->beforeModifyCalls >= 1);
    QCOMPARE(m_edit->offsetsSeen.first(), 0);  // seen before the bullet offset arrived
    m_edit->beforeModifyCalls = 0;
    m_edit->offsetsSeen.clear();

    m_edit->SetBullets(false);
    QCOMPARE(m_edit->beforeModifyCalls, 1);
    QCOMPARE(m_edit->offsetsSeen.first(), 720);

    m_edit->SetParagraphFormat(pmOffset, QString(), false, 100, 0, 0, 0, {}, 0, 0, 0, 0);
    QCOMPARE(m_edit->beforeModifyCalls, 2);
    QCOMPARE(m_edit->offsetsSeen.last(), 0);

    // Plain attribute writes are the caller's business, not a control command.
    m_edit->ParagraphAttributes().SetAlignment(taCenter);
    m_edit->SelectionAttributes().SetSize(30);
    QCOMPARE(m_edit->beforeModifyCalls, 2);
}

void TestRichEditControl::readOnlyReadsThroughTheVirtual()
{
    QVERIFY(!m_edit->ReadOnly());
    m_edit->readOnlyOverride = true;
    QVERIFY(m_edit->ReadOnly());
    m_edit->readOnlyOverride = false;
    m_edit->SetReadOnly(true);
    QVERIFY(m_edit->ReadOnly());
    QVERIFY(m_edit->isReadOnly());
    m_edit->setFocus();
    QTest::keyClicks(m_edit, QStringLiteral("typed"));
    QCOMPARE(m_edit->textLength(), 0);
    m_edit->SetReadOnly(false);
    QVERIFY(!m_edit->isReadOnly());
}

void TestRichEditControl::canPasteFollowsTheClipboard()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("text"));
    QVERIFY(m_edit->CanPaste());

    setClipboard(imageOnly());
    QVERIFY(!m_edit->CanPaste());  // a bitmap alone

    QMimeData *both = imageOnly();
    both->setText(QStringLiteral("caption"));
    setClipboard(both);
    QVERIFY(m_edit->CanPaste());

    QMimeData *vector = imageOnly();
    vector->setData(QStringLiteral("image/svg+xml"), "<svg xmlns='http://www.w3.org/2000/svg'/>");
    setClipboard(vector);
    QVERIFY(m_edit->CanPaste());  // a vector picture beside the bitmap

    QGuiApplication::clipboard()->clear();
    QVERIFY(!m_edit->CanPaste());

    // Read-only: the answer is the one for an editable control.
    m_edit->SetReadOnly(true);
    QGuiApplication::clipboard()->setText(QStringLiteral("text"));
    QVERIFY(m_edit->CanPaste());
    QVERIFY(m_edit->ReadOnly());
}

void TestRichEditControl::pasteKeysConsumedWhenNothingPasteable()
{
    m_form->show();
    m_edit->setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    setClipboard(imageOnly());
    QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(m_edit, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(m_edit->document()->toPlainText(), QString());

    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_edit->document()->toPlainText(), QStringLiteral("pasted"));
}

void TestRichEditControl::f2OpensTheEditorWindowOnlyWithPopupEdit()
{
    m_form->show();
    m_edit->setFocus();
    QTest::keyClick(m_edit, Qt::Key_F2);
    QCOMPARE(m_edit->editorWindowCalls, 1);

    m_edit->SetPopupOptions(m_edit->PopupOptions() & ~TwwRichEditPopupOptions(rpoPopupEdit));
    QTest::keyClick(m_edit, Qt::Key_F2);
    QCOMPARE(m_edit->editorWindowCalls, 1);
    QCOMPARE(m_edit->textLength(), 0);
}

void TestRichEditControl::wantReturnsOff()
{
    m_form->show();
    m_edit->setFocus();
    QTest::keyClicks(m_edit, QStringLiteral("a"));
    m_edit->SetWantReturns(false);
    QTest::keyClick(m_edit, Qt::Key_Return);
    QCOMPARE(m_edit->lineCount(), 1);
    QTest::keyClick(m_edit, Qt::Key_Return, Qt::ControlModifier);  // still breaks the line
    QCOMPARE(m_edit->lineCount(), 2);
    m_edit->SetWantReturns(true);
    QTest::keyClick(m_edit, Qt::Key_Return);
    QCOMPARE(m_edit->lineCount(), 3);
}

void TestRichEditControl::maxLengthStopsTyping()
{
    m_form->show();
    m_edit->setFocus();
    m_edit->SetMaxLength(3);
    QTest::keyClicks(m_edit, QStringLiteral("abcdef"));
    QCOMPARE(m_edit->document()->toPlainText(), QStringLiteral("abc"));
    m_edit->setSelectionRange({0, 2});  // typing over a selection replaces it
    QTest::keyClicks(m_edit, QStringLiteral("XY"));
    QCOMPARE(m_edit->document()->toPlainText(), QStringLiteral("XYc"));
    QTest::keyClick(m_edit, Qt::Key_Backspace);  // editing keys are never refused
    QCOMPARE(m_edit->document()->toPlainText(), QStringLiteral("Xc"));
    m_edit->SetMaxLength(0);
    QTest::keyClicks(m_edit, QStringLiteral("12345"));
    QCOMPARE(m_edit->textLength(), 7);
}

void TestRichEditControl::scrollBars()
{
    QCOMPARE(m_edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    m_edit->SetScrollBars(ssVertical);
    QCOMPARE(m_edit->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QCOMPARE(m_edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    m_edit->SetHideScrollBars(false);
    QCOMPARE(m_edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    m_edit->SetScrollBars(ssBoth);
    QCOMPARE(m_edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void TestRichEditControl::selectionHiddenWithoutFocus()
{
    auto *other = new QLineEdit(m_form.get());
    other->setGeometry(0, 260, 100, 20);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_edit->SetSelText(QStringLiteral("a selected line of text"));
    m_edit->SelectAll();
    const QRgb highlight = m_edit->palette().color(QPalette::Active, QPalette::Highlight).rgb();
    m_edit->SelectionAttributes().SetColor(0x0000FF);  // red
    const auto pixelsWhere = [&](auto wanted) {
        const QImage image = m_edit->viewport()->grab().toImage();
        int pixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                pixels += wanted(QColor(image.pixel(x, y)));
        return pixels;
    };
    const auto highlighted = [&] { return pixelsWhere([&](QColor c) { return c.rgb() == highlight; }); };
    const auto reddish = [&] {
        return pixelsWhere([](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; });
    };
    m_edit->setFocus();
    QTRY_VERIFY(m_edit->hasFocus());
    QVERIFY(highlighted() > 0);
    other->setFocus();
    QTRY_VERIFY(!m_edit->hasFocus());
    QCOMPARE(highlighted(), 0);
    QVERIFY(reddish() > 0);  // the hidden selection shows the text's own colour
    m_edit->SetHideSelection(false);
    QVERIFY(highlighted() > 0);
    m_edit->SetColor(0x00FFFF);  // a new background keeps the choice
    QVERIFY(highlighted() > 0);
}

void TestRichEditControl::windowFormatRectSentOnlyWhenChanged()
{
    // Hidden: nothing is sent in window-width mode.
    m_edit->UpdateFormatRect();
    QCOMPARE(m_edit->FormatRectSendCount(), 0);

    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QTRY_VERIFY(m_edit->FormatRectSendCount() >= 1);  // the first paint
    // The right edge keeps the left inset from the border too.
    const QRect expected(3, 2, 400 - 4 - 3 - 3, 250 - 2);
    QCOMPARE(m_edit->LastFormatRect(), expected);
    QCOMPARE(m_edit->formatRect(), expected);

    const int sends = m_edit->FormatRectSendCount();
    m_edit->resize(400, 250);
    m_edit->UpdateFormatRect();
    QCOMPARE(m_edit->FormatRectSendCount(), sends);

    m_edit->resize(300, 200);
    QCOMPARE(m_edit->FormatRectSendCount(), sends + 1);
    QCOMPARE(m_edit->LastFormatRect(), QRect(3, 2, 300 - 4 - 3 - 3, 200 - 2));
}

// The text width is set once, before the paste, beside the scroll bar the paste brings;
// the bar appearing then leaves the width, so the long text is not laid out all over again.
void TestRichEditControl::aLongPasteTakesTheWidthBesideTheScrollBarFirst()
{
    m_edit->SetScrollBars(ssVertical);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QTRY_VERIFY(m_edit->FormatRectSendCount() >= 1);
    const QRect fullWidth = m_edit->LastFormatRect();
    m_edit->replaceSelection(QStringLiteral("A paragraph long enough to wrap over a few lines of the window.\n")
                                 .repeated(2000));
    m_edit->SelectAll();
    m_edit->CopyToClipboard();
    m_edit->Clear();
    QCoreApplication::processEvents();
    QCOMPARE(m_edit->LastFormatRect(), fullWidth);

    const int sends = m_edit->FormatRectSendCount();
    m_edit->PasteFromClipboard();
    QCoreApplication::processEvents();
    QCOMPARE(m_edit->FormatRectSendCount(), sends + 1);
    const int thumb = m_edit->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_edit);
    QCOMPARE(m_edit->LastFormatRect().width(), fullWidth.width() - thumb);
    QVERIFY(m_edit->verticalScrollBar()->isVisible());
    QVERIFY(m_edit->viewport()->rect().contains(m_edit->cursorRect()));
    // Only the end is laid out yet: the rest waits for the background.
    QCOMPARE(m_edit->document()->findBlockByNumber(1000).layout()->lineCount(), 0);
}

void TestRichEditControl::printerFormatRectFromThePaper()
{
    m_edit->SetEditWidth(rewPrinterSize);
    m_edit->SetPaperSize(9);  // A4, applied to the printer: the control sits on a form
    QCOMPARE(CurrentPrinter().pageLayout().pageSize().id(), QPageSize::A4);
    const QPrinter &printer = CurrentPrinter();
    const double pageInches =
        double(printer.pageLayout().fullRectPixels(printer.resolution()).width()) / printer.resolution();
    const int expectedRight = int((pageInches - 2.0) * 96) + 3 + 4;
    QCOMPARE(m_edit->LastFormatRect().left(), 3);
    QCOMPARE(m_edit->LastFormatRect().top(), 0);
    QCOMPARE(m_edit->LastFormatRect().x() + m_edit->LastFormatRect().width(), expectedRight);
    QVERIFY(m_edit->LastFormatRect().height() > 900);  // a page height at 96 per inch

    // Always sent in printer mode, even when unchanged and hidden.
    const int sends = m_edit->FormatRectSendCount();
    m_edit->UpdateFormatRect();
    QCOMPARE(m_edit->FormatRectSendCount(), sends + 1);

    // Margins of 2.537 cm are the inch margins again.
    m_edit->SetMeasurementUnits(muCentimeters);
    m_edit->PrintMargins().Left = 2.537;
    m_edit->PrintMargins().Right = 2.537;
    m_edit->UpdateFormatRect();
    QCOMPARE(m_edit->LastFormatRect().x() + m_edit->LastFormatRect().width(), expectedRight);

    // Back in window mode an unchanged window still gets its rectangle again.
    m_edit->SetEditWidth(rewWindowSize);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_edit->UpdateFormatRect();
    QCOMPARE(m_edit->LastFormatRect().top(), 2);

    // A control without a form only stores the code.
    TwwDBRichEdit loose;
    loose.SetEditWidth(rewPrinterSize);
    loose.SetPaperSize(1);
    QCOMPARE(loose.PaperSize(), qint16(1));
    QCOMPARE(loose.FormatRectSendCount(), 0);
    QCOMPARE(CurrentPrinter().pageLayout().pageSize().id(), QPageSize::A4);
}

void TestRichEditControl::paintSuppressionSkipsPainting()
{
    m_edit->SetPaintSuppressed(true);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const int sends = m_edit->FormatRectSendCount();
    m_edit->SetLeftTextInset(6);  // a rectangle the first paint would send
    m_edit->viewport()->repaint();
    QCOMPARE(m_edit->FormatRectSendCount(), sends);  // suppressed: the first paint never ran
    m_edit->SetPaintSuppressed(false);
    m_edit->viewport()->repaint();
    QCOMPARE(m_edit->FormatRectSendCount(), sends + 1);
    QCOMPARE(m_edit->LastFormatRect().left(), 6);
    m_edit->SetLeftTextInset(8);
    m_edit->viewport()->repaint();
    QCOMPARE(m_edit->FormatRectSendCount(), sends + 1);  // only the first paint lays out
}

void TestRichEditControl::wordWrapSurvivesTheFormatRect()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_edit->SetSelText(QString(200, QLatin1Char('w')) + QStringLiteral(" end"));
    const auto visualLines = [this] { return m_edit->document()->firstBlock().layout()->lineCount(); };
    QVERIFY(visualLines() > 1);

    m_edit->SetWordWrap(false);
    m_edit->resize(350, 250);  // a new rectangle for the new width
    QCOMPARE(m_edit->LastFormatRect().width(), 350 - 4 - 3 - 3);
    QCOMPARE(visualLines(), 1);

    m_edit->SetWordWrap(true);
    QVERIFY(visualLines() > 1);
    QCOMPARE(m_edit->lineWrapColumnOrWidth(), 350 - 4 - 3 - 3);
}

void TestRichEditControl::linkClickFiresURLOpen()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_edit->SetSelText(QStringLiteral("see http://example.com/x now"));
    m_edit->SetAutoURLDetect(true);
    QVERIFY(m_edit->eventMask() & engine::ENM_LINK);
    QStringList urls;
    QList<bool> defaults;
    m_edit->OnURLOpen = [&](TwwCustomRichEdit *sender, const QString &url, bool &useDefault) {
        QCOMPARE(sender, m_edit);
        urls << url;
        defaults << useDefault;
        useDefault = false;
    };
    const QPoint onLink = pointOfChar(*m_edit, 8);
    QTest::mouseClick(m_edit->viewport(), Qt::LeftButton, {}, onLink);
    QCOMPARE(urls, QStringList{QStringLiteral("http://example.com/x")});
    QCOMPARE(defaults, QList<bool>{true});

    // A press off the link and a release on it is no click on the link; nor the reverse.
    const QPoint offLink = pointOfChar(*m_edit, 1);
    QTest::mousePress(m_edit->viewport(), Qt::LeftButton, {}, offLink);
    QTest::mouseRelease(m_edit->viewport(), Qt::LeftButton, {}, onLink);
    QTest::mousePress(m_edit->viewport(), Qt::LeftButton, {}, onLink);
    QTest::mouseRelease(m_edit->viewport(), Qt::LeftButton, {}, offLink);
    QTest::mousePress(m_edit->viewport(), Qt::LeftButton, {}, offLink);
    QTest::mouseRelease(m_edit->viewport(), Qt::LeftButton, {}, onLink);
    QCOMPARE(urls.size(), 1);

    // The right button never opens a link.
    QTest::mouseClick(m_edit->viewport(), Qt::RightButton, {}, onLink);
    QCOMPARE(urls.size(), 1);
}

void TestRichEditControl::linkClickOpensWithTheDesktopByDefault()
{
    UrlSink sink;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &sink, "open");
    m_edit->SetSelText(QStringLiteral("http://example.org"));
    m_edit->SetAutoURLDetect(true);
    bool called = false;
    m_edit->OnURLOpen = [&](TwwCustomRichEdit *, const QString &, bool &) { called = true; };
    emit m_edit->linkNotify(QEvent::MouseButtonRelease, {0, 18});  // release without a press
    QVERIFY(sink.opened.isEmpty());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QTest::mouseClick(m_edit->viewport(), Qt::LeftButton, {}, pointOfChar(*m_edit, 5));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QVERIFY(called);
    QCOMPARE(sink.opened, QList<QUrl>{QUrl(QStringLiteral("http://example.org"))});
    QVERIFY(!QGuiApplication::overrideCursor());  // the wait cursor is gone again
}

void TestRichEditControl::linkNotificationsOnlyWithAutoURLDetect()
{
    m_form->show();
    m_edit->SetSelText(QStringLiteral("http://example.com"));
    int calls = 0;
    m_edit->OnURLOpen = [&](TwwCustomRichEdit *, const QString &, bool &useDefault) {
        ++calls;
        useDefault = false;
    };
    QTest::mouseClick(m_edit->viewport(), Qt::LeftButton, {}, pointOfChar(*m_edit, 4));
    QCOMPARE(calls, 0);
    QVERIFY(!(m_edit->eventMask() & engine::ENM_LINK));

    m_edit->SetAutoURLDetect(true);
    m_edit->SetAutoURLDetect(false);
    QVERIFY(!(m_edit->eventMask() & engine::ENM_LINK));
    QVERIFY(!m_edit->autoUrlDetect());
    QTest::mouseClick(m_edit->viewport(), Qt::LeftButton, {}, pointOfChar(*m_edit, 4));
    QCOMPARE(calls, 0);
}

void TestRichEditControl::rightClickKeepsTheSelection()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_edit->SetSelText(QStringLiteral("first second third"));
    m_edit->setSelectionRange({6, 12});
    QTest::mouseClick(m_edit->viewport(), Qt::RightButton, {}, pointOfChar(*m_edit, 15));
    QCOMPARE(m_edit->selectionRange(), (engine::CharRange{6, 12}));
    QCOMPARE(m_edit->SelText(), QStringLiteral("second"));

    // Where the menu is asked for on the press, the rule runs before the menu opens.
    QMenu menu;
    menu.addAction(QStringLiteral("item"));
    m_edit->SetPopupMenu(&menu);
    const QPoint at = pointOfChar(*m_edit, 2);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, m_edit->viewport()->mapToGlobal(at));
    QApplication::sendEvent(m_edit->viewport(), &request);
    QTRY_VERIFY(menu.isVisible());
    QCOMPARE(m_edit->SelText(), QStringLiteral("second"));
    menu.close();
}

void TestRichEditControl::changeAndSelectionEventsFireWhenAssigned()
{
    m_form->show();
    m_edit->setFocus();
    QTest::keyClicks(m_edit, QStringLiteral("ab"));  // no handlers: nothing to call
    int changes = 0;
    int selections = 0;
    m_edit->OnChange = [&](TwwCustomRichEdit *sender) {
        QCOMPARE(sender, m_edit);
        ++changes;
    };
    m_edit->OnSelectionChange = [&](TwwCustomRichEdit *) { ++selections; };
    QTest::keyClicks(m_edit, QStringLiteral("c"));
    QVERIFY(changes >= 1);
    QVERIFY(selections >= 1);
    const int changesBefore = changes;
    m_edit->setSelectionRange({0, 1});
    QCOMPARE(changes, changesBefore);
    m_edit->OnSelectionChange = nullptr;  // cleared by a caller: no call, no failure
    m_edit->setSelectionRange({0, 2});
}

void TestRichEditControl::clearEmptiesAndResetsModified()
{
    m_edit->SetSelText(QStringLiteral("old text"));
    QVERIFY(m_edit->Modified());
    m_edit->Clear();
    QCOMPARE(m_edit->textLength(), 0);
    QVERIFY(!m_edit->Modified());
    QVERIFY(!m_edit->CanUndo());
    m_edit->SetSelText(QStringLiteral("new"));
    QVERIFY(m_edit->CanUndo());
    m_edit->Undo();
    QVERIFY(m_edit->CanRedo());
    m_edit->SetModified(false);
    QVERIFY(!m_edit->Modified());
}

void TestRichEditControl::clearStartsOverWithTheDefaultFormats()
{
    m_edit->SetSelText(QStringLiteral("old"));
    m_edit->SetSelStart(0);
    m_edit->ParagraphAttributes().SetAlignment(taCenter);
    m_edit->ParagraphAttributes().SetNumbering(nsBullet);
    m_edit->SelectAll();
    m_edit->SelectionAttributes().SetStyle(fsBold);
    m_edit->Clear();
    QCOMPARE(m_edit->ParagraphAttributes().Alignment(), taLeftJustify);
    QCOMPARE(m_edit->ParagraphAttributes().Numbering(), nsNone);
    QCOMPARE(m_edit->SelectionAttributes().Style(), TFontStyles());
    QTest::keyClicks(m_edit, QStringLiteral("typed"));
    m_edit->SelectAll();
    QCOMPARE(m_edit->SelectionAttributes().Style(), TFontStyles());
    QCOMPARE(m_edit->SelectionAttributes().Name(), m_edit->DefaultAttributes().Name());
}

void TestRichEditControl::searchTextFindsForward()
{
    m_edit->SetSelText(QStringLiteral("Word word sword"));
    QCOMPARE(m_edit->SearchText(QStringLiteral("word"), 0, 15, {}), 0);
    QCOMPARE(m_edit->SearchText(QStringLiteral("word"), 0, 15, TwwSearchOption::MatchCase), 5);
    QCOMPARE(m_edit->SearchText(QStringLiteral("word"), 6, 9, {}), 11);
    QCOMPARE(m_edit->SearchText(QStringLiteral("word"), 6, 9, TwwSearchOption::WholeWord), -1);
    QCOMPARE(m_edit->SearchText(QStringLiteral("word"), 0, 3, {}), -1);
}

QTEST_MAIN(TestRichEditControl)
#include "tst_richeditcontrol.moc"
