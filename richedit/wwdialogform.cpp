#include "richedit/wwdialogform.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

// The design font (8 point at 96 pixels per inch) is 13 pixels high and averages 6
// pixels a character over the letters.
constexpr double kDesignDpi = 96.0;
constexpr double kDesignLineHeight = 13.0;
constexpr double kDesignCharWidth = 6.0;

double averageLetterWidth(const QFontMetricsF &metrics)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return metrics.horizontalAdvance(letters) / letters.size();
}

}  // namespace

TwwDialogScale::TwwDialogScale(const QWidget *form)
{
    const QFontMetricsF metrics(form->font());
    const double screenFactor = form->logicalDpiY() / kDesignDpi;
    const double fontFactor = std::max(metrics.height() / kDesignLineHeight,
                                       averageLetterWidth(metrics) / kDesignCharWidth);
    m_factor = std::max({1.0, screenFactor, fontFactor});
}

int TwwDialogScale::operator()(int designPixels) const
{
    return int(std::lround(designPixels * m_factor));
}

QRect TwwDialogScale::rect(int left, int top, int width, int height) const
{
    return QRect((*this)(left), (*this)(top), (*this)(width), (*this)(height));
}

void TwwDialogScale::place(QWidget *control, int left, int top, int width, int height) const
{
    control->setGeometry(rect(left, top, width, height));
}

void TwwDialogScale::placeLabel(QLabel *label, int left, int top) const
{
    label->adjustSize();
    label->move((*this)(left), (*this)(top));
}

void TwwDialogScale::placeRightAlignedLabel(QLabel *label, int right, int top) const
{
    label->adjustSize();
    label->move((*this)(right) - label->width(), (*this)(top));
}

void TwwDialogScale::resizeClient(QDialog *form, int width, int height) const
{
    form->setFixedSize((*this)(width), (*this)(height));
}

void setDialogHint(QWidget *control, const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    control->setToolTip(bar < 0 ? hint : hint.left(bar).trimmed());
    control->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1).trimmed());
}

void centreOnScreen(QWidget *form, const QWidget *near)
{
    QScreen *screen = near ? near->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = form->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    form->move(frame.topLeft());
}

void setUpFixedDialog(QDialog *dialog, const char *name, const QWidget *near)
{
    dialog->setObjectName(QLatin1String(name));
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    if (near)
        dialog->setFont(near->window()->font());
}
