#include "common/ZeroPad.h"

QString ZeroPad(quint64 number, int width)
{
    return QString::number(number).rightJustified(width, u'0');
}
