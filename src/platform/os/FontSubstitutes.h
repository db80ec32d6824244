#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace os {

// The font family names that the system draws with another family, each with the family it
// finally stands for: Windows' FontSubstitutes table ("MS Shell Dlg 2" -> "Tahoma"; under Wine
// the Windows fonts mapped onto free ones), names in lower case. Qt's Windows font database knows only the families
// the system lists, so a name the system merely maps goes unknown there. Empty on Linux,
// where fontconfig resolves names itself.
QList<std::pair<QString, QString>> FontSubstitutes();

} // namespace os
