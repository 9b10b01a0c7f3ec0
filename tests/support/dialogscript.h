#pragma once
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

// Drives a modal dialog of the editor as a user would: the script runs once the dialog
// shows, finds its controls by name, types and clicks. Whatever the script leaves open
// is cancelled, so a failing script never blocks the test.
namespace dialogscript {

using Script = std::function<void(QDialog *dialog)>;

// Runs `script` on the next modal dialog; `ran` tells afterwards whether it did.
inline void onNextDialog(const Script &script, bool *ran = nullptr)
{
    QTimer::singleShot(0, [script, ran] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (ran)
            *ran = true;
        script(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

template <typename T>
T *control(QDialog *dialog, const char *name)
{
    return testsupport::child<T>(dialog, name);
}

// Replaces a field's text by typing, as a user selecting it and typing over it does.
inline void retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

inline void click(QDialog *dialog, const char *button)
{
    QTest::mouseClick(control<QPushButton>(dialog, button), Qt::LeftButton);
}

// The name of the dialog's focused control, read while the dialog exists: its widgets
// are gone once it closes. Empty when nothing has the focus.
inline QString focusedName(QDialog *dialog)
{
    const QWidget *focused = dialog->focusWidget();
    return focused ? focused->objectName() : QString();
}

}  // namespace dialogscript
