#include "richedit/wwrchdlg.h"

#include "components/Wwdbcomb.h"
#include "richedit/Wwintl.h"
#include "richedit/wwriched.h"

#include <QComboBox>
#include <QLineEdit>
#include <cmath>

using engine::ParaFormat;

namespace {

enum LineSpacingRule { lsSingle, lsOneAndHalf, lsDouble, lsAtLeast, lsExactly, lsMultiple };

constexpr int kIndentGrid = 0;     // eighths of an inch, twentieths of a centimetre
constexpr int kSpacingGrid = 100;  // hundredths of the unit
constexpr double kLinesPerMultipleUnit = 0.05;  // a multiple counts twentieths of a line
constexpr int kMultipleUnitsPerLine = 20;

double numberOf(const QString &text, bool *ok)
{
    return TwwCustomRichEdit::StripUnitSuffix(text).trimmed().toDouble(ok);
}

// Twentieths of a line for a "Multiple" text; 20 (one line) when it is no number.
int multipleUnitsOf(const QString &text)
{
    bool ok = false;
    const double lines = numberOf(text, &ok);
    if (!ok || !std::isfinite(lines) || std::fabs(lines) > 1e6)
        return kMultipleUnitsPerLine;
    return int(std::trunc(lines * kMultipleUnitsPerLine));
}

}  // namespace

// ---- Filling ----

void TwwRichParagraphDialog::FillFromSelection()
{
    const ParaFormat format = RichEdit->paraFormat();
    const int start = format.startIndent;
    const int offset = format.offset;
    LeftEdit->setText(RichEdit->UnitsToGridText(RichEdit->TwipsToUnits(start + offset), kIndentGrid));
    FirstLineEdit->setText(RichEdit->UnitsToGridText(RichEdit->TwipsToUnits(-offset), kIndentGrid));
    RightEdit->setText(RichEdit->UnitsToGridText(RichEdit->TwipsToUnits(format.rightIndent), kIndentGrid));
    if (SpacingAvailable())
        FillSpacing();
    else
        for (QWidget *field : std::initializer_list<QWidget *>{BeforeParagraphEdit, AfterParagraphEdit,
                                                               LineSpacingComboBox, WithinParagraphEdit})
            field->setEnabled(false);  // the first engine version keeps no spacing
    FillAlignment();
}

bool TwwRichParagraphDialog::SpacingAvailable() const
{
    return RichEdit->RichEditVersion() >= 2;
}

void TwwRichParagraphDialog::FillSpacing()
{
    const ParaFormat format = RichEdit->paraFormat();
    auto spacingText = [this](int twips) {
        return RichEdit->UnitsToGridText(RichEdit->TwipsToUnits(twips), kSpacingGrid);
    };
    BeforeParagraphEdit->setText(spacingText(format.spaceBefore));
    AfterParagraphEdit->setText(spacingText(format.spaceAfter));
    const int rule = std::clamp<int>(format.lineSpacingRule, lsSingle, lsMultiple);
    LineSpacingComboBox->setCurrentIndex(rule);
    if (rule == lsMultiple)
        WithinParagraphEdit->setText(QString::number(format.lineSpacing * kLinesPerMultipleUnit, 'g', 15));
    else if (rule == lsAtLeast || rule == lsExactly)
        WithinParagraphEdit->setText(spacingText(format.lineSpacing));
    else
        WithinParagraphEdit->clear();
}

// The selection's alignment picks its entry; a selection whose paragraphs differ shows
// none, and then OK leaves each paragraph's alignment as it is.
void TwwRichParagraphDialog::FillAlignment()
{
    const TwwRichEditParagraphDlg &texts = RichEditTexts().ParagraphDialog;
    const ParaFormat format = RichEdit->paraFormat();
    if (!(format.mask & engine::PFM_ALIGNMENT)) {
        AlignmentCombo->setItemIndex(-1);
        return;
    }
    switch (format.alignment) {
    case engine::PFA_RIGHT: AlignmentCombo->setItemIndex(AlignmentCombo->IndexOf(texts.AlignRight)); break;
    case engine::PFA_CENTER: AlignmentCombo->setItemIndex(AlignmentCombo->IndexOf(texts.AlignCenter)); break;
    case engine::PFA_JUSTIFY: AlignmentCombo->setItemIndex(AlignmentCombo->IndexOf(texts.AlignJustify)); break;
    default: AlignmentCombo->setItemIndex(AlignmentCombo->IndexOf(texts.AlignLeft)); break;
    }
}

// ---- The line-spacing interaction ----

