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

QString AlarmMarkerOfCode(quint8 code)
{
    static const std::array<QString, 6> markers{QString(), QStringLiteral("[!1H]"), QStringLiteral("[!1L]"),
                                                QStringLiteral("[!2H]"), QStringLiteral("[!2L]"), QStringLiteral("[!K]")};
    return code < markers.size() ? markers[code] : QString();
}

QString AlarmMarker(const QString& text)
{
    return AlarmMarkerOfCode(AlarmCode(text));
}

} // namespace db
