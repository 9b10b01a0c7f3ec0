#pragma once
#include <QString>

// Lengths as the editor shows and reads them: a number followed by "''" (inches) or
// " cm". The engine works in twips (1440 to the inch); one inch counts as 2.537 cm.
enum TwwMeasurementUnits { muInches, muCentimeters };

namespace wwmeasure {

constexpr int kTwipsPerInch = 1440;
constexpr double kCentimetersPerInch = 2.537;
constexpr double kInchesPerCentimeter = 0.39416633819471817;  // 1 / 2.537

// Removes trailing blanks, apostrophes and the letters c and m in either case.
QString stripUnitSuffix(const QString &text);
// The text as a length in twips, truncated toward zero. Throws EConvertError when the
// text, without its unit suffix, is not a number.
int unitsToTwips(TwwMeasurementUnits units, const QString &text);
// Twips as a length in the unit, rounded to hundredths (half to even).
double twipsToUnits(TwwMeasurementUnits units, int twips);
// The longest length a paragraph or tab field accepts: 22 inches either way.
constexpr int kMaxFieldTwips = 31680;

// Whether a field holds a length the dialogs accept: without its unit suffix a number,
// within -kMaxFieldTwips..kMaxFieldTwips twips. An empty field is no length.
bool isValidLengthText(TwwMeasurementUnits units, const QString &text);
// The shortest text of the value with the unit suffix.
QString unitsToText(TwwMeasurementUnits units, double value);
// The value moved to a grid of `steps` divisions per unit (0: 8 for inches, 20 for
// centimetres), written like unitsToText.
QString unitsToGridText(TwwMeasurementUnits units, double value, int steps);

}  // namespace wwmeasure
