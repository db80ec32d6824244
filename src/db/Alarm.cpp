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
    static constexpr std::array<const char*, 6> Markers{"", "[!1H]", "[!1L]", "[!2H]", "[!2L]", "[!K]"};
    return QLatin1String(code < Markers.size() ? Markers[code] : "");
}

QString AlarmMarker(const QString& text)
{
    return AlarmMarkerOfCode(AlarmCode(text));
}

} // namespace db
