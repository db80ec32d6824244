// Without Qt's SVG plugins every picture of the program is blank (alarm dots, the icons of
// the tabs and tool buttons, the splash logo): the operator is told so at start, once. The
// process looks for plugins only in an empty folder, set before any picture is drawn.
#include "AppFixture.h"
#include "ScriptedDesktop.h"

#include "app/TFIntro.h"
#include "app/ZemloApplication.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

class MissingArtworkTest : public QObject {
    Q_OBJECT
private slots:
    void toldOnceAtStart()
    {
#ifdef Q_OS_WIN
        QSKIP("the Windows build carries its pictures as PNG, which Qt draws without plugins");
#endif
        AppFolder folder;
        ScriptedDesktop desktop;
        const auto main = folder.start();
        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(desktop.messages[0].icon, os::Desktop::Icon::Warning);
        QVERIFY2(desktop.messages[0].text.startsWith(QStringLiteral("Nie można wczytać obrazów programu"))
                     && desktop.messages[0].text.contains(QStringLiteral("libqt6svg6")),
                 qPrintable(desktop.messages[0].text));
        // The program goes on: the splash hands over and the connection is tried, without
        // another word about the pictures.
        QTest::keyClick(new app::TFIntro(*main), Qt::Key_Escape);
        QVERIFY(main->isVisible());
        QCOMPARE(main->LabelStatus->text(), QStringLiteral("Błąd połączenia z baza danych."));
        QCOMPARE(desktop.messages.size(), 1);
    }
};

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    const QTemporaryDir noPlugins;
    QCoreApplication::setLibraryPaths({noPlugins.path()});
    application.applyLookAndLanguage();
    MissingArtworkTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_missing_artwork.moc"
