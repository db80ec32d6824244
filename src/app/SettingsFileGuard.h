#pragma once

#include "platform/ini/IniFile.h"

#include <QString>
#include <QStringList>
#include <type_traits>

namespace app {

// Reads the settings files at start so that a damaged one never stops the program. A file
// that cannot be read or created is told in a box that names it and the reason; the program
// goes on with that file's defaults and never writes it. Values that cannot be used are told
// in a box as well. Each box comes once, at start.
class SettingsFileGuard {
public:
    // loadFile(path, QStringList* unusable) reads the file, throwing ini::IniFileError when it
    // cannot; the defaults (a default-made settings struct) come back then.
    template <typename Load>
    auto load(const QString& path, Load&& loadFile)
    {
        using Settings = std::invoke_result_t<Load, const QString&, QStringList*>;
        QStringList unusable;
        try {
            Settings settings = loadFile(path, &unusable);
            tellUnusable(path, unusable);
            return settings;
        } catch (const ini::IniFileError& error) {
            fileFailed(error);
            return Settings{};
        }
    }

    // False for a file that could not be read or created at start: it is left as it is.
    bool mayWrite(const QString& path) const { return !m_faultyPaths.contains(path); }
    // For the status tool tip: which files were not used and why; empty when all were.
    QString statusNote() const { return m_notes.join(QLatin1Char('\n')); }

private:
    void fileFailed(const ini::IniFileError& error);
    static void tellUnusable(const QString& path, const QStringList& unusable);

    QStringList m_faultyPaths;
    QStringList m_notes;
};

} // namespace app
