#include "richedit/wwrichtb.h"

#include "richedit/Wwintl.h"
#include "richedit/wwdialogform.h"
#include "richedit/wwriched.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

template <typename T>
T *named(QWidget *parent, const char *name)
{
    auto *control = new T(parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

// The number a position text stands for, without its unit suffix.
double valueOf(const QString &text, bool *ok = nullptr)
{
    return TwwCustomRichEdit::StripUnitSuffix(text).trimmed().toDouble(ok);
}

}  // namespace

TwwRichTabDialog::TwwRichTabDialog(TwwCustomRichEdit *richEdit)
    : QDialog(richEdit ? richEdit->window() : nullptr), RichEdit(richEdit)
{
    setUpFixedDialog(this, "wwRichTabDialog", richEdit);
    BuildControls();
    SetCaptions();
    if (richEdit && richEdit->EditorOptions().testFlag(reoShowHints))
        SetHints();
    PlaceControls();
    centreOnScreen(this, richEdit);
}

bool TwwRichTabDialog::ExecuteTabDialog(TwwCustomRichEdit *richEdit)
{
    TwwRichTabDialog dialog(richEdit);
    dialog.FillFromSelection();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.ApplyToSelection();
    return true;
}

void TwwRichTabDialog::BuildControls()
{
    GroupBox1 = named<QGroupBox>(this, "GroupBox1");
    Edit1 = named<QLineEdit>(GroupBox1, "Edit1");
    Edit1->installEventFilter(this);
    ListBox1 = named<QListWidget>(GroupBox1, "ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Button1 = named<QPushButton>(GroupBox1, "Button1");
    connect(Button1, &QPushButton::clicked, this, &TwwRichTabDialog::SetButtonClick);
    Button2 = named<QPushButton>(GroupBox1, "Button2");
    connect(Button2, &QPushButton::clicked, this, &TwwRichTabDialog::Button2Click);

    OKButton = named<QPushButton>(this, "OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TwwRichTabDialog::OKButtonClick);
    Button3 = named<QPushButton>(this, "Button3");
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    Button4 = named<QPushButton>(this, "Button4");
    connect(Button4, &QPushButton::clicked, this, &TwwRichTabDialog::Button4Click);

    QWidget *order[] = {Edit1, ListBox1, Button1, Button2, OKButton, Button3, Button4};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    Edit1->setFocus();
}

void TwwRichTabDialog::SetCaptions()
{
    const TwwRichEditTabDlg &texts = RichEditTexts().TabDialog;
    setWindowTitle(texts.TabDlgCaption);
    GroupBox1->setTitle(texts.TabGroupBoxCaption);
    Button1->setText(texts.SetTabButtonCaption);
    Button2->setText(texts.ClearTabButtonCaption);
    Button4->setText(texts.ClearAllButtonCaption);
    OKButton->setText(GlobalIntl ? GlobalIntl->BtnOKCaption : QStringLiteral("&OK"));
    Button3->setText(GlobalIntl ? GlobalIntl->BtnCancelCaption : QStringLiteral("Cancel"));
}

void TwwRichTabDialog::SetHints()
{
    const TwwRichEditTabDlg &texts = RichEditTexts().TabDialog;
    setDialogHint(Edit1, texts.TabPositionEditHint);
    setDialogHint(ListBox1, texts.ListBoxHint);
    setDialogHint(Button1, texts.SetButtonHint);
    setDialogHint(Button2, texts.ClearButtonHint);
    setDialogHint(Button4, texts.ClearAllButtonHint);
}

void TwwRichTabDialog::PlaceControls()
{
    const TwwDialogScale scale(this);
    scale.resizeClient(this, 257, 192);
    scale.place(GroupBox1, 8, 8, 160, 177);
    scale.place(Edit1, 8, 20, 142, 21);
    scale.place(ListBox1, 8, 43, 142, 97);
    scale.place(Button1, 8, 146, 67, 25);
    scale.place(Button2, 82, 146, 67, 25);
    scale.place(OKButton, 175, 12, 75, 25);
    scale.place(Button3, 176, 44, 75, 25);
    scale.place(Button4, 176, 152, 75, 25);
}

void TwwRichTabDialog::FillFromSelection()
{
    const engine::ParaFormat format = RichEdit->paraFormat();
    for (int i = 0; i < format.tabCount; ++i)
        ListBox1->addItem(RichEdit->UnitsToText(RichEdit->TwipsToUnits(format.tabs[size_t(i)])));
}

QList<int> TwwRichTabDialog::Positions() const
{
    QList<int> positions;
    for (int row = 0; row < ListBox1->count(); ++row)
        positions << RichEdit->UnitsToTwips(ListBox1->item(row)->text());
    return positions;
}

void TwwRichTabDialog::ApplyToSelection()
{
    const QList<int> positions = Positions();
    RichEdit->SetParagraphFormat(pmTabs, QString(), false, 0, 0, 0, int(positions.size()), positions,
                                 0, 0, 0, 0);
}

// ---- Set, Clear and Clear All ----

bool TwwRichTabDialog::AcceptsPosition(const QString &text) const
{
    if (!wwmeasure::isValidLengthText(RichEdit->MeasurementUnits(), text))
        return false;
    return RichEdit->UnitsToTwips(text) >= 0;
}

bool TwwRichTabDialog::IsListed(const QString &entry) const
{
    for (int row = 0; row < ListBox1->count(); ++row)
        if (ListBox1->item(row)->text().compare(entry, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool TwwRichTabDialog::ListIsFull() const
{
    return ListBox1->count() >= engine::kMaxTabStops;
}

// The first row whose position lies beyond the value.
int TwwRichTabDialog::InsertionRow(double value) const
{
    int row = 0;
    while (row < ListBox1->count() && valueOf(ListBox1->item(row)->text()) <= value)
        ++row;
    return row;
}

bool TwwRichTabDialog::SetButtonClick()
{
    const QString text = Edit1->text();
    if (text.isEmpty() || !AcceptsPosition(text))
        return false;
    const double value = valueOf(text);
    const QString entry = RichEdit->UnitsToText(value);
    if (IsListed(entry) || ListIsFull())
        return false;
    ListBox1->insertItem(InsertionRow(value), entry);
    Edit1->clear();
    return true;
}

void TwwRichTabDialog::Button2Click()
{
    qDeleteAll(ListBox1->selectedItems());
}

void TwwRichTabDialog::Button4Click()
{
    ListBox1->clear();
}

// ---- OK and the position field's keys ----

// A pending position is set first. One that is no length, or that a full list cannot
// take, keeps the dialog open so that it is not lost.
void TwwRichTabDialog::OKButtonClick()
{
    const QString text = Edit1->text();
    if (!text.isEmpty()) {
        const bool valid = wwmeasure::isValidLengthText(RichEdit->MeasurementUnits(), text);
        const bool wouldBeDropped = valid && AcceptsPosition(text) && ListIsFull()
                                    && !IsListed(RichEdit->UnitsToText(valueOf(text)));
        if (!valid || wouldBeDropped) {
            Edit1->setFocus();
            return;
        }
        SetButtonClick();
    }
    accept();
}

// While the position field has the focus, Enter belongs to it and not to OK.
void TwwRichTabDialog::Edit1Enter()
{
    OKButton->setDefault(false);
}

void TwwRichTabDialog::Edit1Exit()
{
    OKButton->setDefault(true);
}

void TwwRichTabDialog::Edit1KeyPress(QKeyEvent *event)
{
    if (Edit1->text().isEmpty())
        OKButtonClick();
    else
        SetButtonClick();
    event->accept();
}

bool TwwRichTabDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1) {
        switch (event->type()) {
        case QEvent::FocusIn: Edit1Enter(); break;
        case QEvent::FocusOut: Edit1Exit(); break;
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Edit1KeyPress(key);
                return true;
            }
            break;
        }
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
