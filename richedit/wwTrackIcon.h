#pragma once
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>

// A ruler marker: a small picture that the user drags horizontally between two limits.
// The picture is a bitmap resource of the program, named case-insensitively
// ("wwRulerUp" is the resource WWRULERUP); the colour of its bottom-left pixel is drawn
// transparent. While the left button is held only the marker moves; OnEndDrag fires
// once, on the release, and only when the drag moved the marker.
class TwwTrackIcon : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TwwTrackIcon *sender)>;

    explicit TwwTrackIcon(QWidget *parent = nullptr);

    TNotifyEvent OnEndDrag;

    QString BitmapName() const { return m_bitmapName; }
    // Loads the named bitmap and sizes the marker to it; an empty name keeps the old
    // picture. A name without such a resource throws Exception and changes nothing.
    void SetBitmapName(const QString &name);
    // Limits of Left while dragging; 0 means no limit on that side.
    int MinValue() const { return m_minValue; }
    void SetMinValue(int value) { m_minValue = value; }
    int MaxValue() const { return m_maxValue; }
    void SetMaxValue(int value) { m_maxValue = value; }

    int Left() const { return x(); }
    void SetLeft(int left) { move(left, y()); }
    int Top() const { return y(); }
    void SetTop(int top) { move(x(), top); }
    // The marker's middle, where its value is read.
    int Centre() const { return x() + width() / 2; }

    const QPixmap &Picture() const { return m_picture; }

protected:
    virtual void DoEndDrag();

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int ClampedLeft(int left) const;

    QString m_bitmapName;
    QPixmap m_picture;
    int m_minValue = 0;
    int m_maxValue = 0;
    bool m_dragging = false;
    bool m_moved = false;
    int m_pressedX = 0;
};
