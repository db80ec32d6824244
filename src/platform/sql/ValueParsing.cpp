#include "platform/sql/ValueParsing.h"

#include "platform/sql/SqlError.h"

#include <charconv>
#include <cmath>

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
        throw SqlError(quoted(text) + QStringLiteral(" is not a valid floating point value"));
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

} // namespace

float parseFloat(QByteArrayView text)
{
    return parseFinite<float>(text);
}

double parseDouble(QByteArrayView text)
{
    return parseFinite<double>(text);
}

qint32 parseInt32(QByteArrayView text)
{
    qint32 value = 0;
    if (!parseWhole(text, value))
        throw SqlError(quoted(text) + QStringLiteral(" is not a valid integer value"));
    return value;
}

QDateTime parseDateTime(QByteArrayView text)
{
    QDate date;
    QTime time;
    if (!parseDateTimeParts(text, date, time))
        throw SqlError(quoted(text) + QStringLiteral(" is not a valid date and time"));
    // A wall-clock value without a zone: held as UTC, so that no zone rule (the spring gap,
    // the repeated autumn hour) makes it invalid or ambiguous.
    return QDateTime(date, time, Qt::UTC);
}

} // namespace sql
