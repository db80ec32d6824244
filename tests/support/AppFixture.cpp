#include "AppFixture.h"

#include "TestServer.h"

#include <QFile>
#include <QLabel>
#include <QTextDocument>
#include <QUuid>

QString Rendered(const QString& text, Qt::TextFormat format)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

QString Rendered(const QLabel* label)
{
    return Rendered(label->text(), label->textFormat());
}

AppFolder::AppFolder()
    : m_markerName(QStringLiteral("zemlo-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

void AppFolder::write(const QString& name, const QByteArray& content) const
{
    QFile out(file(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(file(name)));
}

QByteArray AppFolder::read(const QString& name) const
{
    QFile in(file(name));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

void AppFolder::writeConnection(const QString& database, const QString& password) const
{
    write(QStringLiteral("connection.ini"),
          QStringLiteral("[DataBase]\nName=%1\nPassword=%2\nUser=%3\nHost=%4\n")
              .arg(database, password.isNull() ? TestServer::viewerPassword() : password,
                   TestServer::viewerUser(), TestServer::viewerHost())
              .toUtf8());
}

ConnectedApp::ConnectedApp(const std::function<void(ScratchDatabase&)>& prepare, const QByteArray& config)
{
    prepare(database);
    folder.writeConnection(database.name());
    if (!config.isEmpty())
        folder.write(QStringLiteral("config.ini"), config);
    main = folder.start();
    main->show();
    main->ToggleConnection();
}

QLabel* ConnectedApp::label(const QString& name) const
{
    return main->findChild<QLabel*>(name);
}
