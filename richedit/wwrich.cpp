#include "richedit/wwrich.h"

#include "components/Wwdbcomb.h"
#include "platform/application.h"
#include "platform/menukeys.h"
#include "richedit/Wwintl.h"
#include "richedit/wwformatcommands.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_ruler.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusTipEvent>

// Opening the window (ExecuteEditorWindow), the copy back, and the close query.

namespace {

constexpr int kDesignWidth = 610;
constexpr int kDesignHeight = 455;
constexpr int kDesignPixelsPerInch = 96;

}  // namespace

// The hourglass from the window's creation until it is shown; whatever cursor was in
// force before comes back when the window goes, on every path.
class TwwRichEditForm::ScreenCursor {
public:
    ScreenCursor()
    {
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            m_waiting = true;
        }
    }
    ~ScreenCursor() { ShowDefault(); }
    void ShowDefault()
    {
        if (m_waiting)
            QGuiApplication::restoreOverrideCursor();
        m_waiting = false;
    }

private:
    bool m_waiting = false;
};

bool TwwRichEditForm::Execute(TwwCustomRichEdit *source)
{
    std::unique_ptr<TwwRichEditForm> form(new TwwRichEditForm(source));
    form->CreateRuler();
    form->CreateEditor();
    form->TakeSourceProperties();
    form->PlaceWindow();
    source->DoCreateDialog(form.get());
    const int result = form->exec();
    form->CopyBack(result);
    return result == QDialog::Accepted;
}

TwwRichEditForm::TwwRichEditForm(TwwCustomRichEdit *source)
    : QDialog(nullptr), FSource(source), FScreenCursor(std::make_unique<ScreenCursor>())
{
    setObjectName(QStringLiteral("wwRichEditForm"));
    setWindowTitle(QStringLiteral("Edit Rich Text"));
    setSizeGripEnabled(false);
    resize(kDesignWidth, kDesignHeight);
    OpenDialog1.filter = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT");
    SaveDialog1.filter = OpenDialog1.filter;
    SaveDialog1.defaultExtension = QStringLiteral("rtf");
    BuildClientArea();
    BuildMenus();
    BuildColorMenu();
    BindCommands();
    qApp->installEventFilter(this);
}

TwwRichEditForm::~TwwRichEditForm()
{
    qApp->removeEventFilter(this);
    if (RichEdit1)
        RichEdit1->OnSelectionChange = nullptr;
}

void TwwRichEditForm::ShowDefaultCursor()
{
    FScreenCursor->ShowDefault();
}

QString TwwRichEditForm::StatusPanelText(int panel) const
{
    return StatusPanels[panel]->text();
}

// Below the format bar, as wide as the page for printer-width layout and as the window
// otherwise, with its three markers.
void TwwRichEditForm::CreateRuler()
{
    FRuler = new TwwRulerPanel(FClient);
    FRuler->move(0, FormatBar->y() + FormatBar->height() + 10);
    const int height = logicalDpiY() < 97 ? 25 : 27;
    FRuler->resize(FClient->width(), height);
    if (FSource->EditWidth() == rewPrinterSize)
        FRuler->SetPageWidth(FSource);
    FRuler->CreateMarkers();
}

// The window's editor, of the opening control's class where that class can be made by
// name, a TwwDBRichEdit otherwise.
void TwwRichEditForm::CreateEditor()
{
    QObject *made = FSource->metaObject()->newInstance(Q_ARG(QWidget *, FClient));
    RichEdit1 = qobject_cast<TwwCustomRichEdit *>(made);
    if (!RichEdit1) {
        delete made;
        RichEdit1 = new TwwDBRichEdit(FClient);
    }
    TwwCustomRichEdit *E = RichEdit1;
    E->setObjectName(QStringLiteral("RichEdit1"));
    E->SetOleOptions(FSource->OleOptions());
    E->SetScrollBars(ssVertical);
    E->SetWordWrap(FSource->WordWrap());
    E->setGeometry(0, FRuler->height() + 62, 595, 330);
    E->SetHideSelection(false);
    E->SetWantTabs(true);
    E->SetWantReturns(true);
    E->OnSelectionChange = [this](TwwCustomRichEdit *) { RunHandler(&TwwRichEditForm::RichEdit1SelectionChange); };
    E->SetPopupOptions(rpoPopupCut | rpoPopupCopy | rpoPopupPaste | rpoPopupFont | rpoPopupBullet
                       | rpoPopupParagraph);
    E->SetEditorCaption(QStringLiteral("Edit Rich Text"));
    E->SetPrintMargins(TwwPrintMargins{});
    E->show();
    E->setFocus();
    FRuler->SetEditor(E);
    FFormatCommands->SetEditor(E);
    setTabOrder(FontSizeCombo, E);
}

