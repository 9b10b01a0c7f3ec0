// Mouse events go through the window system, so that a pressed marker keeps the mouse
// (Qt's implicit grab) as it does for a user.
#define QTEST_QPA_MOUSE_HANDLING
#include "platform/exceptions.h"
#include "richedit/wwTrackIcon.h"
#include "richedit/wwriched.h"
#include "richedit/wwriched_ruler.h"

#include <QImage>
#include <QtTest>
#include <memory>

using engine::ParaFormat;

namespace {

constexpr int kRulerWidth = 600;
constexpr int kRulerHeight = 25;

// Presses a marker at its middle, moves the mouse by `dx` (in steps, as a hand does) and
// releases it there. Positions are the ruler's, so the moving marker keeps the mouse.
void dragMarker(QWidget *ruler, TwwTrackIcon *marker, int dx)
{
    const QPoint start = marker->geometry().center();
    QTest::mousePress(ruler, Qt::LeftButton, {}, start);
    const int steps = 4;
    for (int step = 1; step <= steps; ++step)
        QTest::mouseMove(ruler, start + QPoint(dx * step / steps, 0));
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, start + QPoint(dx, 0));
}

bool isDark(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 64;
}

}  // namespace

class TestRuler : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void markerBitmapsAreElevenPixelsWithTheirCornerTransparent();
    void pressAndReleaseWithoutMovingChangesNothing();
    void markerStopsAtItsLimitsUnlessALimitIsZero_data();
    void markerStopsAtItsLimitsUnlessALimitIsZero();
    void leftMarkerSnapsDownToEighthsCountingTheMargin_data();
    void leftMarkerSnapsDownToEighthsCountingTheMargin();
    void leftMarkerStopsFortyEightPixelsLeftOfTheRightMarker();
    void firstLineMarkerWritesStartIndentAndKeepsTheOtherLines();
    void rightMarkerWritesTheRightIndent();
    void markersFollowTheParagraphUnderTheCaret();
    void ticksMarkSubdivisionsWithALongerMiddleTick_data();
    void ticksMarkSubdivisionsWithALongerMiddleTick();

private:
    std::unique_ptr<QWidget> m_window;
    TwwDBRichEdit *m_edit = nullptr;
    TwwRulerPanel *m_ruler = nullptr;
};

void TestRuler::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(kRulerWidth, 300);
    m_ruler = new TwwRulerPanel(m_window.get());
    m_ruler->setGeometry(0, 0, kRulerWidth, kRulerHeight);
    m_edit = new TwwDBRichEdit(m_window.get());
    m_edit->setGeometry(0, kRulerHeight, kRulerWidth, 275);
    m_edit->Lines()->SetText(QStringLiteral("A paragraph long enough to have a second line when it wraps."));
    m_edit->SetModified(false);
    m_ruler->SetEditor(m_edit);
    m_ruler->CreateMarkers();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    if (m_edit->ScreenPixelsPerInch() != 96)
        QSKIP("the ruler's figures below are for a screen of 96 pixels per inch");
}

void TestRuler::cleanup()
{
    m_window.reset();
}

void TestRuler::markerBitmapsAreElevenPixelsWithTheirCornerTransparent()
{
    for (TwwTrackIcon *marker : {m_ruler->LeftMarker(), m_ruler->FirstLineMarker()}) {
        QCOMPARE(marker->size(), QSize(11, 11));
        const QImage picture = marker->Picture().toImage();
        QCOMPARE(qAlpha(picture.pixel(0, 10)), 0);
        QCOMPARE(qAlpha(picture.pixel(5, 5)), 255);
    }
    QCOMPARE(m_ruler->LeftMarker()->BitmapName(), QStringLiteral("wwRulerUp"));
    QCOMPARE(m_ruler->FirstLineMarker()->BitmapName(), QStringLiteral("wwRulerDown"));
    // Markers under the scale point up from below it; the first-line marker hangs from above.
    QCOMPARE(m_ruler->LeftMarker()->y(), m_ruler->RulerBottom() - 11 + 4);
    QCOMPARE(m_ruler->FirstLineMarker()->y(), m_ruler->RulerTop() - 2);

    TwwTrackIcon marker;
    QVERIFY_THROWS_EXCEPTION(Exception, marker.SetBitmapName(QStringLiteral("NoSuchBitmap")));
    QCOMPARE(marker.BitmapName(), QString());
}

