#include "platform/drawtext.h"

#include <QFontMetrics>
#include <QPainter>

namespace platform {

namespace {

constexpr int kUnbounded = 1 << 20;

int qtTextFlags(unsigned flags)
{
    int result = Qt::AlignTop;
    if (flags & DT_WORDBREAK)
        result |= Qt::TextWordWrap;
    if (flags & DT_EXPANDTABS)
        result |= Qt::TextExpandTabs;
    if (!(flags & DT_NOPREFIX))
        result |= Qt::TextShowMnemonic;
    return result;
}

Qt::Alignment horizontalAlignment(unsigned flags)
{
    if (flags & DT_CENTER)
        return Qt::AlignHCenter;
    if (flags & DT_RIGHT)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

// The size of the text block: lines broken at `width` when word-wrapping.
QSize measure(const QFontMetrics &metrics, const QString &text, int width, unsigned flags)
{
    if (text.isEmpty())
        return {0, 0};  // no line at all, where Qt would count an empty one
    const int wrapWidth = (flags & DT_WORDBREAK) ? qMax(width, 1) : kUnbounded;
    const QRect bounds = metrics.boundingRect(QRect(0, 0, wrapWidth, kUnbounded),
                                              qtTextFlags(flags) | Qt::AlignLeft, text);
    return bounds.size();
}

}  // namespace

int drawText(QPainter &painter, const QString &text, QRect &rect, unsigned flags)
{
    const QFontMetrics metrics(painter.font(), painter.device());
    const QSize size = measure(metrics, text, rect.width(), flags);
    if (flags & DT_CALCRECT) {
        rect.setSize(size);
        return size.height();
    }
    painter.drawText(rect, qtTextFlags(flags) | horizontalAlignment(flags), text);
    return size.height();
}

}  // namespace platform
