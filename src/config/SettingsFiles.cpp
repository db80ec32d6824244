#include "config/SettingsFiles.h"

#include "platform/ini/IniFile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <array>
#include <type_traits>
#include <variant>

namespace config {

namespace {

// One key of a settings file and the field of the settings struct that holds it; Fields
// are the types of the struct's fields.
template <class Settings, class... Fields>
struct Key {
    using Struct = Settings;
    const char* section;
    const char* name;
    std::variant<Fields Settings::*...> field;
    // For an integer: the largest value used; a larger whole number is cut to it. 0: none.
    qint32 largest = 0;
};

// The keys of each file, in the order in which a new file holds them.
constexpr std::array<Key<WindowSettings, qint32>, 5> WindowKeys{{
    {"Application", "ScreenTop", &WindowSettings::ScreenTop},
    {"Application", "ScreenLeft", &WindowSettings::ScreenLeft},
    {"Application", "ScreenWidth", &WindowSettings::ScreenWidth},
    {"Application", "ScreenHeight", &WindowSettings::ScreenHeight},
    {"Application", "ScreenState", &WindowSettings::ScreenState},
}};

constexpr std::array<Key<ConnectionSettings, QString>, 4> ConnectionKeys{{
    {"DataBase", "Name", &ConnectionSettings::Name},
    {"DataBase", "Password", &ConnectionSettings::Password},
    {"DataBase", "User", &ConnectionSettings::User},
    {"DataBase", "Host", &ConnectionSettings::Host},
}};

constexpr std::array<Key<ViewConfig, qint32, float, QString>, 9> ViewConfigKeys{{
    {"View", "Refresh", &ViewConfig::Refresh, LongestRefresh},
    {"View", "Dot", &ViewConfig::Dot},
    {"Chart", "Min", &ViewConfig::Min},
    {"Chart", "Max", &ViewConfig::Max},
    {"Chart", "Scale", &ViewConfig::Scale},
    {"Chart", "Zoom", &ViewConfig::Zoom},
    {"Reports", "Path", &ViewConfig::Path},
    {"Reports", "User", &ViewConfig::User},
    {"Reports", "AllCharts", &ViewConfig::AllCharts},
}};

template <class SettingsKey, std::size_t Count>
void WriteKeys(ini::IniFile& file, const std::array<SettingsKey, Count>& keys,
               const typename SettingsKey::Struct& settings, const QLocale& locale)
{
    for (const SettingsKey& key : keys) {
        std::visit([&](auto field) {
            using Field = std::remove_cvref_t<decltype(settings.*field)>;
            if constexpr (std::is_same_v<Field, qint32>)
                file.writeInteger(key.section, key.name, settings.*field);
            else if constexpr (std::is_same_v<Field, float>)
                file.writeFloat(key.section, key.name, settings.*field, locale);
            else
                file.writeString(key.section, key.name, settings.*field);
        }, key.field);
    }
}

// A whole number larger than largest, however many digits it has.
bool IsWholeNumberAbove(const QString& text, qint32 largest)
{
    static const QRegularExpression digits(QStringLiteral("^\\+?[0-9]+$"));
    if (!digits.match(text).hasMatch())
        return false;
    bool fits = false;
    const qulonglong value = text.toULongLong(&fits);
    return !fits || value > qulonglong(largest);
}

// The value of an integer key; a text that is there but cannot be used is noted.
qint32 ReadInteger(const ini::IniFile& file, const char* section, const char* name, qint32 fallback, qint32 largest,
                   QStringList* unusable)
{
    const QString text = file.readString(section, name, QString());
    if (text.isEmpty())
        return fallback;
    if (largest > 0 && IsWholeNumberAbove(text, largest)) {
        if (unusable)
            unusable->append(QStringLiteral("%1=%2: więcej niż %3, użyto %3").arg(QLatin1String(name), text).arg(largest));
        return largest;
    }
    if (const std::optional<qint32> value = ini::ParseInteger(text))
        return *value;
    if (unusable)
        unusable->append(QStringLiteral("%1=%2: to nie jest liczba całkowita, użyto %3").arg(QLatin1String(name), text).arg(fallback));
    return fallback;
}

float ReadFloat(const ini::IniFile& file, const char* section, const char* name, float fallback, const QLocale& locale,
                QStringList* unusable)
{
    const QString text = file.readString(section, name, QString());
    if (text.isEmpty())
        return fallback;
    if (const std::optional<float> value = ini::ParseFloat(text, locale))
        return *value;
    if (unusable)
        unusable->append(QStringLiteral("%1=%2: to nie jest liczba (separator dziesiętny: „%3”), użyto %4")
                             .arg(QLatin1String(name), text, locale.decimalPoint(), locale.toString(fallback)));
    return fallback;
}

// Creates a missing file with the defaults, then reads every key with its default. A file
// that is there but cannot be read throws IniReadError and is left as it is.
template <class SettingsKey, std::size_t Count>
typename SettingsKey::Struct Load(ini::IniFile& file, const std::array<SettingsKey, Count>& keys,
                                  const QLocale& locale, QStringList* unusable)
{
    using Settings = typename SettingsKey::Struct;
    file.requireReadable();
    const Settings defaults;
    if (!QFileInfo::exists(file.path()))
        WriteKeys(file, keys, defaults, locale);
    Settings settings;
    for (const SettingsKey& key : keys) {
        std::visit([&](auto field) {
            using Field = std::remove_cvref_t<decltype(settings.*field)>;
            if constexpr (std::is_same_v<Field, qint32>)
                settings.*field = ReadInteger(file, key.section, key.name, defaults.*field, key.largest, unusable);
            else if constexpr (std::is_same_v<Field, float>)
                settings.*field = ReadFloat(file, key.section, key.name, defaults.*field, locale, unusable);
            else
                settings.*field = file.readString(key.section, key.name, defaults.*field);
        }, key.field);
    }
    return settings;
}

}  // namespace

WindowSettings LoadWindowSettings(const QString& path, QStringList* unusable)
{
    ini::IniFile file(path);
    return Load(file, WindowKeys, QLocale::c(), unusable);
}

void SaveWindowSettings(const QString& path, const WindowSettings& settings)
{
    ini::IniFile file(path);
    WriteKeys(file, WindowKeys, settings, QLocale::c());
}

ConnectionSettings LoadConnectionSettings(const QString& path, QStringList* unusable)
{
    // It holds the password: a new file is its owner's alone.
    ini::IniFile file(path, ini::IniFile::NewFileAccess::OwnerOnly);
    return Load(file, ConnectionKeys, QLocale::c(), unusable);
}

ViewConfig LoadViewConfig(const QString& path, const QLocale& locale, QStringList* unusable)
{
    ini::IniFile file(path);
    return Load(file, ViewConfigKeys, locale, unusable);
}

} // namespace config
