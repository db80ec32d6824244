#include "common/ValueText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace common {

namespace {

constexpr int SignificantDigits = 15;
constexpr int MaxDecimals = 18;

// A decimal number as its digits and the position of the decimal point within them:
// digits "2146" with pointPosition 2 is 21.46, with pointPosition -1 it is 0.02146.
struct DecimalNumber {
    bool negative = false;
    std::string digits;
    int pointPosition = 0;
};

// Rounds the magnitude to its first `count` digits, half away from zero.
// The result has exactly `count` digits; a carry out of the first digit moves the point.
void RoundToDigits(DecimalNumber& number, int count)
{
    std::string& digits = number.digits;
    if (count < 0) {
        digits.clear();
        return;
    }
    const std::size_t kept = static_cast<std::size_t>(count);
    const bool roundUp = kept < digits.size() && digits[kept] >= '5';
    digits.resize(kept, '0');
    if (!roundUp)
        return;
    auto digit = digits.rbegin();
    for (; digit != digits.rend() && *digit == '9'; ++digit)
        *digit = '0';
    if (digit != digits.rend()) {
        ++*digit;
    } else {
        digits.insert(digits.begin(), '1');
        ++number.pointPosition;
    }
}

// The exact decimal value of the float, rounded to 15 significant digits.
DecimalNumber SignificantDecimal(float value)
{
    // 112 decimals after the first digit hold every float's exact expansion, so nothing
    // has been rounded before RoundToDigits.
    char buffer[160];
    const auto end = std::to_chars(std::begin(buffer), std::end(buffer), std::fabs(double(value)),
                                   std::chars_format::scientific, 112).ptr;
    const std::string text(std::begin(buffer), end);
    const std::size_t exponent = text.find('e');
    DecimalNumber number;
    number.negative = std::signbit(value);
    number.digits = text.substr(0, 1) + text.substr(2, exponent - 2);
    number.pointPosition = std::stoi(text.substr(exponent + 1)) + 1;
    RoundToDigits(number, SignificantDigits);
    return number;
}

QString Sign(const DecimalNumber& number)
{
    const bool zero = std::all_of(number.digits.begin(), number.digits.end(), [](char c) { return c == '0'; });
    return number.negative && !zero ? QStringLiteral("-") : QString();
}

// 15 significant digits with the exponent of the first one: 1,23450000000000E+16.
QString ScientificText(const DecimalNumber& number, const QLocale& locale)
{
    const QString digits = QString::fromStdString(number.digits);
    const int exponent = number.pointPosition - 1;
    // Only large numbers get here, so the exponent is positive.
    return Sign(number) + digits.left(1) + locale.decimalPoint() + digits.mid(1) + QStringLiteral("E+")
           + QString::number(exponent).rightJustified(2, u'0');
}

QString FixedText(DecimalNumber number, int decimals, const QLocale& locale)
{
    RoundToDigits(number, number.pointPosition + decimals);
    // Leading zeros so that at least one digit stands before the separator.
    const QString digits = QString::fromStdString(number.digits).rightJustified(decimals + 1, u'0');
    const QString integerPart = digits.left(digits.size() - decimals);
    return Sign(number) + integerPart + (decimals > 0 ? locale.decimalPoint() + digits.right(decimals) : QString());
}

}  // namespace

QString FixedPointText(float value, int dot, const QLocale& locale)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const DecimalNumber number = SignificantDecimal(value);
    if (number.pointPosition > SignificantDigits)
        return ScientificText(number, locale);
    return FixedText(number, std::clamp(dot, 0, MaxDecimals), locale);
}

} // namespace common
