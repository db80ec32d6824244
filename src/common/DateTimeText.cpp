#include "common/DateTimeText.h"

#include <functional>
#include <stdexcept>

namespace common {

namespace {

// Rewrites each run of one field letter (such as "yy") of a Qt date or time format;
// quoted literal text is copied unchanged.
QString RewriteFields(const QString& format, const std::function<QString(const QString& field)>& rewrite)
{
    QString result;
    for (qsizetype index = 0; index < format.size();) {
        const QChar letter = format[index];
        qsizetype end = index + 1;
        if (letter == u'\'') {
            while (end < format.size() && format[end] != u'\'')
                ++end;
            end = std::min(end + 1, format.size());
            result += format.sliced(index, end - index);
        } else {
            while (end < format.size() && format[end] == letter)
                ++end;
            const QString run = format.sliced(index, end - index);
            result += letter.isLetter() ? rewrite(run) : run;
        }
        index = end;
    }
    return result;
}

// The long time without its time-zone field.
QString TimeFormat(const QLocale& locale)
{
    return RewriteFields(locale.timeFormat(QLocale::LongFormat), [](const QString& field) {
        return field.front() == u't' ? QString() : field;
    }).trimmed();
}

}  // namespace

QString DateFormat(const QLocale& locale)
{
    return RewriteFields(locale.dateFormat(QLocale::ShortFormat), [](const QString& field) {
        return field.front() == u'y' ? QStringLiteral("yyyy") : field;
    });
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
}

QString DateTimeFormatter::text(const QDateTime& dateTime) const
{
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
    throw std::runtime_error("'" + text.toStdString() + "' is not a valid date and time");
}

QString RangeBoundText(const QDateTime& dateTime)
{
    return QLocale::c().toString(dateTime, u"yyyy-MM-dd HH:mm:ss");
}

} // namespace common
