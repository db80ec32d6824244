#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace app {

namespace {

// One dimension: the extent within [lowest, lowest + room) where it fits, at least minimum.
// In 64 bits, so that no sum of saved numbers overflows.
std::pair<int, int> Fit(qint64 start, qint64 extent, qint64 lowest, qint64 room, qint64 minimum)
{
    const qint64 fitted = std::clamp(extent, minimum, std::max(room, minimum));
    const qint64 fittedStart = std::clamp(start, lowest, std::max(lowest, lowest + room - fitted));
    return {int(fittedStart), int(fitted)};
}

bool Holds(const QRect& area, qint64 x, qint64 y)
{
    return x >= area.left() && x <= area.right() && y >= area.top() && y <= area.bottom();
}

QRect FitToArea(const config::WindowSettings& saved, const QRect& available, const QSize& minimum)
{
    const auto [left, width] = Fit(saved.ScreenLeft, saved.ScreenWidth, available.left(), available.width(), minimum.width());
    const auto [top, height] = Fit(saved.ScreenTop, saved.ScreenHeight, available.top(), available.height(), minimum.height());
    return {left, top, width, height};
}

} // namespace

QRect FitToScreen(const config::WindowSettings& saved, const QSize& minimum)
{
    const qint64 centreX = qint64(saved.ScreenLeft) + saved.ScreenWidth / 2;
    const qint64 centreY = qint64(saved.ScreenTop) + saved.ScreenHeight / 2;
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto holding = std::find_if(screens.cbegin(), screens.cend(),
                                      [&](const QScreen* screen) { return Holds(screen->geometry(), centreX, centreY); });
    const QScreen* screen = holding != screens.cend() ? *holding : QGuiApplication::primaryScreen();
    return FitToArea(saved, screen ? screen->availableGeometry() : QRect(QPoint(0, 0), minimum), minimum);
}

} // namespace app
