#pragma once

#include <QString>

namespace app {

// The one place that shows an error which ended an event handler: a box with the
// error's message.
void ShowErrorBox(const QString& message);

} // namespace app
