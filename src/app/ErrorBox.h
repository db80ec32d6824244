#pragma once

#include <QString>
#include <functional>

namespace app {

// The one place that shows an error which ended an event handler: a box with the
// error's message. While such a box is open, isShowing() is true.
void ShowErrorBox(const QString& message);
bool ErrorBoxShowing();

// Runs an event handler and shows an error that ends it in the error box, here at the
// handler's edge: an exception must not cross Qt's own code on its way out.
void RunHandler(const std::function<void()>& handler);

// A slot for connect() that runs receiver's handler through RunHandler.
template <class Receiver>
auto Guarded(Receiver* receiver, void (Receiver::*handler)())
{
    return [receiver, handler] { RunHandler([receiver, handler] { (receiver->*handler)(); }); };
}

} // namespace app
