#include "richedit/wwriched_ruler.h"

#include "richedit/wwTrackIcon.h"
#include "richedit/wwprinter.h"
#include "richedit/wwriched.h"

#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kRulerEdge = 6;       // from the panel's sides to the ruler rectangle
constexpr int kMarkerSpacing = 48;  // the right marker stays this far right of the others
constexpr int kTwipsPerInch = 1440;
constexpr double kInchesPerCentimetre = 0.39416633819471817;  // 1 / 2.537

}  // namespace

TwwRulerPanel::TwwRulerPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Ruler"));
    setFrameStyle(QFrame::NoFrame);
}

TwwTrackIcon *TwwRulerPanel::NewMarker(const char *name, const QString &bitmap)
{
    auto *marker = new TwwTrackIcon(this);
    marker->setObjectName(QLatin1String(name));
    marker->SetBitmapName(bitmap);
    marker->OnEndDrag = [this](TwwTrackIcon *sender) { MarkerEndDrag(sender); };
    marker->SetMinValue(RulerLeft() - marker->width() / 2);
    marker->SetMaxValue(RulerRight() - marker->width() / 2);
    marker->show();
    return marker;
}

void TwwRulerPanel::CreateMarkers()
{
    m_leftMarker = NewMarker("LeftMarker", QStringLiteral("wwRulerUp"));
    m_leftMarker->move(m_leftMarker->MinValue(), RulerBottom() - m_leftMarker->height() + 4);
    m_rightMarker = NewMarker("RightMarker", QStringLiteral("wwRulerUp"));
    m_rightMarker->move(m_rightMarker->MaxValue(), RulerBottom() - m_rightMarker->height() + 4);
    m_firstLineMarker = NewMarker("FirstLineMarker", QStringLiteral("wwRulerDown"));
    m_firstLineMarker->move(m_firstLineMarker->MinValue() + 10, RulerTop() - 2);
}

int TwwRulerPanel::Px(int twips) const
{
    return twips * m_editor->ScreenPixelsPerInch() / kTwipsPerInch;
}

int TwwRulerPanel::Tw(int pixels) const
{
    return pixels * kTwipsPerInch / m_editor->ScreenPixelsPerInch();
}

double TwwRulerPanel::PixelsPerUnit() const
{
    const double perInch = m_editor->ScreenPixelsPerInch();
    return m_editor->MeasurementUnits() == muCentimeters ? perInch * kInchesPerCentimetre : perInch;
}

int TwwRulerPanel::Subdivisions() const
{
    return m_editor->MeasurementUnits() == muCentimeters ? 4 : 8;
}

// The printer's physical page width in inches (through whole twips) less the editor's
// side margins.
double TwwRulerPanel::PrintableInches(const TwwCustomRichEdit *editor)
{
    const QPrinter &printer = CurrentPrinter();
    const int resolution = printer.resolution();
    const int pageWidth = printer.pageLayout().fullRectPixels(resolution).width();
    const int pageTwips = pageWidth * kTwipsPerInch / resolution;
    double margins = editor->PrintMargins().Left + editor->PrintMargins().Right;
    if (editor->MeasurementUnits() == muCentimeters)
        margins *= kInchesPerCentimetre;
    return double(pageTwips) / kTwipsPerInch - margins;
}

double TwwRulerPanel::ScaleLength() const
{
    if (m_editor->EditWidth() == rewPrinterSize) {
        const double inches = PrintableInches(m_editor);
        return m_editor->MeasurementUnits() == muCentimeters ? inches * 2.537 : inches;
    }
    return (m_editor->width() - 12) / PixelsPerUnit();
}

void TwwRulerPanel::SetPageWidth(const TwwCustomRichEdit *editor)
{
    resize(int(std::trunc(editor->ScreenPixelsPerInch() * PrintableInches(editor))) + 2 * kRulerEdge, height());
    for (TwwTrackIcon *marker : {m_leftMarker, m_rightMarker, m_firstLineMarker})
        if (marker)
            marker->SetMaxValue(RulerRight() - marker->width() / 2);
}

void TwwRulerPanel::SyncMarkers()
{
    if (!m_editor || !m_leftMarker)
        return;
    const engine::ParaFormat format = m_editor->paraFormat();
    const int start = Px(format.startIndent);
    m_leftMarker->SetLeft(Px(format.offset) + start + RulerLeft() - m_leftMarker->width() / 2);
    m_rightMarker->SetLeft(width() - Px(format.rightIndent) - m_rightMarker->width());
    m_firstLineMarker->SetLeft(start + RulerLeft() - m_firstLineMarker->width() / 2);
}

// The marker's centre floored to the grid (the ruler's own left margin counts as part of
// the position), one pixel on, at most the marker's MaxValue.
int TwwRulerPanel::SnappedPosition(const TwwTrackIcon *marker) const
{
    const double perUnit = PixelsPerUnit();
    const int step = 1000 / Subdivisions();
    const int thousandths = int(std::trunc(marker->Centre() / perUnit * 1000));
    const double units = (thousandths - thousandths % step) / 1000.0;
    return std::min(int(std::trunc(perUnit * units + 1)), marker->MaxValue());
}

void TwwRulerPanel::MarkerEndDrag(TwwTrackIcon *sender)
{
    if (!m_editor || !sender || (sender != m_leftMarker && sender != m_rightMarker && sender != m_firstLineMarker))
        return;
    const int left = SnappedPosition(m_leftMarker);
    const int right = SnappedPosition(m_rightMarker);
    const int firstLine = SnappedPosition(m_firstLineMarker);
    if (sender == m_leftMarker) {
        m_leftMarker->SetLeft(std::min(left, right - kMarkerSpacing));
    } else if (sender == m_rightMarker) {
        const int others = std::max(left, firstLine);
        m_rightMarker->SetLeft(others > right - kMarkerSpacing ? others + kMarkerSpacing : right);
    } else {
        m_firstLineMarker->SetLeft(std::min(firstLine, right - kMarkerSpacing));
    }

    if (sender == m_rightMarker) {
        const int halfWidth = m_rightMarker->width() / 2;
        const int edge = m_editor->EditWidth() == rewPrinterSize ? m_rightMarker->MaxValue() + 2 * halfWidth
                                                                 : m_editor->width() + halfWidth;
        const int rightIndent = Tw(edge - m_editor->LeftTextInset() - 4 - m_rightMarker->Left());
        m_editor->SetParagraphFormat(pmRightIndent, QString(), false, 0, rightIndent, 0, 0, {}, 0, 0, 0, 0);
        return;
    }
    const int leftIndent = Tw(m_leftMarker->Left() - m_leftMarker->MinValue());
    const int firstIndent = Tw(m_firstLineMarker->Left() - m_firstLineMarker->MinValue());
    const int offset = leftIndent + std::min(-firstIndent, leftIndent);
    m_editor->SetParagraphFormat(pmStartIndent | pmOffset, QString(), false, offset, 0, firstIndent, 0, {}, 0, 0,
                                 0, 0);
}
