#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace config {

// The three settings files. Each Load function first creates a missing file with every key
// at its default, in the file's key order, then reads every key. A value that is there but
// cannot be used gives the key's default, and is noted in unusable (when given) as
// "Key=text: why, used value". A file that exists but cannot be read (a folder of that
// name, no access, UTF-16 text) throws ini::IniReadError and is not touched; a file that
// cannot be created or written throws ini::IniWriteError.

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
// The longest refresh period in seconds that a timer takes (about 24.8 days).
constexpr qint32 LongestRefresh = 2147483;

struct ViewConfig {
    qint32 Refresh = 5;  // a longer period than LongestRefresh is cut to it
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

WindowSettings LoadWindowSettings(const QString& path, QStringList* unusable = nullptr);
// Writes the five keys in order; every other content of the file stays.
void SaveWindowSettings(const QString& path, const WindowSettings& settings);

// A new connection.ini may be read by its owner only: it holds the password.
ConnectionSettings LoadConnectionSettings(const QString& path, QStringList* unusable = nullptr);

// Min and Max are read by the rules of the locale.
ViewConfig LoadViewConfig(const QString& path, const QLocale& locale = QLocale(), QStringList* unusable = nullptr);

} // namespace config
