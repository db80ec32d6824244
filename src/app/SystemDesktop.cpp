#include "app/SystemDesktop.h"

#include "app/BoxText.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QMessageBox>
#include <QUrl>

namespace app {

namespace {

QMessageBox::Icon toMessageBoxIcon(os::Desktop::Icon icon)
{
    switch (icon) {
    case os::Desktop::Icon::Information: return QMessageBox::Information;
    case os::Desktop::Icon::Warning: return QMessageBox::Warning;
    case os::Desktop::Icon::Error: return QMessageBox::Critical;
    case os::Desktop::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Messages quote names and values from the database and the settings files: they are shown
// as written, never as markup. A box keeps its buttons on the screen however long the text:
// its lines are wrapped to half the screen's width at most (where Qt's own wrapping of a
// box's text begins), and what does not fit the screen's height is left out of the middle;
// the whole text is then in the box's details. The text can be selected and copied.
void ShowPlainText(QMessageBox& box, const QString& text)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(800, 600);
    // Room for the icon and the margins beside the text, the title bar, the buttons and the
    // details' button below it.
    const QSize room(std::min(available.width() / 2, 500) - 100, available.height() - 250);
    const BoxText fitted = FitBoxText(text, box.font(), room);
    box.setTextFormat(Qt::PlainText);
    box.setText(fitted.shown);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (fitted.cut)
        box.setDetailedText(text);
}

} // namespace

bool SystemDesktop::question(const QString& caption, const QString& text, Icon icon)
{
    // No owner window: the box stands on its own, like a system message box.
    QMessageBox box(toMessageBoxIcon(icon), caption, QString(), QMessageBox::Yes | QMessageBox::No);
    ShowPlainText(box, text);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void SystemDesktop::message(const QString& caption, const QString& text, Icon icon)
{
    QMessageBox box(toMessageBoxIcon(icon), caption, QString(), QMessageBox::Ok);
    ShowPlainText(box, text);
    box.exec();
}

bool SystemDesktop::openPath(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace app
