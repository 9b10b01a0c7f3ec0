#include "app/WPForm.h"

#include "app/filedroptarget.h"
#include "components/MRUList.h"
#include "platform/application.h"
#include "platform/exceptions.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <QFileInfo>
#include <QTextDocument>

namespace {

const QString kUntitled = QStringLiteral("Untitled");
const QString kSettingsKey = QStringLiteral("\\Software\\Penhaven\\Wordprocessor\\");
const QString kRecentSection = QStringLiteral("Recent");
const QString kDocumentFilter = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT");

}  // namespace

// The recent-files manager under the "Recent" submenu, the settings of the open and save
// dialogs, and the drop targets for files from the file manager.
void TfmPellWP::CreateFileComponents()
{
    MRUManager = new TMRUManager(this);
    MRUManager->setObjectName(QStringLiteral("MRUManager"));
    MRUManager->SetRecentMenu(mmiRecent);
    MRUManager->OnClick = [this](QObject *Sender, const QString &RecentName, const QString &Caption, int UserData) {
        platform::runGuarded([&] { MRUManagerClick(Sender, RecentName, Caption, UserData); });
    };

    // The Modified flag can change without a change of content (undo back to the saved
    // state); the panel follows the flag itself too.
    connect(RichEdit1->document(), &QTextDocument::modificationChanged, this,
            [this] { RunHandler(&TfmPellWP::RichEdit1Change); });

    OpenDialog1.filter = kDocumentFilter;
    SaveDialog1.filter = kDocumentFilter;
    SaveDialog1.defaultExtension = QStringLiteral("rtf");

    // Logging off or shutting down asks the same as closing the window.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TfmPellWP::SessionCloseQuery);

    FFileDrops = new FileDropTarget(this, [this](const QList<QUrl> &entries) {
        platform::runGuarded([&] { WMDropFiles(entries); });
    });
    FFileDrops->watch(this);
    FFileDrops->watch(RichEdit1->viewport());
}

void TfmPellWP::OpenSettings()
{
    FIniFile = std::make_unique<TRegIniFile>(kSettingsKey);
}

// A damaged list is reported but never stops the start: the window comes up with what
// could be read.
void TfmPellWP::LoadRecentList()
{
    platform::runGuarded([this] { MRUManager->LoadFromRegistry(*FIniFile, kRecentSection); });
}

void TfmPellWP::QuerySaveChanges()
{
    if (!RichEdit1->Modified())
        return;
    switch (platform::confirmYesNoCancel(this, QStringLiteral("Save changes to %1?").arg(FFileName))) {
    case platform::MessageResult::Yes:
        // A Save As the user cancels leaves the changes unsaved: the command that asked
        // must not go on and drop them.
        if (!SaveDocument())
            throw EAbort();
        return;
    case platform::MessageResult::No:
        return;
    default:
        throw EAbort();
    }
}

void TfmPellWP::MarkDocumentClean()
{
    RichEdit1->SetModified(false);
    ShowModified(false);
}

void TfmPellWP::LoadDocument(const QString &name)
{
    RichEdit1->Lines()->LoadFromFile(name);
    SetDocumentName(name);
    MarkDocumentClean();
}

void TfmPellWP::FileNew()
{
    QuerySaveChanges();
    SetDocumentName(kUntitled);
    RichEdit1->Lines()->Clear();
    MarkDocumentClean();
}

void TfmPellWP::FileOpen()
{
    QuerySaveChanges();
    const QString name = platform::dialogs().openFileName(this, OpenDialog1);
    if (name.isEmpty())
        return;
    LoadDocument(name);
    // The open dialog offers no read-only choice, so an opened document is editable.
    RichEdit1->SetReadOnly(false);
    MRUManager->Add(name, 0);
}

void TfmPellWP::FileSave()
{
    SaveDocument();
}

void TfmPellWP::FileSaveAs()
{
    SaveDocumentAs();
}

bool TfmPellWP::SaveDocument()
{
    if (FFileName == kUntitled)
        return SaveDocumentAs();
    RichEdit1->Lines()->SaveToFile(FFileName);
    MarkDocumentClean();
    return true;
}

// False when the user cancelled the dialog or declined to overwrite a file.
bool TfmPellWP::SaveDocumentAs()
{
    const QString name = platform::dialogs().saveFileName(this, SaveDialog1);
    if (name.isEmpty())
        return false;
    if (QFileInfo::exists(name)
        && platform::confirmYesNoCancel(this, QStringLiteral("OK to overwrite %1").arg(name))
               != platform::MessageResult::Yes)
        return false;
    RichEdit1->Lines()->SaveToFile(name);
    SetDocumentName(name);
    MarkDocumentClean();
    return true;
}

void TfmPellWP::MRUManagerClick(QObject *, const QString &RecentName, const QString &, int)
{
    QuerySaveChanges();
    LoadDocument(RecentName);
}

// Opens the first dropped entry when it is a local file; the others are ignored, and a
// dropped file does not join the recent list.
void TfmPellWP::WMDropFiles(const QList<QUrl> &entries)
{
    if (entries.isEmpty() || !entries.constFirst().isLocalFile())
        return;
    const QString name = entries.constFirst().toLocalFile();
    if (name.isEmpty())
        return;
    QuerySaveChanges();
    LoadDocument(name);
}

// A cancelled question or a failed save keeps the window open, so nothing is lost; a
// recent list that cannot be stored is reported and the window still closes. After a
// close that did not end the program (a cancelled log-off) the settings are opened again.
void TfmPellWP::FormCloseQuery(bool &CanClose)
{
    try {
        QuerySaveChanges();
    } catch (...) {
        CanClose = false;
        platform::reportException(std::current_exception());
        return;
    }
    SaveRecentList();
}

void TfmPellWP::SaveRecentList()
{
    platform::runGuarded([this] {
        if (!FIniFile)
            OpenSettings();
        MRUManager->SaveToRegistry(*FIniFile, kRecentSection);
    });
    FIniFile.reset();
}

// The session may end only when the document is saved or given up; a log-off the user
// cancels leaves the window open, and its next close opens the settings again.
void TfmPellWP::SessionCloseQuery(QSessionManager &manager)
{
    if (!manager.allowsInteraction()) {
        SaveRecentList();  // nobody can be asked about the document
        return;
    }
    bool canClose = true;
    FormCloseQuery(canClose);
    // Releasing the interaction tells the session manager to go on with the log-off, so a
    // refused close only cancels: the cancel goes out when the interaction ends.
    if (canClose)
        manager.release();
    else
        manager.cancel();
}

void TfmPellWP::closeEvent(QCloseEvent *event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}
