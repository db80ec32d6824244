#include "app/ErrorBox.h"

#include "platform/os/Desktop.h"

namespace app {

namespace {
int openBoxes = 0;
} // namespace

void ShowErrorBox(const QString& message)
{
    ++openBoxes;
    struct Closed { ~Closed() { --openBoxes; } } closed;
    os::Desktop::current().showMessage(QStringLiteral("ZEMLO Viewer"), message, os::Desktop::Icon::Error);
}

void RunHandler(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowErrorBox(QString());
    }
}

bool ErrorBoxShowing()
{
    return openBoxes > 0;
}

} // namespace app
