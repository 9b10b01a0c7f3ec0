#include "richedit/wwrchdlg.h"

#include "components/Wwdbcomb.h"
#include "richedit/Wwintl.h"
#include "richedit/wwdialogform.h"
#include "richedit/wwriched.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

template <typename T>
T *named(QWidget *parent, const char *name)
{
    auto *control = new T(parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

QFrame *horizontalLine(QWidget *parent, const char *name)
{
    auto *line = named<QFrame>(parent, name);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return line;
}

}  // namespace

TwwRichParagraphDialog::TwwRichParagraphDialog(TwwCustomRichEdit *richEdit)
    : QDialog(richEdit ? richEdit->window() : nullptr), RichEdit(richEdit)
{
    setUpFixedDialog(this, "wwRichParagraphDialog", richEdit);
    BuildControls();
    SetCaptions();
    if (richEdit && richEdit->EditorOptions().testFlag(reoShowHints))
        SetHints();
    PlaceControls();
    centreOnScreen(this, richEdit);
}

bool TwwRichParagraphDialog::ExecuteParagraphDialog(TwwCustomRichEdit *richEdit)
{
    TwwRichParagraphDialog dialog(richEdit);
    dialog.FillFromSelection();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.ApplyToSelection();
    return true;
}

void TwwRichParagraphDialog::BuildControls()
{
    OKBtn = named<QPushButton>(this, "OKBtn");
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TwwRichParagraphDialog::OKClick);
    CancelBtn = named<QPushButton>(this, "CancelBtn");
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    Panel1 = named<QFrame>(this, "Panel1");
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);  // an etched edge
    Label4 = named<QLabel>(Panel1, "Label4");
    AlignmentCombo = named<TwwDBComboBox>(Panel1, "AlignmentCombo");
    AlignmentCombo->setStyle(csDropDownList);
    AlignmentCombo->setDropDownCount(8);
    Label4->setBuddy(AlignmentCombo);

    GroupBox1 = named<QLabel>(Panel1, "GroupBox1");
    Bevel1 = horizontalLine(Panel1, "Bevel1");
    Label1 = named<QLabel>(Panel1, "Label1");
    LeftEdit = named<QLineEdit>(Panel1, "LeftEdit");
    Label1->setBuddy(LeftEdit);
    Label2 = named<QLabel>(Panel1, "Label2");
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    RightEdit = named<QLineEdit>(Panel1, "RightEdit");
    Label2->setBuddy(RightEdit);
    Label3 = named<QLabel>(Panel1, "Label3");
    FirstLineEdit = named<QLineEdit>(Panel1, "FirstLineEdit");
    Label3->setBuddy(FirstLineEdit);

    SpacingGroup = named<QLabel>(Panel1, "SpacingGroup");
    Bevel2 = horizontalLine(Panel1, "Bevel2");
    BeforeParagraphLabel = named<QLabel>(Panel1, "BeforeParagraphLabel");
    BeforeParagraphEdit = named<QLineEdit>(Panel1, "BeforeParagraphEdit");
    BeforeParagraphLabel->setBuddy(BeforeParagraphEdit);
    AfterParagraphLabel = named<QLabel>(Panel1, "AfterParagraphLabel");
    AfterParagraphEdit = named<QLineEdit>(Panel1, "AfterParagraphEdit");
    AfterParagraphLabel->setBuddy(AfterParagraphEdit);
    WithinParagraphLabel = named<QLabel>(Panel1, "WithinParagraphLabel");
    LineSpacingComboBox = named<QComboBox>(Panel1, "LineSpacingComboBox");
    LineSpacingComboBox->setMaxVisibleItems(8);
    LineSpacingComboBox->addItems({QStringLiteral("Single"), QStringLiteral("1.5 Lines"),
                                   QStringLiteral("Double"), QStringLiteral("At least"),
                                   QStringLiteral("Exactly"), QStringLiteral("Multiple")});
    WithinParagraphLabel->setBuddy(LineSpacingComboBox);
    // A choice by the user first empties the At field, then sets it for the new rule.
    connect(LineSpacingComboBox, &QComboBox::activated, this, [this] {
        LineSpacingComboBoxClick();
        LineSpacingComboBoxChange();
    });
    WithinParagraphAt = named<QLabel>(Panel1, "WithinParagraphAt");
    WithinParagraphEdit = named<QLineEdit>(Panel1, "WithinParagraphEdit");
    WithinParagraphAt->setBuddy(WithinParagraphEdit);
    WithinParagraphEdit->installEventFilter(this);

    // The buttons come first, then the panel's fields from top left to bottom right.
    QWidget *order[] = {OKBtn, CancelBtn, AlignmentCombo, LeftEdit, RightEdit, FirstLineEdit,
                        BeforeParagraphEdit, AfterParagraphEdit, LineSpacingComboBox,
                        WithinParagraphEdit};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    OKBtn->setFocus();
}

