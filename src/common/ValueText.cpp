#include "common/ValueText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace common {

namespace {

constexpr int SignificantDigits = 15;
constexpr int MaxDecimals = 18;
constexpr char PointMark = '.';

// The characters of a value text, with PointMark standing for the locale's separator.
struct ValueChars {
    std::array<char, 48> chars; // only the first length count
    int length = 0;

    void append(char c) { chars[std::size_t(length++)] = c; }
    void append(std::string_view text)
    {
        std::copy(text.begin(), text.end(), chars.begin() + length);
        length += int(text.size());
    }
    std::string_view view() const { return {chars.data(), std::size_t(length)}; }
};

// Sign, then the digits with the point `decimals` places from the right; the digits hold
// at least decimals + 1 of them. A value whose digits are all zero carries no sign.
void AppendFixed(ValueChars& out, bool negative, std::string_view digits, int decimals)
{
    if (negative && digits.find_first_not_of('0') != std::string_view::npos)
        out.append('-');
    const std::size_t integerDigits = digits.size() - std::size_t(decimals);
    out.append(digits.substr(0, integerDigits));
    if (decimals > 0) {
        out.append(PointMark);
        out.append(digits.substr(integerDigits));
    }
}

// ---- The exact general path: every digit of the float's expansion.

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

// 15 significant digits with the exponent of the first one: 1,23450000000000E+16.
void AppendScientific(ValueChars& out, const DecimalNumber& number)
{
    AppendFixed(out, number.negative, number.digits, SignificantDigits - 1);
    // Only large numbers get here, so the exponent is positive.
    const int exponent = number.pointPosition - 1;
    out.append("E+");
    if (exponent < 10)
        out.append('0');
    char buffer[4];
    out.append(std::string_view(buffer, std::size_t(std::to_chars(buffer, buffer + 4, exponent).ptr - buffer)));
}

void AppendGeneral(ValueChars& out, float value, int decimals)
{
    if (std::isnan(value))
        return out.append("NAN");
    if (std::isinf(value))
        return out.append(value < 0 ? "-INF" : "INF");
    DecimalNumber number = SignificantDecimal(value);
    if (number.pointPosition > SignificantDigits)
        return AppendScientific(out, number);
    RoundToDigits(number, number.pointPosition + decimals);
    // Leading zeros so that at least one digit stands before the separator.
    if (number.digits.size() < std::size_t(decimals + 1))
        number.digits.insert(0, std::size_t(decimals + 1) - number.digits.size(), '0');
    AppendFixed(out, number.negative, number.digits, decimals);
}

// ---- The fast path: the same two roundings in 128-bit integer arithmetic.

using Wide = unsigned __int128;

constexpr int MaxFastScale = 27; // 10^27 times a 24-bit mantissa stays below 2^114

Wide PowerOfTen(int exponent)
{
    return exponent < 20 ? Wide(PowersOfTen[std::size_t(exponent)])
                         : Wide(PowersOfTen[19]) * PowersOfTen[std::size_t(exponent - 19)];
}

std::string_view DigitsOf(quint64 number, char* buffer)
{
    return {buffer, std::size_t(std::to_chars(buffer, buffer + 20, number).ptr - buffer)};
}

// |value| rounded to 15 significant digits, half away from zero, as an integer `rounded`
// times 10^-scale; nothing when the value is zero, too small or too large for the fast path.
struct Rounded15 {
    quint64 rounded;
    int scale;
};

std::optional<Rounded15> RoundTo15Digits(float magnitude)
{
    const auto bits = std::bit_cast<quint32>(magnitude);
    const int biasedExponent = int(bits >> 23);
    const quint64 mantissa = biasedExponent ? (bits & 0x7FFFFFu) | 0x800000u : (bits & 0x7FFFFFu);
    const int exponent = biasedExponent ? biasedExponent - 150 : -149; // magnitude = mantissa * 2^exponent
    if (mantissa == 0)
        return std::nullopt;
    // Digits before the point, estimated from the binary exponent (off by one at most) and
    // then made exact by the 15-digit test below.
    int integerDigits = int(std::floor(std::ilogb(magnitude) * 0.30102999566398120)) + 1;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int scale = SignificantDigits - integerDigits;
        if (scale < 0 || scale > MaxFastScale)
            return std::nullopt;
        const Wide scaled = Wide(mantissa) * PowerOfTen(scale);
        Wide whole;
        bool roundUp = false;
        if (exponent >= 0) {
            if (exponent > 60 || (scaled >> (127 - exponent)) != 0)
                return std::nullopt;
            whole = scaled << exponent;
        } else {
            const int shift = -exponent;
            if (shift > 126)
                return std::nullopt;
            whole = scaled >> shift;
            roundUp = ((scaled >> (shift - 1)) & 1) != 0; // the first dropped bit is worth one half
        }
        if (whole >= PowersOfTen[SignificantDigits]) {
            ++integerDigits;
        } else if (whole < PowersOfTen[SignificantDigits - 1]) {
            --integerDigits;
        } else {
            const quint64 rounded = quint64(whole) + (roundUp ? 1 : 0);
            // A carry to a sixteenth digit before the point is the scientific notation's.
            if (scale == 0 && rounded == PowersOfTen[SignificantDigits])
                return std::nullopt;
            return Rounded15{rounded, scale};
        }
    }
    return std::nullopt;
}

