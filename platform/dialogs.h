#pragma once
#include <QColor>
#include <QFont>
#include <QMargins>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

// Every modal platform dialog goes through this one seam, so that tests can script the
// answers and no test ever blocks in a modal loop. The real provider shows Qt's dialogs;
// tests install a ScriptedDialogs (tests/support/scripteddialogs.h) with queued answers.
namespace platform {

enum class MessageIcon { None, Information, Warning, Error, Question };

// Answers of a message box. Closing a box with a Cancel button gives Cancel.
enum class MessageResult { OK, Cancel, Yes, No };

// Which buttons a message box offers.
enum class MessageButtons { OK, OKCancel, YesNo, YesNoCancel };

struct FontChoice {
    QString family;
    int pointSize = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color;  // invalid: automatic
};

struct FileDialogRequest {
    QString title;
    QString filter;            // "Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT" style
    int filterIndex = 0;       // the filter shown first
    QString initialDir;
    // Without the dot. A saved name without an extension gets the extension of the chosen
    // filter's first pattern, or this one when that pattern names none ("*").
    QString defaultExtension;
    QString fileName;          // proposed name
};

// What the user chose in a save dialog; an empty name when the user cancelled.
struct FileChoice {
    QString fileName;
    int filterIndex = 0;
};

// What the page setup dialog shows and allows. Margins (left, top, right, bottom) are in
// thousandths of an inch, or in hundredths of a millimetre when inInches is false; the
// paper is a paper code (1 Letter, 5 Legal, 9 A4, ...), its source a QPrinter::PaperSource.
struct PageSetupRequest {
    QMargins margins;
    bool inInches = true;
    bool paperEnabled = true;  // paper size and source may be changed
    int paperCode = 1;
    int paperSource = 0;
    QList<int> paperSources;   // offered; the dialog adds the automatic choice
    bool landscape = false;
    QStringList printers;
    QString printer;
};

// The user's choices in the page setup dialog, in the units of the request.
struct PageSetupChoice {
    QMargins margins;
    int paperCode = 1;
    int paperSource = 0;
    bool landscape = false;
    QString printer;
};

// The Insert Object dialog: the object types it offers for a new object, and the answer.
struct InsertObjectRequest {
    QStringList objectTypes;
};

struct InsertObjectChoice {
    bool createNew = true;
    int objectType = 0;        // index into the offered types, when creating a new object
    QString fileName;          // when creating from a file
    bool link = false;
    bool displayAsIcon = false;
};

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    virtual MessageResult messageBox(QWidget *parent, const QString &caption, const QString &text,
                                     MessageIcon icon, MessageButtons buttons) = 0;
    // The font dialog, filled with `initial`; nullopt when the user cancels.
    virtual std::optional<FontChoice> chooseFont(QWidget *parent, const FontChoice &initial) = 0;
    // File dialogs; an empty string when the user cancels.
    virtual QString openFileName(QWidget *parent, const FileDialogRequest &request) = 0;
    virtual QString saveFileName(QWidget *parent, const FileDialogRequest &request) = 0;
    // The save dialog with the filter the user chose; by default the preselected one.
    virtual FileChoice saveFile(QWidget *parent, const FileDialogRequest &request)
    {
        return {saveFileName(parent, request), request.filterIndex};
    }
    // The page setup dialog; nullopt when the user cancels. Providers that do not show
    // the page setup and print dialogs answer as a user who cancels.
    virtual std::optional<PageSetupChoice> pageSetup(QWidget *parent, const PageSetupRequest &request);
    // The print dialog on `printer`, which takes the user's printer, output file and number
    // of copies (at most maxCopies); false when the user cancels.
    virtual bool print(QWidget *parent, QPrinter &printer, int maxCopies);
    // The Insert Object dialog; nullopt when the user cancels (a provider without one
    // answers as if cancelled).
    virtual std::optional<InsertObjectChoice> insertObject(QWidget *, const InsertObjectRequest &)
    {
        return std::nullopt;
    }
};

// Where a dialog of `size` sits on a screen of `screen`: centred across, and a third of
// the free height down (a dialog larger than the screen gets a negative position).
QPoint centredDialogPosition(const QRect &screen, const QSize &size);

// The provider in use; the real one unless a test installed another.
DialogProvider &dialogs();
// Installs a provider (not owned); nullptr restores the real one.
void setDialogProvider(DialogProvider *provider);

// Convenience over dialogs(): the standard "Confirm" question with Yes, No and Cancel.
MessageResult confirmYesNoCancel(QWidget *parent, const QString &text);
// The error box captioned with the application's display name.
void showError(QWidget *parent, const QString &text);
// The same with the warning icon, for what went wrong but was got over.
void showWarning(QWidget *parent, const QString &text);

// Converts a "Description (*.EXT)|*.EXT|..." filter into Qt's name filters, each pattern
// also in upper and lower case so that matching does not depend on the file system.
QStringList qtNameFilters(const QString &filter);
// `fileName` with "." and `extension` appended when it has no extension of its own.
QString withDefaultExtension(const QString &fileName, const QString &extension);
// The extension a save dialog appends under filter number `filterIndex` of `request`.
QString defaultExtensionFor(const FileDialogRequest &request, int filterIndex);

}  // namespace platform
