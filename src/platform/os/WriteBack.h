#pragma once

#include <QtGlobal>

class QFileDevice;

namespace os {

// Asks the system to start writing the given bytes of an open file to the disk now,
// without waiting: a long file written in parts then needs less time at its final sync.
// Only a hint; nothing happens where the system has no such call, or when it refuses.
void StartWriteBack(const QFileDevice& file, qint64 offset, qint64 length);

} // namespace os
