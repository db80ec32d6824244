#include "app/ErrorBox.h"

#include "platform/os/Desktop.h"

namespace app {

void ShowErrorBox(const QString& message)
{
    os::Desktop::current().showMessage(QStringLiteral("ZEMLO Viewer"), message, os::Desktop::Icon::Error);
}

} // namespace app
