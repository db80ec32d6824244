#pragma once

namespace app {

// The program's pictures (alarm dots, the icons of the tabs and of the tool buttons, the
// splash logo) are SVG, which Qt draws through its SVG plugins (Debian: libqt6svg6). Without
// them every picture is blank: this tells the operator so, in a box, when a picture cannot
// be drawn.
void TellIfArtworkMissing();

} // namespace app
