#include "platform/dialogs.h"
#include "platform/insertobjectdialog.h"

#include "platform/application.h"
#include "platform/pagesetupdialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QTreeView>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QRegularExpression>

#include <algorithm>

namespace platform {

QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(trailingPatterns);
        // Qt matches name filters case-sensitively on case-sensitive file systems,
        // so each pattern is offered in its given, upper and lower spelling.
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString &variant : {pattern.trimmed(), pattern.trimmed().toUpper(),
                                           pattern.trimmed().toLower()}) {
                if (!patterns.contains(variant))
                    patterns << variant;
            }
        }
        result << QStringLiteral("%1 (%2)").arg(description.trimmed(), patterns.join(QLatin1Char(' ')));
    }
    return result;
}

QString withDefaultExtension(const QString &fileName, const QString &extension)
{
    if (fileName.isEmpty() || extension.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + QLatin1Char('.') + extension;
}

QString defaultExtensionFor(const FileDialogRequest &request, int filterIndex)
{
    const QStringList parts = request.filter.split(QLatin1Char('|'));
    const QString patterns = parts.value(2 * filterIndex + 1);
    const QString first = patterns.section(QLatin1Char(';'), 0, 0).trimmed();
    const QString extension = first.mid(2);
    if (first.startsWith(QLatin1String("*.")) && !extension.isEmpty() && !extension.contains(QLatin1Char('*')))
        return extension.toLower();
    return request.defaultExtension;
}

namespace {

struct ButtonChoice {
    MessageResult result;
    const char *caption;
    QMessageBox::ButtonRole role;
};

QList<ButtonChoice> buttonChoices(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OK:
        return {{MessageResult::OK, "OK", QMessageBox::AcceptRole}};
    case MessageButtons::OKCancel:
        return {{MessageResult::OK, "OK", QMessageBox::AcceptRole},
                {MessageResult::Cancel, "Cancel", QMessageBox::RejectRole}};
    case MessageButtons::YesNo:
        return {{MessageResult::Yes, "&Yes", QMessageBox::YesRole},
                {MessageResult::No, "&No", QMessageBox::NoRole}};
    case MessageButtons::YesNoCancel:
        return {{MessageResult::Yes, "&Yes", QMessageBox::YesRole},
                {MessageResult::No, "&No", QMessageBox::NoRole},
                {MessageResult::Cancel, "Cancel", QMessageBox::RejectRole}};
    }
    return {};
}

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The answer a box gives when it is closed without a button: Cancel where there is
// one, otherwise the only harmless answer the box offers.
MessageResult closedAnswer(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OK: return MessageResult::OK;
    case MessageButtons::YesNo: return MessageResult::No;
    case MessageButtons::OKCancel:
    case MessageButtons::YesNoCancel: return MessageResult::Cancel;
    }
    return MessageResult::Cancel;
}

// Qt's own file dialog (where the desktop offers none) opens small, with its name column
// squeezing the size, type and date columns until they cannot be read.
void makeColumnsReadable(QFileDialog &dialog)
{
    dialog.resize(dialog.sizeHint().expandedTo(QSize(820, 480)));
    auto *view = dialog.findChild<QTreeView *>();
    if (!view)
        return;
    QHeaderView *header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
}

int selectedFilterIndex(const QFileDialog &dialog)
{
    return int(std::max<qsizetype>(0, dialog.nameFilters().indexOf(dialog.selectedNameFilter())));
}

void prepareFileDialog(QFileDialog &dialog, const FileDialogRequest &request)
{
    dialog.setWindowTitle(request.title);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.filterIndex, filters.constFirst()));
    }
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(request.initialDir);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    makeColumnsReadable(dialog);
}

FileChoice chosenFile(QFileDialog &dialog, const FileDialogRequest &request)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {QString(), request.filterIndex};
    const int filterIndex = selectedFilterIndex(dialog);
    return {withDefaultExtension(dialog.selectedFiles().constFirst(), defaultExtensionFor(request, filterIndex)),
            filterIndex};
}

// The window manager puts the caption in the title bar, which is as wide as the box: a
// box narrower than its caption would cut it.
void widenForCaption(QMessageBox &box, const QString &caption)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    const int titleBarExtras = 160;  // icon and buttons of a typical title bar
    const int width = box.fontMetrics().horizontalAdvance(caption) * 5 / 4 + titleBarExtras;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

