#include "common/FileTimeStamp.h"

#include <QLocale>

QString FileTimeStamp(const QDateTime& dateTime)
{
    return QLocale::c().toString(dateTime, u"yyyyMMdd_HHmmss");
}
