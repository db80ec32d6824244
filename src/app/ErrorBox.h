#pragma once

#include <QString>
#include <utility>

namespace app {

// The one place that shows an error which ended an event handler: a box with the
// error's message.
void ShowErrorBox(const QString& message);
// The same for the exception being handled; only inside a catch block.
void ShowCaughtError() noexcept;

// Runs an event handler; an error that ends it goes to the error box here, at the handler's
// edge, so that no exception travels on through Qt's code (which does not promise to survive
// one). What the handler changed before the error stays.
template <typename Handler>
void RunHandler(Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        ShowCaughtError();
    }
}

// A slot for connect() that runs receiver->handler(arguments...) through RunHandler:
//
//     connect(GetDataButton, &QToolButton::clicked, this, Guarded(this, &TFMain::GetDataButtonClick));
//
// Give the receiver as the connection's context too, so the slot goes with it. A handler may
// take fewer arguments than the signal has; the rest are dropped, as for any slot.
template <typename Receiver, typename... Args>
auto Guarded(Receiver* receiver, void (Receiver::*handler)(Args...))
{
    return [receiver, handler](Args... arguments) { RunHandler([&] { (receiver->*handler)(arguments...); }); };
}

} // namespace app
