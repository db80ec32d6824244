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
    return clock ? clock() : QDateTime::currentDateTime();
}

void SetClock(std::function<QDateTime()> clock)
{
    clockOverride() = std::move(clock);
}

} // namespace os
