#include "richedit/wwfinddialog.h"

#include "platform/application.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Flags that only the program sets; user actions keep them.
constexpr TFindOptions kPersistentFlags = TFindOptions(frDisableUpDown | frDisableMatchCase | frDisableWholeWord
                                                       | frHideUpDown | frHideMatchCase | frHideWholeWord);

void applyFlagsTo(QWidget *control, TFindOptions options, TFindOption hide, TFindOption disable,
                  bool present = true)
{
    control->setVisible(present && !options.testFlag(hide));
    control->setEnabled(!options.testFlag(disable));
}

}  // namespace

TFindDialog::TFindDialog(QWidget *owner) : TFindDialog(owner, HeadOnly{})
{
    setWindowTitle(QStringLiteral("Find"));
    FinishLayout(true);
}

TFindDialog::TFindDialog(QWidget *owner, HeadOnly) : QDialog(owner)
{
    setModal(false);
    // A title and a close button, as desktop find dialogs have; no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto *columns = new QHBoxLayout(this);
    columns->setSizeConstraint(QLayout::SetFixedSize);
    m_fields = new QGridLayout;
    m_buttons = new QVBoxLayout;
    columns->addLayout(m_fields);
    columns->addLayout(m_buttons);
    FindEdit = AddTextRow(QStringLiteral("Fi&nd what:"), "FindEdit");
    FindNextButton = AddButton(QStringLiteral("&Find Next"), "FindNextButton");
    FindNextButton->setDefault(true);
    connect(FindNextButton, &QPushButton::clicked, this, [this] { ReportAction(frFindNext, OnFind); });
}

QLineEdit *TFindDialog::AddTextRow(const QString &caption, const char *name)
{
    const int row = m_fields->rowCount();
    auto *label = new QLabel(caption, this);
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(kMaxTextLength);
    edit->setMinimumWidth(200);
    label->setBuddy(edit);
    m_fields->addWidget(label, row, 0);
    m_fields->addWidget(edit, row, 1, 1, 2);
    connect(edit, &QLineEdit::textChanged, this, [this] { UpdateButtonStates(); });
    return edit;
}

QPushButton *TFindDialog::AddButton(const QString &caption, const char *name)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    m_buttons->addWidget(button);
    return button;
}

// The check boxes go under the fields, the direction choice beside them; Cancel ends
// the column of buttons. Without a direction choice, frDown is kept as it was set.
void TFindDialog::FinishLayout(bool withDirection)
{
    m_directionShown = withDirection;
    const int row = m_fields->rowCount();
    WholeWordCheck = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    WholeWordCheck->setObjectName(QStringLiteral("WholeWordCheck"));
    MatchCaseCheck = new QCheckBox(QStringLiteral("Match &case"), this);
    MatchCaseCheck->setObjectName(QStringLiteral("MatchCaseCheck"));
    auto *checks = new QVBoxLayout;
    checks->addStretch();
    checks->addWidget(WholeWordCheck);
    checks->addWidget(MatchCaseCheck);
    m_fields->addLayout(checks, row, 0, 1, 2);

    DirectionGroup = new QGroupBox(QStringLiteral("Direction"), this);
    DirectionGroup->setObjectName(QStringLiteral("DirectionGroup"));
    UpRadio = new QRadioButton(QStringLiteral("&Up"), DirectionGroup);
    UpRadio->setObjectName(QStringLiteral("UpRadio"));
    DownRadio = new QRadioButton(QStringLiteral("&Down"), DirectionGroup);
    DownRadio->setObjectName(QStringLiteral("DownRadio"));
    auto *directions = new QHBoxLayout(DirectionGroup);
    directions->addWidget(UpRadio);
    directions->addWidget(DownRadio);
    m_fields->addWidget(DirectionGroup, row, 2);

    CancelButton = AddButton(QStringLiteral("Cancel"), "CancelButton");
    m_buttons->addStretch();
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this] { DialogClosed(); });
    ApplyOptionsToControls();
    UpdateButtonStates();
}

QString TFindDialog::FindText() const
{
    return FindEdit->text();
}

void TFindDialog::SetFindText(const QString &text)
{
    FindEdit->setText(text.left(kMaxTextLength));
}

void TFindDialog::SetOptions(TFindOptions options)
{
    m_options = options;
    ApplyOptionsToControls();
}

void TFindDialog::ApplyOptionsToControls()
{
    WholeWordCheck->setChecked(m_options.testFlag(frWholeWord));
    MatchCaseCheck->setChecked(m_options.testFlag(frMatchCase));
    (m_options.testFlag(frDown) ? DownRadio : UpRadio)->setChecked(true);
    applyFlagsTo(WholeWordCheck, m_options, frHideWholeWord, frDisableWholeWord);
    applyFlagsTo(MatchCaseCheck, m_options, frHideMatchCase, frDisableMatchCase);
    applyFlagsTo(DirectionGroup, m_options, frHideUpDown, frDisableUpDown, m_directionShown);
}

TFindOptions TFindDialog::ControlFlags() const
{
    TFindOptions flags;
    flags.setFlag(frDown, DownRadio->isChecked());
    flags.setFlag(frWholeWord, WholeWordCheck->isChecked());
    flags.setFlag(frMatchCase, MatchCaseCheck->isChecked());
    return flags;
}

void TFindDialog::UpdateButtonStates()
{
    FindNextButton->setEnabled(!FindText().isEmpty());
}

void TFindDialog::ReportAction(TFindOption action, const TDialogEvent &event)
{
    m_options = (m_options & kPersistentFlags) | ControlFlags() | action;
    if (event)
        platform::runGuarded([this, &event] { event(this); });
}

void TFindDialog::Execute()
{
    if (!isVisible()) {
        if (m_shownBefore)
            move(m_lastPosition);
        show();
    }
    raise();
    activateWindow();
    FindEdit->setFocus();
    FindEdit->selectAll();
}

void TFindDialog::CloseDialog()
{
    if (isVisible())
        reject();
}

void TFindDialog::DialogClosed()
{
    m_lastPosition = pos();
    m_shownBefore = true;
    ReportAction(TFindOption(0), OnClose);
}

// ---- TReplaceDialog ----

TReplaceDialog::TReplaceDialog(QWidget *owner) : TFindDialog(owner, HeadOnly{})
{
    setWindowTitle(QStringLiteral("Replace"));
    ReplaceEdit = AddTextRow(QStringLiteral("Re&place with:"), "ReplaceEdit");
    ReplaceButton = AddButton(QStringLiteral("&Replace"), "ReplaceButton");
    ReplaceAllButton = AddButton(QStringLiteral("Replace &All"), "ReplaceAllButton");
    connect(ReplaceButton, &QPushButton::clicked, this, [this] { ReportAction(frReplace, OnReplace); });
    connect(ReplaceAllButton, &QPushButton::clicked, this, [this] { ReportAction(frReplaceAll, OnReplace); });
    FinishLayout(false);
}

QString TReplaceDialog::ReplaceText() const
{
    return ReplaceEdit->text();
}

void TReplaceDialog::SetReplaceText(const QString &text)
{
    ReplaceEdit->setText(text.left(kMaxTextLength));
}

void TReplaceDialog::UpdateButtonStates()
{
    TFindDialog::UpdateButtonStates();
    ReplaceButton->setEnabled(!FindText().isEmpty());
    ReplaceAllButton->setEnabled(!FindText().isEmpty());
}
