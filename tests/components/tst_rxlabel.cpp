#include "components/RXCtrls.h"
#include "platform/drawtext.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

using namespace platform;

namespace {

const QColor kInk(0, 0, 255);
const QColor kShadow(255, 255, 0);
const QColor kBackground(255, 0, 0);

QFont plainFont(int pixels = 15)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// A window painted in kBackground holding one label with blue text and a yellow shadow.
struct Form {
    QWidget window;
    TRxLabel *label;
    int enters = 0;
    int leaves = 0;

    Form()
    {
        window.resize(300, 200);
        QPalette background = window.palette();
        background.setColor(QPalette::Window, kBackground);
        window.setPalette(background);
        window.setAutoFillBackground(true);
        label = new TRxLabel(&window);
        label->move(20, 20);
        label->setFont(plainFont());
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, kInk);
        colours.setColor(QPalette::Window, Qt::white);
        label->setPalette(colours);
        label->SetShadowColor(kShadow);
        label->OnMouseEnter = [this](QObject *sender) {
            QCOMPARE(sender, label);
            ++enters;
        };
        label->OnMouseLeave = [this](QObject *) { ++leaves; };
    }

    QImage rendered() const { return label->grab().toImage(); }
};

int firstRowWith(const QImage &image, const QColor &colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                return y;
        }
    }
    return -1;
}

bool contains(const QImage &image, const QColor &colour)
{
    return firstRowWith(image, colour) >= 0;
}

QSize fittedSize(const QString &caption, int shadowSize, TShadowPosition position)
{
    Form f;
    f.label->SetShadowSize(quint8(shadowSize));
    f.label->SetShadowPos(position);
    f.label->SetCaption(caption);
    return f.label->size();
}

}  // namespace

class TestRxLabel : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void shadowTextMeasuresTextAndShadow_data();
    void shadowTextMeasuresTextAndShadow();
    void shadowBelowAndRightEnlargesTheLabel();
    void emptyCaptionKeepsOneLineHeight();
    void rightJustifiedLabelKeepsItsRightEdge();
    void layoutPlacesTheTextBlock_data();
    void layoutPlacesTheTextBlock();
    void shadowIsDrawnOffsetBehindTheText();
    void transparentLabelPaintsNoBackground();
    void disabledLabelIsGreyAndEtched();
    void ampersandIsShownOnlyWithoutAccelerators();
    void acceleratorFocusesTheFocusControl();
    void focusControlThatIsDestroyedIsForgotten();
    void focusRectangleFollowsTheFocusControl();
    void leavingWithTheButtonHeldWaitsForTheRelease();
};

void TestRxLabel::defaults()
{
    TRxLabel label;
    QCOMPARE(label.size(), QSize(65, 17));
    QVERIFY(label.Caption().isEmpty());
    QCOMPARE(label.Alignment(), taLeftJustify);
    QVERIFY(label.AutoSize());
    QCOMPARE(label.Layout(), tlTop);
    QVERIFY(!label.WordWrap());
    QCOMPARE(label.ShadowColor(), label.palette().color(QPalette::Light));
    QCOMPARE(label.ShadowSize(), quint8(1));
    QCOMPARE(label.ShadowPos(), spLeftTop);
    QVERIFY(!label.Transparent());
    QVERIFY(label.ShowAccelChar());
    QVERIFY(!label.FocusControl());
    QVERIFY(!label.ShowFocus());
}

void TestRxLabel::shadowTextMeasuresTextAndShadow_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QRect>("expected");  // for a text of 40 by 20 pixels at (10, 10), shadow 3
    QTest::newRow("left top") << int(spLeftTop) << QRect(7, 7, 43, 23);
    QTest::newRow("left bottom") << int(spLeftBottom) << QRect(7, 10, 43, 23);
    QTest::newRow("right bottom") << int(spRightBottom) << QRect(10, 10, 43, 23);
    QTest::newRow("right top") << int(spRightTop) << QRect(10, 7, 43, 23);
}

void TestRxLabel::shadowTextMeasuresTextAndShadow()
{
    QFETCH(int, position);
    QFETCH(QRect, expected);
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(plainFont());
    QRect text(10, 10, 500, 500);
    const int height = drawText(painter, QStringLiteral("Wg"), text, DT_CALCRECT);
    // Scale the expectation to the measured text.
    expected.setWidth(expected.width() - 40 + text.width());
    expected.setHeight(expected.height() - 20 + text.height());
    QRect both(10, 10, 500, 500);
    QCOMPARE(DrawShadowText(painter, QStringLiteral("Wg"), TShadowPosition(position), kShadow, 3, DT_CALCRECT, both),
             height + 3);
    QCOMPARE(both, expected);

    QRect nothing(10, 10, 0, 0);
    QCOMPARE(DrawShadowText(painter, QString(), TShadowPosition(position), kShadow, 3, DT_CALCRECT, nothing), 0);
}

