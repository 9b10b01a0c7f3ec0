#pragma once
#include <QObject>

class QTextEdit;

// While Qt lays out a loaded document in the background, every blink of the caret asks
// where the caret is, and finding that lays out everything before it: with the caret at
// the end of a large document (after Select All), all of it at once. While there is a
// selection the caret is not drawn, so its blinks are held back until Qt's layout has
// reached the caret's paragraph.
namespace engine {

class CaretBlinkGuard : public QObject {
public:
    explicit CaretBlinkGuard(QTextEdit *edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool caretAheadOfLayout() const;

    QTextEdit *m_edit;
    QObject *m_control;
};

}  // namespace engine
