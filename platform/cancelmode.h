#pragma once
#include <QEvent>

class QWidget;

namespace platform {

// The notification that tells a control to leave any mode it is in (an open drop-down
// list, a captured mouse) because something else is about to take the user's attention.
QEvent::Type cancelModeEventType();

// Sends the notification to a control. Qt's own combo boxes close their list; a mouse
// grab held by the control is released.
void sendCancelMode(QWidget *control);

}  // namespace platform
