#include "platform/os/Desktop.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace os {

namespace {
Desktop* installed = nullptr;

QMessageBox::Icon toMessageBoxIcon(Desktop::Icon icon)
{
    switch (icon) {
    case Desktop::Icon::Information: return QMessageBox::Information;
    case Desktop::Icon::Warning: return QMessageBox::Warning;
    case Desktop::Icon::Error: return QMessageBox::Critical;
    case Desktop::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}
} // namespace

Desktop& Desktop::current()
{
    static SystemDesktop system;
    return installed ? *installed : system;
}

void Desktop::install(Desktop* desktop)
{
    installed = desktop;
}

bool SystemDesktop::askYesNo(const QString& caption, const QString& text)
{
    // No owner window: the box stands on its own, like a system message box.
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void SystemDesktop::showMessage(const QString& caption, const QString& text, Icon icon)
{
    QMessageBox box(toMessageBoxIcon(icon), caption, text, QMessageBox::Ok);
    box.exec();
}

bool SystemDesktop::openPath(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace os
