#pragma once

#include "platform/os/Desktop.h"

namespace app {

// The real message boxes and the desktop's file opener.
class SystemDesktop final : public os::Desktop {
public:
    bool openPath(const QString& path) override;

protected:
    bool question(const QString& caption, const QString& text, Icon icon) override;
    void message(const QString& caption, const QString& text, Icon icon) override;
};

} // namespace app
