#pragma once

#include "platform/os/Desktop.h"

namespace app {

// The real message boxes and the desktop's file opener.
class SystemDesktop final : public os::Desktop {
public:
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override;
    void showMessage(const QString& caption, const QString& text, Icon icon) override;
    bool openPath(const QString& path) override;
};

} // namespace app
