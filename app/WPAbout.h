#pragma once
#include <QDialog>
#include <QLocale>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class TRxLabel;

// The about box: the product banner in two shadowed words, the product name, the
// copyright notice and two memory figures of the machine, read once when the box is
// created. Laid out at 120 pixels per inch and scaled to the screen's. OK is the default
// and the cancel button, so Enter and Esc both close the box (the dialog is rejected).
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *AOwner = nullptr);

    void FormCreate();

    // "1,048,576 KB": the total in KiB, rounded, grouped with the locale's separator.
    static QString PhysMemText(quint64 totalBytes, const QLocale &locale = QLocale());
    // "37 %".
    static QString MemoryLoadText(int percent);

private:
    void PlaceInScreenCentre();
    int Scaled(int designPixels) const;
    QLabel *AddLabel(const char *name, int left, int top, const QString &caption);
    TRxLabel *AddBannerLabel(const char *name, int left, int top, int width, int height, const QString &caption);

    QLabel *ProgramIcon = nullptr;
    TRxLabel *RxLabel1 = nullptr;
    TRxLabel *RxLabel2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *PhysMem = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *FreeRes = nullptr;
    QPushButton *OKButton = nullptr;
};
