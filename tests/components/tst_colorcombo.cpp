#include "components/RXCombos.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QTest>

namespace {

constexpr quint32 kRed = 0x0000FF;
constexpr quint32 kMaroon = 0x000080;
constexpr quint32 kWhite = 0xFFFFFF;

// A colour box in a window, counting its events.
struct Form {
    int changes = 0;
    int clicks = 0;
    QList<quint32> changedTo;
    QWidget window;
    TColorComboBox *box;

    Form()
    {
        window.resize(200, 60);
        box = new TColorComboBox(&window);
        box->setGeometry(10, 10, 120, 23);
        box->OnChange = [this](QObject *sender) {
            QCOMPARE(sender, box);
            ++changes;
            changedTo << box->ColorValue();
        };
        box->OnClick = [this](QObject *) { ++clicks; };
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        box->setFocus();
        return box->hasFocus();
    }

    void pickInList(int row)
    {
        box->showPopup();
        box->view()->setCurrentIndex(box->model()->index(row, 0));
        QTest::keyClick(box->view(), Qt::Key_Return);
    }
};

// Renders item `index` of the box through its list's delegate.
QImage renderItem(TColorComboBox &box, int index, QSize size, bool selected = false)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.initFrom(box.view());
    option.rect = QRect(QPoint(0, 0), size);
    option.state = QStyle::State_Enabled | (selected ? QStyle::State_Selected : QStyle::State_None);
    box.itemDelegate()->paint(&painter, option, box.model()->index(index, 0));
    return image;
}

bool columnHasColor(const QImage &image, int x, const QColor &color)
{
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixelColor(x, y) == color)
            return true;
    }
    return false;
}

}  // namespace

class TestColorCombo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void sixteenColoursInOrder();
    void firstShowRefillsAndFiresOnChangeOnce();
    void writingColorValue();
    void unknownColoursAreRefused();
    void colorNamesReplaceNames();
    void colorNamesChangeRecreatesAfterShowing();
    void itemHeightFollowsFont();
    void userPicksFireClickAndChange();
    void itemDrawingGeometry();
    void closedBoxShowsSelectedSwatch();
};

void TestColorCombo::sixteenColoursInOrder()
{
    const QList<QPair<quint32, QString>> expected = {
        {0x000000, "Black"}, {0x000080, "Maroon"}, {0x008000, "Green"}, {0x008080, "Olive"},
        {0x800000, "Navy"},  {0x800080, "Purple"}, {0x808000, "Teal"},  {0x808080, "Gray"},
        {0xC0C0C0, "Silver"}, {0x0000FF, "Red"},   {0x00FF00, "Lime"},  {0x00FFFF, "Yellow"},
        {0xFF0000, "Blue"},  {0xFF00FF, "Fuchsia"}, {0xFFFF00, "Aqua"}, {0xFFFFFF, "White"},
    };
    TColorComboBox box;
    QCOMPARE(box.count(), 16);
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(box.itemText(i), expected.at(i).second);
        QCOMPARE(box.itemColor(i), expected.at(i).first);
        QCOMPARE(TColorComboBox::basicColor(i), expected.at(i).first);
    }
    QCOMPARE(TColorComboBox::toQColor(kRed), QColor(255, 0, 0));
    QCOMPARE(TColorComboBox::toQColor(0x804020), QColor(0x20, 0x40, 0x80));
    QCOMPARE(box.ColorValue(), 0u);
    QVERIFY(box.DisplayNames());
    QVERIFY(box.ColorNames().isEmpty());
    QVERIFY(!box.isEditable());
    QCOMPARE(box.currentIndex(), 0);  // black, ready before the first showing
}

void TestColorCombo::firstShowRefillsAndFiresOnChangeOnce()
{
    Form f;
    QCOMPARE(f.changes, 0);
    QVERIFY(f.show());
    QCOMPARE(f.changes, 1);
    QCOMPARE(f.changedTo, QList<quint32>{0});
    QCOMPARE(f.box->currentText(), QString("Black"));
    QCOMPARE(f.clicks, 0);
    f.window.hide();
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QCOMPARE(f.changes, 1);  // showing again creates nothing
}

