#pragma once

#include <QtGlobal>

namespace os {

// The program's version (major, minor, release, build) as the build compiled it in.
void ReadFileVersion(qint32& major, qint32& minor, qint32& release, qint32& build);

} // namespace os
