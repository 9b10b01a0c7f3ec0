#include "tests/support/testsupport.h"
#include "app/WPAbout.h"
#include "components/RXCtrls.h"
#include "platform/memorystatus.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <cmath>

using testsupport::child;

namespace {

int scaled(const QWidget &on, int designPixels)
{
    return int(std::lround(designPixels * double(on.logicalDpiY()) / 120.0));
}

}  // namespace

class TestAboutBox : public QObject {
    Q_OBJECT
private slots:
    void layoutAt120DpiScaled();
    void bannerIsBlueBoldWithAYellowShadow();
    void memoryTotalText_data();
    void memoryTotalText();
    void memoryFiguresOfThisMachine();
    void escAndEnterCloseTheBox_data();
    void escAndEnterCloseTheBox();
};

void TestAboutBox::layoutAt120DpiScaled()
{
    TAboutBox box;
    QCOMPARE(box.windowTitle(), QStringLiteral("About Wordprocessor"));
    QCOMPARE(box.size(), QSize(scaled(box, 439), scaled(box, 299)));
    QCOMPARE(box.minimumSize(), box.maximumSize());  // not resizable
    QCOMPARE(box.font().family(), QStringLiteral("Arial"));
    QCOMPARE(box.font().pixelSize(), scaled(box, 13));

    const QList<std::tuple<const char *, int, int, QString>> labels = {
        {"Label1", 100, 143, "Penhaven Wordprocessor"},
        {"Label3", 100, 206, "Physical Memory Available to Windows:"},
        {"PhysMem", 338, 206, QString()},
        {"Label4", 100, 234, "Memory in Use:"},
        {"FreeRes", 340, 234, QString()},
        {"Label2", 100, 167, QString()},
    };
    for (const auto &[name, left, top, text] : labels) {
        const QLabel *label = child<QLabel>(&box, name);
        QCOMPARE(label->pos(), QPoint(scaled(box, left), scaled(box, top)));
        if (!text.isEmpty())
            QCOMPARE(label->text(), text);
    }
    const QString copyright = child<QLabel>(&box, "Label2")->text();
    QVERIFY(copyright.startsWith(QStringLiteral("Copyright")));
    QVERIFY(!copyright.contains(QLatin1Char('\n')));

    const QFrame *bevel = child<QFrame>(&box, "Bevel1");
    QCOMPARE(bevel->geometry(), QRect(scaled(box, 100), scaled(box, 193), scaled(box, 320), 2));
    QCOMPARE(bevel->frameShape(), QFrame::HLine);

    const QPushButton *ok = child<QPushButton>(&box, "OKButton");
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(ok->geometry(), QRect(scaled(box, 331), scaled(box, 256), scaled(box, 92), scaled(box, 31)));
    QVERIFY(ok->isDefault());

    const QLabel *picture = child<QLabel>(&box, "ProgramIcon");
    QCOMPARE(picture->pos(), QPoint(scaled(box, 10), scaled(box, 15)));
    QCOMPARE(picture->pixmap().size(), QSize(scaled(box, 60), scaled(box, 60)));
}

void TestAboutBox::bannerIsBlueBoldWithAYellowShadow()
{
    TAboutBox box;
    const TRxLabel *first = child<TRxLabel>(&box, "RxLabel1");
    const TRxLabel *second = child<TRxLabel>(&box, "RxLabel2");
    QCOMPARE(first->Caption(), QStringLiteral("Vantor"));
    QCOMPARE(second->Caption(), QStringLiteral("Crestel"));
    for (const TRxLabel *label : {first, second}) {
        QCOMPARE(label->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(label->font().pixelSize(), scaled(box, 47));
        QVERIFY(label->font().bold());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(label->ShadowColor(), QColor(Qt::yellow));
        QCOMPARE(label->ShadowSize(), quint8(2));
        QCOMPARE(label->ShadowPos(), spRightBottom);
        QVERIFY(label->Transparent());
    }
    QCOMPARE(first->pos(), QPoint(scaled(box, 88), scaled(box, 8)));
    QCOMPARE(second->pos(), QPoint(scaled(box, 176), scaled(box, 64)));
    // The second word stands lower and further right.
    QVERIFY(second->x() > first->x() && second->y() > first->y());

    const QImage image = box.grab().toImage();
    bool blue = false;
    bool yellow = false;
    for (int y = first->y(); y < first->geometry().bottom(); ++y) {
        for (int x = first->x(); x < first->geometry().right(); ++x) {
            blue = blue || image.pixelColor(x, y) == QColor(Qt::blue);
            yellow = yellow || image.pixelColor(x, y) == QColor(Qt::yellow);
        }
    }
    QVERIFY(blue && yellow);
}

void TestAboutBox::memoryTotalText_data()
{
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("one gibibyte") << (quint64(1) << 30) << english << "1,048,576 KB";
    QTest::newRow("64 MiB") << (quint64(64) << 20) << english << "65,536 KB";
    QTest::newRow("the C locale groups too") << (quint64(1) << 30) << QLocale::c() << "1,048,576 KB";
    QTest::newRow("German separator") << (quint64(1) << 30) << QLocale(QLocale::German) << "1.048.576 KB";
    QTest::newRow("rounded half up") << quint64(1536) << english << "2 KB";
    QTest::newRow("rounded down") << quint64(1535) << english << "1 KB";
    QTest::newRow("nothing") << quint64(0) << english << "0 KB";
}

void TestAboutBox::memoryTotalText()
{
    QFETCH(quint64, bytes);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(TAboutBox::PhysMemText(bytes, locale), text);
    QCOMPARE(TAboutBox::MemoryLoadText(37), QStringLiteral("37 %"));
}

void TestAboutBox::memoryFiguresOfThisMachine()
{
    TAboutBox box;
    QCOMPARE(child<QLabel>(&box, "PhysMem")->text(), TAboutBox::PhysMemText(platform::memoryStatus().totalPhys));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{1,3} %$")).match(child<QLabel>(&box, "FreeRes")->text()).hasMatch());
}

void TestAboutBox::escAndEnterCloseTheBox_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Esc") << int(Qt::Key_Escape);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
}

void TestAboutBox::escAndEnterCloseTheBox()
{
    QFETCH(int, key);
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QVERIFY(child<QPushButton>(&box, "OKButton")->hasFocus());
    box.setResult(-1);
    QTest::keyClick(&box, Qt::Key(key));
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
