#include "app/WPForm.h"

#include "app/programicon.h"
#include "platform/application.h"
#include "richedit/wwformatcommands.h"
#include "richedit/wwriched.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QShowEvent>
#include <QStatusTipEvent>

#include <algorithm>

TfmPellWP::TfmPellWP(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fmPellWP"));
    setWindowTitle(QStringLiteral("Penhaven Word Processor"));
    setWindowIcon(programIcon());
    resize(753, 446);
    setWindowState(Qt::WindowMaximized);
    BuildLayout();
    BuildMenus();
    ConfigureEditor();
    BindCommands();
    BindDesktopKeys();
    CreateFileComponents();
    CreateTrayIcon();
    RichEdit1->setFocus();
    qApp->installEventFilter(this);
    FormCreate();
}

TfmPellWP::~TfmPellWP()
{
    qApp->removeEventFilter(this);
}

QString TfmPellWP::StatusPanelText(int panel) const
{
    return StatusPanels[panel]->text();
}

void TfmPellWP::FormCreate()
{
    OpenSettings();
    SetDocumentName(QStringLiteral("Untitled"));
    LoadRecentList();
}

void TfmPellWP::FormShow()
{
    FHintHandlerInstalled = true;
    RichEdit1->SetLeftTextInset(6);
    FillFontNameCombo();
    UpdateLockKeyPanels();
    UpdateControlStates();
    // Only the start leaves the document clean: showing the window again must not make
    // unsaved changes look saved.
    if (!FShownBefore)
        RichEdit1->SetModified(false);
    FShownBefore = true;
}

void TfmPellWP::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        platform::runGuarded([this] { FormShow(); });
}

bool TfmPellWP::event(QEvent *event)
{
    // Hints go to status panel 0, not to QMainWindow's temporary status message,
    // which would hide the other panels.
    if (event->type() == QEvent::StatusTip) {
        if (FHintHandlerInstalled) {
            FApplicationHint = static_cast<QStatusTipEvent *>(event)->tip();
            ShowApplicationHint();
        }
        return true;
    }
    return QMainWindow::event(event);
}

void TfmPellWP::ShowApplicationHint()
{
    StatusPanels[0]->setText(FApplicationHint);
}

void TfmPellWP::ShowModified(bool modified)
{
    StatusPanels[1]->setText(modified ? QStringLiteral("Modified") : QString());
}

void TfmPellWP::SetDocumentName(const QString &name)
{
    FFileName = name;
    const qsizetype separator = std::max({name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')),
                                          name.lastIndexOf(QLatin1Char(':'))});
    setWindowTitle(QStringLiteral("%1 - %2").arg(platform::applicationTitle(), name.mid(separator + 1)));
}

void TfmPellWP::RichEdit1Change()
{
    ShowModified(RichEdit1->Modified());
}

void TfmPellWP::RichEdit1SelectionChange()
{
    UpdateControlStates();
}

void TfmPellWP::mmiExitClick()
{
    close();
}
