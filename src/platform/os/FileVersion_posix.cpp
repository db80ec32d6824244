#include "platform/os/FileVersion.h"

#include "BuildVersion.h"

namespace os {

void ReadFileVersion(qint32& major, qint32& minor, qint32& release, qint32& build)
{
    major = ZEMLO_VERSION_MAJOR;
    minor = ZEMLO_VERSION_MINOR;
    release = ZEMLO_VERSION_RELEASE;
    build = ZEMLO_VERSION_BUILD;
}

} // namespace os
