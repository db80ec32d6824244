#include "common/DateTimeText.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <stdexcept>

namespace common {

namespace {

// Calls visit(run, quoted) for each part of a Qt date or time format in turn: a quoted
// literal (with its quotes) or a run of one character (such as "yy" or ":"). Stops where
// visit returns false, and returns whether it went through the whole format.
bool ForEachRun(const QString& format, const std::function<bool(QStringView run, bool quoted)>& visit)
{
    for (qsizetype index = 0; index < format.size();) {
        const QChar letter = format[index];
        const bool quoted = letter == u'\'';
        qsizetype end = index + 1;
        while (end < format.size() && (quoted ? format[end] != u'\'' : format[end] == letter))
            ++end;
        end = quoted ? std::min(end + 1, format.size()) : end;
        if (!visit(QStringView(format).sliced(index, end - index), quoted))
            return false;
        index = end;
    }
    return true;
}

// Rewrites each run of one field letter (such as "yy") of a Qt date or time format;
// quoted literal text is copied unchanged.
QString RewriteFields(const QString& format, const std::function<QString(const QString& field)>& rewrite)
{
    QString result;
    ForEachRun(format, [&](QStringView run, bool quoted) {
        result += !quoted && run.front().isLetter() ? rewrite(run.toString()) : run.toString();
        return true;
    });
    return result;
}

using Pieces = std::vector<DateTimeFormatter::Piece>;

// The pieces of a format made of the numeric fields d, dd, M, MM, yyyy, H, HH, h, hh, m, mm,
// s, ss and the separators " .,:/-" (quoted or not), which starts with a field; nothing for
// any other format. (Without an AM/PM field, Qt writes h as the hour of the 24-hour clock.)
std::optional<Pieces> NumericPieces(const QString& format)
{
    static const QString Separators = QStringLiteral(" .,:/-");
    Pieces pieces;
    const bool numeric = ForEachRun(format, [&](QStringView run, bool quoted) {
        const QChar letter = run.front();
        if (quoted || Separators.contains(letter)) {
            QStringView literal = quoted ? run.sliced(1) : run;
            if (quoted && literal.endsWith(u'\''))
                literal.chop(1);
            for (const QChar character : literal) {
                if (!Separators.contains(character))
                    return false;
                pieces.push_back({0, char(character.unicode())});
            }
        } else if (QStringLiteral("dMHhms").contains(letter) && run.size() <= 2) {
            pieces.push_back({letter == u'h' ? 'H' : char(letter.unicode()), char(run.size())});
        } else if (letter == u'y' && run.size() == 4) {
            pieces.push_back({'y', 4});
        } else {
            return false;
        }
        return true;
    });
    if (!numeric || pieces.empty() || pieces.front().field == 0)
        return std::nullopt;
    return pieces;
}

// A number below 100 for a field of one or two letters, from 1000 to 9999 for the year.
char* WriteNumber(char* out, int number, int width)
{
    if (width == 4) {
        for (const int power : {1000, 100, 10, 1})
            *out++ = char('0' + number / power % 10);
        return out;
    }
    *out = char('0' + number / 10);
    out += number >= 10 || width == 2 ? 1 : 0;
    *out++ = char('0' + number % 10);
    return out;
}

// The numbers that the fields write, taken apart once.
struct DateTimeNumbers {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    bool midnight = false; // 00:00:00.000, which shows the date alone

    DateTimeNumbers(const QDate& date, const QTime& time)
        : hour(time.hour())
        , minute(time.minute())
        , second(time.second())
        , midnight(time == QTime(0, 0))
    {
        date.getDate(&year, &month, &day);
    }

