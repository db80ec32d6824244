#pragma once

#include <QDateTime>
#include <functional>

namespace os {

// The one source of "now" for everything the program shows or names by the current time:
// the local wall-clock time, held without a zone (as Qt::UTC) like the database's times.
// Tests replace it to get fixed, repeatable times.
QDateTime CurrentDateTime();
void SetClock(std::function<QDateTime()> clock); // an empty function restores the system clock

} // namespace os
