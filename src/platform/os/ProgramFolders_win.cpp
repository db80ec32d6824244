#include "platform/os/ProgramFolders.h"

#include <QDir>

namespace os {

bool IsSystemProgramFolder(const QString& folder)
{
    const QString path = QDir::cleanPath(QDir(folder).absolutePath());
    // The 64-bit and the 32-bit Program Files, whichever the process sees as its own.
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        const QString system = QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable(variable)));
        if (system.isEmpty() || system == QStringLiteral("."))
            continue;
        if (path.compare(system, Qt::CaseInsensitive) == 0
            || path.startsWith(system + QLatin1Char('/'), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace os
