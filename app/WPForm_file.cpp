#include "app/WPForm.h"

#include "app/filedroptarget.h"
#include "components/MRUList.h"
#include "platform/application.h"
#include "platform/exceptions.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_lines.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QSessionManager>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextDocument>

namespace {

const QString kUntitled = QStringLiteral("Untitled");
const QString kSettingsKey = QStringLiteral("\\Software\\Penhaven\\Wordprocessor\\");
const QString kRecentSection = QStringLiteral("Recent");
const QString kDocumentFilter =
    QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|All Files (*)|*");
constexpr int kRichTextFilter = 0;
constexpr int kTextFilter = 1;
const QString kPlainTextQuestion =
    QStringLiteral("Save as plain text? Formatting, pictures and objects will be lost.");

// A damaged settings file fails the first read only, and a value of the wrong type fails
// every read of it: such an entry is left out and the others are read.
void readRecentItemSkippingFailures(QObject *, TRegIniFile &IniFile, const QString &Section, int Index,
                                    QString &RecentName, int &)
{
    const QString ident = QStringLiteral("Item_%1").arg(Index);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            RecentName = IniFile.ReadString(Section, ident, QString());
            return;
        } catch (const Exception &) {
            RecentName.clear();
        }
    }
}

bool existingFolder(const QString &folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

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

    MRUManager->OnReadItem = readRecentItemSkippingFailures;

    OpenDialog1.title = QStringLiteral("Open");
    OpenDialog1.filter = kDocumentFilter;
    SaveDialog1.title = QStringLiteral("Save As");
    SaveDialog1.filter = kDocumentFilter;
    SaveDialog1.defaultExtension = QStringLiteral("rtf");

    // Logging off or shutting down asks the same as closing the window.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TfmPellWP::SessionCloseQuery);

    FFileDrops = new FileDropTarget(this, [this](const QList<QUrl> &entries) {
        platform::runGuarded([&] { WMDropFiles(entries); });
    });
    // Files dropped on the editor become pictures and packages in the text: the editor
    // takes them itself.
    FFileDrops->watch(this);
}

void TfmPellWP::OpenSettings()
{
    FIniFile = std::make_unique<TRegIniFile>(kSettingsKey);
}

// Entries that cannot be read are left out quietly. A settings file that cannot be
// opened at all is named to the user once, and is then left as it is: the recent list
// lives in memory for this session only.
void TfmPellWP::LoadRecentList()
{
    if (!FIniFile->StoreReadable()) {
        FRecentListInMemoryOnly = true;
        platform::dialogs().messageBox(
            this, platform::applicationTitle(),
            QStringLiteral("The settings file \"%1\" cannot be read, so the list of recent files starts "
                           "empty. Files you open are listed for this session only, and the settings "
                           "file is left unchanged.")
                .arg(QDir::toNativeSeparators(FIniFile->FileName())),
            platform::MessageIcon::Warning, platform::MessageButtons::OK);
        return;
    }
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
    const QString damage = RichEdit1->Lines()->LastLoadReport().DamageWarning(name);
    if (!damage.isEmpty())
        platform::showWarning(this, damage);
}

void TfmPellWP::FileNew()
{
    QuerySaveChanges();
    SetDocumentName(kUntitled);
    RichEdit1->Lines()->Clear();
    RichEdit1->UseDefaultPageSetup();
    MarkDocumentClean();
}

// The dialogs start in the document's folder, else in that of the most recent file,
// else in the user's documents or home folder.
QString TfmPellWP::DialogStartFolder() const
{
    if (FFileName != kUntitled && existingFolder(QFileInfo(FFileName).absolutePath()))
        return QFileInfo(FFileName).absolutePath();
    const TRecentStrings &recent = MRUManager->Strings();
    const QString newest = recent.Count() > 0 ? recent.Strings(recent.Mode() == rmInsert ? 0 : recent.Count() - 1)
                                              : QString();
    if (!newest.isEmpty() && existingFolder(QFileInfo(newest).absolutePath()))
        return QFileInfo(newest).absolutePath();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return existingFolder(documents) ? documents : QDir::homePath();
}

