#include "app/WPForm.h"

#include "components/Wwdbcomb.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "richedit/wwriched.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

// The largest size the engine's character heights carry, in points.
constexpr int kLargestPointSize = 1638;

const QColor kMissingFontColour = Qt::red;

bool isEnterOrTab(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = event->key();
    return modifiers == Qt::NoModifier && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab);
}

}  // namespace

// A whole number of points from 1 to 1638; anything else is refused with a message and
// nothing changes.
std::optional<int> TfmPellWP::FontSizeFromText(const QString &text)
{
    bool ok = false;
    const int points = text.trimmed().toInt(&ok, 10);
    if (ok && points >= 1 && points <= kLargestPointSize)
        return points;
    platform::showError(this, QStringLiteral("Please enter a font size from 1 to %1.").arg(kLargestPointSize));
    return std::nullopt;
}

// The face box shows the selection's face also when no installed font has it (in red, as
// a warning that another face stands in for it), and nothing over mixed faces.
void TfmPellWP::ShowSelectionFontName(const QString &name)
{
    const int index = FontNameCombo->IndexOf(name, Qt::CaseInsensitive);
    FontNameCombo->setItemIndex(index);
    if (index < 0 && FontNameCombo->text() != name)
        FontNameCombo->setText(name);
    const bool missing = index < 0 && !name.isEmpty();
    FontNameCombo->setFontColor(missing ? kMissingFontColour : palette().color(QPalette::WindowText));
}

// Enter or Tab in the face or size box applies what was typed there while its list is
// closed (an open list decides for itself).
bool TfmPellWP::FormatBoxTakesKey(const QKeyEvent *event)
{
    if (!isEnterOrTab(event))
        return false;
    auto *box = qobject_cast<TwwDBComboBox *>(QApplication::focusWidget());
    if (!box || box->Dropped() || (box != FontNameCombo && box != FontSizeCombo))
        return false;
    platform::runGuarded([&] {
        if (box == FontNameCombo)
            FontNameComboEnter();
        else
            FontSizeComboEnter();
    });
    return true;
}

void TfmPellWP::FontNameComboEnter()
{
    const QString name = FontNameCombo->text().trimmed();
    if (!name.isEmpty())
        RichEdit1->SetSelectionFaceName(name);
    RichEdit1->setFocus();
    UpdateControlStates();
}

// A size that is refused keeps the box, its text selected for the correction.
void TfmPellWP::FontSizeComboEnter()
{
    const QString text = FontSizeCombo->text();
    if (!text.trimmed().isEmpty()) {
        const std::optional<int> points = FontSizeFromText(text);
        if (!points) {
            FontSizeCombo->setFocus();
            FontSizeCombo->selectAll();
            return;
        }
        RichEdit1->SelectionAttributes().SetSize(*points);
    }
    RichEdit1->setFocus();
    UpdateControlStates();
}
