#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Local wall-clock time as seconds on a clock without daylight-saving jumps: the
// local date and time read as if they were UTC. DATETIME columns hold wall-clock
// times, and stepping this clock never repeats or skips a DT value.
namespace wallclock {

using Seconds = std::int64_t;

Seconds now();
// "yyyy-mm-dd hh:mm:ss", the DATETIME literal form.
std::string format(Seconds time);
std::optional<Seconds> parse(std::string_view text);

} // namespace wallclock
