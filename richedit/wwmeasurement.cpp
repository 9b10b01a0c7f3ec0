#include "richedit/wwmeasurement.h"

#include "platform/exceptions.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace wwmeasure {

namespace {

bool isUnitSuffixChar(QChar c)
{
    return c == u' ' || c == u'\'' || c == u'c' || c == u'm' || c == u'C' || c == u'M';
}

[[noreturn]] void throwNotANumber(const QString &text)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

// The number in a text as the runtime's string-to-float reads it: blanks around it
// allowed, a point as decimal separator, an optional exponent; nothing else.
double parseNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throwNotANumber(text);
    return value;
}

QString unitSuffix(TwwMeasurementUnits units)
{
    return units == muCentimeters ? QStringLiteral(" cm") : QStringLiteral("''");
}

// Truncation toward zero, for a value already known to fit.
int truncated(double value) { return int(std::trunc(value)); }

}  // namespace

QString stripUnitSuffix(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && isUnitSuffixChar(text.at(end - 1)))
        --end;
    return text.left(end);
}

int unitsToTwips(TwwMeasurementUnits units, const QString &text)
{
    const QString number = stripUnitSuffix(text);
    double twips = parseNumber(number) * kTwipsPerInch;
    if (units == muCentimeters)
        twips *= kInchesPerCentimeter;
    if (std::fabs(twips) >= double(std::numeric_limits<int>::max()))
        throw EConvertError(QStringLiteral("'%1' is too large a measurement").arg(number));
    return truncated(twips);
}

bool isValidLengthText(TwwMeasurementUnits units, const QString &text)
{
    if (stripUnitSuffix(text).trimmed().isEmpty())
        return false;
    try {
        const int twips = unitsToTwips(units, text);
        return twips >= -kMaxFieldTwips && twips <= kMaxFieldTwips;
    } catch (const EConvertError &) {
        return false;
    }
}

double twipsToUnits(TwwMeasurementUnits units, int twips)
{
    double value = double(twips) / kTwipsPerInch;
    if (units == muCentimeters)
        value *= kCentimetersPerInch;
    return std::nearbyint(value * 100) * 0.01;  // the default rounding mode: half to even
}

QString unitsToText(TwwMeasurementUnits units, double value)
{
    // Fifteen significant digits, as the runtime's general float text: 0.35, not
    // 0.35000000000000003.
    return QString::number(value, 'g', 15) + unitSuffix(units);
}

QString unitsToGridText(TwwMeasurementUnits units, double value, int steps)
{
    if (steps <= 0)
        steps = units == muCentimeters ? 20 : 8;
    const double half = 1.0 / (1.5 * steps);
    const double moved = value < 0 ? value - half : value + half;
    if (!std::isfinite(moved) || std::fabs(moved) > 1e12)
        return unitsToText(units, value);  // far beyond any grid a ruler could show
    const long long t = static_cast<long long>(std::trunc(moved * 1000));
    // More than 1000 steps leave no coarser grid than the thousandths already kept.
    const long long granularity = qMax(1, 1000 / steps);
    return unitsToText(units, double(t - t % granularity) / 1000);
}

}  // namespace wwmeasure
