#pragma once

#include <QString>

namespace common {

// The decimal text of number with "0" added in front until it is at least width
// characters long; a longer text stays whole (ZeroPad(7, 2) is "07", ZeroPad(123, 2) "123").
QString ZeroPad(quint64 number, int width);

} // namespace common
