#include "app/SettingsFileGuard.h"

#include "platform/os/Desktop.h"

namespace app {

namespace {

const QString Caption = QStringLiteral("Pliki ustawień");

} // namespace

void SettingsFileGuard::fileFailed(const ini::IniFileError& error)
{
    m_faultyPaths.append(error.path());
    const QString what = QString::fromUtf8(error.what());
    m_notes.append(QStringLiteral("Użyto wartości domyślnych zamiast pliku ustawień. ") + what);
    os::Desktop::current().showMessage(
        Caption, what + QStringLiteral("\n\nProgram działa dalej z domyślnymi wartościami tego pliku i nie zmienia go."),
        os::Desktop::Icon::Warning);
}

void SettingsFileGuard::tellUnusable(const QString& path, const QStringList& unusable)
{
    if (unusable.isEmpty())
        return;
    os::Desktop::current().showMessage(Caption,
                                       QStringLiteral("W pliku %1 są wartości, których nie można użyć:\n").arg(path)
                                           + unusable.join(QLatin1Char('\n'))
                                           + QStringLiteral("\n\nPopraw je, gdy program nie działa."),
                                       os::Desktop::Icon::Warning);
}

} // namespace app
