#include "richedit/wwTrackIcon.h"

#include "platform/exceptions.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

static void initRulerBitmaps()
{
    Q_INIT_RESOURCE(wwruler);
}

namespace {

// The bitmap with every pixel of its bottom-left pixel's colour made transparent.
QPixmap loadMarkerPicture(const QString &name)
{
    QImage image(QStringLiteral(":/wwbitmaps/") + name.toUpper());
    if (image.isNull())
        throw Exception(QStringLiteral("Bitmap resource %1 not found").arg(name));
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == transparent)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return QPixmap::fromImage(image);
}

}  // namespace

TwwTrackIcon::TwwTrackIcon(QWidget *parent) : QWidget(parent)
{
    static const bool resourcesReady = (initRulerBitmaps(), true);
    Q_UNUSED(resourcesReady);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(11, 11);
}

void TwwTrackIcon::SetBitmapName(const QString &name)
{
    if (name == m_bitmapName)
        return;
    if (!name.isEmpty()) {
        m_picture = loadMarkerPicture(name);
        resize(m_picture.size());
    }
    m_bitmapName = name;
    update();
}

void TwwTrackIcon::DoEndDrag()
{
    if (OnEndDrag)
        OnEndDrag(this);
}

void TwwTrackIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

// Qt keeps sending the mouse to the pressed widget until the release (its implicit
// grab), so the drag needs no loop of its own.
void TwwTrackIcon::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_moved = false;
    m_pressedX = qRound(event->position().x());
    event->accept();
}

// The marker follows the cursor once it has left the place of the press.
void TwwTrackIcon::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const int cursorX = qRound(event->position().x());
    if (!m_moved && cursorX == m_pressedX)
        return;
    m_moved = true;
    SetLeft(ClampedLeft(cursorX + Left() - m_pressedX));
    event->accept();
}

void TwwTrackIcon::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    event->accept();
    if (m_moved)
        DoEndDrag();
}

int TwwTrackIcon::ClampedLeft(int left) const
{
    if (m_minValue != 0 && left < m_minValue)
        return m_minValue;
    if (m_maxValue != 0 && left > m_maxValue)
        return m_maxValue;
    return left;
}
