#include "app/WPForm.h"

#include "components/RXCombos.h"
#include "components/Wwdbcomb.h"
#include "platform/application.h"
#include "platform/fontnames.h"
#include "richedit/wwcontrolstates.h"
#include "richedit/wwformatcommands.h"
#include "richedit/wwriched.h"

#include <QAction>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kBoxTop = 1;
constexpr int kBoxHeight = 23;


}  // namespace

// ---- The boxes of the format bar ----

void TfmPellWP::BuildFormatBarBoxes()
{
    FontNameCombo = new TwwDBComboBox(FormatBar);
    FontNameCombo->setObjectName(QStringLiteral("FontNameCombo"));
    FontNameCombo->setGeometry(7, kBoxTop, 198, kBoxHeight);
    FontNameCombo->setSorted(true);
    FontNameCombo->setDropDownCount(20);

    FontSizeCombo = new TwwDBComboBox(FormatBar);
    FontSizeCombo->setObjectName(QStringLiteral("FontSizeCombo"));
    FontSizeCombo->setGeometry(216, kBoxTop, 61, kBoxHeight);
    FontSizeCombo->setDropDownCount(8);
    FontSizeCombo->setItems(FontSizeItems());

    ColorComboBox1 = new TColorComboBox(FormatBar);
    ColorComboBox1->setObjectName(QStringLiteral("ColorComboBox1"));
    ColorComboBox1->setGeometry(372, kBoxTop, 120, kBoxHeight);
}

void TfmPellWP::BindFormatCommands()
{
    FFormatCommands = std::make_unique<TwwFormatCommands>([this] { UpdateControlStates(); });
    FFormatCommands->SetEditor(RichEdit1);
    Bind(BoldButton, &TfmPellWP::BoldButtonClick);
    Bind(ItalicButton, &TfmPellWP::ItalicButtonClick);
    Bind(UnderlineButton, &TfmPellWP::UnderlineButtonClick);
    Bind(LeftButton, &TfmPellWP::LeftButtonClick);
    Bind(CenterButton, &TfmPellWP::CenterButtonClick);
    Bind(RightButton, &TfmPellWP::RightButtonClick);
    Bind(BulletButton, &TfmPellWP::BulletButtonClick);
    Bind(BulletStyle1, &TfmPellWP::BulletStyle1Click);
    BindFormatMenuDialogs();
    for (QToolButton *toggle : {BoldButton, ItalicButton, UnderlineButton, BulletButton})
        connect(toggle, &QAbstractButton::pressed, this, [this, toggle] { BoldButtonMouseDown(toggle); });

    FontNameCombo->OnDropDown = [this](QObject *) { RunHandler(&TfmPellWP::FontNameComboDropDown); };
    FontNameCombo->OnCloseUp = [this](TwwDBComboBox *sender, bool select) {
        platform::runGuarded([&] { FontNameComboCloseUp(sender, select); });
    };
    FontSizeCombo->OnCloseUp = [this](TwwDBComboBox *sender, bool select) {
        platform::runGuarded([&] { FontSizeComboCloseUp(sender, select); });
    };
    ColorComboBox1->OnChange = [this](QObject *) { RunHandler(&TfmPellWP::ColorComboBox1Change); };
    ColorComboBox1->OnClick = [this](QObject *) { RunHandler(&TfmPellWP::ColorComboBox1Click); };
}

// The screen fonts, which the box sorts. When the editor lays out to the printer's
// width only fonts the printer also has would qualify; the printer draws from the same
// font database as the screen, so every screen font qualifies either way. The list is
// replaced, not appended to, so showing the window again lists each font once.
void TfmPellWP::FillFontNameCombo()
{
    FontNameCombo->setItems(platform::screenFontNames());
}

// ---- Bold, italic, underline, bullets, alignment, font name and size ----

void TfmPellWP::BoldButtonMouseDown(QAbstractButton *Sender)
{
    FFormatCommands->ButtonMouseDown(Sender);
}

void TfmPellWP::BoldButtonClick()
{
    FFormatCommands->ToggleStyle(fsBold);
}

void TfmPellWP::ItalicButtonClick()
{
    FFormatCommands->ToggleStyle(fsItalic);
}

void TfmPellWP::UnderlineButtonClick()
{
    FFormatCommands->ToggleStyle(fsUnderline);
}

void TfmPellWP::BulletButtonClick()
{
    FFormatCommands->ToggleBullets();
}

void TfmPellWP::BulletStyle1Click()
{
    FFormatCommands->BulletMenuClick();
}

void TfmPellWP::LeftButtonClick()
{
    FFormatCommands->SetAlignment(taLeftJustify);
}

void TfmPellWP::CenterButtonClick()
{
    FFormatCommands->SetAlignment(taCenter);
}

void TfmPellWP::RightButtonClick()
{
    FFormatCommands->SetAlignment(taRightJustify);
}

void TfmPellWP::FontNameComboDropDown()
{
    FontNameCombo->setFontColor(Qt::black);
}

void TfmPellWP::FontNameComboCloseUp(TwwDBComboBox *Sender, bool Select)
{
    FFormatCommands->FontNameCloseUp(Sender, Select);
}

void TfmPellWP::FontSizeComboCloseUp(TwwDBComboBox *Sender, bool Select)
{
    FFormatCommands->FontSizeCloseUp(this, Sender, Select);
}

void TfmPellWP::ColorComboBox1Change()
{
    RichEdit1->SelectionAttributes().SetColor(ColorComboBox1->ColorValue());
}

// Choosing the colour the box already shows is no change of the box, so no change event
// comes; the selection takes the colour all the same, unless all of it has it already
// (a pick that changed the box has just given it).
void TfmPellWP::ColorComboBox1Click()
{
    if (!RichEdit1->SelectionHasColor(ColorComboBox1->ColorValue()))
        ColorComboBox1Change();
}
