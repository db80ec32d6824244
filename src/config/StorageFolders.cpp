#include "config/StorageFolders.h"

#include "platform/os/ProgramFolders.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace config {

namespace {

// Permission bits do not tell it all (access lists, a read-only file system, Windows): a
// file created and removed again does.
bool CanCreateFilesIn(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral(".zemlo-viewer-XXXXXX"));
    return probe.open();
}

QString WithSlash(const QString& folder)
{
    return QDir(folder).absolutePath() + QLatin1Char('/');
}

} // namespace

StorageFolders DecideStorageFolders(const QString& executableFolder)
{
    const QString beside = WithSlash(executableFolder);
    // An installed program's folder is the system's, even where root could write to it: files
    // left there outlive the package's removal.
    if (!os::IsSystemProgramFolder(executableFolder) && CanCreateFilesIn(beside))
        return {beside, beside + QStringLiteral("Reports/")};
    return {WithSlash(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/zemlo-viewer")),
            WithSlash(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/ZEMLO Viewer/Reports"))};
}

} // namespace config