// AppendFixed of digits with zeros in front, to decimals + 1 digits at least.
void AppendPadded(ValueChars& out, bool negative, std::string_view digits, int decimals)
{
    char padded[48];
    if (digits.size() < std::size_t(decimals + 1)) {
        const std::size_t zeros = std::size_t(decimals + 1) - digits.size();
        std::copy(digits.begin(), digits.end(), std::fill_n(padded, zeros, '0'));
        digits = std::string_view(padded, zeros + digits.size());
    }
    AppendFixed(out, negative, digits, decimals);
}

bool AppendShort(ValueChars& out, float value, int decimals)
{
    quint32 units = 0;
    if (!ShortFixedPoint::units(value, decimals, units))
        return false;
    char buffer[24];
    AppendPadded(out, std::signbit(value), DigitsOf(units, buffer), decimals);
    return true;
}

bool AppendFast(ValueChars& out, float value, int decimals)
{
    if (!std::isfinite(value))
        return false;
    const float magnitude = std::fabs(value);
    char buffer[24];
    char padded[48];
    std::string_view digits;
    if (magnitude == 0) {
        digits = "0";
    } else {
        const std::optional<Rounded15> significant = RoundTo15Digits(magnitude);
        if (!significant)
            return false;
        const auto [rounded, scale] = *significant;
        if (decimals >= scale) {
            // Exact already: the digits followed by zeros.
            digits = DigitsOf(rounded, buffer);
            std::fill_n(std::copy(digits.begin(), digits.end(), padded), decimals - scale, '0');
            digits = std::string_view(padded, digits.size() + std::size_t(decimals - scale));
        } else {
            const int dropped = scale - decimals;
            // rounded is at most 10^15: dropping 16 or more digits leaves less than a half.
            const quint64 divisor = dropped < 16 ? PowersOfTen[std::size_t(dropped)] : 0;
            const quint64 units = divisor ? rounded / divisor + (rounded % divisor >= divisor / 2 ? 1 : 0) : 0;
            digits = DigitsOf(units, buffer);
        }
    }
    AppendPadded(out, std::signbit(value), digits, decimals);
    return true;
}

ValueChars Format(float value, int dot, bool exactOnly = false)
{
    const int decimals = std::clamp(dot, 0, MaxDecimals);
    ValueChars out;
    if (exactOnly || !(AppendShort(out, value, decimals) || AppendFast(out, value, decimals)))
        AppendGeneral(out, value, decimals);
    return out;
}

QString ToText(const ValueChars& chars, const QString& separator)
{
    const std::string_view text = chars.view();
    const std::size_t point = text.find(PointMark);
    if (point == std::string_view::npos)
        return QString::fromLatin1(text.data(), qsizetype(text.size()));
    return QString::fromLatin1(text.data(), qsizetype(point)) + separator
           + QString::fromLatin1(text.data() + point + 1, qsizetype(text.size() - point - 1));
}

} // namespace

FixedPointFormat::FixedPointFormat(const QLocale& locale)
    : m_separator(locale.decimalPoint())
{
    if (m_separator.size() == 1 && m_separator[0].unicode() < 0x80)
        m_asciiSeparator = char(m_separator[0].unicode());
}

QString FixedPointFormat::text(float value, int dot) const
{
    return ToText(Format(value, dot), m_separator);
}

void FixedPointFormat::appendAscii(QByteArray& out, float value, int dot) const
{
    char chars[MaxAsciiLength];
    out.append(chars, writeAscii(chars, value, dot) - chars);
}

char* FixedPointFormat::writeAsciiOtherwise(char* out, float value, int dot) const
{
    const ValueChars chars = Format(value, dot);
    static_assert(std::tuple_size_v<decltype(chars.chars)> <= MaxAsciiLength);
    return std::replace_copy(chars.chars.begin(), chars.chars.begin() + chars.length, out, PointMark, m_asciiSeparator);
}

QString FixedPointText(float value, int dot, const QLocale& locale)
{
    return FixedPointFormat(locale).text(value, dot);
}

QString ExactFixedPointText(float value, int dot, const QLocale& locale)
{
    return ToText(Format(value, dot, true), locale.decimalPoint());
}

} // namespace common
