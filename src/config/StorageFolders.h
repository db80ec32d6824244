#pragma once

#include <QString>

namespace config {

// Where this copy of the program keeps its three INI files and, unless config.ini names
// another folder, its reports. Both end in '/'.
struct StorageFolders {
    QString ini;
    QString reports;
};

// Decided once at start. A copy whose executable folder it can write to (a folder unpacked
// anywhere, the Windows build) keeps everything next to the executable, as always, unless
// that folder is one of the system's program folders (/usr and /opt, Program Files). An
// installed copy (/usr/bin) keeps its INI files in the user's configuration folder
// ($XDG_CONFIG_HOME/zemlo-viewer/, ~/.config/zemlo-viewer/ by default) and its reports in
// "ZEMLO Viewer/Reports" under the user's documents folder.
StorageFolders DecideStorageFolders(const QString& executableFolder);

} // namespace config
