#include "app/WPForm.h"

#include "app/WPAbout.h"
#include "app/programicon.h"
#include "components/RXShell.h"
#include "platform/popupmenu.h"

#include <QAction>

#include <memory>

// The notification-area icon with its menu, and the about box.

void TfmPellWP::CreateTrayIcon()
{
    PopupMenu = new TPopupMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    RXDemo1 = PopupMenu->addAction(QStringLiteral("Kelo"));
    RXDemo1->setObjectName(QStringLiteral("RXDemo1"));
    MenuItem1 = PopupMenu->addAction(QStringLiteral("About"));
    MenuItem1->setObjectName(QStringLiteral("MenuItem1"));
    PopupMenu->addSeparator()->setObjectName(QStringLiteral("MenuItem2"));
    Exit1 = PopupMenu->addAction(QStringLiteral("Exit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    Bind(RXDemo1, &TfmPellWP::RXDemo1Click);
    Bind(MenuItem1, &TfmPellWP::MenuItem1Click);
    Bind(Exit1, &TfmPellWP::Exit1Click);

    TrayIcon = new TRxTrayIcon(this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->SetHint(QStringLiteral("Penhaven Word Processor"));
    TIcon icon;
    icon.SetImages(programIconImages({32, 16}));
    TrayIcon->SetIcon(&icon);
    TrayIcon->SetPopupMenu(PopupMenu);
    TrayIcon->Loaded();
}

void TfmPellWP::About1Click()
{
    const auto box = std::make_unique<TAboutBox>(this);
    box->exec();
}

// Un-minimises the window, keeping it maximised when it was, and brings it to the front.
void TfmPellWP::RXDemo1Click()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TfmPellWP::MenuItem1Click()
{
    About1Click();
}

void TfmPellWP::Exit1Click()
{
    close();
}
