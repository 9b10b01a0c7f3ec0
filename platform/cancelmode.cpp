#include "platform/cancelmode.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QWidget>

namespace platform {

QEvent::Type cancelModeEventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void sendCancelMode(QWidget *control)
{
    if (!control)
        return;
    if (QWidget::mouseGrabber() == control)
        control->releaseMouse();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->hidePopup();
    QEvent event(cancelModeEventType());
    QCoreApplication::sendEvent(control, &event);
}

}  // namespace platform
