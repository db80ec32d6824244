#include "platform/os/Desktop.h"

#include <QtGlobal>
#include <utility>

namespace os {

namespace {

Desktop* installed = nullptr;
int openBoxes = 0;

// Counts a box as open while it is shown, also when showing it ends in an error.
class OpenBox {
public:
    OpenBox() { ++openBoxes; }
    ~OpenBox() { --openBoxes; }
    OpenBox(const OpenBox&) = delete;
    OpenBox& operator=(const OpenBox&) = delete;
};

} // namespace

bool Desktop::askYesNo(const QString& caption, const QString& text, Icon icon)
{
    const OpenBox open;
    return question(caption, text, icon);
}

void Desktop::showMessage(const QString& caption, const QString& text, Icon icon)
{
    const OpenBox open;
    message(caption, text, icon);
}

bool Desktop::boxOpen()
{
    return openBoxes > 0;
}

Desktop& Desktop::current()
{
    if (!installed)
        qFatal("No desktop is installed: questions and messages would have nowhere to go");
    return *installed;
}

Desktop* Desktop::install(Desktop* desktop)
{
    return std::exchange(installed, desktop);
}

} // namespace os
