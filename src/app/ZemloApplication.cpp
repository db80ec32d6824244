#include "app/ZemloApplication.h"

#include "app/ErrorBox.h"

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
