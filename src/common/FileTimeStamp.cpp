#include "common/FileTimeStamp.h"

#include <QLocale>

namespace common {

QString FileTimeStamp(const QDateTime& dateTime)
{
    return QLocale::c().toString(dateTime, u"yyyyMMdd_HHmmss");
}

QString OutputFilePath(const QString& folder, const QString& kind, const QDateTime& dateTime, const QString& extension)
{
    return folder + kind + FileTimeStamp(dateTime) + extension;
}

} // namespace common
