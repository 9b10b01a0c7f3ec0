#pragma once
#include "platform/dialogs.h"

#include <QDialog>
#include <QList>
#include <QPair>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace platform {

class PagePreview;

// The page setup dialog: paper size and source, orientation, the four margins in the
// request's unit, and the printer, beside a small picture of the page. Paper size and
// source are disabled when the request does not allow them. OK refuses a margin that is
// not a number or is negative, and margins that leave no room on the paper, with a
// message; the dialog then stays open. It opens centred across the screen and a third of
// the free height down.
class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    PageSetupDialog(QWidget *parent, const PageSetupRequest &request);

    PageSetupChoice choice() const;
    void accept() override;

    // The paper sizes offered: paper code and name, as Qt knows them.
    static QList<QPair<int, QString>> paperSizes();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildPaperGroup(const PageSetupRequest &request);
    QWidget *buildOrientationGroup(const PageSetupRequest &request);
    QWidget *buildMarginsGroup(const PageSetupRequest &request);
    QLineEdit *addMarginField(const char *name, int value);
    QString marginText(int value) const;
    bool readMargin(QLineEdit *field, int &value) const;
    QSizeF paperExtent() const;  // in the margin unit, turned for landscape
    void updatePreview();

    bool m_inInches;
    QComboBox *m_paper = nullptr;
    QComboBox *m_source = nullptr;
    QComboBox *m_printer = nullptr;
    QRadioButton *m_portrait = nullptr;
    QRadioButton *m_landscape = nullptr;
    QLineEdit *m_left = nullptr;
    QLineEdit *m_right = nullptr;
    QLineEdit *m_top = nullptr;
    QLineEdit *m_bottom = nullptr;
    PagePreview *m_preview = nullptr;
};

}  // namespace platform
