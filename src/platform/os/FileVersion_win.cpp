#include "platform/os/FileVersion.h"

#include <windows.h>
#include <winver.h>

#include <vector>

namespace os {

// The file version of the executable's VERSIONINFO resource, the one Explorer shows;
// all 0 when it has none.
void ReadFileVersion(qint32& major, qint32& minor, qint32& release, qint32& build)
{
    major = minor = release = build = 0;

    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return;
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.data(), &ignored);
    if (size == 0)
        return;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(path.data(), 0, size, data.data()))
        return;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || infoSize < sizeof *info)
        return;
    major = qint32(HIWORD(info->dwFileVersionMS));
    minor = qint32(LOWORD(info->dwFileVersionMS));
    release = qint32(HIWORD(info->dwFileVersionLS));
    build = qint32(LOWORD(info->dwFileVersionLS));
}

} // namespace os
