#include "tests/support/scripteddialogs.h"
#include "tests/support/testsupport.h"
#include "platform/pagesetupdialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPageSize>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

using namespace platform;
using testsupport::child;

namespace {

PageSetupRequest inchRequest()
{
    PageSetupRequest request;
    request.margins = QMargins(1000, 1000, 1000, 1000);
    request.paperCode = 1;
    request.printers = QStringList{QStringLiteral("Print to File (PDF)")};
    request.printer = request.printers.first();
    return request;
}

}  // namespace

class TestPageSetupDialog : public QObject {
    Q_OBJECT

private slots:
    void marginsShowInTheRequestsUnit_data();
    void marginsShowInTheRequestsUnit();
    void paperControlsFollowTheRequest();
    void okGivesTheChoices();
    void badMarginsAreRefusedAndTheDialogStays_data();
    void badMarginsAreRefusedAndTheDialogStays();
    void theCommonPaperCodesAreOffered();
    void centredAcrossAndAThirdDown_data();
    void centredAcrossAndAThirdDown();
    void opensCentredOnItsScreen();
};

void TestPageSetupDialog::marginsShowInTheRequestsUnit_data()
{
    QTest::addColumn<bool>("inInches");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("1000 thousandths are an inch") << true << 1000 << "1";
    QTest::newRow("one thousandth") << true << 1 << "0.001";
    QTest::newRow("1250 thousandths") << true << 1250 << "1.25";
    QTest::newRow("2540 hundredths are 25.4 mm") << false << 2540 << "25.4";
    QTest::newRow("zero") << false << 0 << "0";
}

void TestPageSetupDialog::marginsShowInTheRequestsUnit()
{
    QFETCH(bool, inInches);
    QFETCH(int, value);
    QFETCH(QString, shown);
    PageSetupRequest request = inchRequest();
    request.inInches = inInches;
    request.margins = QMargins(value, value, value, value);
    PageSetupDialog dialog(nullptr, request);
    for (const char *name : {"leftMargin", "topMargin", "rightMargin", "bottomMargin"})
        QCOMPARE(child<QLineEdit>(&dialog, name)->text(), shown);
    QCOMPARE(dialog.choice().margins, request.margins);
}

void TestPageSetupDialog::paperControlsFollowTheRequest()
{
    PageSetupRequest request = inchRequest();
    request.paperEnabled = false;
    request.paperCode = 9;
    PageSetupDialog fixed(nullptr, request);
    QVERIFY(!child<QComboBox>(&fixed, "paperSize")->isEnabled());
    QVERIFY(!child<QComboBox>(&fixed, "paperSource")->isEnabled());
    QVERIFY(child<QRadioButton>(&fixed, "landscape")->isEnabled());
    QVERIFY(child<QComboBox>(&fixed, "printer")->isEnabled());
    QCOMPARE(child<QComboBox>(&fixed, "paperSize")->currentText(), QPageSize::name(QPageSize::A4));

    request.paperEnabled = true;
    PageSetupDialog free(nullptr, request);
    QVERIFY(child<QComboBox>(&free, "paperSize")->isEnabled());
    QVERIFY(child<QComboBox>(&free, "paperSource")->isEnabled());
}

