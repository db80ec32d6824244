#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <mutex>
#include <vector>

namespace common {

// A wall-clock date-time without a zone, as the database stores them. It is held as UTC so
// that the machine's zone never changes it: a local QDateTime inside the spring DST gap is
// invalid, and one in the repeated autumn hour is ambiguous.
inline QDateTime WallClock(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, Qt::UTC);
}
// The same wall-clock date-time from its toMSecsSinceEpoch(), as rows keep it.
inline QDateTime WallClockFromMSecs(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

// The locale's short date (always with a four-digit year), a blank, and the locale's long
// time without any time-zone part. Only the date when the time of day is exactly
// 00:00:00.000; only the time when the date is null or invalid; empty for a value with
// neither.
// The locale's short date format with a four-digit year: a two-digit year would not read
// back as the same year.
QString DateFormat(const QLocale& locale = QLocale());
// The locale's long time format without its time-zone field.
QString TimeFormat(const QLocale& locale = QLocale());

QString DateTimeText(const QDateTime& dateTime, const QLocale& locale = QLocale());

// DateTimeText with the locale's formats worked out once, for the texts of many rows: a
// fetch's rows, a CSV file's lines. Where the locale writes dates and times as numbers and
// the usual separators, the texts are written straight from the numbers; otherwise through
// QLocale, keeping the last date's text (rows run in order, and threads that format rows
// at once share it under a lock).
class DateTimeFormatter {
public:
    explicit DateTimeFormatter(const QLocale& locale = QLocale());
    QString text(const QDateTime& dateTime) const;

    // The same text as bytes at out, when it is made of digits and the separators " .,:/-"
    // alone and starts with a digit: no file format needs to quote it. Returns its end, or
    // nullptr (nothing written) for a locale with other formats, a year outside 1000..9999,
    // or a date-time without a valid date and time.
    static constexpr int MaxAsciiLength = 64;
    char* writeAscii(char* out, const QDateTime& dateTime) const;
    // The same for the wall-clock date-time WallClock(date, time), given as its
    // toMSecsSinceEpoch(): for rows that keep their date-times as numbers.
    char* writeAscii(char* out, qint64 wallClockMSecs) const;

    // One numeric field (its width the number of its letters) or one separator character.
    struct Piece {
        char field; // 'd', 'M', 'y', 'H', 'm', 's', or 0 for the separator
        char widthOrSeparator;
    };

private:
    QLocale m_locale;
    QString m_dateFormat;
    QString m_timeFormat;
    // Both empty unless both formats are numeric.
    std::vector<Piece> m_numericDate;
    std::vector<Piece> m_numericTime;
    mutable std::mutex m_lastDateLock;
    mutable QDate m_lastDate;
    mutable QString m_lastDateText;
};

// The inverse of DateTimeText, also of its date-only and time-only forms (a time-only
// text gives a null date with that time). Throws std::runtime_error
// "'<text>' nie jest poprawną datą i godziną" for any other text.
QDateTime ParseDateTimeText(const QString& text, const QLocale& locale = QLocale());

// "yyyy-MM-dd HH:mm:ss": a range bound as a query literal.
QString RangeBoundText(const QDateTime& dateTime);

} // namespace common
