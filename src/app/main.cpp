#include "app/TFIntro.h"
#include "app/TFMain.h"
#include "app/ZemloApplication.h"

#include "app/ErrorBox.h"

#include <QPointer>

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    application.applyLookAndLanguage();

    app::StartContext context(config::DecideStorageFolders(QCoreApplication::applicationDirPath()));
    // Lets tests and a second copy of the program side by side use a marker of their own.
    const QString marker = qEnvironmentVariable("ZEMLO_INSTANCE_MARKER");
    if (!marker.isEmpty())
        context.instanceMarkerName = marker;

    app::RunHandler([&] {
        app::TFMain mainWindow(context);
        // The splash deletes itself when it hands over; if the program ends first, it goes here.
        const QPointer<app::TFIntro> splash = new app::TFIntro(mainWindow);
        QApplication::exec();
        delete splash.data();
    });
    return 0;
}
