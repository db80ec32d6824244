#include "platform/os/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>

namespace os {

bool IsSystemProgramFolder(const QString& folder)
{
    // Through symbolic links: /bin is /usr/bin on a merged-/usr system.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QString path = canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical;
    for (const QString& system : {QStringLiteral("/usr"), QStringLiteral("/opt")}) {
        if (path == system || path.startsWith(system + QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace os
