#include "platform/os/FontSubstitutes.h"

#include <QHash>
#include <QSettings>

namespace os {

QList<std::pair<QString, QString>> FontSubstitutes()
{
    const QSettings table(QStringLiteral(R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\FontSubstitutes)"),
                          QSettings::NativeFormat);
    // Family names compare without case, as Windows compares them.
    QHash<QString, QString> substituteOf;
    for (const QString& name : table.childKeys()) {
        // "Arial CE,238" = "Arial,238": a character set after the comma, which Qt's names do not carry.
        const QString family = name.section(u',', 0, 0).trimmed();
        const QString substitute = table.value(name).toString().section(u',', 0, 0).trimmed();
        if (!family.isEmpty() && !substitute.isEmpty() && family.compare(substitute, Qt::CaseInsensitive) != 0)
            substituteOf.insert(family.toLower(), substitute);
    }
    QList<std::pair<QString, QString>> substitutes;
    for (auto entry = substituteOf.cbegin(); entry != substituteOf.cend(); ++entry) {
        // A substitute may itself be one (under Wine "MS Shell Dlg" = "Tahoma" = "Liberation
        // Sans"), and Qt follows a single step: the last name of the chain is the family. The
        // bound ends a chain that comes back on itself.
        QString family = entry.value();
        for (qsizetype step = 0; step < substituteOf.size() && substituteOf.contains(family.toLower()); ++step)
            family = substituteOf.value(family.toLower());
        substitutes.append({entry.key(), family});
    }
    return substitutes;
}

} // namespace os
