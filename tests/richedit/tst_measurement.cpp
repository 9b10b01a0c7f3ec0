#include "platform/exceptions.h"
#include "richedit/wwmeasurement.h"
#include "richedit/wwriched.h"

#include <QtTest>

using namespace wwmeasure;

Q_DECLARE_METATYPE(TwwMeasurementUnits)

class TestMeasurement : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void stripsUnitSuffix_data();
    void stripsUnitSuffix();
    void unitsToTwips_data();
    void unitsToTwips();
    void unitsToTwipsRejectsNonNumbers_data();
    void unitsToTwipsRejectsNonNumbers();
    void twipsToUnits_data();
    void twipsToUnits();
    void unitsToText_data();
    void unitsToText();
    void unitsToGridText_data();
    void unitsToGridText();
    void textRoundTripsThroughTwips();
    void controlConvertsInItsOwnUnit();
    void validLengthTexts_data();
    void validLengthTexts();
};

void TestMeasurement::stripsUnitSuffix_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("inches") << "2''" << "2";
    QTest::newRow("centimetres") << "1.5 cm" << "1.5";
    QTest::newRow("upper case") << "3 CM" << "3";
    QTest::newRow("mixed trailing run") << "4 'cMm ' " << "4";
    QTest::newRow("inner letters stay") << "1c2" << "1c2";
    QTest::newRow("only suffix") << " cm''" << "";
    QTest::newRow("other letters stop it") << "5 in" << "5 in";
    QTest::newRow("empty") << "" << "";
}

void TestMeasurement::stripsUnitSuffix()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(stripUnitSuffix(text), expected);
}

void TestMeasurement::unitsToTwips_data()
{
    QTest::addColumn<TwwMeasurementUnits>("units");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("twips");
    QTest::newRow("1 cm truncates 567.6") << muCentimeters << "1 cm" << 567;
    QTest::newRow("2 inches") << muInches << "2''" << 2880;
    QTest::newRow("fraction of an inch") << muInches << "0.5" << 720;
    QTest::newRow("truncated not rounded") << muInches << "0.0009" << 1;
    QTest::newRow("negative truncates toward zero") << muCentimeters << "-1 cm" << -567;
    QTest::newRow("2.537 cm is one inch") << muCentimeters << "2.537" << 1440;
    QTest::newRow("leading blanks") << muInches << "  1" << 1440;
    QTest::newRow("exponent") << muInches << "1e1" << 14400;
    QTest::newRow("zero") << muCentimeters << "0 cm" << 0;
}

void TestMeasurement::unitsToTwips()
{
    QFETCH(TwwMeasurementUnits, units);
    QFETCH(QString, text);
    QFETCH(int, twips);
    QCOMPARE(wwmeasure::unitsToTwips(units, text), twips);
}

void TestMeasurement::unitsToTwipsRejectsNonNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("word") << "xyz" << "'xyz' is not a valid floating point value";
    QTest::newRow("unit letters go first") << "abc" << "'ab' is not a valid floating point value";
    QTest::newRow("suffix stripped from the message") << "x cm" << "'x' is not a valid floating point value";
    QTest::newRow("empty") << "" << "'' is not a valid floating point value";
    QTest::newRow("comma decimal") << "1,5" << "'1,5' is not a valid floating point value";
    QTest::newRow("not a number") << "nan" << "'nan' is not a valid floating point value";
    QTest::newRow("infinite") << "inf" << "'inf' is not a valid floating point value";
}

void TestMeasurement::unitsToTwipsRejectsNonNumbers()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        wwmeasure::unitsToTwips(muInches, text);
        QFAIL("no error raised");
    } catch (const EConvertError &error) {
        QCOMPARE(error.message(), message);
    }
}

void TestMeasurement::twipsToUnits_data()
{
    QTest::addColumn<TwwMeasurementUnits>("units");
    QTest::addColumn<int>("twips");
    QTest::addColumn<double>("value");
    QTest::newRow("567 twips is 1.0 cm") << muCentimeters << 567 << 1.0;
    QTest::newRow("one inch") << muInches << 1440 << 1.0;
    QTest::newRow("hundredths") << muInches << 1000 << 0.69;   // 0.6944
    QTest::newRow("half up to even") << muInches << 36 << 0.02;  // 0.025 -> 2.5 -> 2
    QTest::newRow("half to even upward") << muInches << 108 << 0.08;  // 7.5 -> 8
    QTest::newRow("negative") << muCentimeters << -567 << -1.0;
    QTest::newRow("zero") << muCentimeters << 0 << 0.0;
}

