#include "config/SettingsFiles.h"

#include "platform/ini/IniFile.h"

#include <QFileInfo>
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
    {"View", "Refresh", &ViewConfig::Refresh},
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

// Creates a missing file with the defaults, then reads every key with its default.
template <class SettingsKey, std::size_t Count>
typename SettingsKey::Struct Load(const QString& path, const std::array<SettingsKey, Count>& keys,
                                  const QLocale& locale)
{
    using Settings = typename SettingsKey::Struct;
    ini::IniFile file(path);
    const Settings defaults;
    if (!QFileInfo(path).isFile())
        WriteKeys(file, keys, defaults, locale);
    Settings settings;
    for (const SettingsKey& key : keys) {
        std::visit([&](auto field) {
            using Field = std::remove_cvref_t<decltype(settings.*field)>;
            if constexpr (std::is_same_v<Field, qint32>)
                settings.*field = file.readInteger(key.section, key.name, defaults.*field);
            else if constexpr (std::is_same_v<Field, float>)
                settings.*field = file.readFloat(key.section, key.name, defaults.*field, locale);
            else
                settings.*field = file.readString(key.section, key.name, defaults.*field);
        }, key.field);
    }
    return settings;
}

}  // namespace

WindowSettings LoadWindowSettings(const QString& path)
{
    return Load(path, WindowKeys, QLocale::c());
}

void SaveWindowSettings(const QString& path, const WindowSettings& settings)
{
    ini::IniFile file(path);
    WriteKeys(file, WindowKeys, settings, QLocale::c());
}

ConnectionSettings LoadConnectionSettings(const QString& path)
{
    return Load(path, ConnectionKeys, QLocale::c());
}

ViewConfig LoadViewConfig(const QString& path, const QLocale& locale)
{
    return Load(path, ViewConfigKeys, locale);
}

} // namespace config
