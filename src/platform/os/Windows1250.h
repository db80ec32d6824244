#pragma once

#include <QByteArray>
#include <QStringView>

namespace os {

// Text in the Windows-1250 code page (Central European ANSI), as the CSV files and the
// PDF fonts want it. A character the code page cannot hold becomes one "?", whatever
// its length in UTF-16 (an emoji is one "?"). The code page's own table is compiled in,
// so every build, on every system, writes the same bytes for the same text.
class Windows1250 {
public:
    QByteArray encode(QStringView text) const;
    // Appends the encoded text to out.
    void append(QStringView text, QByteArray& out) const;
};

} // namespace os
