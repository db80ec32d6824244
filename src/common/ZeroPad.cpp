#include "common/ZeroPad.h"

namespace common {

QString ZeroPad(quint64 number, int width)
{
    return QString::number(number).rightJustified(width, u'0');
}

} // namespace common