void TestRxLabel::shadowBelowAndRightEnlargesTheLabel()
{
    const QSize flat = fittedSize(QStringLiteral("Vantor"), 0, spLeftTop);
    QCOMPARE(fittedSize(QStringLiteral("Vantor"), 2, spRightBottom), flat + QSize(2, 2));
    QCOMPARE(fittedSize(QStringLiteral("Vantor"), 2, spLeftTop), flat);  // clipped, not fitted
    QCOMPARE(fittedSize(QStringLiteral("Vantor"), 2, spRightTop), flat + QSize(2, 0));

    // The text plus a one-pixel margin on each side.
    QImage image(1, 1, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(plainFont());
    QRect text(0, 0, 1000, 1000);
    drawText(painter, QStringLiteral("Vantor"), text, DT_CALCRECT);
    QCOMPARE(flat, text.size() + QSize(2, 0));
}

void TestRxLabel::emptyCaptionKeepsOneLineHeight()
{
    Form f;
    f.label->SetCaption(QStringLiteral("Line"));
    const int lineHeight = f.label->height();
    f.label->SetCaption(QString());
    QCOMPARE(f.label->height(), lineHeight);
    QVERIFY(f.label->width() > 2);  // one blank and the margins
    f.label->SetCaption(QStringLiteral("&"));
    QCOMPARE(f.label->height(), lineHeight);
}

void TestRxLabel::rightJustifiedLabelKeepsItsRightEdge()
{
    Form f;
    f.label->SetAlignment(taRightJustify);
    f.label->SetCaption(QStringLiteral("Short"));
    const int right = f.label->geometry().right();
    f.label->SetCaption(QStringLiteral("A much longer caption"));
    QCOMPARE(f.label->geometry().right(), right);
    f.label->SetAlignment(taLeftJustify);
    const int left = f.label->x();
    f.label->SetCaption(QStringLiteral("Short"));
    QCOMPARE(f.label->x(), left);
}

void TestRxLabel::layoutPlacesTheTextBlock_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("drop");
    QTest::newRow("top") << int(tlTop) << 0;
    QTest::newRow("center: half of 25, truncated") << int(tlCenter) << 12;
    QTest::newRow("bottom") << int(tlBottom) << 25;
}

void TestRxLabel::layoutPlacesTheTextBlock()
{
    QFETCH(int, layout);
    QFETCH(int, drop);
    Form f;
    f.label->SetShadowSize(0);
    f.label->SetCaption(QStringLiteral("Text"));
    const int textHeight = f.label->height();
    const int topInk = firstRowWith(f.rendered(), kInk);
    f.label->SetAutoSize(false);
    f.label->resize(100, textHeight + 25);
    f.label->SetLayout(TTextLayout(layout));
    QCOMPARE(firstRowWith(f.rendered(), kInk), topInk + drop);
}

void TestRxLabel::shadowIsDrawnOffsetBehindTheText()
{
    Form f;
    f.label->SetShadowSize(2);
    f.label->SetShadowPos(spRightBottom);
    f.label->SetCaption(QStringLiteral("I"));
    const QImage image = f.rendered();
    QCOMPARE(firstRowWith(image, kShadow), firstRowWith(image, kInk) + 2);
    // Where the shadow is covered by the text, the text wins.
    bool shadowBesideInk = false;
    for (int y = 0; y + 2 < image.height(); ++y) {
        for (int x = 0; x + 2 < image.width(); ++x) {
            if (image.pixelColor(x, y) == kInk && image.pixelColor(x + 2, y + 2) == kShadow)
                shadowBesideInk = true;
        }
    }
    QVERIFY(shadowBesideInk);
}

void TestRxLabel::transparentLabelPaintsNoBackground()
{
    Form f;
    f.label->SetCaption(QStringLiteral("Text"));
    const QPoint corner = f.label->geometry().bottomRight();
    QImage image = f.window.grab().toImage();
    QCOMPARE(image.pixelColor(corner), QColor(Qt::white));
    f.label->SetTransparent(true);
    image = f.window.grab().toImage();
    QCOMPARE(image.pixelColor(corner), kBackground);
    f.label->SetColor(Qt::green);
    f.label->SetTransparent(false);
    QCOMPARE(f.window.grab().toImage().pixelColor(corner), QColor(Qt::green));
}

