#include "app/BusyGate.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace app {

namespace {

// Long enough to take every event that queued up, short enough that a flood of them cannot
// keep the window from going on.
constexpr int DropMilliseconds = 200;

} // namespace

BusyGate::BusyGate(QWidget& window)
    : QObject(&window)
    , m_window(window)
{
}

BusyGate::Work::Work(BusyGate& gate)
    : m_gate(gate)
{
    ++m_gate.m_works;
}

BusyGate::Work::~Work()
{
    if (m_gate.m_works == 1)
        m_gate.dropQueuedInput();
    if (--m_gate.m_works == 0 && m_gate.m_closeDeferred) {
        m_gate.m_closeDeferred = false;
        QTimer::singleShot(0, &m_gate.m_window, [window = &m_gate.m_window] { window->close(); });
    }
}

bool BusyGate::deferClose()
{
    if (m_works == 0)
        return false;
    m_closeDeferred = true;
    return true;
}

void BusyGate::dropQueuedInput()
{
    // Every queued event is delivered here, the window's input to nobody. A box opened
    // meanwhile is a window of its own and takes its input as always.
    qApp->installEventFilter(this);
    m_dropping = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents, DropMilliseconds);
    m_dropping = false;
    qApp->removeEventFilter(this);
}

bool BusyGate::eventFilter(QObject* watched, QEvent* event)
{
    if (m_dropping && event->isInputEvent() && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == &m_window)
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace app
