#include "app/Artwork.h"

#include "platform/os/Desktop.h"

#include <QIcon>

namespace app {

void TellIfArtworkMissing()
{
    if (!QIcon(QStringLiteral(":/resources/dot_green.svg")).pixmap(16, 16).isNull())
        return;
    os::Desktop::current().showMessage(
        QStringLiteral("ZEMLO Viewer"),
        QStringLiteral("Nie można wczytać obrazów programu: kropki alarmów, ikony zakładek i przycisków oraz logo "
                       "pozostaną puste. Brakuje obsługi obrazów SVG w bibliotece Qt (w Debianie: pakiet libqt6svg6)."),
        os::Desktop::Icon::Warning);
}

} // namespace app
