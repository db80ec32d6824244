#pragma once

#include <QDateTime>
#include <QString>

namespace common {

// "yyyyMMdd_HHmmss", the 15-character stamp in output file names.
QString FileTimeStamp(const QDateTime& dateTime);

} // namespace common
