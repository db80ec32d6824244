#include "platform/os/Desktop.h"

#include <QtGlobal>
#include <utility>

namespace os {

namespace {
Desktop* installed = nullptr;
} // namespace

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
