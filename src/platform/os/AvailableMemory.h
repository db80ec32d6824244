#pragma once

#include <QtGlobal>
#include <functional>
#include <optional>

namespace os {

// How many more bytes this process can take before an allocation fails: the least of the
// memory the system still has free (with swap) and the room left under the process's own
// address-space limit. Nothing when the system does not tell.
std::optional<qint64> AvailableMemory();
// Tests replace the answer to try a small limit; an empty function restores the system's.
void SetAvailableMemory(std::function<std::optional<qint64>()> source);

} // namespace os
