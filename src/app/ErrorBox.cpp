#include "app/ErrorBox.h"

#include "platform/os/Desktop.h"

#include <exception>

namespace app {

void ShowErrorBox(const QString& message)
{
    os::Desktop::current().showMessage(QStringLiteral("ZEMLO Viewer"), message, os::Desktop::Icon::Error);
}

void ShowCaughtError() noexcept
{
    try {
        throw;
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorBox(QString());
    }
}

} // namespace app
