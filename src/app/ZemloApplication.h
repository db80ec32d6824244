#pragma once

#include "app/SystemDesktop.h"

#include <QApplication>

namespace app {

// The application object. An exception that escaped an event handler's own edge is caught
// here as a last resort and its message shown in the error box; the program goes on with the
// next event. The real message boxes are installed for as long as the application lives.
class ZemloApplication final : public QApplication {
    Q_OBJECT
public:
    ZemloApplication(int& argc, char** argv);
    ~ZemloApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // Fusion with its light palette, the system's font substitutes, and Qt's own dialog texts
    // in the user's language.
    void applyLookAndLanguage();

private:
    SystemDesktop m_desktop;
};

} // namespace app