void TwwRichEditForm::TakeSourceProperties()
{
    TwwCustomRichEdit *S = FSource;
    TwwCustomRichEdit *E = RichEdit1;
    setWindowTitle(S->EditorCaption());
    E->setFont(S->font());
    E->SetFontColor(S->FontColor());
    E->SetFontCharset(S->FontCharset());  // the font's every change reaches E's default format

    E->SetMeasurementUnits(S->MeasurementUnits());
    E->OnInitDialog = S->OnInitDialog;
    E->SetPrintMargins(S->PrintMargins());
    E->SetEditWidth(S->EditWidth());
    E->SetPaperSize(S->PaperSize());
    E->SetMaxLength(S->MaxLength());
    FSourceSelStart = S->SelStart();
    E->SetAutoURLDetect(S->AutoURLDetect());
    E->OnURLOpen = S->OnURLOpen;

    E->SetEditorOptions(S->EditorOptions());
    E->SetReadOnly(S->ReadOnly());
}

// A stored size replaces the designed one; without a stored place the window is centred
// in the screen's work area at the size it will have once scaled to the screen.
void TwwRichEditForm::PlaceWindow()
{
    const TwwFormPosition &position = FSource->EditorPosition();
    resize(position.Width > 0 ? position.Width : width(), position.Height > 0 ? position.Height : height());
    if (position.Left >= 1 && position.Top >= 1) {
        move(position.Left, position.Top);
        return;
    }
    const QScreen *screen = FSource->screen() ? FSource->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const int dpi = logicalDpiY();
    const QSize scaled(width() * dpi / kDesignPixelsPerInch, height() * dpi / kDesignPixelsPerInch);
    move(area.left() + (area.width() - scaled.width()) / 2, area.top() + (area.height() - scaled.height()) / 2);
}

// Content goes back only for OK and only when it was changed; margins and paper for
// every OK.
void TwwRichEditForm::CopyBack(int result)
{
    TwwCustomRichEdit *S = FSource;
    if (result != QDialog::Accepted) {
        S->DoCloseDialog(this);
        return;
    }
    if (RichEdit1->Modified()) {
        S->BeforeModify();
        if (!S->GetBoundField())
            RichEdit1->CopyContentTo(S);
        S->DoCloseDialog(this);
        S->SetModified(true);
    }
    S->SetPrintMargins(RichEdit1->PrintMargins());
    S->SetPaperSize(RichEdit1->PaperSize());
}

// The close query: leaving other than by Save and Exit asks about changes; Cancel keeps
// the window open with nothing lost.
void TwwRichEditForm::done(int result)
{
    if (result != QDialog::Accepted) {
        result = QDialog::Rejected;
        if (RichEdit1 && RichEdit1->Modified()) {
            switch (platform::confirmYesNoCancel(this, UserMessageTexts().RichEditExitWarning)) {
            case platform::MessageResult::Yes: result = QDialog::Accepted; break;
            case platform::MessageResult::No: break;
            default: return;
            }
        }
    }
    FormClose();
    QDialog::done(result);
}

// Hints go to status panel 0 while the window's hint handler is in force.
bool TwwRichEditForm::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        if (FHintsShown)
            StatusPanels[0]->setText(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

void TwwRichEditForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    PlaceClientArea();
    if (FShown)
        FormResize();
}

void TwwRichEditForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && !FShown) {
        FShown = true;
        RunHandler(&TwwRichEditForm::FormShow);
    }
}

void TwwRichEditForm::RunHandler(Handler handler)
{
    platform::runGuarded([this, handler] { (this->*handler)(); });
}
