#pragma once

#include "config/SettingsFiles.h"

#include <QRect>

namespace app {

// The outer geometry that a window saved with these settings opens with, on the screen that
// holds the saved centre, or else on the primary screen: moved and shrunk where needed to lie
// within the screen's available area, yet never smaller than the minimum (which then wins,
// from the area's top left corner). Any saved numbers are taken, however large.
QRect FitToScreen(const config::WindowSettings& saved, const QSize& minimum);

} // namespace app