void TwwRichParagraphDialog::LineSpacingComboBoxClick()
{
    WithinParagraphEdit->clear();
}

// At least and Exactly start at a sixth of an inch (12 points), Multiple at one line.
void TwwRichParagraphDialog::LineSpacingComboBoxChange()
{
    switch (LineSpacingComboBox->currentIndex()) {
    case lsAtLeast:
    case lsExactly: {
        const double sixth = RichEdit->MeasurementUnits() == muCentimeters
                                 ? wwmeasure::kCentimetersPerInch / 6
                                 : 1.0 / 6;
        WithinParagraphEdit->setText(RichEdit->UnitsToText(std::trunc(sixth * 100) / 100));
        break;
    }
    case lsMultiple: WithinParagraphEdit->setText(QStringLiteral("1")); break;
    default: WithinParagraphEdit->clear(); break;
    }
}

// Typing a spacing under a rule without one means a multiple of lines.
void TwwRichParagraphDialog::WithinParagraphEditKeyPress()
{
    if (LineSpacingComboBox->currentIndex() <= lsDouble)
        LineSpacingComboBox->setCurrentIndex(lsMultiple);
}

// ---- OK ----

void TwwRichParagraphDialog::OKClick()
{
    if (QLineEdit *invalid = FirstInvalidField()) {
        invalid->setFocus();
        return;  // stays open, without a message
    }
    accept();
}

// The fields in the order they are checked; an empty field counts as invalid except an
// empty At field under a rule that needs no spacing.
QLineEdit *TwwRichParagraphDialog::FirstInvalidField() const
{
    const TwwMeasurementUnits units = RichEdit->MeasurementUnits();
    for (QLineEdit *field : {LeftEdit, FirstLineEdit, RightEdit})
        if (!wwmeasure::isValidLengthText(units, field->text()))
            return field;
    if (!SpacingAvailable())
        return nullptr;
    for (QLineEdit *field : {BeforeParagraphEdit, AfterParagraphEdit})
        if (!wwmeasure::isValidLengthText(units, field->text()))
            return field;
    return IsValidLineSpacingText() ? nullptr : WithinParagraphEdit;
}

// A multiple must come to at least a twentieth of a line, and a line height cannot be
// negative: neither could be shown or written.
bool TwwRichParagraphDialog::IsValidLineSpacingText() const
{
    const QString text = WithinParagraphEdit->text();
    const int rule = LineSpacingComboBox->currentIndex();
    if (text.isEmpty())
        return rule != lsMultiple;
    if (!wwmeasure::isValidLengthText(RichEdit->MeasurementUnits(), text))
        return false;
    if (rule == lsMultiple)
        return multipleUnitsOf(text) >= 1;
    return rule <= lsDouble || RichEdit->UnitsToTwips(text) >= 0;
}

int TwwRichParagraphDialog::LineSpacingTwips() const
{
    const QString text = WithinParagraphEdit->text();
    if (LineSpacingComboBox->currentIndex() == lsMultiple)
        return multipleUnitsOf(text);
    return text.isEmpty() ? 0 : RichEdit->UnitsToTwips(text);
}

// ---- Applying ----

// The left field is where the other lines start and the first-line field is relative
// to it; the engine wants where the first line starts and the other lines' offset,
// which never goes beyond the left indent.
void TwwRichParagraphDialog::ApplyToSelection()
{
    const int left = RichEdit->UnitsToTwips(LeftEdit->text());
    const int firstLine = RichEdit->UnitsToTwips(FirstLineEdit->text());
    const int offset = std::min(-firstLine, left);
    const int startIndent = firstLine + left;
    const int rightIndent = RichEdit->UnitsToTwips(RightEdit->text());
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    if (SpacingAvailable()) {
        spaceBefore = RichEdit->UnitsToTwips(BeforeParagraphEdit->text());
        spaceAfter = RichEdit->UnitsToTwips(AfterParagraphEdit->text());
        lineSpacing = LineSpacingTwips();
    }
    TwwParaFormatMembers members = pmStartIndent | pmRightIndent | pmOffset | pmSpaceBefore
                                   | pmSpaceAfter | pmLineSpacing;
    const QString alignment = AlignmentCombo->text();
    if (!alignment.isEmpty())
        members |= pmAlignment;
    RichEdit->SetParagraphFormat(members, alignment, false, offset, rightIndent, startIndent, 0, {},
                                 spaceBefore, spaceAfter, lineSpacing,
                                 std::max(0, LineSpacingComboBox->currentIndex()));
}
