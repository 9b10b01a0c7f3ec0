#pragma once
#include "platform/dialogs.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace platform {

// The Insert Object dialog: a new object of a listed type ("Create New", preselected) or
// an object from a file ("Create from File", with "Link"), either shown as an icon
// ("Display As Icon"). It opens centred horizontally and a third of the free height down.
class TInsertObjectDialog : public QDialog {
    Q_OBJECT
public:
    TInsertObjectDialog(QWidget *parent, const InsertObjectRequest &request);

    InsertObjectChoice choice() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showChoice();
    void browse();
    void updateOkButton();

    QRadioButton *m_createNew = nullptr;
    QRadioButton *m_createFromFile = nullptr;
    QLabel *m_typeLabel = nullptr;
    QListWidget *m_types = nullptr;
    QLabel *m_fileLabel = nullptr;
    QLineEdit *m_file = nullptr;
    QPushButton *m_browse = nullptr;
    QCheckBox *m_link = nullptr;
    QCheckBox *m_asIcon = nullptr;
    QPushButton *m_ok = nullptr;
};

}  // namespace platform
