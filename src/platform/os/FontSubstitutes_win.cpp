#include "platform/os/FontSubstitutes.h"

#include <QSettings>

namespace os {

QList<std::pair<QString, QString>> FontSubstitutes()
{
    const QSettings table(QStringLiteral(R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\FontSubstitutes)"),
                          QSettings::NativeFormat);
    QList<std::pair<QString, QString>> substitutes;
    for (const QString& name : table.childKeys()) {
        // "Arial CE,238" = "Arial,238": a character set after the comma, which Qt's names do not carry.
        const QString family = name.section(u',', 0, 0).trimmed();
        const QString substitute = table.value(name).toString().section(u',', 0, 0).trimmed();
        if (!family.isEmpty() && !substitute.isEmpty() && family.compare(substitute, Qt::CaseInsensitive) != 0)
            substitutes.append({family, substitute});
    }
    return substitutes;
}

} // namespace os
