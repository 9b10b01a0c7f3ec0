#include "platform/waitcursor.h"

#include <QCursor>
#include <QGuiApplication>

// Without an application object (command-line use before one exists) there is no
// cursor to change, so the guard does nothing.
WaitCursor::WaitCursor()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_active = true;
    }
}

WaitCursor::~WaitCursor()
{
    if (m_active)
        QGuiApplication::restoreOverrideCursor();
}
