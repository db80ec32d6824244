#include "platform/os/FontSubstitutes.h"

namespace os {

QList<std::pair<QString, QString>> FontSubstitutes()
{
    return {};
}

} // namespace os
