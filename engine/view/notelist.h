#pragma once
#include <QObject>
#include <QTextDocument>
#include <QTimer>

class QPainter;
class QTextEdit;

// The footnotes and endnotes of the view's document, listed after its last paragraph
// in a smaller font: each note's number and text, below a short rule. The list is no
// part of the document (it is neither edited, saved nor printed); the view paints it
// below the text and its scroll range reaches past the text to show it. It follows the
// notes when marks are inserted or removed, a moment after the change.
namespace engine {

class NoteList : public QObject {
    Q_OBJECT
public:
    explicit NoteList(QTextEdit *view);

    bool isEmpty() const { return m_count == 0; }
    QString text() const { return m_list.toPlainText(); }
    // Paints the list with `painter` in document coordinates.
    void paint(QPainter &painter);
    void rebuild();  // now, rather than a moment after the last change

private:
    void noteChange(int position, int removed, int added);
    void layOut();
    void extendScrollRange();
    qreal textHeight() const;

    QTextEdit *m_view;
    QTextDocument m_list;
    QTimer m_rebuildTimer;
    int m_count = 0;
    bool m_extending = false;
    static constexpr qreal kGap = 24;  // pixels between the text and the rule
};

}  // namespace engine