void TestPageSetupDialog::okGivesTheChoices()
{
    ScriptedDialogs dialogs;
    PageSetupRequest request = inchRequest();
    request.printers << QStringLiteral("Office");
    PageSetupDialog dialog(nullptr, request);
    child<QLineEdit>(&dialog, "leftMargin")->setText(QStringLiteral("1.5"));
    child<QLineEdit>(&dialog, "bottomMargin")->setText(QStringLiteral(" 0.0015 "));
    child<QRadioButton>(&dialog, "landscape")->setChecked(true);
    auto *paper = child<QComboBox>(&dialog, "paperSize");
    paper->setCurrentIndex(paper->findData(5));
    child<QComboBox>(&dialog, "printer")->setCurrentText(QStringLiteral("Office"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const PageSetupChoice choice = dialog.choice();
    QCOMPARE(choice.margins, QMargins(1500, 1000, 1000, 2));
    QVERIFY(choice.landscape);
    QCOMPARE(choice.paperCode, 5);
    QCOMPARE(choice.printer, QStringLiteral("Office"));
    QVERIFY(dialogs.problems().isEmpty());
}

void TestPageSetupDialog::badMarginsAreRefusedAndTheDialogStays_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("landscape");
    QTest::newRow("not a number") << "topMargin" << "one" << false;
    QTest::newRow("negative") << "rightMargin" << "-1" << false;
    QTest::newRow("sides fill the width") << "leftMargin" << "7.5" << false;
    QTest::newRow("top and bottom fill the height") << "topMargin" << "10" << false;
    QTest::newRow("fits portrait, not landscape") << "topMargin" << "7.5" << true;
}

void TestPageSetupDialog::badMarginsAreRefusedAndTheDialogStays()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, landscape);
    ScriptedDialogs dialogs;
    dialogs.queueMessage(MessageResult::OK);
    PageSetupDialog dialog(nullptr, inchRequest());  // Letter, 8.5 x 11 inches, 1-inch margins
    dialog.show();
    child<QRadioButton>(&dialog, "landscape")->setChecked(landscape);
    child<QLineEdit>(&dialog, field.toLatin1().constData())->setText(text);
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialogs.count(ScriptedDialogs::Kind::Message), 1);
    QCOMPARE(dialogs.lastRequest().caption, QStringLiteral("Page Setup"));
    QVERIFY(dialogs.problems().isEmpty());
}

void TestPageSetupDialog::theCommonPaperCodesAreOffered()
{
    const QList<QPair<int, QString>> sizes = PageSetupDialog::paperSizes();
    const QList<QPair<int, QPageSize::PageSizeId>> expected{{1, QPageSize::Letter}, {5, QPageSize::Legal},
                                                            {8, QPageSize::A3},     {9, QPageSize::A4},
                                                            {11, QPageSize::A5},    {13, QPageSize::JisB5}};  // code 13 is the JIS size
    for (const auto &[code, id] : expected) {
        const auto found = std::find_if(sizes.begin(), sizes.end(), [code](const auto &s) { return s.first == code; });
        QVERIFY2(found != sizes.end(), qPrintable(QString::number(code)));
        QCOMPARE(found->second, QPageSize::name(id));
        QCOMPARE(QPageSize::id(code), id);
    }
    QVERIFY(sizes.size() > 20);
}

void TestPageSetupDialog::centredAcrossAndAThirdDown_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("fits") << QRect(0, 0, 1024, 768) << QSize(400, 300) << QPoint(312, 156);
    QTest::newRow("odd sizes truncate") << QRect(0, 0, 1001, 700) << QSize(400, 301) << QPoint(300, 133);
    QTest::newRow("second screen") << QRect(1024, 0, 800, 600) << QSize(400, 300) << QPoint(1224, 100);
    QTest::newRow("larger than the screen") << QRect(0, 0, 640, 480) << QSize(800, 600) << QPoint(-80, -40);
}

void TestPageSetupDialog::centredAcrossAndAThirdDown()
{
    QFETCH(QRect, screen);
    QFETCH(QSize, size);
    QFETCH(QPoint, expected);
    QCOMPARE(centredDialogPosition(screen, size), expected);
}

void TestPageSetupDialog::opensCentredOnItsScreen()
{
    PageSetupDialog dialog(nullptr, inchRequest());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QRect screen = dialog.screen()->geometry();
    QCOMPARE(dialog.frameGeometry().topLeft(), centredDialogPosition(screen, dialog.frameGeometry().size()));
}

QTEST_MAIN(TestPageSetupDialog)
#include "tst_pagesetupdialog.moc"
