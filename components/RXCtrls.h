#pragma once
#include <QColor>
#include <QKeySequence>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

class QPainter;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };

// Draws Str into Rect with the platform's text flags (platform/drawtext.h), first in
// ShadowColor offset by ShadowSize pixels towards ShadowPos, then in the painter's own pen
// colour in place. Rect becomes the union of the text and the shadow rectangles (with
// DT_CALCRECT both are only measured). Returns the text's height, plus ShadowSize when
// that height is positive.
int DrawShadowText(QPainter &DC, const QString &Str, TShadowPosition ShadowPos, const QColor &ShadowColor,
                   int ShadowSize, unsigned Format, QRect &Rect);

// A label that draws its caption with a one-colour drop shadow. It can leave its
// background unpainted (Transparent), align and place its text, size itself to the
// caption with the shadow (AutoSize, which keeps the right edge of a right-justified
// label), give FocusControl the focus on the caption's accelerator key and draw a focus
// rectangle while that control has it (ShowFocus), and report the mouse entering and
// leaving (not while the left button, pressed on the label, is held).
//
// A disabled label draws grey text with a highlight shadow; with ShadowSize 0 the shadow
// is one pixel to the lower right, which gives an etched look.
class TRxLabel : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject *Sender)>;

    explicit TRxLabel(QWidget *parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    QColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(const QColor &Value);
    quint8 ShadowSize() const { return FShadowSize; }
    void SetShadowSize(quint8 Value);
    TShadowPosition ShadowPos() const { return FShadowPos; }
    void SetShadowPos(TShadowPosition Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    QWidget *FocusControl() const { return FFocusControl; }
    void SetFocusControl(QWidget *Value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value);
    // The background colour painted while the label is not transparent.
    QColor Color() const;
    void SetColor(const QColor &Value);

    // Sizes the label to its caption when AutoSize is on.
    void FitToCaption();
    // Draws (or with DT_CALCRECT measures) the caption into Rect with the label's font
    // and colours.
    void DrawCaption(QPainter &Painter, QRect &Rect, unsigned Flags);

    bool MouseInside() const { return FMouseInside; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    void UpdateMouseInside();

    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Paint(QPainter &Painter);
    void Repaint() { update(); }
    unsigned TextFlags() const;
    bool ApplicationActive() const;
    void FocusChanged(QWidget *now);
    void GrabAccelerator();
    bool Accelerate();

    QString FCaption;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    QColor FShadowColor;
    quint8 FShadowSize = 1;
    TShadowPosition FShadowPos = spLeftTop;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    QPointer<QWidget> FFocusControl;
    bool FShowFocus = false;

    bool FMouseInside = false;
    bool FMousePressed = false;
    bool FFocused = false;
    int FAcceleratorId = 0;
};
