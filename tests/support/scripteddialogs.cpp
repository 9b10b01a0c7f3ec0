#include "tests/support/scripteddialogs.h"

#include <QPrinter>
#include <algorithm>

namespace platform {

namespace {

QString kindName(ScriptedDialogs::Kind kind)
{
    switch (kind) {
    case ScriptedDialogs::Kind::Message: return QStringLiteral("message box");
    case ScriptedDialogs::Kind::Font: return QStringLiteral("font dialog");
    case ScriptedDialogs::Kind::OpenFile: return QStringLiteral("open dialog");
    case ScriptedDialogs::Kind::SaveFile: return QStringLiteral("save dialog");
    case ScriptedDialogs::Kind::PageSetup: return QStringLiteral("page setup dialog");
    case ScriptedDialogs::Kind::Print: return QStringLiteral("print dialog");
    case ScriptedDialogs::Kind::InsertObject: return QStringLiteral("insert object dialog");
    }
    return {};
}

}  // namespace

ScriptedDialogs::ScriptedDialogs()
{
    setDialogProvider(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    if (&dialogs() == this)
        setDialogProvider(nullptr);
}

void ScriptedDialogs::queueMessage(MessageResult answer)
{
    m_queue.push_back({Kind::Message, answer});
}

void ScriptedDialogs::queueFont(std::optional<FontChoice> answer)
{
    m_queue.push_back({Kind::Font, std::move(answer)});
}

void ScriptedDialogs::queueOpenFile(const QString &fileName)
{
    m_queue.push_back({Kind::OpenFile, fileName});
}

void ScriptedDialogs::queueSaveFile(const QString &fileName, int filterIndex)
{
    m_queue.push_back({Kind::SaveFile, FileChoice{fileName, filterIndex}});
}

void ScriptedDialogs::queuePageSetup(std::optional<PageSetupChoice> answer)
{
    m_queue.push_back({Kind::PageSetup, std::move(answer)});
}

void ScriptedDialogs::queuePrint(std::optional<PrintChoice> answer)
{
    m_queue.push_back({Kind::Print, std::move(answer)});
}

const ScriptedDialogs::Request &ScriptedDialogs::lastRequest() const
{
    if (m_requests.empty())
        throw std::logic_error("no dialog has been shown");
    return m_requests.back();
}

int ScriptedDialogs::count(Kind kind) const
{
    return int(std::count_if(m_requests.begin(), m_requests.end(),
                             [kind](const Request &r) { return r.kind == kind; }));
}

QStringList ScriptedDialogs::problems() const
{
    QStringList result = m_unexpected;
    for (const Queued &queued : m_queue)
        result << QStringLiteral("queued %1 answer never asked for").arg(kindName(queued.kind));
    return result;
}

void ScriptedDialogs::clear()
{
    m_queue.clear();
    m_requests.clear();
    m_unexpected.clear();
}

void ScriptedDialogs::queueInsertObject(std::optional<InsertObjectChoice> answer)
{
    m_queue.push_back({Kind::InsertObject, std::move(answer)});
}

ScriptedDialogs::Answer ScriptedDialogs::take(const Request &request)
{
    m_requests.push_back(request);
    if (m_queue.empty() || m_queue.front().kind != request.kind) {
        const QString problem = QStringLiteral("unexpected %1 \"%2\": %3")
                                    .arg(kindName(request.kind), request.caption, request.text);
        m_unexpected << problem;
        throw UnexpectedDialog(problem.toStdString());
    }
    Answer answer = m_queue.front().answer;
    m_queue.pop_front();
    return answer;
}

MessageResult ScriptedDialogs::messageBox(QWidget *, const QString &caption, const QString &text,
                                          MessageIcon icon, MessageButtons buttons)
{
    Request request;
    request.kind = Kind::Message;
    request.caption = caption;
    request.text = text;
    request.icon = icon;
    request.buttons = buttons;
    return std::get<MessageResult>(take(request));
}

std::optional<FontChoice> ScriptedDialogs::chooseFont(QWidget *, const FontChoice &initial)
{
    Request request;
    request.kind = Kind::Font;
    request.font = initial;
    return std::get<std::optional<FontChoice>>(take(request));
}

QString ScriptedDialogs::openFileName(QWidget *, const FileDialogRequest &file)
{
    Request request;
    request.kind = Kind::OpenFile;
    request.caption = file.title;
    request.file = file;
    return std::get<QString>(take(request));
}

QString ScriptedDialogs::saveFileName(QWidget *parent, const FileDialogRequest &file)
{
    return saveFile(parent, file).fileName;
}

FileChoice ScriptedDialogs::saveFile(QWidget *, const FileDialogRequest &file)
{
    Request request;
    request.kind = Kind::SaveFile;
    request.caption = file.title;
    request.file = file;
    FileChoice choice = std::get<FileChoice>(take(request));
    if (choice.filterIndex < 0)
        choice.filterIndex = file.filterIndex;
    choice.fileName = withDefaultExtension(choice.fileName, defaultExtensionFor(file, choice.filterIndex));
    return choice;
}

std::optional<PageSetupChoice> ScriptedDialogs::pageSetup(QWidget *, const PageSetupRequest &setup)
{
    Request request;
    request.kind = Kind::PageSetup;
    request.pageSetup = setup;
    return std::get<std::optional<PageSetupChoice>>(take(request));
}

// The answer is left in the printer as the real dialog leaves it.
bool ScriptedDialogs::print(QWidget *, QPrinter &printer, int maxCopies)
{
    Request request;
    request.kind = Kind::Print;
    request.collate = printer.collateCopies();
    request.maxCopies = maxCopies;
    if (printer.outputFormat() == QPrinter::PdfFormat)
        request.pdfFileName = printer.outputFileName();
    const std::optional<PrintChoice> answer = std::get<std::optional<PrintChoice>>(take(request));
    if (!answer)
        return false;
    printer.setCopyCount(std::clamp(answer->copies, 1, maxCopies));
    if (!answer->pdfFileName.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(answer->pdfFileName);
    }
    return true;
}

std::optional<InsertObjectChoice> ScriptedDialogs::insertObject(QWidget *, const InsertObjectRequest &insertObject)
{
    Request request;
    request.kind = Kind::InsertObject;
    request.insertObject = insertObject;
    return std::get<std::optional<InsertObjectChoice>>(take(request));
}

}  // namespace platform
