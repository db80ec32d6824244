#include "app/SystemDesktop.h"

#include <QDesktopServices>
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
// as written, never as markup.
void ShowPlainText(QMessageBox& box, const QString& text)
{
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
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