    // From milliseconds since 1970-01-01 00:00:00 on the proleptic Gregorian calendar, as
    // QDate counts (the civil-from-days steps of H. Hinnant's date algorithms).
    explicit DateTimeNumbers(qint64 msecs)
    {
        constexpr qint64 MSecsPerDay = 86'400'000;
        const qint64 days = msecs / MSecsPerDay - (msecs % MSecsPerDay < 0 ? 1 : 0);
        const qint64 ofDay = msecs - days * MSecsPerDay;
        const qint64 shifted = days + 719'468; // from 0000-03-01, so that February ends a year
        const qint64 era = (shifted >= 0 ? shifted : shifted - 146'096) / 146'097;
        const qint64 dayOfEra = shifted - era * 146'097;
        const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
        const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const qint64 monthFromMarch = (5 * dayOfYear + 2) / 153;
        day = int(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
        month = int(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
        year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
        hour = int(ofDay / 3'600'000);
        minute = int(ofDay / 60'000 % 60);
        second = int(ofDay / 1000 % 60);
        midnight = ofDay == 0;
    }
};

char* WritePieces(char* out, const Pieces& pieces, const DateTimeNumbers& numbers)
{
    for (const DateTimeFormatter::Piece& piece : pieces) {
        const int width = piece.widthOrSeparator;
        switch (piece.field) {
        case 'd': out = WriteNumber(out, numbers.day, width); break;
        case 'M': out = WriteNumber(out, numbers.month, width); break;
        case 'y': out = WriteNumber(out, numbers.year, width); break;
        case 'H': out = WriteNumber(out, numbers.hour, width); break;
        case 'm': out = WriteNumber(out, numbers.minute, width); break;
        case 's': out = WriteNumber(out, numbers.second, width); break;
        default: *out++ = piece.widthOrSeparator;
        }
    }
    return out;
}

// The date, and the time unless it is midnight; nullptr for a year of other than four digits.
char* WriteDateTime(char* out, const Pieces& date, const Pieces& time, const DateTimeNumbers& numbers)
{
    if (numbers.year < 1000 || numbers.year > 9999)
        return nullptr;
    out = WritePieces(out, date, numbers);
    if (numbers.midnight)
        return out;
    *out++ = ' ';
    return WritePieces(out, time, numbers);
}

// The longest text of the pieces: a field of one letter may take two digits.
qsizetype LongestText(const Pieces& pieces)
{
    qsizetype length = 0;
    for (const DateTimeFormatter::Piece& piece : pieces)
        length += piece.field == 0 ? 1 : std::max<qsizetype>(2, piece.widthOrSeparator);
    return length;
}

}  // namespace

QString DateFormat(const QLocale& locale)
{
    return RewriteFields(locale.dateFormat(QLocale::ShortFormat), [](const QString& field) {
        return field.front() == u'y' ? QStringLiteral("yyyy") : field;
    });
}

QString TimeFormat(const QLocale& locale)
{
    return RewriteFields(locale.timeFormat(QLocale::LongFormat), [](const QString& field) {
        return field.front() == u't' ? QString() : field;
    }).trimmed();
}

QString DateTimeText(const QDateTime& dateTime, const QLocale& locale)
{
    return DateTimeFormatter(locale).text(dateTime);
}

DateTimeFormatter::DateTimeFormatter(const QLocale& locale)
    : m_locale(locale)
    , m_dateFormat(DateFormat(locale))
    , m_timeFormat(TimeFormat(locale))
{
    const std::optional<Pieces> date = NumericPieces(m_dateFormat);
    const std::optional<Pieces> time = NumericPieces(m_timeFormat);
    if (!date || !time || LongestText(*date) + 1 + LongestText(*time) > MaxAsciiLength)
        return;
    // The pieces are kept only where they write what the locale itself writes (a locale
    // with digits of its own does not).
    const std::array samples = {QDateTime(QDate(2021, 1, 2), QTime(3, 4, 5), Qt::UTC),
                                QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59), Qt::UTC),
                                QDateTime(QDate(2024, 10, 19), QTime(13, 0, 0), Qt::UTC)};
    const auto writes = [](const Pieces& pieces, const QDateTime& sample, const QString& expected) {
        std::array<char, MaxAsciiLength> bytes{};
        const char* const end = WritePieces(bytes.data(), pieces, {sample.date(), sample.time()});
        return QLatin1StringView(bytes.data(), end - bytes.data()) == expected;
    };
    for (const QDateTime& sample : samples) {
        if (!writes(*date, sample, m_locale.toString(sample.date(), m_dateFormat))
            || !writes(*time, sample, m_locale.toString(sample.time(), m_timeFormat)))
            return;
    }
    m_numericDate = *date;
    m_numericTime = *time;
}

char* DateTimeFormatter::writeAscii(char* out, const QDateTime& dateTime) const
{
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    if (m_numericDate.empty() || !date.isValid() || !time.isValid())
        return nullptr;
    return WriteDateTime(out, m_numericDate, m_numericTime, {date, time});
}

char* DateTimeFormatter::writeAscii(char* out, qint64 wallClockMSecs) const
{
    return m_numericDate.empty() ? nullptr
                                 : WriteDateTime(out, m_numericDate, m_numericTime, DateTimeNumbers(wallClockMSecs));
}

QString DateTimeFormatter::text(const QDateTime& dateTime) const
{
    std::array<char, MaxAsciiLength> bytes;
    if (const char* const end = writeAscii(bytes.data(), dateTime))
        return QString::fromLatin1(bytes.data(), end - bytes.data());
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const QString timeText = time.isValid() ? m_locale.toString(time, m_timeFormat) : QString();
    if (!date.isValid())
        return timeText;
    const std::scoped_lock lock(m_lastDateLock);
    if (date != m_lastDate) {
        m_lastDateText = m_locale.toString(date, m_dateFormat);
        m_lastDate = date;
    }
    return time == QTime(0, 0) ? m_lastDateText : m_lastDateText + u' ' + timeText;
}

QDateTime ParseDateTimeText(const QString& text, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    const QString dateFormat = DateFormat(locale);
    const QString timeFormat = TimeFormat(locale);
    if (const QDate date = locale.toDate(trimmed, dateFormat); date.isValid())
        return WallClock(date, QTime(0, 0));
    if (const QTime time = locale.toTime(trimmed, timeFormat); time.isValid())
        return WallClock(QDate(), time);
    // Date and time are parsed apart, split at each blank in turn (the formats themselves
    // may hold blanks).
    for (qsizetype blank = trimmed.indexOf(u' '); blank >= 0; blank = trimmed.indexOf(u' ', blank + 1)) {
        const QDate date = locale.toDate(trimmed.left(blank), dateFormat);
        const QTime time = locale.toTime(trimmed.mid(blank + 1), timeFormat);
        if (date.isValid() && time.isValid())
            return WallClock(date, time);
    }
    throw std::runtime_error("'" + text.toStdString() + "' nie jest poprawną datą i godziną");
}

QString RangeBoundText(const QDateTime& dateTime)
{
    return QLocale::c().toString(dateTime, u"yyyy-MM-dd HH:mm:ss");
}

} // namespace common