void TwwRichParagraphDialog::SetCaptions()
{
    const TwwRichEditParagraphDlg &texts = RichEditTexts().ParagraphDialog;
    setWindowTitle(texts.ParagraphDlgCaption);
    OKBtn->setText(GlobalIntl ? GlobalIntl->BtnOKCaption : QStringLiteral("&OK"));
    CancelBtn->setText(GlobalIntl ? GlobalIntl->BtnCancelCaption : QStringLiteral("Cancel"));
    GroupBox1->setText(texts.IndentationGroupBoxCaption);
    Label1->setText(texts.LeftEditCaption);
    Label2->setText(texts.RightEditCaption);
    Label3->setText(texts.FirstLineEditCaption);
    Label4->setText(texts.AlignmentCaption);
    SpacingGroup->setText(texts.SpacingGroupCaption);
    BeforeParagraphLabel->setText(texts.BeforeParagraphCaption);
    AfterParagraphLabel->setText(texts.AfterParagraphCaption);
    WithinParagraphLabel->setText(texts.WithinParagraphCaption);
    WithinParagraphAt->setText(texts.WithinParagraphAtCaption);
    AlignmentCombo->setItems({texts.AlignLeft, texts.AlignCenter, texts.AlignRight, texts.AlignJustify});
}

void TwwRichParagraphDialog::SetHints()
{
    const TwwRichEditParagraphDlg &texts = RichEditTexts().ParagraphDialog;
    setDialogHint(LeftEdit, texts.LeftEditHint);
    setDialogHint(RightEdit, texts.RightEditHint);
    setDialogHint(FirstLineEdit, texts.FirstLineEditHint);
    AlignmentCombo->setHint(texts.AlignmentHint);
    AlignmentCombo->setShowHint(true);
}

// Places every control at its designed position (96 pixels per inch), scaled.
void TwwRichParagraphDialog::PlaceControls()
{
    const TwwDialogScale scale(this);
    scale.resizeClient(this, 331, 229);
    scale.place(OKBtn, 166, 200, 75, 25);
    scale.place(CancelBtn, 248, 200, 75, 25);
    scale.place(Panel1, 6, 8, 321, 185);

    scale.placeLabel(Label4, 8, 12);
    scale.place(AlignmentCombo, 72, 9, 89, 21);
    scale.placeLabel(GroupBox1, 7, 41);
    scale.place(Bevel1, 68, 48, 250, 2);
    scale.placeLabel(Label1, 19, 62);
    scale.place(LeftEdit, 72, 59, 65, 21);
    scale.placeRightAlignedLabel(Label2, 187, 62);
    scale.place(RightEdit, 192, 59, 65, 21);
    scale.placeLabel(Label3, 19, 88);
    scale.place(FirstLineEdit, 72, 85, 65, 21);

    scale.placeLabel(SpacingGroup, 7, 111);
    scale.place(Bevel2, 54, 118, 263, 2);
    scale.placeLabel(BeforeParagraphLabel, 19, 130);
    scale.place(BeforeParagraphEdit, 72, 127, 57, 21);
    scale.placeLabel(AfterParagraphLabel, 19, 156);
    scale.place(AfterParagraphEdit, 72, 153, 57, 21);
    scale.placeLabel(WithinParagraphLabel, 153, 138);
    scale.place(LineSpacingComboBox, 152, 154, 81, 21);
    scale.placeLabel(WithinParagraphAt, 241, 138);
    scale.place(WithinParagraphEdit, 240, 153, 65, 21);

    // The headings' lines start just after their text, whatever its width.
    for (auto [heading, line] : {std::pair{GroupBox1, Bevel1}, std::pair{SpacingGroup, Bevel2}}) {
        const int start = heading->geometry().right() + scale(6);
        line->setGeometry(start, line->y(), Panel1->width() - scale(4) - start, line->height());
    }
}

bool TwwRichParagraphDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == WithinParagraphEdit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (!text.isEmpty() && (text.at(0).isPrint() || key->key() == Qt::Key_Backspace))
            WithinParagraphEditKeyPress();
    }
    return QDialog::eventFilter(watched, event);
}
