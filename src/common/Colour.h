#pragma once

#include <QColor>

namespace common {

// A colour stored as 0x00BBGGRR, as the measurement database and the settings keep them.
inline QColor ColourFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace common
