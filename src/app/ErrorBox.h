#pragma once

#include <QString>

namespace app {

// The one place that shows an error which ended an event handler: a box with the
// error's message. While such a box is open, isShowing() is true.
void ShowErrorBox(const QString& message);
bool ErrorBoxShowing();

} // namespace app