void TestRuler::pressAndReleaseWithoutMovingChangesNothing()
{
    int endDrags = 0;
    TwwTrackIcon *marker = m_ruler->LeftMarker();
    marker->OnEndDrag = [&](TwwTrackIcon *) { ++endDrags; };
    const int left = marker->Left();
    dragMarker(m_ruler, marker, 0);
    QCOMPARE(endDrags, 0);
    QCOMPARE(marker->Left(), left);
    QVERIFY(!m_edit->Modified());
    QCOMPARE(m_edit->paraFormat().offset, 0);

    dragMarker(m_ruler, marker, 30);
    QCOMPARE(endDrags, 1);
}

void TestRuler::markerStopsAtItsLimitsUnlessALimitIsZero_data()
{
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("expectedLeft");
    QTest::newRow("stops at MinValue") << 20 << 200 << -80 << 20;
    QTest::newRow("MinValue 0 lets it go left") << 0 << 200 << -80 << 100 - 80;
    QTest::newRow("stops at MaxValue") << 20 << 150 << 80 << 150;
    QTest::newRow("MaxValue 0 lets it go right") << 20 << 0 << 80 << 100 + 80;
}

// A stand-alone marker: its limits are all that stop it.
void TestRuler::markerStopsAtItsLimitsUnlessALimitIsZero()
{
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(int, dx);
    QFETCH(int, expectedLeft);
    QWidget strip;
    strip.resize(400, 30);
    auto *marker = new TwwTrackIcon(&strip);
    marker->SetBitmapName(QStringLiteral("wwRulerUp"));
    marker->move(100, 10);
    marker->SetMinValue(minValue);
    marker->SetMaxValue(maxValue);
    int endDrags = 0;
    marker->OnEndDrag = [&](TwwTrackIcon *sender) {
        QCOMPARE(sender, marker);
        ++endDrags;
    };
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    dragMarker(&strip, marker, dx);
    QCOMPARE(marker->Left(), expectedLeft);
    QCOMPARE(endDrags, 1);
}

void TestRuler::leftMarkerSnapsDownToEighthsCountingTheMargin_data()
{
    QTest::addColumn<int>("centre");
    QTest::addColumn<int>("indent");
    QTest::addColumn<int>("snappedLeft");
    // The half-inch tick is at x = 6 + 48 = 54; a centre at 59 is still in the eighth
    // that starts there, 60 is in the next one.
    QTest::newRow("centre 59: half an inch") << 59 << 720 << 49;
    QTest::newRow("centre 60: five eighths") << 60 << 900 << 61;
    QTest::newRow("centre 6: no indent") << 6 << 0 << 1;
}

void TestRuler::leftMarkerSnapsDownToEighthsCountingTheMargin()
{
    QFETCH(int, centre);
    QFETCH(int, indent);
    QFETCH(int, snappedLeft);
    TwwTrackIcon *left = m_ruler->LeftMarker();
    m_ruler->FirstLineMarker()->SetLeft(m_ruler->FirstLineMarker()->MinValue());
    dragMarker(m_ruler, left, 40);
    dragMarker(m_ruler, left, centre - left->Centre());
    const ParaFormat format = m_edit->paraFormat();
    QCOMPARE(format.startIndent + format.offset, indent);
    QCOMPARE(format.startIndent, 0);
    QCOMPARE(left->Left(), snappedLeft);
}

void TestRuler::leftMarkerStopsFortyEightPixelsLeftOfTheRightMarker()
{
    TwwTrackIcon *left = m_ruler->LeftMarker();
    TwwTrackIcon *right = m_ruler->RightMarker();
    QCOMPARE(right->Left(), right->MaxValue());
    dragMarker(m_ruler, left, right->Left() + 20 - left->Left());
    QCOMPARE(left->Left(), right->MaxValue() - 48);
    const ParaFormat format = m_edit->paraFormat();
    QCOMPARE(format.startIndent + format.offset, (right->MaxValue() - 48 - left->MinValue()) * 1440 / 96);
}