void TestColorCombo::writingColorValue()
{
    Form f;
    QVERIFY(f.show());
    f.changes = 0;
    f.box->setColorValue(kRed);
    QCOMPARE(f.box->ColorValue(), kRed);
    QCOMPARE(f.box->currentText(), QString("Red"));
    QCOMPARE(f.changes, 1);
    f.box->setColorValue(kRed);
    QCOMPARE(f.changes, 1);
    f.box->setColorValue(kWhite);
    QCOMPARE(f.box->currentIndex(), 15);
    QCOMPARE(f.changes, 2);
    QCOMPARE(f.clicks, 0);

    // Before the first showing the value is taken too, and shown on creation.
    Form g;
    g.box->setColorValue(kMaroon);
    QCOMPARE(g.changes, 1);
    QVERIFY(g.show());
    QCOMPARE(g.changedTo, QList<quint32>({kMaroon, kMaroon}));
    QCOMPARE(g.box->currentText(), QString("Maroon"));
}

void TestColorCombo::unknownColoursAreRefused()
{
    Form f;
    QVERIFY(f.show());
    f.box->setColorValue(kRed);
    f.changes = 0;
    for (quint32 value : {0x80000008u, 0xFF000008u, 0x123456u, 0x01000000u}) {
        f.box->setColorValue(value);
        QCOMPARE(f.box->ColorValue(), kRed);
        QCOMPARE(f.box->currentText(), QString("Red"));
    }
    QCOMPARE(f.changes, 0);
}

void TestColorCombo::colorNamesReplaceNames()
{
    Form f;
    f.box->setColorNames({"Ink", ""});
    QCOMPARE(f.box->itemText(0), QString("Ink"));
    QCOMPARE(f.box->itemText(1), QString("Maroon"));
    QCOMPARE(f.box->itemText(2), QString("Green"));
    QCOMPARE(f.changes, 0);  // no window yet

    QStringList twenty;
    for (int i = 0; i < 20; ++i)
        twenty << QString("Colour %1").arg(i);
    f.box->setColorNames(twenty);
    QCOMPARE(f.box->count(), 16);
    QCOMPARE(f.box->itemText(15), QString("Colour 15"));
    QCOMPARE(f.box->itemColor(15), kWhite);
    QCOMPARE(f.box->ColorNames().size(), 20);
}

void TestColorCombo::colorNamesChangeRecreatesAfterShowing()
{
    Form f;
    QVERIFY(f.show());
    f.box->setColorValue(kRed);
    f.changes = 0;
    f.changedTo.clear();
    QStringList names(16);
    names[9] = "Scarlet";
    f.box->setColorNames(names);
    QCOMPARE(f.changes, 1);  // refilled and re-selected
    QCOMPARE(f.changedTo, QList<quint32>{kRed});
    QCOMPARE(f.box->currentText(), QString("Scarlet"));
    QCOMPARE(f.box->itemText(0), QString("Black"));
    f.box->setColorNames(names);  // the same names: nothing
    QCOMPARE(f.changes, 1);

    f.box->setDisplayNames(false);
    QVERIFY(!f.box->DisplayNames());
    QCOMPARE(f.changes, 1);  // only a repaint
}

void TestColorCombo::itemHeightFollowsFont()
{
    Form f;
    // A font whose character cell is 13 pixels high gives 14-pixel items.
    QFont thirteen = f.box->font();
    for (int px = 6; px < 30; ++px) {
        thirteen.setPixelSize(px);
        if (QFontMetrics(thirteen).height() == 13)
            break;
    }
    if (QFontMetrics(thirteen).height() == 13) {
        f.box->setFont(thirteen);
        QCOMPARE(f.box->ItemHeight(), 14);
    }
    QFont tiny = f.box->font();
    tiny.setPixelSize(2);
    f.box->setFont(tiny);
    QCOMPARE(f.box->ItemHeight(), 9);
    QCOMPARE(f.changes, 0);  // no window yet

    QFont large = f.box->font();
    large.setPixelSize(20);
    f.box->setFont(large);
    QCOMPARE(f.box->ItemHeight(), qMax(9, QFontMetrics(large).height() + 1));
    QCOMPARE(f.box->view()->sizeHintForRow(0), f.box->ItemHeight());

    QVERIFY(f.show());
    f.box->setColorValue(kMaroon);
    f.changes = 0;
    f.changedTo.clear();
    large.setPixelSize(16);
    f.box->setFont(large);  // re-creates: refill, re-select, OnChange
    QCOMPARE(f.changedTo, QList<quint32>{kMaroon});
    QCOMPARE(f.box->currentText(), QString("Maroon"));
}

