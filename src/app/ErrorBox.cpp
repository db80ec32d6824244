#include "app/ErrorBox.h"

#include "platform/os/Desktop.h"

#include <exception>
#include <new>

namespace app {

void ShowErrorBox(const QString& message)
{
    os::Desktop::current().showMessage(QStringLiteral("ZEMLO Viewer"), message, os::Desktop::Icon::Error);
}

void ShowCaughtError() noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        // The library's own words ("std::bad_alloc") tell an operator nothing.
        ShowErrorBox(QStringLiteral("Zabrakło pamięci i operacja została przerwana. Przy pobieraniu danych wybierz krótszy zakres."));
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorBox(QString());
    }
}

} // namespace app
