#pragma once
#include <QListWidget>
#include <QStringList>

// The drop-down list of TwwDBComboBox: a bordered top-level window that floats over the
// screen below (or above) its combo box. It never takes the keyboard focus: the combo's
// edit keeps it and passes the list the keys that move its selection. Rows are all one
// height; the border and an inner margin add 2 pixels on every side.
class TwwPopupListbox : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kBorderExtent = 4;  // pixels the frame adds to the rows' height

    explicit TwwPopupListbox(QWidget *owner);

    void fill(const QStringList &rows);
    QStringList rows() const;

    // Row height in pixels; 0 takes the height of the list's font.
    void setRowHeight(int pixels);
    int rowHeight() const;

    // The selected row, or -1. Selecting an index out of range removes the selection.
    int selectedRow() const;
    void selectRow(int row);
    QString selectedText() const;

    // Keyboard moves that arrive from the edit.
    void moveSelection(int delta);
    void movePage(int direction);

    // First row equal to, or starting with, a text (ignoring case); -1 when none.
    int rowEqualTo(const QString &text) const;
    int rowStartingWith(const QString &prefix) const;

signals:
    // The left button went up over the rows.
    void releasedOverRows();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int rowsPerPage() const;

    int m_rowHeight = 0;
};
