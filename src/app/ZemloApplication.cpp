#include "app/ZemloApplication.h"

#include "app/ErrorBox.h"
#include "platform/os/FontSubstitutes.h"

#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QStyle>
#include <QTranslator>

namespace app {

namespace {

// Qt skips repainting what opaque sibling widgets cover, but finds those siblings with a
// walk over every later sibling on each update: with 10,800 live-view controls in one
// scroll area that walk took 90 % of a refresh. Nothing in this program relies on it.
// Qt reads the switch at the first update, so setting it here is in time.
void SkipOpaqueSiblingSearch()
{
    qputenv("QT_NO_SUBTRACTOPAQUESIBLINGS", "1");
}

} // namespace

ZemloApplication::ZemloApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    SkipOpaqueSiblingSearch();
    setApplicationName(QStringLiteral("ZEMLO Viewer"));
    // The main window ends the program itself; the splash closing before the main
    // window shows must not end it.
    setQuitOnLastWindowClosed(false);
    os::Desktop::install(&m_desktop);
}

ZemloApplication::~ZemloApplication()
{
    os::Desktop::install(nullptr);
}

bool ZemloApplication::notify(QObject* receiver, QEvent* event)
{
    // The handlers catch at their own edge (RunHandler); this is the last resort for an error
    // that escaped one anyway.
    bool handled = false;
    RunHandler([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

void ZemloApplication::applyLookAndLanguage()
{
    // The windows name their fonts (Tahoma, Courier New, Segoe UI, Arial), and the system's own
    // font may be such a name too ("MS Shell Dlg" under Wine). Where the system has such a
    // family only as a substitute for another (as Wine does), Qt does not know the name and
    // draws with the first font of its list that covers the script, whatever that is (under
    // Wine a math font, in which line edits showed no text at all); the system's substitute is
    // what the system itself draws for that name. A family Qt does know is used as before.
    for (const auto& [family, substitute] : os::FontSubstitutes())
        QFont::insertSubstitution(family, substitute);
    setStyle(QStringLiteral("Fusion"));
    setPalette(style()->standardPalette());
    // The installed desktop entry carries the same icon under the same name.
    setWindowIcon(QIcon(QStringLiteral(":/resources/zemlo-viewer.svg")));
    setDesktopFileName(QStringLiteral("zemlo-viewer"));
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

} // namespace app
