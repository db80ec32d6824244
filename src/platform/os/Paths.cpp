#include "platform/os/Paths.h"

#include <QDir>

namespace os {

QString FolderWithSeparator(const QString& folder)
{
    return QDir::toNativeSeparators(folder) + QDir::separator();
}

} // namespace os
