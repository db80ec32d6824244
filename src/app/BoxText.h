#pragma once

#include <QSize>
#include <QString>

class QFont;

namespace app {

// A message's text as a box shows it: every line wrapped to room's width (at a blank where
// there is one), and when more lines come out than room's height holds, the middle ones left
// out for a line "…", so that the box and its buttons stay on the screen.
struct BoxText {
    QString shown;
    bool cut = false;  // lines were left out: the whole text must be at hand another way
};

BoxText FitBoxText(const QString& text, const QFont& font, const QSize& room);

} // namespace app
