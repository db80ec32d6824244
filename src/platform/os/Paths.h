#pragma once

#include <QString>

namespace os {

// A folder as the operator sees it and as output file names are built on: the system's
// own separators ("\" on Windows), always followed by one more separator, also when the
// folder already ends in one.
QString FolderWithSeparator(const QString& folder);

} // namespace os
