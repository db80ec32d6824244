#include "WallClock.h"

#include <cstdio>
#include <ctime>

namespace wallclock {

Seconds now()
{
    const std::time_t utc = std::time(nullptr);
    std::tm local {};
    localtime_r(&utc, &local);
    return timegm(&local);
}

std::string format(Seconds time)
{
    const std::time_t t = time;
    std::tm fields {};
    gmtime_r(&t, &fields);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
    return text;
}

std::optional<Seconds> parse(std::string_view text)
{
    std::tm fields {};
    int consumed = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%d-%d-%d %d:%d:%d%n", &fields.tm_year, &fields.tm_mon, &fields.tm_mday,
                    &fields.tm_hour, &fields.tm_min, &fields.tm_sec, &consumed) != 6
        || consumed != static_cast<int>(copy.size()))
        return std::nullopt;
    fields.tm_year -= 1900;
    fields.tm_mon -= 1;
    return timegm(&fields);
}

} // namespace wallclock
