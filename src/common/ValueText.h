#pragma once

#include <QLocale>
#include <QString>

namespace common {

// A measured value in fixed notation with exactly `dot` decimals (clamped to 0..18).
// The float's exact value is rounded to 15 significant digits, then to `dot` decimals,
// both half away from zero. The text uses the locale's decimal separator, no group
// separator, ASCII digits, "-" for negatives, and at least one digit before the
// separator; a value that rounds to zero carries no sign ("0,00", never "-0,00").
// More than 15 digits before the decimal point: scientific notation with 15 significant
// digits, e.g. "1,00000002004088E+20" for 1e20f. NaN and infinities give "NAN", "INF"
// and "-INF".
QString FixedPointText(float value, int dot, const QLocale& locale = QLocale());

} // namespace common
