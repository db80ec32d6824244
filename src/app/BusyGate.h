#pragma once

#include <QObject>

class QWidget;

namespace app {

// A fetch, a CSV export or a report holds the window until it ends; what the operator clicks
// or types meanwhile waits in the queue. Taken afterwards, a second click on the button would
// run the whole work again: the gate drops the queued clicks and key presses meant for the
// window when the work ends. A close request is kept and made again then, to be asked as always.
class BusyGate final : public QObject {
    Q_OBJECT
public:
    explicit BusyGate(QWidget& window);

    // Holds the window for one piece of work; the queued input goes with it.
    class Work {
    public:
        explicit Work(BusyGate& gate);
        ~Work();
        Work(const Work&) = delete;
        Work& operator=(const Work&) = delete;

    private:
        BusyGate& m_gate;
    };

    // For the window's close event: true when a work holds the window, and the request is
    // made again once it ends.
    bool deferClose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dropQueuedInput();

    QWidget& m_window;
    int m_works = 0;
    bool m_dropping = false;
    bool m_closeDeferred = false;
};

} // namespace app
