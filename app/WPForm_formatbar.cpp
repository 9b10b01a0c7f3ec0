#include "app/WPForm.h"

#include "components/Wwdbcomb.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "richedit/wwcontrolstates.h"
#include "richedit/wwriched.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

bool isEnterOrTab(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = event->key();
    return modifiers == Qt::NoModifier && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab);
}

}  // namespace

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
        const std::optional<int> points = FontSizeFromText(this, text);
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
