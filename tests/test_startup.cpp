// The single-instance guard and the splash screen's hand-over to the main window.
#include "AppFixture.h"
#include "ScriptedDesktop.h"

#include "app/TFIntro.h"
#include "app/ZemloApplication.h"
#include "platform/os/SingleInstanceMarker.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#include <unistd.h>
#endif

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void secondInstanceRefusedUntilFirstIsKilled();
    void markerThatCannotBeMadeCountsAsFirstInstance();
    void otherUsersCopyDoesNotRefuseThisOne();
    void splashHandsOverAfter200Ticks();
    void escapeHandsOverAtOnce();
    void closeButtonAsksFirst_data();
    void closeButtonAsksFirst();
    void lastTickWhileCloseQuestionIsOpen_data();
    void lastTickWhileCloseQuestionIsOpen();
    void qtDialogsSpeakPolish();
};

namespace {
const QString AlreadyRunning = QStringLiteral("Ten program jest już uruchomiony!");
#ifdef Q_OS_WIN
const QString ProgramFile = QStringLiteral("zemlo-viewer.exe");
#else
const QString ProgramFile = QStringLiteral("zemlo-viewer");
#endif

bool refusedAsSecondInstance(const AppFolder& folder, ScriptedDesktop& desktop)
{
    desktop.messages.clear();
    const auto main = folder.start();
    const bool refused = main->terminateRequested();
    if (refused != (desktop.messages.size() == 1 && desktop.messages[0].text == AlreadyRunning))
        qFatal("the refusal and its message disagree");
    // A refused start still creates its settings files.
    if (!QFileInfo::exists(folder.file("config.ini")))
        qFatal("config.ini missing");
    return refused;
}
} // namespace

void StartupTest::secondInstanceRefusedUntilFirstIsKilled()
{
    // The first instance is the real program, in a folder of its own.
    AppFolder first;
    const QString program = first.file(ProgramFile);
    QVERIFY(QFile::copy(qEnvironmentVariable("ZEMLO_BINARY_DIR") + "/" + ProgramFile, program));
    AppFolder second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZEMLO_INSTANCE_MARKER", second.context().instanceMarkerName);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, {});
    QVERIFY(process.waitForStarted());
    // It holds its marker before it writes its settings files.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(first.file("config.ini")), 20000);

    ScriptedDesktop desktop;
    QVERIFY(refusedAsSecondInstance(second, desktop));

    process.kill(); // SIGKILL, or TerminateProcess on Windows: no chance to clean up
    QVERIFY(process.waitForFinished());
    QVERIFY(!refusedAsSecondInstance(second, desktop));
    QVERIFY(desktop.messages.isEmpty());

    // And while this instance runs, the next is refused again.
    const auto running = second.start();
    QVERIFY(refusedAsSecondInstance(second, desktop));
}

void StartupTest::markerThatCannotBeMadeCountsAsFirstInstance()
{
    const QString name = AppFolder().context().instanceMarkerName;
#ifdef Q_OS_WIN
    // A name inside an object namespace that does not exist: no semaphore can be made.
    const QString unmakeable = QStringLiteral("NoSuchNamespace\\") + name;
    const os::SingleInstanceMarker marker(unmakeable);
    QVERIFY(!marker.alreadyExisted());
    // It holds nothing either: the next one is not refused.
    const os::SingleInstanceMarker next(unmakeable);
    QVERIFY(!next.alreadyExisted());
#else
    // No file descriptor may be opened: the marker fails for another reason than a running copy.
    rlimit limits{};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limits), 0);
    rlimit none = limits;
    none.rlim_cur = 0;
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &none), 0);
    std::exception_ptr error;
    bool alreadyExisted = true;
    try {
        const os::SingleInstanceMarker marker(name);
        alreadyExisted = marker.alreadyExisted();
    } catch (...) {
        error = std::current_exception(); // looked at once descriptors may be opened again
    }
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &limits), 0);
    QVERIFY_THROWS_NO_EXCEPTION(if (error) std::rethrow_exception(error));
    QVERIFY(!alreadyExisted);
#endif
}

// Several people share a machine: one copy per user. The other user is "nobody"; the test
// must run as root to be someone else.
void StartupTest::otherUsersCopyDoesNotRefuseThisOne()
{
#ifdef Q_OS_WIN
    QSKIP("Windows keeps the marker in the session's own namespace");
#else
    if (::geteuid() != 0)
        QSKIP("starting a copy as another user needs root");
    // The other user's copy is the real program, in a folder that user may write to.
    AppFolder other;
    QVERIFY(QFile::setPermissions(other.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                                    | QFile::WriteOther | QFile::ExeOther));
    const QString program = other.file(ProgramFile);
    QVERIFY(QFile::copy(qEnvironmentVariable("ZEMLO_BINARY_DIR") + "/" + ProgramFile, program));
    AppFolder mine;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZEMLO_INSTANCE_MARKER", mine.context().instanceMarkerName);
    environment.insert("HOME", other.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--", program});
    QVERIFY(process.waitForStarted());
    const auto stop = qScopeGuard([&] {
        process.kill();
        process.waitForFinished();
    });
    // It holds its marker before it writes its settings files.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(other.file("config.ini")), 20000);
    QCOMPARE(process.state(), QProcess::Running);

    ScriptedDesktop desktop;
    QVERIFY(!refusedAsSecondInstance(mine, desktop));
    // The same user's second copy is still refused, and the other user's copy runs on.
    const auto running = mine.start();
    QVERIFY(refusedAsSecondInstance(mine, desktop));
    QCOMPARE(process.state(), QProcess::Running);
#endif
}

void StartupTest::splashHandsOverAfter200Ticks()
{
    AppFolder folder;
    ScriptedDesktop desktop;
    const auto main = folder.start();
    QElapsedTimer clock;
    clock.start();
    QPointer<app::TFIntro> splash = new app::TFIntro(*main);
    int lastTick = 0;
    connect(splash->ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) { lastTick = value; });
    QCOMPARE(splash->Label4->text(), QStringLiteral("wersja: 1.00.00"));
    QVERIFY(splash->isVisible());
    QVERIFY(!main->isVisible());

    QTRY_VERIFY_WITH_TIMEOUT(main->isVisible(), 15000);
    // Shown right after the bar reached its end: 200 ticks of at least 10 ms.
    QCOMPARE(lastTick, app::TFIntro::TickTotal);
    QVERIFY(clock.elapsed() >= 2000);
    // Empty connection values: the connection was tried and failed.
    QCOMPARE(main->LabelStatus->text(), QStringLiteral("Błąd połączenia z baza danych."));
    QTRY_VERIFY(splash.isNull());
}

