#pragma once

#include <QLocale>
#include <QString>

namespace config {

// The three settings files kept next to the executable. Each Load function first creates
// a missing file with every key at its default, in the file's key order, then reads every
// key; a directory of that name does not count as the file. They and SaveWindowSettings
// throw IniWriteError when the file cannot be written.

// settings.ini, section [Application]: the main window's geometry.
struct WindowSettings {
    qint32 ScreenTop = 0;
    qint32 ScreenLeft = 0;
    qint32 ScreenWidth = 900;
    qint32 ScreenHeight = 600;
    qint32 ScreenState = 0;  // 2: maximised; any other value: normal

    bool operator==(const WindowSettings&) const = default;
};

// connection.ini, section [DataBase].
struct ConnectionSettings {
    QString Name;
    QString Password;
    QString User;
    QString Host;

    bool operator==(const ConnectionSettings&) const = default;
};

// config.ini, sections [View], [Chart] and [Reports].
struct ViewConfig {
    qint32 Refresh = 5;
    qint32 Dot = 1;
    float Min = 0;
    float Max = 0;
    qint32 Scale = 0;
    qint32 Zoom = 0;
    QString Path;
    QString User;
    qint32 AllCharts = 0;

    bool operator==(const ViewConfig&) const = default;
};

WindowSettings LoadWindowSettings(const QString& path);
// Writes the five keys in order; every other content of the file stays.
void SaveWindowSettings(const QString& path, const WindowSettings& settings);

ConnectionSettings LoadConnectionSettings(const QString& path);

// Min and Max are read by the rules of the locale.
ViewConfig LoadViewConfig(const QString& path, const QLocale& locale = QLocale());

} // namespace config
