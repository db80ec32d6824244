#pragma once

#include <QString>

namespace os {

// Whether folder lies in one of the system's folders for installed programs, where a program
// keeps no files of its own: /usr and /opt on Linux; Program Files (both of them on a 64-bit
// Windows) on Windows. Root, or an administrator, may write there all the same.
bool IsSystemProgramFolder(const QString& folder);

} // namespace os
