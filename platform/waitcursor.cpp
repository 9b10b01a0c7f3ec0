#include "platform/waitcursor.h"

#include <QGuiApplication>

// Without an application object (command-line use before one exists) there is no
// cursor to change, so the guard does nothing.
WaitCursor::WaitCursor()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_active = true;
    }
}

WaitCursor::~WaitCursor()
{
    if (m_active)
        QGuiApplication::restoreOverrideCursor();
}
