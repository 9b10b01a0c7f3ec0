#pragma once
#include <QFrame>
#include <QPointer>

class TwwCustomRichEdit;
class TwwTrackIcon;

// The ruler of the editor window: a scale in the editor's measurement unit and three
// markers for the indents of the paragraph under the caret. Releasing a dragged marker
// writes the indents of the selected paragraphs once (MarkerEndDrag); SyncMarkers
// places the markers at the current paragraph's indents. Lengths are the ruler's pixels;
// the scale's zero is the left edge of the ruler rectangle, 6 pixels into the panel.
//
// Marker positions, at the editor's ScreenPixelsPerInch with px() from twips:
//   left indent  (second and later lines)  Left = px(start + offset) + ruler left - w/2
//   first line                             Left = px(start) + ruler left - w/2
//   right indent                           Left = panel width - px(right) - w
// Drawing is in wwriched_rulerpaint.cpp.
class TwwRulerPanel : public QFrame {
    Q_OBJECT
public:
    explicit TwwRulerPanel(QWidget *parent = nullptr);

    // The editor window's own editor, whose indents the ruler shows (not owned).
    TwwCustomRichEdit *Editor() const { return m_editor; }
    void SetEditor(TwwCustomRichEdit *editor) { m_editor = editor; }

    // The ruler rectangle, always (6, 4, width - 6, height - 4), as edges.
    int RulerLeft() const { return 6; }
    int RulerTop() const { return 4; }
    int RulerRight() const { return width() - 6; }
    int RulerBottom() const { return height() - 4; }

    // The three markers, each limited to the ruler and placed at its start.
    void CreateMarkers();
    TwwTrackIcon *LeftMarker() const { return m_leftMarker; }
    TwwTrackIcon *RightMarker() const { return m_rightMarker; }
    TwwTrackIcon *FirstLineMarker() const { return m_firstLineMarker; }

    // For printer-width layout: as wide as the printable width of the printer's page
    // less `editor`'s side margins, plus the ruler's edges.
    void SetPageWidth(const TwwCustomRichEdit *editor);
    void SyncMarkers();
    // Snaps the markers to eighths of an inch (quarters of a centimetre), keeps the right
    // marker at least 48 pixels right of the others, and writes the indents.
    void MarkerEndDrag(TwwTrackIcon *sender);

    // Pixels per measurement unit, and the length of the scale in units.
    double PixelsPerUnit() const;
    double ScaleLength() const;
    // Subdivisions of a unit: eighths of an inch, quarters of a centimetre.
    int Subdivisions() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TwwTrackIcon *NewMarker(const char *name, const QString &bitmap);
    int SnappedPosition(const TwwTrackIcon *marker) const;
    static double PrintableInches(const TwwCustomRichEdit *editor);
    void PaintFrame(QPainter &painter) const;
    void PaintScale(QPainter &painter) const;
    int Px(int twips) const;
    int Tw(int pixels) const;

    QPointer<TwwCustomRichEdit> m_editor;
    TwwTrackIcon *m_leftMarker = nullptr;
    TwwTrackIcon *m_rightMarker = nullptr;
    TwwTrackIcon *m_firstLineMarker = nullptr;
};
