#include "app/TFIntro.h"

#include "app/ErrorBox.h"
#include "app/TFMain.h"
#include "platform/os/Desktop.h"
#include "platform/os/FileVersion.h"

#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace app {

TFIntro::TFIntro(TFMain& mainWindow, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_main(mainWindow)
{
    setObjectName(QStringLiteral("FIntro"));
    setWindowTitle(QStringLiteral("FIntro"));
    setFixedSize(500, 250);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFocusPolicy(Qt::StrongFocus);
    if (const QScreen* screen = this->screen())
        move(screen->geometry().center() - rect().center());

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 500, 250);
    Image1->setPixmap(QIcon(QStringLiteral(":/resources/splash.svg")).pixmap(499, 250));

    Label4 = new QLabel(QStringLiteral("Label4"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(267, 158, 183, 13);
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(469, 8, 23, 23);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setIcon(QIcon(QStringLiteral(":/resources/close.svg")));
    SpeedButton1->setIconSize(QSize(17, 17));
    connect(SpeedButton1, &QToolButton::clicked, this, Guarded(this, &TFIntro::SpeedButton1Click));

    Label1 = new QLabel(QStringLiteral("www.zemlo-viewer.example"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 229, 465, 13);
    Label1->setAlignment(Qt::AlignCenter);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(16, 204, 465, 17);
    ProgressBar1->setRange(0, TickTotal);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, Guarded(this, &TFIntro::Timer1Timer));

    FormCreate();
    show();
    activateWindow();
    setFocus();
}

void TFIntro::FormCreate()
{
    qint32 major = 0, minor = 0, release = 0, build = 0;
    os::ReadFileVersion(major, minor, release, build);
    Label4->setText(QStringLiteral("wersja: ") + VersionText(major, minor));
    Timer1->start();
}

void TFIntro::Timer1Timer()
{
    if (m_tickCount < TickTotal) {
        ++m_tickCount;
        ProgressBar1->setValue(m_tickCount);
    }
    // While a box is open (the close question of the close button), the hand-over waits for
    // the next tick after it: the window is not shown and connected inside the box's event
    // loop, behind a question that may yet end the program.
    if (m_tickCount == TickTotal && !os::Desktop::boxOpen())
        HandOver();
}

void TFIntro::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        RunHandler([this] { HandOver(); });
    else
        QWidget::keyPressEvent(event);
}

void TFIntro::HandOver()
{
    Timer1->stop();
    hide();
    m_main.show();
    deleteLater();
    m_main.ToggleConnection();
}

void TFIntro::SpeedButton1Click()
{
    // The ticks go on: if the operator refuses to end the program, the hand-over still comes.
    // If the operator confirms, it never comes.
    hide();
    if (m_main.close())
        Timer1->stop();
}

} // namespace app