void TestRuler::firstLineMarkerWritesStartIndentAndKeepsTheOtherLines()
{
    m_edit->SetParagraphFormat(pmOffset, QString(), false, 1440, 0, 0, 0, {}, 0, 0, 0, 0);
    m_ruler->SyncMarkers();
    TwwTrackIcon *first = m_ruler->FirstLineMarker();
    dragMarker(m_ruler, first, 48);
    const ParaFormat format = m_edit->paraFormat();
    QCOMPARE(format.startIndent, 720);
    QCOMPARE(format.startIndent + format.offset, 1440);
    QVERIFY(m_edit->Modified());
}

// In window-width layout the right indent is measured from the editor's right edge,
// less its text inset and 4 pixels.
void TestRuler::rightMarkerWritesTheRightIndent()
{
    TwwTrackIcon *right = m_ruler->RightMarker();
    dragMarker(m_ruler, right, -96);
    QCOMPARE(right->Left(), 493);
    const int x = m_edit->width() + right->width() / 2 - m_edit->LeftTextInset() - 4 - 493;
    QCOMPARE(m_edit->paraFormat().rightIndent, x * 1440 / 96);
}

void TestRuler::markersFollowTheParagraphUnderTheCaret()
{
    m_edit->Lines()->SetText(QStringLiteral("plain\nindented"));
    m_edit->SetSelStart(7);
    m_edit->SetParagraphFormat(pmStartIndent | pmOffset | pmRightIndent, QString(), false, 360, 1440, 720, 0,
                               {}, 0, 0, 0, 0);
    m_ruler->SyncMarkers();
    QCOMPARE(m_ruler->FirstLineMarker()->Left(), 48 + 6 - 5);
    QCOMPARE(m_ruler->LeftMarker()->Left(), 24 + 48 + 6 - 5);
    QCOMPARE(m_ruler->RightMarker()->Left(), kRulerWidth - 96 - 11);

    m_edit->SetSelStart(0);
    m_ruler->SyncMarkers();
    QCOMPARE(m_ruler->FirstLineMarker()->Left(), 1);
    QCOMPARE(m_ruler->RightMarker()->Left(), kRulerWidth - 11);
}

void TestRuler::ticksMarkSubdivisionsWithALongerMiddleTick_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("shortTick");
    QTest::addColumn<int>("middleTick");
    // Centimetres: 37.84 pixels each, quarters at 9, 18 and 28 pixels from the zero at 6.
    QTest::newRow("centimetres") << int(muCentimeters) << 6 + 9 << 6 + 18;
    // Inches: eighths of 96 pixels, the middle one the half inch.
    QTest::newRow("inches") << int(muInches) << 6 + 12 << 6 + 48;
}

void TestRuler::ticksMarkSubdivisionsWithALongerMiddleTick()
{
    QFETCH(int, units);
    QFETCH(int, shortTick);
    QFETCH(int, middleTick);
    m_edit->SetMeasurementUnits(TwwMeasurementUnits(units));
    for (TwwTrackIcon *marker : {m_ruler->LeftMarker(), m_ruler->RightMarker(), m_ruler->FirstLineMarker()})
        marker->hide();
    const QImage image = m_ruler->grab().toImage();
    const int top = m_ruler->RulerTop();
    const int bottom = m_ruler->RulerBottom();
    QVERIFY(isDark(image, middleTick, top + 7));
    QVERIFY(isDark(image, middleTick, bottom - 5));
    QVERIFY(!isDark(image, shortTick, top + 7));
    QVERIFY(isDark(image, shortTick, top + 8));
    QVERIFY(isDark(image, shortTick, bottom - 7));
    QVERIFY(!isDark(image, shortTick, bottom - 5));
    QVERIFY(!isDark(image, shortTick + 2, top + 9));
}

QTEST_MAIN(TestRuler)
#include "tst_ruler.moc"
