#include "richedit/wwrich.h"

#include "components/Wwdbcomb.h"
#include "platform/application.h"
#include "platform/lockkeys.h"
#include "richedit/Wwintl.h"
#include "richedit/wwformatcommands.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_ruler.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>

// The formatting and editing commands of the editor window. They call the operations of
// the window's editor, as the word processor's main window does with its own.

void TwwRichEditForm::BindFormatCommands()
{
    FFormatCommands = std::make_unique<TwwFormatCommands>([this] { UpdateControlStates(); });
    Bind(BoldButton, &TwwRichEditForm::BoldButtonClick);
    Bind(ItalicButton, &TwwRichEditForm::ItalicButtonClick);
    Bind(UnderlineButton, &TwwRichEditForm::UnderlineButtonClick);
    Bind(LeftButton, &TwwRichEditForm::LeftButtonClick);
    Bind(CenterButton, &TwwRichEditForm::CenterButtonClick);
    Bind(RightButton, &TwwRichEditForm::RightButtonClick);
    Bind(BulletButton, &TwwRichEditForm::BulletButtonClick);
    Bind(BulletStyle1, &TwwRichEditForm::BulletStyle1Click);
    for (QToolButton *toggle : {BoldButton, ItalicButton, UnderlineButton, BulletButton})
        connect(toggle, &QAbstractButton::pressed, this, [this, toggle] { BoldButtonMouseDown(toggle); });
    FontNameCombo->OnDropDown = [this](QObject *) { RunHandler(&TwwRichEditForm::FontNameComboDropDown); };
    FontNameCombo->OnCloseUp = [this](TwwDBComboBox *sender, bool select) {
        platform::runGuarded([&] { FontNameComboCloseUp(sender, select); });
    };
    FontSizeCombo->OnCloseUp = [this](TwwDBComboBox *sender, bool select) {
        platform::runGuarded([&] { FontSizeComboCloseUp(sender, select); });
    };
}

TwwStateControls TwwRichEditForm::StateControls() const
{
    return CollectStateControls(*this, Undo1);
}

// The main window's refresh, and the ruler's markers follow the paragraph.
void TwwRichEditForm::UpdateControlStates()
{
    ::UpdateControlStates(*RichEdit1, StateControls());
    FRuler->SyncMarkers();
}

void TwwRichEditForm::RichEdit1SelectionChange()
{
    if (RichEdit1->isVisible())
        UpdateControlStates();
}

// Status panel 2 shows Num Lock, panel 1 Caps Lock.
void TwwRichEditForm::UpdateLockKeyPanels()
{
    const platform::LockKeyState locks = platform::lockKeyState();
    const TwwDBRichEditIntl &texts = RichEditTexts();
    StatusPanels[2]->setText(locks.numLock ? texts.NUMLockCaption : QString());
    StatusPanels[1]->setText(locks.capsLock ? texts.CAPLockCaption : QString());
}

// ---- Character and paragraph formats ----

void TwwRichEditForm::BoldButtonMouseDown(QAbstractButton *sender)
{
    FFormatCommands->ButtonMouseDown(sender);
}

void TwwRichEditForm::BoldButtonClick()
{
    FFormatCommands->ToggleStyle(fsBold);
}

void TwwRichEditForm::ItalicButtonClick()
{
    FFormatCommands->ToggleStyle(fsItalic);
}

void TwwRichEditForm::UnderlineButtonClick()
{
    FFormatCommands->ToggleStyle(fsUnderline);
}

void TwwRichEditForm::LeftButtonClick()
{
    FFormatCommands->SetAlignment(taLeftJustify);
}

void TwwRichEditForm::CenterButtonClick()
{
    FFormatCommands->SetAlignment(taCenter);
}

void TwwRichEditForm::RightButtonClick()
{
    FFormatCommands->SetAlignment(taRightJustify);
}

void TwwRichEditForm::BulletButtonClick()
{
    FFormatCommands->ToggleBullets();
}

void TwwRichEditForm::BulletStyle1Click()
{
    FFormatCommands->BulletMenuClick();
}

void TwwRichEditForm::FontNameComboDropDown()
{
    FontNameCombo->setFontColor(Qt::black);
}

void TwwRichEditForm::FontNameComboCloseUp(TwwDBComboBox *sender, bool select)
{
    FFormatCommands->FontNameCloseUp(sender, select);
}

void TwwRichEditForm::FontSizeComboCloseUp(TwwDBComboBox *sender, bool select)
{
    FFormatCommands->FontSizeCloseUp(this, sender, select);
}

void TwwRichEditForm::Font1Click()
{
    RichEdit1->ExecuteFontDialog();
    UpdateControlStates();
}

void TwwRichEditForm::Paragraph1Click()
{
    if (RichEdit1->ExecuteParagraphDialog())
        FRuler->SyncMarkers();
}

void TwwRichEditForm::Tabs1Click()
{
    RichEdit1->ExecuteTabDialog();
}

void TwwRichEditForm::InsertObject1Click()
{
    RichEdit1->InsertObject();
}

// ---- Edit menu ----

void TwwRichEditForm::Edit1Click()
{
    UpdateControlStates();
}

void TwwRichEditForm::Undo1Click()
{
    RichEdit1->Undo();
    UpdateControlStates();
}

void TwwRichEditForm::Redo1Click()
{
    RichEdit1->Redo();
    UpdateControlStates();
}

void TwwRichEditForm::Cut1Click()
{
    RichEdit1->CutToClipboard();
}

void TwwRichEditForm::Copy1Click()
{
    RichEdit1->CopyToClipboard();
}

void TwwRichEditForm::Paste1Click()
{
    RichEdit1->PasteFromClipboard();
}

void TwwRichEditForm::Clear1Click()
{
    RichEdit1->ClearSelection();
}

void TwwRichEditForm::SelectAll1Click()
{
    RichEdit1->SelectAll();
}

void TwwRichEditForm::Find1Click()
{
    RichEdit1->ExecuteFindDialog();
}

void TwwRichEditForm::FindNext1Click()
{
    RichEdit1->FindNext();
}

void TwwRichEditForm::Replace1Click()
{
    RichEdit1->ExecuteReplaceDialog();
}
