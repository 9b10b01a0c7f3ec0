#pragma once
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

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
    // The Insert Object dialog; nullopt when the user cancels (a provider without one
    // answers as if cancelled).
    virtual std::optional<InsertObjectChoice> insertObject(QWidget *, const InsertObjectRequest &)
    {
        return std::nullopt;
    }
};

// The provider in use; the real one unless a test installed another.
DialogProvider &dialogs();
// Installs a provider (not owned); nullptr restores the real one.
void setDialogProvider(DialogProvider *provider);

// Convenience over dialogs(): the standard "Confirm" question with Yes, No and Cancel.
MessageResult confirmYesNoCancel(QWidget *parent, const QString &text);
// The error box captioned with the application's display name.
void showError(QWidget *parent, const QString &text);

// Converts a "Description (*.EXT)|*.EXT|..." filter into Qt's name filters, each pattern
// also in upper and lower case so that matching does not depend on the file system.
QStringList qtNameFilters(const QString &filter);
// `fileName` with "." and `extension` appended when it has no extension of its own.
QString withDefaultExtension(const QString &fileName, const QString &extension);
// The extension a save dialog appends under filter number `filterIndex` of `request`.
QString defaultExtensionFor(const FileDialogRequest &request, int filterIndex);

}  // namespace platform
