#pragma once

#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/TFMain.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

class QLabel;

// What the operator reads of a text: one taken for markup (rich text, or automatic and
// looking like markup, as every tool tip) shows what the markup renders to.
QString Rendered(const QString& text, Qt::TextFormat format = Qt::AutoText);
QString Rendered(const QLabel* label);

// A folder that stands for the executable's folder, and a main window started in it with
// an instance marker of its own, so that tests can run side by side.
class AppFolder {
public:
    AppFolder();

    QString path() const { return m_dir.path() + QLatin1Char('/'); }
    QString file(const QString& name) const { return path() + name; }
    void write(const QString& name, const QByteArray& content) const;
    QByteArray read(const QString& name) const;
    // Writes connection.ini with the test server's viewer account and the given database.
    void writeConnection(const QString& database, const QString& password = QString()) const;

    app::StartContext context() const { return app::StartContext(config::DecideStorageFolders(path()), m_markerName); }
    std::unique_ptr<app::TFMain> start() const { return std::make_unique<app::TFMain>(context()); }

private:
    QTemporaryDir m_dir;
    QString m_markerName;
};

// A shown main window in a folder of its own, connected to a scratch database that
// prepare fills first; config, when given, is written as config.ini.
struct ConnectedApp {
    ScratchDatabase database;
    AppFolder folder;
    ScriptedDesktop desktop;
    std::unique_ptr<app::TFMain> main;

    explicit ConnectedApp(const std::function<void(ScratchDatabase&)>& prepare, const QByteArray& config = {});
    QLabel* label(const QString& name) const;
};
