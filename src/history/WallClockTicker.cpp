#include "history/WallClockTicker.h"

#include "common/DateTimeText.h"

namespace history {

namespace {

QDateTime KeyToUtc(double key)
{
    return common::WallClockFromMSecs(qint64(key * 1000.0));
}

} // namespace

WallClockTicker::WallClockTicker()
{
    setDateTimeSpec(Qt::UTC);
}

QVector<double> WallClockTicker::createTickVector(double tickStep, const QCPRange& range)
{
    // The steps of the base ticker, then each day or month tick moved to the origin's time
    // of day (and day of the month), as QCPAxisTickerDateTime does, but in UTC.
    QVector<double> ticks = QCPAxisTicker::createTickVector(tickStep, range);
    if (mDateStrategy == dsNone)
        return ticks;
    const QDateTime origin = KeyToUtc(mTickOrigin);
    for (double& tick : ticks) {
        QDateTime time = KeyToUtc(tick);
        time.setTime(origin.time());
        if (mDateStrategy == dsUniformDayInMonth) {
            // The month may have moved on or back while the day was away from the origin's.
            const int day = std::min(origin.date().day(), time.date().daysInMonth());
            if (day - time.date().day() < -15)
                time = time.addMonths(1);
            else if (day - time.date().day() > 15)
                time = time.addMonths(-1);
            time.setDate(QDate(time.date().year(), time.date().month(), std::min(day, time.date().daysInMonth())));
        }
        tick = dateTimeToKey(time);
    }
    return ticks;
}

} // namespace history