void TestRxLabel::disabledLabelIsGreyAndEtched()
{
    Form f;
    f.label->SetShadowSize(0);
    f.label->SetCaption(QStringLiteral("I"));
    QVERIFY(!contains(f.rendered(), kShadow));  // the shadow lies under the text
    QPalette colours = f.label->palette();
    const QColor grey(128, 128, 128);
    const QColor highlight(250, 250, 250);
    colours.setColor(QPalette::Disabled, QPalette::WindowText, grey);
    colours.setColor(QPalette::Light, highlight);
    f.label->setPalette(colours);
    f.label->setEnabled(false);
    const QImage image = f.rendered();
    QVERIFY(!contains(image, kInk));
    QVERIFY(!contains(image, kShadow));
    QCOMPARE(firstRowWith(image, highlight), firstRowWith(image, grey) + 1);
}

void TestRxLabel::ampersandIsShownOnlyWithoutAccelerators()
{
    Form f;
    f.label->SetCaption(QStringLiteral("A&B"));
    const int withAccelerator = f.label->width();
    f.label->SetShowAccelChar(false);
    QVERIFY(f.label->width() == withAccelerator);  // the setter repaints, the caption re-fits later
    f.label->FitToCaption();
    QVERIFY(f.label->width() > withAccelerator);
}

void TestRxLabel::acceleratorFocusesTheFocusControl()
{
    Form f;
    auto *edit = new QLineEdit(&f.window);
    auto *other = new QLineEdit(&f.window);
    edit->move(20, 80);
    other->move(20, 120);
    f.label->SetCaption(QStringLiteral("&Name"));
    f.label->SetFocusControl(edit);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    other->setFocus();

    QTest::keyClick(&f.window, Qt::Key_N, Qt::AltModifier);
    QVERIFY(edit->hasFocus());

    other->setFocus();
    f.label->setEnabled(false);
    QTest::keyClick(&f.window, Qt::Key_N, Qt::AltModifier);
    QVERIFY(other->hasFocus());
    f.label->setEnabled(true);
    f.label->SetShowAccelChar(false);
    QTest::keyClick(&f.window, Qt::Key_N, Qt::AltModifier);
    QVERIFY(other->hasFocus());
}

void TestRxLabel::focusControlThatIsDestroyedIsForgotten()
{
    Form f;
    auto *edit = new QLineEdit(&f.window);
    f.label->SetFocusControl(edit);
    QCOMPARE(f.label->FocusControl(), edit);
    delete edit;
    QVERIFY(!f.label->FocusControl());
}

void TestRxLabel::focusRectangleFollowsTheFocusControl()
{
    Form f;
    auto *edit = new QLineEdit(&f.window);
    auto *other = new QLineEdit(&f.window);
    edit->move(20, 80);
    other->move(20, 120);
    f.label->SetCaption(QStringLiteral("&Name"));
    f.label->SetShadowSize(0);
    f.label->SetFocusControl(edit);
    f.label->SetShowFocus(true);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    other->setFocus();
    const QImage unfocused = f.rendered();
    edit->setFocus();
    const QImage focused = f.rendered();
    QVERIFY(focused != unfocused);
    // The rectangle is drawn outside the text, in the label's one-pixel margin.
    bool edgeChanged = false;
    for (int y = 0; y < focused.height(); ++y)
        edgeChanged = edgeChanged || focused.pixelColor(0, y) != unfocused.pixelColor(0, y);
    QVERIFY(edgeChanged);
    f.label->SetShowFocus(false);
    QCOMPARE(f.rendered(), unfocused);
}

void TestRxLabel::leavingWithTheButtonHeldWaitsForTheRelease()
{
    Form f;
    f.label->SetCaption(QStringLiteral("Hover here"));
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    const QPoint inside = f.label->mapToGlobal(QPoint(3, 3));
    const QPoint outside = f.window.mapToGlobal(QPoint(250, 180));

    QCursor::setPos(inside);
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), inside);
    QApplication::sendEvent(f.label, &enter);
    QCOMPARE(f.enters, 1);
    QVERIFY(f.label->MouseInside());

    QTest::mousePress(f.label, Qt::LeftButton, {}, QPoint(3, 3));
    QCursor::setPos(outside);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(f.label, &leave);
    QCOMPARE(f.leaves, 0);
    QTest::mouseRelease(f.label, Qt::LeftButton, {}, f.label->mapFromGlobal(outside));
    QCOMPARE(f.leaves, 1);
    QVERIFY(!f.label->MouseInside());

    // Without a held button the leave is reported at once.
    QCursor::setPos(inside);
    QApplication::sendEvent(f.label, &enter);
    QApplication::sendEvent(f.label, &leave);
    QCOMPARE(f.enters, 2);
    QCOMPARE(f.leaves, 2);

    // A disabled label announces nothing.
    f.label->setEnabled(false);
    QApplication::sendEvent(f.label, &enter);
    QCOMPARE(f.enters, 2);
}

QTEST_MAIN(TestRxLabel)
#include "tst_rxlabel.moc"
