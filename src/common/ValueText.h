#pragma once

#include "common/ShortFixedPoint.h"

#include <QByteArray>
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
//
// One format serves many values: the grid shows them and the CSV export writes millions,
// so the usual values are formatted with integer arithmetic and no allocation.
class FixedPointFormat {
public:
    explicit FixedPointFormat(const QLocale& locale = QLocale());

    QString text(float value, int dot) const;
    // The same text appended as bytes. Only for a locale whose decimal separator is one
    // ASCII character (then every character of the text is ASCII).
    bool hasAsciiSeparator() const { return m_asciiSeparator != 0; }
    void appendAscii(QByteArray& out, float value, int dot) const;
    // The same bytes written at out, for writers that keep their own room (at least
    // MaxAsciiLength bytes); returns the end of what was written.
    static constexpr int MaxAsciiLength = 48;
    static_assert(MaxAsciiLength >= ShortFixedPoint::Room);
    char* writeAscii(char* out, float value, int dot) const
    {
        char* const end = ShortFixedPoint::write(out, value, dot, m_asciiSeparator);
        return end ? end : writeAsciiOtherwise(out, value, dot);
    }

private:
    char* writeAsciiOtherwise(char* out, float value, int dot) const;

    QString m_separator;
    char m_asciiSeparator = 0;
};

QString FixedPointText(float value, int dot, const QLocale& locale = QLocale());
// The same text, always worked out from every digit of the float's exact expansion. Slow;
// the format above falls back to it for rare values and must agree with it everywhere.
QString ExactFixedPointText(float value, int dot, const QLocale& locale = QLocale());

} // namespace common