int TfmPellWP::DocumentTypeFilter() const
{
    return RichEdit1->Lines()->FileFormat().plainText ? kTextFilter : kRichTextFilter;
}

// The file format the chosen filter stands for. A text document saved as text keeps its
// encoding and line ends; under "All Files" the extension decides, and the document's
// own format where the extension is neither.
DocumentFileFormat TfmPellWP::FormatForSaving(int filterIndex, const QString &fileName) const
{
    const DocumentFileFormat current = RichEdit1->Lines()->FileFormat();
    const QString extension = QFileInfo(fileName).suffix();
    bool plainText = current.plainText;
    if (filterIndex == kTextFilter || filterIndex == kRichTextFilter)
        plainText = filterIndex == kTextFilter;
    else if (extension.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0)
        plainText = true;
    else if (extension.compare(QLatin1String("rtf"), Qt::CaseInsensitive) == 0)
        plainText = false;
    DocumentFileFormat format;
    format.plainText = plainText;
    if (current.plainText)
        format.text = current.text;
    return format;
}

// Asked before formatting would be lost to a plain-text file; nothing to ask when there
// is none.
platform::MessageResult TfmPellWP::ConfirmPlainText(const DocumentFileFormat &format)
{
    if (!format.plainText || !RichEdit1->Lines()->HoldsMoreThanText())
        return platform::MessageResult::Yes;
    return platform::confirmYesNoCancel(this, kPlainTextQuestion);
}

void TfmPellWP::FileOpen()
{
    QuerySaveChanges();
    platform::FileDialogRequest request = OpenDialog1;
    request.initialDir = DialogStartFolder();
    request.filterIndex = DocumentTypeFilter();
    const QString name = platform::dialogs().openFileName(this, request);
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

// A document is saved in the format it was loaded in. Declining to lose formatting to
// plain text opens Save As with Rich Text chosen.
bool TfmPellWP::SaveDocument()
{
    if (FFileName == kUntitled)
        return SaveDocumentAs();
    const DocumentFileFormat format = RichEdit1->Lines()->FileFormat();
    switch (ConfirmPlainText(format)) {
    case platform::MessageResult::Yes: break;
    case platform::MessageResult::No: return SaveDocumentAs(kRichTextFilter);
    default: return false;
    }
    RichEdit1->Lines()->SaveToFileIn(FFileName, format);
    MarkDocumentClean();
    return true;
}

// The dialog preselects the document's own type unless `filterIndex` names one. False
// when the user cancelled the dialog or a question, or declined to overwrite a file.
bool TfmPellWP::SaveDocumentAs(int filterIndex)
{
    platform::FileDialogRequest request = SaveDialog1;
    request.initialDir = DialogStartFolder();
    request.filterIndex = filterIndex < 0 ? DocumentTypeFilter() : filterIndex;
    request.defaultExtension = request.filterIndex == kTextFilter ? QStringLiteral("txt") : QStringLiteral("rtf");
    const platform::FileChoice choice = platform::dialogs().saveFile(this, request);
    const QString name = choice.fileName;
    if (name.isEmpty())
        return false;
    const DocumentFileFormat format = FormatForSaving(choice.filterIndex, name);
    switch (ConfirmPlainText(format)) {
    case platform::MessageResult::Yes: break;
    case platform::MessageResult::No: return SaveDocumentAs(kRichTextFilter);
    default: return false;
    }
    if (QFileInfo::exists(name)
        && platform::confirmYesNoCancel(this, QStringLiteral("OK to overwrite %1").arg(name))
               != platform::MessageResult::Yes)
        return false;
    RichEdit1->Lines()->SaveToFileIn(name, format);
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
    if (FRecentListInMemoryOnly) {
        FIniFile.reset();
        return;
    }
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