// The print dialog offers the whole document only, with copies up to `maxCopies`.
bool runPrintDialog(QWidget *parent, QPrinter &printer, int maxCopies)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintCollateCopies
                      | QAbstractPrintDialog::PrintShowPageSize);
    for (QSpinBox *copies : dialog.findChildren<QSpinBox *>(QStringLiteral("copies")))
        copies->setMaximum(maxCopies);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printer.setCopyCount(std::clamp(printer.copyCount(), 1, maxCopies));
    return true;
}

class QtDialogs : public DialogProvider {
public:
    MessageResult messageBox(QWidget *parent, const QString &caption, const QString &text,
                             MessageIcon icon, MessageButtons buttons) override
    {
        QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, parent);
        QHash<QAbstractButton *, MessageResult> results;
        const QList<ButtonChoice> choices = buttonChoices(buttons);
        for (const ButtonChoice &choice : choices) {
            QPushButton *button = box.addButton(QString::fromLatin1(choice.caption), choice.role);
            results.insert(button, choice.result);
            if (choice.result == MessageResult::Cancel)
                box.setEscapeButton(button);
        }
        box.setDefaultButton(qobject_cast<QPushButton *>(results.key(choices.constFirst().result)));
        widenForCaption(box, caption);
        box.exec();
        return results.value(box.clickedButton(), closedAnswer(buttons));
    }

    std::optional<FontChoice> chooseFont(QWidget *parent, const FontChoice &initial) override
    {
        QFont font(initial.family);
        if (initial.pointSize > 0)
            font.setPointSize(initial.pointSize);
        font.setBold(initial.bold);
        font.setItalic(initial.italic);
        font.setUnderline(initial.underline);
        font.setStrikeOut(initial.strikeOut);
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, parent);
        if (!ok)
            return std::nullopt;
        FontChoice choice;
        choice.family = chosen.family();
        choice.pointSize = chosen.pointSize();
        choice.bold = chosen.bold();
        choice.italic = chosen.italic();
        choice.underline = chosen.underline();
        choice.strikeOut = chosen.strikeOut();
        choice.color = initial.color;  // Qt's font dialog has no colour choice
        return choice;
    }

    QString openFileName(QWidget *parent, const FileDialogRequest &request) override
    {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        prepareFileDialog(dialog, request);
        return chosenFile(dialog, request).fileName;
    }

    QString saveFileName(QWidget *parent, const FileDialogRequest &request) override
    {
        return saveFile(parent, request).fileName;
    }

    // The extension a name typed without one receives follows the chosen filter.
    FileChoice saveFile(QWidget *parent, const FileDialogRequest &request) override
    {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        prepareFileDialog(dialog, request);
        dialog.setDefaultSuffix(defaultExtensionFor(request, selectedFilterIndex(dialog)));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request] {
            dialog.setDefaultSuffix(defaultExtensionFor(request, selectedFilterIndex(dialog)));
        });
        return chosenFile(dialog, request);
    }

    std::optional<PageSetupChoice> pageSetup(QWidget *parent, const PageSetupRequest &request) override
    {
        PageSetupDialog dialog(parent, request);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.choice();
    }

    std::optional<InsertObjectChoice> insertObject(QWidget *parent, const InsertObjectRequest &request) override
    {
        TInsertObjectDialog dialog(parent, request);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.choice();
    }

    bool print(QWidget *parent, QPrinter &printer, int maxCopies) override
    {
        return runPrintDialog(parent, printer, maxCopies);
    }
};

DialogProvider *installedProvider = nullptr;

}  // namespace

std::optional<PageSetupChoice> DialogProvider::pageSetup(QWidget *, const PageSetupRequest &)
{
    return std::nullopt;
}

bool DialogProvider::print(QWidget *, QPrinter &, int)
{
    return false;
}

QPoint centredDialogPosition(const QRect &screen, const QSize &size)
{
    return {screen.x() + (screen.width() - size.width()) / 2, screen.y() + (screen.height() - size.height()) / 3};
}

DialogProvider &dialogs()
{
    static QtDialogs realDialogs;
    return installedProvider ? *installedProvider : realDialogs;
}

void setDialogProvider(DialogProvider *provider)
{
    installedProvider = provider;
}

MessageResult confirmYesNoCancel(QWidget *parent, const QString &text)
{
    return dialogs().messageBox(parent, QStringLiteral("Confirm"), text, MessageIcon::Question,
                                MessageButtons::YesNoCancel);
}

void showError(QWidget *parent, const QString &text)
{
    dialogs().messageBox(parent, applicationTitle(), text, MessageIcon::Error,
                         MessageButtons::OK);
}

void showWarning(QWidget *parent, const QString &text)
{
    dialogs().messageBox(parent, applicationTitle(), text, MessageIcon::Warning,
                         MessageButtons::OK);
}

}  // namespace platform
