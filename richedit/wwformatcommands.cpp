#include "richedit/wwformatcommands.h"

#include "components/Wwdbcomb.h"
#include "richedit/wwcontrolstates.h"
#include "richedit/wwriched.h"

#include <QAbstractButton>

void TwwFormatCommands::ButtonMouseDown(const QAbstractButton *sender)
{
    m_buttonDown = sender->isChecked();
}

void TwwFormatCommands::ToggleStyle(TFontStyle style)
{
    m_editor->SetSelectionStyle(style, !m_buttonDown);
    m_refresh();
}

void TwwFormatCommands::ToggleStyleByKey(TFontStyle style)
{
    m_buttonDown = m_editor->SelectionAttributes().Style().testFlag(style);
    ToggleStyle(style);
}

void TwwFormatCommands::SetAlignment(int alignment)
{
    m_editor->ParagraphAttributes().SetAlignment(TAlignment(alignment));
    m_refresh();
}

void TwwFormatCommands::ToggleBullets()
{
    m_editor->SetBullets(!m_buttonDown);
    m_refresh();
}

void TwwFormatCommands::BulletMenuClick()
{
    m_buttonDown = m_editor->ParagraphAttributes().Numbering() == nsBullet;
    ToggleBullets();
}

void TwwFormatCommands::FontNameCloseUp(const TwwDBComboBox *sender, bool select)
{
    if (!select)
        return;
    m_editor->SetSelectionFaceName(sender->text());
    m_editor->setFocus();
    m_refresh();
}

void TwwFormatCommands::FontSizeCloseUp(QWidget *parent, const TwwDBComboBox *sender, bool select)
{
    const QString text = sender->text();
    if (!select || text.isEmpty())
        return;
    if (const std::optional<int> points = FontSizeFromText(parent, text))
        ApplyFontSize(*points);
}

void TwwFormatCommands::ApplyFontSize(int points)
{
    m_editor->SelectionAttributes().SetSize(points);
    m_editor->setFocus();
    m_refresh();
}
