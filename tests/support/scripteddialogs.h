#pragma once
#include "platform/dialogs.h"

#include <deque>
#include <stdexcept>
#include <variant>
#include <vector>

namespace platform {

// Thrown when a dialog appears that the test did not queue an answer for.
class UnexpectedDialog : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// A DialogProvider for tests: answers come from queues the test fills beforehand, every
// request is recorded, and a dialog without a queued answer of its kind is recorded as a
// problem and throws UnexpectedDialog. Installs itself on construction and restores the
// real provider on destruction.
class ScriptedDialogs : public DialogProvider {
public:
    enum class Kind { Message, Font, OpenFile, SaveFile, PageSetup, Print, InsertObject };

    // A user's answer in the print dialog: what it leaves in the printer.
    struct PrintChoice {
        int copies = 1;
        QString pdfFileName;  // not empty: print to this PDF file
    };

    struct Request {
        Kind kind = Kind::Message;
        QString caption;
        QString text;
        MessageIcon icon = MessageIcon::None;
        MessageButtons buttons = MessageButtons::OK;
        FileDialogRequest file;
        FontChoice font;
        PageSetupRequest pageSetup;
        bool collate = false;  // print dialog: the collate option as it was preset
        int maxCopies = 0;     // print dialog
        QString pdfFileName;   // print dialog: the file proposed, when the printer prints to a file
        InsertObjectRequest insertObject;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

    void queueMessage(MessageResult answer);
    void queueFont(std::optional<FontChoice> answer);  // nullopt: the user cancels
    void queueOpenFile(const QString &fileName);      // empty: the user cancels
    // The name typed, and the filter chosen (-1: the one the dialog preselected).
    void queueSaveFile(const QString &fileName, int filterIndex = -1);
    void queuePageSetup(std::optional<PageSetupChoice> answer);  // nullopt: the user cancels
    void queuePrint(std::optional<PrintChoice> answer);          // nullopt: the user cancels
    void queueInsertObject(std::optional<InsertObjectChoice> answer);  // nullopt: the user cancels

    const std::vector<Request> &requests() const { return m_requests; }
    const Request &lastRequest() const;
    int count(Kind kind) const;
    // Unexpected dialogs and answers queued but never asked for; empty when all is well.
    QStringList problems() const;
    void clear();

    MessageResult messageBox(QWidget *parent, const QString &caption, const QString &text,
                             MessageIcon icon, MessageButtons buttons) override;
    std::optional<FontChoice> chooseFont(QWidget *parent, const FontChoice &initial) override;
    QString openFileName(QWidget *parent, const FileDialogRequest &request) override;
    QString saveFileName(QWidget *parent, const FileDialogRequest &request) override;
    FileChoice saveFile(QWidget *parent, const FileDialogRequest &request) override;
    std::optional<PageSetupChoice> pageSetup(QWidget *parent, const PageSetupRequest &request) override;
    bool print(QWidget *parent, QPrinter &printer, int maxCopies) override;
    std::optional<InsertObjectChoice> insertObject(QWidget *parent, const InsertObjectRequest &request) override;

private:
    using Answer = std::variant<MessageResult, std::optional<FontChoice>, QString, FileChoice,
                                std::optional<PageSetupChoice>, std::optional<PrintChoice>,
                                std::optional<InsertObjectChoice>>;
    struct Queued {
        Kind kind;
        Answer answer;
    };

    Answer take(const Request &request);

    std::deque<Queued> m_queue;
    std::vector<Request> m_requests;
    QStringList m_unexpected;
};

}  // namespace platform
