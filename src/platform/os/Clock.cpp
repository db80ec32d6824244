#include "platform/os/Clock.h"

namespace os {

namespace {
std::function<QDateTime()>& clockOverride()
{
    static std::function<QDateTime()> clock;
    return clock;
}
} // namespace

QDateTime CurrentDateTime()
{
    const auto& clock = clockOverride();
    if (clock)
        return clock();
    // The wall clock as the operator reads it, held without a zone like the database's times.
    const QDateTime now = QDateTime::currentDateTime();
    return QDateTime(now.date(), now.time(), Qt::UTC);
}

void SetClock(std::function<QDateTime()> clock)
{
    clockOverride() = std::move(clock);
}

} // namespace os
