#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;

namespace app {

class TFMain;

// The splash screen: counts 200 ticks of 10 ms (Escape cuts it short), then hides itself,
// shows the main window and lets it connect; the last tick waits for an open box to close.
class TFIntro final : public QWidget {
    Q_OBJECT
public:
    static constexpr int TickTotal = 200;

    explicit TFIntro(TFMain& mainWindow, QWidget* parent = nullptr);

    int tickCount() const { return m_tickCount; }

    QLabel* Image1 = nullptr;
    QLabel* Label4 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLabel* Label1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void Timer1Timer();
    void SpeedButton1Click();
    void HandOver();

    TFMain& m_main;
    int m_tickCount = 0;
};

} // namespace app
