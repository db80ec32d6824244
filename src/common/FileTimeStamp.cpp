#include "common/FileTimeStamp.h"

#include <QLocale>

namespace common {

QString FileTimeStamp(const QDateTime& dateTime)
{
    return QLocale::c().toString(dateTime, u"yyyyMMdd_HHmmss");
}

} // namespace common
