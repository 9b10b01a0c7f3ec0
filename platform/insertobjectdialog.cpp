#include "platform/insertobjectdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace platform {

TInsertObjectDialog::TInsertObjectDialog(QWidget *parent, const InsertObjectRequest &request) : QDialog(parent)
{
    setObjectName(QStringLiteral("InsertObjectDialog"));
    setWindowTitle(QStringLiteral("Insert Object"));
    m_createNew = new QRadioButton(QStringLiteral("Create &New"), this);
    m_createFromFile = new QRadioButton(QStringLiteral("Create from &File"), this);
    m_typeLabel = new QLabel(QStringLiteral("Object &Type:"), this);
    m_types = new QListWidget(this);
    m_types->addItems(request.objectTypes);
    m_types->setCurrentRow(0);
    m_typeLabel->setBuddy(m_types);
    m_fileLabel = new QLabel(QStringLiteral("Fi&le:"), this);
    m_file = new QLineEdit(this);
    m_fileLabel->setBuddy(m_file);
    m_browse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_link = new QCheckBox(QStringLiteral("&Link"), this);
    m_asIcon = new QCheckBox(QStringLiteral("Display As &Icon"), this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto *grid = new QGridLayout;
    grid->addWidget(m_createNew, 0, 0);
    grid->addWidget(m_createFromFile, 1, 0);
    grid->addWidget(m_typeLabel, 0, 1, 1, 2);
    grid->addWidget(m_types, 1, 1, 3, 2);
    grid->addWidget(m_fileLabel, 4, 1, 1, 2);
    grid->addWidget(m_file, 5, 1);
    grid->addWidget(m_browse, 5, 2);
    grid->addWidget(m_link, 6, 1);
    grid->addWidget(m_asIcon, 7, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    m_createNew->setChecked(true);
    connect(m_createNew, &QRadioButton::toggled, this, &TInsertObjectDialog::showChoice);
    connect(m_browse, &QPushButton::clicked, this, &TInsertObjectDialog::browse);
    connect(m_file, &QLineEdit::textChanged, this, &TInsertObjectDialog::updateOkButton);
    connect(m_types, &QListWidget::currentRowChanged, this, &TInsertObjectDialog::updateOkButton);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showChoice();
}

InsertObjectChoice TInsertObjectDialog::choice() const
{
    InsertObjectChoice choice;
    choice.createNew = m_createNew->isChecked();
    choice.objectType = m_types->currentRow();
    choice.fileName = choice.createNew ? QString() : m_file->text().trimmed();
    choice.link = !choice.createNew && m_link->isChecked();
    choice.displayAsIcon = m_asIcon->isChecked();
    return choice;
}

// Centred horizontally; vertically a third of the height the window leaves free.
void TInsertObjectDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *shown = screen()) {
        const QRect area = shown->geometry();
        const QRect frame = frameGeometry();
        move(area.left() + (area.width() - frame.width()) / 2, area.top() + (area.height() - frame.height()) / 3);
    }
}

void TInsertObjectDialog::showChoice()
{
    const bool createNew = m_createNew->isChecked();
    m_typeLabel->setVisible(createNew);
    m_types->setVisible(createNew);
    m_fileLabel->setVisible(!createNew);
    m_file->setVisible(!createNew);
    m_browse->setVisible(!createNew);
    m_link->setVisible(!createNew);
    updateOkButton();
}

void TInsertObjectDialog::browse()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Browse");
    request.filter = QStringLiteral("All Files (*.*)|*");
    request.fileName = m_file->text();
    const QString chosen = dialogs().openFileName(this, request);
    if (!chosen.isEmpty())
        m_file->setText(chosen);
}

void TInsertObjectDialog::updateOkButton()
{
    m_ok->setEnabled(m_createNew->isChecked() ? m_types->currentRow() >= 0 : !m_file->text().trimmed().isEmpty());
}

}  // namespace platform
