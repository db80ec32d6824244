#pragma once

#include <QByteArrayView>
#include <QString>

namespace db {

// The alarm state of a channel from the text of its alarm column: the highest of the
// letters found, "E" (5, sensor fault) over "D" (4) over "C" (3) over "B" (2) over "A" (1);
// 0 when none of them is in the text. Case-sensitive.
quint8 AlarmCode(QByteArrayView text);
quint8 AlarmCode(const QString& text);

// "", "[!1H]", "[!1L]", "[!2H]", "[!2L]" or "[!K]" for the code of the text: alarm 1 or 2,
// upper (H) or lower (L) threshold, K for a sensor fault.
QString AlarmMarker(const QString& text);
QLatin1String AlarmMarkerOfCode(quint8 code);

} // namespace db