void TestColorCombo::userPicksFireClickAndChange()
{
    Form f;
    QVERIFY(f.show());
    f.changes = 0;
    QTest::keyClick(f.box, Qt::Key_Down);  // closed box: one step
    QCOMPARE(f.box->ColorValue(), kMaroon);
    QCOMPARE(f.clicks, 1);
    QCOMPARE(f.changes, 1);
    QTest::keyClick(f.box, Qt::Key_Down);
    QCOMPARE(f.box->ColorValue(), 0x008000u);
    QCOMPARE(f.clicks, 2);
    QCOMPARE(f.changes, 2);

    f.pickInList(9);
    QCOMPARE(f.box->ColorValue(), kRed);
    QCOMPARE(f.clicks, 3);
    QCOMPARE(f.changes, 3);
    f.pickInList(9);  // the entry already chosen: a click, no change
    QCOMPARE(f.clicks, 4);
    QCOMPARE(f.changes, 3);
    QCOMPARE(f.changedTo.last(), kRed);
}

void TestColorCombo::itemDrawingGeometry()
{
    TColorComboBox box;
    QPalette pal = box.palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::WindowText, QColor(1, 2, 3));
    pal.setColor(QPalette::Highlight, QColor(0, 0, 128));
    box.setPalette(pal);
    const QColor frame(1, 2, 3);
    const QColor red(255, 0, 0);
    const QSize size(100, 18);

    // With names: a 22-pixel swatch from 2 pixels in, the name from 28 pixels.
    QImage image = renderItem(box, 9, size);
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
    QCOMPARE(image.pixelColor(1, 5), QColor(Qt::white));
    QCOMPARE(image.pixelColor(2, 2), frame);
    QCOMPARE(image.pixelColor(23, 15), frame);   // last column and row of the frame
    QCOMPARE(image.pixelColor(24, 8), QColor(Qt::white));
    QCOMPARE(image.pixelColor(2, 16), QColor(Qt::white));
    QCOMPARE(image.pixelColor(3, 3), red);
    QCOMPARE(image.pixelColor(22, 14), red);
    bool textLeftOf28 = false;
    for (int x = 24; x < 28; ++x)
        textLeftOf28 |= columnHasColor(image, x, Qt::black);
    QVERIFY(!textLeftOf28);
    bool textDrawn = false;
    for (int x = 28; x < size.width(); ++x)
        textDrawn |= columnHasColor(image, x, Qt::black);
    QVERIFY(textDrawn);

    // Selected: the highlight behind, the swatch unchanged.
    image = renderItem(box, 9, size, true);
    QCOMPARE(image.pixelColor(1, 5), QColor(0, 0, 128));
    QCOMPARE(image.pixelColor(3, 3), red);

    // Without names: one swatch over the width, less 2 pixels left and 3 right.
    box.setDisplayNames(false);
    image = renderItem(box, 9, size);
    QCOMPARE(image.pixelColor(2, 2), frame);
    QCOMPARE(image.pixelColor(96, 15), frame);
    QCOMPARE(image.pixelColor(95, 8), red);
    QCOMPARE(image.pixelColor(97, 8), QColor(Qt::white));
    QVERIFY(!columnHasColor(image, 60, Qt::black));
}

void TestColorCombo::closedBoxShowsSelectedSwatch()
{
    Form f;
    QVERIFY(f.show());
    f.box->setColorValue(kRed);
    f.box->clearFocus();
    const QImage image = f.box->grab().toImage();
    bool redSeen = false;
    for (int x = 0; x < image.width() && !redSeen; ++x)
        redSeen = columnHasColor(image, x, QColor(255, 0, 0));
    QVERIFY(redSeen);
}

QTEST_MAIN(TestColorCombo)
#include "tst_colorcombo.moc"