void TestMeasurement::twipsToUnits()
{
    QFETCH(TwwMeasurementUnits, units);
    QFETCH(int, twips);
    QFETCH(double, value);
    QCOMPARE(wwmeasure::twipsToUnits(units, twips), value);
}

void TestMeasurement::unitsToText_data()
{
    QTest::addColumn<TwwMeasurementUnits>("units");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole inches") << muInches << 1.0 << "1''";
    QTest::newRow("centimetres") << muCentimeters << 2.5 << "2.5 cm";
    QTest::newRow("no binary noise") << muInches << 35 * 0.01 << "0.35''";
    QTest::newRow("negative") << muInches << -0.25 << "-0.25''";
}

void TestMeasurement::unitsToText()
{
    QFETCH(TwwMeasurementUnits, units);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(wwmeasure::unitsToText(units, value), text);
}

void TestMeasurement::unitsToGridText_data()
{
    QTest::addColumn<TwwMeasurementUnits>("units");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.1 default eighths") << muInches << 1.1 << 0 << "1.125''";
    QTest::newRow("negative mirrors") << muInches << -1.1 << 0 << "-1.125''";
    QTest::newRow("just below a step snaps up") << muInches << 0.2 << 0 << "0.25''";
    QTest::newRow("exact step stays") << muInches << 0.5 << 8 << "0.5''";
    QTest::newRow("centimetres default twentieths") << muCentimeters << 1.02 << 0 << "1.05 cm";
    QTest::newRow("quarters") << muInches << 0.3 << 4 << "0.25''";
    QTest::newRow("zero") << muInches << 0.0 << 0 << "0''";
    QTest::newRow("finer than thousandths does not divide by zero") << muInches << 1.2345 << 5000
                                                                       << "1.234''";
}

void TestMeasurement::unitsToGridText()
{
    QFETCH(TwwMeasurementUnits, units);
    QFETCH(double, value);
    QFETCH(int, steps);
    QFETCH(QString, text);
    QCOMPARE(wwmeasure::unitsToGridText(units, value, steps), text);
}

// What a dialog shows must read back as the same twips after rounding to hundredths.
void TestMeasurement::textRoundTripsThroughTwips()
{
    for (TwwMeasurementUnits units : {muInches, muCentimeters}) {
        for (int twips : {0, 144, 720, 1440, 2880, -720}) {
            const double shown = wwmeasure::twipsToUnits(units, twips);
            const int back = wwmeasure::unitsToTwips(units, wwmeasure::unitsToText(units, shown));
            QVERIFY2(qAbs(back - twips) <= 15, qPrintable(QStringLiteral("%1 -> %2").arg(twips).arg(back)));
        }
    }
}

void TestMeasurement::controlConvertsInItsOwnUnit()
{
    TwwDBRichEdit edit;
    QCOMPARE(edit.UnitsToTwips(QStringLiteral("1")), 1440);
    QCOMPARE(edit.UnitsToText(1.5), QStringLiteral("1.5''"));
    edit.SetMeasurementUnits(muCentimeters);
    QCOMPARE(edit.UnitsToTwips(QStringLiteral("1 cm")), 567);
    QCOMPARE(edit.TwipsToUnits(567), 1.0);
    QCOMPARE(edit.UnitsToGridText(1.02, 0), QStringLiteral("1.05 cm"));
    QCOMPARE(TwwCustomRichEdit::StripUnitSuffix(QStringLiteral("7 cm")), QStringLiteral("7"));
}

void TestMeasurement::validLengthTexts_data()
{
    QTest::addColumn<TwwMeasurementUnits>("units");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("22 inches") << muInches << "22''" << true;
    QTest::newRow("minus 22 inches") << muInches << "-22" << true;
    QTest::newRow("22.01 inches") << muInches << "22.01''" << false;
    QTest::newRow("minus 22.01 inches") << muInches << "-22.01" << false;
    QTest::newRow("55.8 cm, under 22 inches") << muCentimeters << "55.8 cm" << true;
    QTest::newRow("55.9 cm, over 22 inches") << muCentimeters << "55.9 cm" << false;
    QTest::newRow("letters i and n stay") << muCentimeters << "1.25 in" << false;
    QTest::newRow("empty") << muInches << "" << false;
    QTest::newRow("only a suffix") << muCentimeters << " cm" << false;
    QTest::newRow("no number") << muInches << "x" << false;
    QTest::newRow("huge") << muInches << "1e300" << false;
}

void TestMeasurement::validLengthTexts()
{
    QFETCH(TwwMeasurementUnits, units);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(isValidLengthText(units, text), valid);
}

QTEST_MAIN(TestMeasurement)
#include "tst_measurement.moc"
