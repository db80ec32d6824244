#include "db/Alarm.h"

#include <array>

namespace db {

quint8 AlarmCode(QByteArrayView text)
{
    quint8 code = 0;
    for (const char letter : text) {
        if (letter >= 'A' && letter <= 'E')
            code = std::max<quint8>(code, quint8(letter - 'A' + 1));
    }
    return code;
}

quint8 AlarmCode(const QString& text)
{
    return AlarmCode(QByteArrayView(text.toLatin1()));
}

QLatin1String AlarmMarkerOfCode(quint8 code)
{
    // Lengths known at compile time: the CSV export writes millions of these.
    static constexpr std::array<QLatin1String, 6> Markers{QLatin1String(""), QLatin1String("[!1H]"),
                                                         QLatin1String("[!1L]"), QLatin1String("[!2H]"),
                                                         QLatin1String("[!2L]"), QLatin1String("[!K]")};
    return code < Markers.size() ? Markers[code] : Markers[0];
}

QString AlarmMarker(const QString& text)
{
    return AlarmMarkerOfCode(AlarmCode(text));
}

} // namespace db
