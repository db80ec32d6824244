#include "platform/sql/ValueParsing.h"

#include "platform/sql/SqlError.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <optional>

namespace sql {

namespace {

QString quoted(QByteArrayView text)
{
    return QLatin1Char('\'') + QString::fromUtf8(text) + QLatin1Char('\'');
}

// The whole text as one number of type T, or nothing.
template <typename T>
bool parseWhole(QByteArrayView text, T& value)
{
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.isEmpty() && error == std::errc() && stop == end;
}

template <typename T>
T parseFinite(QByteArrayView text)
{
    T value {};
    if (!parseWhole(text, value) || !std::isfinite(value))
        throw SqlError(quoted(text) + QStringLiteral(" nie jest poprawną liczbą"));
    return value;
}

// Reads `count` digits at `pos`; false if any of them is not a digit.
bool readDigits(QByteArrayView text, qsizetype pos, int count, int& value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool parseDateTimeParts(QByteArrayView text, QDate& date, QTime& time)
{
    int year = 0, month = 0, day = 0;
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' || !readDigits(text, 0, 4, year)
        || !readDigits(text, 5, 2, month) || !readDigits(text, 8, 2, day))
        return false;
    date = QDate(year, month, day);
    if (text.size() == 10) {
        time = QTime(0, 0);
        return date.isValid();
    }

    int hour = 0, minute = 0, second = 0, millisecond = 0;
    if (text.size() < 19 || text[10] != ' ' || text[13] != ':' || text[16] != ':'
        || !readDigits(text, 11, 2, hour) || !readDigits(text, 14, 2, minute)
        || !readDigits(text, 17, 2, second))
        return false;
    if (text.size() > 19) {
        const qsizetype fractionDigits = text.size() - 20;
        if (text[19] != '.' || fractionDigits < 1 || fractionDigits > 6)
            return false;
        int fraction = 0;
        if (!readDigits(text, 20, int(fractionDigits), fraction))
            return false;
        for (qsizetype i = fractionDigits; i < 3; ++i)
            fraction *= 10;
        for (qsizetype i = 3; i < fractionDigits; ++i)
            fraction /= 10;
        millisecond = fraction;
    }
    time = QTime(hour, minute, second, millisecond);
    return date.isValid() && time.isValid();
}

// The common short decimal ("-21.4567") in one pass over its characters, or nothing for the
// general parser. Exact: a whole number below 2^24 and a power of ten up to 10^10 are both
// floats, and one division of floats rounds correctly, as the general parser does.
std::optional<float> parseShortDecimal(QByteArrayView text)
{
    static constexpr float PowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    constexpr quint32 ExactLimit = 1u << 24;
    const char* c = text.data();
    const char* const end = c + text.size();
    const bool negative = c != end && *c == '-';
    c += negative ? 1 : 0;
    quint32 mantissa = 0;
    int integerDigits = 0, fractionDigits = 0;
    for (; c != end && *c >= '0' && *c <= '9' && mantissa < ExactLimit; ++c, ++integerDigits)
        mantissa = mantissa * 10 + quint32(*c - '0');
    if (c != end && *c == '.') {
        for (++c; c != end && *c >= '0' && *c <= '9' && mantissa < ExactLimit; ++c, ++fractionDigits)
            mantissa = mantissa * 10 + quint32(*c - '0');
        if (fractionDigits == 0)
            return std::nullopt;
    }
    if (c != end || integerDigits == 0 || mantissa > ExactLimit || fractionDigits >= int(std::size(PowersOfTen)))
        return std::nullopt;
    const float value = float(mantissa) / PowersOfTen[fractionDigits];
    return negative ? -value : value;
}

} // namespace

FloatCell readFloatText(QByteArrayView text)
{
    using State = FloatCell::State;
    if (const std::optional<float> value = parseShortDecimal(text))
        return {State::Value, *value};
    float value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.isEmpty() || stop != end)
        return {State::NotANumber};
    // A whole number that a float cannot hold: too large, or too small to be told from 0.
    if (error == std::errc::result_out_of_range || std::isinf(value))
        return {State::OutOfRange};
    if (error != std::errc() || std::isnan(value))
        return {State::NotANumber};
    return {State::Value, value};
}

float parseFloat(QByteArrayView text)
{
    const FloatCell cell = readFloatText(text);
    if (!cell.isValue())
        throw SqlError(quoted(text) + QStringLiteral(" nie jest poprawną liczbą"));
    return cell.value;
}

double parseDouble(QByteArrayView text)
{
    return parseFinite<double>(text);
}

qint32 parseInt32(QByteArrayView text)
{
    qint32 value = 0;
    if (!parseWhole(text, value))
        throw SqlError(quoted(text) + QStringLiteral(" nie jest poprawną liczbą całkowitą"));
    return value;
}

QDateTime parseDateTime(QByteArrayView text)
{
    QDate date;
    QTime time;
    if (!parseDateTimeParts(text, date, time))
        throw SqlError(quoted(text) + QStringLiteral(" nie jest poprawną datą i godziną"));
    // A wall-clock value without a zone: held as UTC, so that no zone rule (the spring gap,
    // the repeated autumn hour) makes it invalid or ambiguous.
    return QDateTime(date, time, Qt::UTC);
}

} // namespace sql
