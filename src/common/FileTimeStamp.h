#pragma once

#include <QDateTime>
#include <QString>

namespace common {

// "yyyyMMdd_HHmmss", the 15-character stamp in output file names.
QString FileTimeStamp(const QDateTime& dateTime);
// An output file's path: folder (ending in a separator), kind, the stamp, extension
// ("data_20211019_182028.csv" for "data_" and ".csv").
QString OutputFilePath(const QString& folder, const QString& kind, const QDateTime& dateTime, const QString& extension);

} // namespace common
