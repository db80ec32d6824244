#include "platform/os/WriteBack.h"

#include <QFileDevice>
#include <fcntl.h>

namespace os {

void StartWriteBack(const QFileDevice& file, qint64 offset, qint64 length)
{
    // The file's pages go to the device queue now; the later fsync waits only for the rest.
    sync_file_range(file.handle(), offset, length, SYNC_FILE_RANGE_WRITE);
}

} // namespace os