void StartupTest::escapeHandsOverAtOnce()
{
    AppFolder folder;
    ScriptedDesktop desktop;
    const auto main = folder.start();
    QPointer<app::TFIntro> splash = new app::TFIntro(*main);
    QTest::qWait(50);
    QTest::keyClick(splash.data(), Qt::Key_A);
    QVERIFY(!main->isVisible());
    const int ticks = splash->tickCount();
    QTest::keyClick(splash.data(), Qt::Key_Escape);
    QVERIFY(main->isVisible());
    QCOMPARE(main->LabelStatus->text(), QStringLiteral("Błąd połączenia z baza danych."));
    QVERIFY(!splash->isVisible());
    // The progress stops where it was.
    QVERIFY(splash->tickCount() < app::TFIntro::TickTotal);
    QVERIFY(!splash->Timer1->isActive());
    QVERIFY(splash->ProgressBar1->value() <= ticks + 1);
    QTRY_VERIFY(splash.isNull());
}

void StartupTest::closeButtonAsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("no: the hand-over still comes") << false;
    QTest::newRow("yes: the program ends unconnected") << true;
}

void StartupTest::closeButtonAsksFirst()
{
    QFETCH(bool, answer);
    AppFolder folder;
    folder.write("settings.ini", "[Application]\nScreenTop=11\nScreenLeft=22\nScreenWidth=933\nScreenHeight=644\n");
    ScriptedDesktop desktop;
    desktop.answers = {answer};
    const auto main = folder.start();
    QPointer<app::TFIntro> splash = new app::TFIntro(*main);
    QFile::remove(folder.file("settings.ini"));
    QTest::mouseClick(splash->SpeedButton1, Qt::LeftButton);
    QCOMPARE(desktop.questions.size(), 1);
    QVERIFY(!splash->isVisible());
    QVERIFY(!main->isVisible());
    if (answer) {
        // The geometry read at start is written back as at every close.
        QCOMPARE(config::LoadWindowSettings(folder.file("settings.ini")), (config::WindowSettings{11, 22, 933, 644, 0}));
        QCOMPARE(main->LabelStatus->text(), QStringLiteral("LabelStatus"));
        delete splash.data();
    } else {
        QVERIFY(!QFileInfo::exists(folder.file("settings.ini")));
        QTRY_VERIFY_WITH_TIMEOUT(main->isVisible(), 15000);
        QCOMPARE(main->LabelStatus->text(), QStringLiteral("Błąd połączenia z baza danych."));
    }
}

void StartupTest::lastTickWhileCloseQuestionIsOpen_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("no: the hand-over follows") << false;
    QTest::newRow("yes: the program ends unconnected") << true;
}

void StartupTest::lastTickWhileCloseQuestionIsOpen()
{
    QFETCH(bool, answer);
    AppFolder folder;
    ScriptedDesktop desktop;
    desktop.answers = {answer};
    const auto main = folder.start();
    const QPointer<app::TFIntro> splash = new app::TFIntro(*main);
    // The operator leaves the close question open until the last tick has come and gone:
    // the hand-over does not run inside the question's event loop.
    bool handedOverBehindQuestion = true;
    desktop.whileShowing = [&] {
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull() || splash->tickCount() == app::TFIntro::TickTotal, 15000);
        QTest::qWait(100);
        handedOverBehindQuestion = splash.isNull() || main->isVisible() || main->LabelStatus->text() != "LabelStatus";
    };
    QTest::mouseClick(splash->SpeedButton1, Qt::LeftButton);
    QCOMPARE(desktop.questions.size(), 1);
    QVERIFY(!handedOverBehindQuestion);
    desktop.whileShowing = {};
    if (answer) {
        QTest::qWait(100);
        QVERIFY(!main->isVisible());
        QCOMPARE(main->LabelStatus->text(), QStringLiteral("LabelStatus"));
        delete splash.data();
    } else {
        QTRY_VERIFY(main->isVisible());
        QCOMPARE(main->LabelStatus->text(), QStringLiteral("Błąd połączenia z baza danych."));
        QTRY_VERIFY(splash.isNull());
    }
}

void StartupTest::qtDialogsSpeakPolish()
{
    QMessageBox box(QMessageBox::Question, "?", "?", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), QStringLiteral("Tak"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove('&'), QStringLiteral("Nie"));
}

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    application.applyLookAndLanguage();
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_startup.moc"
