#pragma once
#include <QDialog>
#include <QRect>
#include <QString>

class QLabel;

// What the editor's own dialogs share: their controls are placed at positions designed
// for 96 pixels per inch and a small dialog font, scaled up for the screen and for the
// font the dialog really uses, so that captions fit wherever the dialog runs.
class TwwDialogScale {
public:
    // Reads the form's font and screen; set the form's font first.
    explicit TwwDialogScale(const QWidget *form);

    double factor() const { return m_factor; }
    int operator()(int designPixels) const;
    QRect rect(int left, int top, int width, int height) const;
    // A control at its designed place and size.
    void place(QWidget *control, int left, int top, int width, int height) const;
    // A label at its designed place, as wide and high as its text.
    void placeLabel(QLabel *label, int left, int top) const;
    // A label whose right edge stays where the designed text ended.
    void placeRightAlignedLabel(QLabel *label, int right, int top) const;
    // The form's client area.
    void resizeClient(QDialog *form, int width, int height) const;

private:
    double m_factor = 1.0;
};

// Hints of the editor's dialogs: the part before " | " is the tooltip.
void setDialogHint(QWidget *control, const QString &hint);

// Puts the form in the middle of the screen that shows `near` (or of the primary screen).
void centreOnScreen(QWidget *form, const QWidget *near);

// A fixed-size dialog with a title and a close button, in the font of the window that
// holds `near` (when given).
void setUpFixedDialog(QDialog *dialog, const char *name, const QWidget *near);
