#include "config/SettingsFiles.h"
#include "config/StorageFolders.h"
#include "platform/ini/IniFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString WriteFixture(const QTemporaryDir& folder, const QString& name, const QByteArray& content)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the fixture %s", qPrintable(path));
    return path;
}

}  // namespace

class TestConfig : public QObject {
    Q_OBJECT

private slots:
    void missingFilesAreCreatedWithDefaultsInOrder()
    {
        const QTemporaryDir folder;
        const QString settings = folder.filePath("settings.ini");
        const QString connection = folder.filePath("connection.ini");
        const QString config = folder.filePath("config.ini");

        QCOMPARE(config::LoadWindowSettings(settings), config::WindowSettings());
        QCOMPARE(config::LoadConnectionSettings(connection), config::ConnectionSettings());
        QCOMPARE(config::LoadViewConfig(config, QLocale("pl_PL")), config::ViewConfig());

        QCOMPARE(FileBytes(settings), QByteArray("[Application]\nScreenTop=0\nScreenLeft=0\nScreenWidth=900\n"
                                                 "ScreenHeight=600\nScreenState=0\n"));
        QCOMPARE(FileBytes(connection), QByteArray("[DataBase]\nName=\nPassword=\nUser=\nHost=\n"));
        QCOMPARE(FileBytes(config), QByteArray("[View]\nRefresh=5\nDot=1\n\n"
                                               "[Chart]\nMin=0\nMax=0\nScale=0\nZoom=0\n\n"
                                               "[Reports]\nPath=\nUser=\nAllCharts=0\n"));
    }

    void existingFilesAreReadNotRewritten()
    {
        const QTemporaryDir folder;
        const QByteArray window("[application]\nScreenTop=10\nscreenleft=-20\nScreenWidth=1024\n"
                                "ScreenHeight=0x300\nScreenState=2\n");
        const QByteArray connection("[DataBase]\nName=zemlo\nPassword=\" tajne \"\nUser=zemlo_viewer\n");
        // Keys missing from an existing file read as defaults; the file is left as it is.
        const QByteArray config("[View]\nRefresh=0x0A\nDot=abc\n[Chart]\nMin=1,5\nMax=-2,25\nScale=2\n"
                                "[Reports]\nPath= /srv/Raporty \nUser=Łukasz\n");
        const QString windowPath = WriteFixture(folder, "settings.ini", window);
        const QString connectionPath = WriteFixture(folder, "connection.ini", connection);
        const QString configPath = WriteFixture(folder, "config.ini", config);

        QCOMPARE(config::LoadWindowSettings(windowPath), (config::WindowSettings{10, -20, 1024, 768, 2}));
        QCOMPARE(config::LoadConnectionSettings(connectionPath), (config::ConnectionSettings{"zemlo", " tajne ", "zemlo_viewer", ""}));
        QCOMPARE(config::LoadViewConfig(configPath, QLocale("pl_PL")),
                 (config::ViewConfig{10, 1, 1.5f, -2.25f, 2, 0, "/srv/Raporty", "Łukasz", 0}));

        QCOMPARE(FileBytes(windowPath), window);
        QCOMPARE(FileBytes(connectionPath), connection);
        QCOMPARE(FileBytes(configPath), config);
    }

    void floatsFollowTheLocale()
    {
        const QTemporaryDir folder;
        const QString path = WriteFixture(folder, "config.ini", "[Chart]\nMin=1,5\nMax=2.5\n");
        const config::ViewConfig polish = config::LoadViewConfig(path, QLocale("pl_PL"));
        QCOMPARE(polish.Min, 1.5f);
        QCOMPARE(polish.Max, 0.0f);
        const config::ViewConfig english = config::LoadViewConfig(path, QLocale("en_US"));
        QCOMPARE(english.Min, 0.0f);
        QCOMPARE(english.Max, 2.5f);
    }

    void saveWritesTheFiveKeysAndKeepsTheRest()
    {
        const QTemporaryDir folder;
        const QString path = WriteFixture(folder, "settings.ini",
                                          "; geometry\r\n[Application]\r\nScreenState=0\r\nTheme=dark\r\n"
                                          "ScreenTop = 1\r\n\r\n[Other]\r\nKey=value\r\n");
        config::SaveWindowSettings(path, config::WindowSettings{-8, -8, 1936, 1056, 2});
        QCOMPARE(FileBytes(path), QByteArray("; geometry\r\n[Application]\r\nScreenState=2\r\nTheme=dark\r\n"
                                             "ScreenTop = -8\r\nScreenLeft=-8\r\nScreenWidth=1936\r\n"
                                             "ScreenHeight=1056\r\n\r\n[Other]\r\nKey=value\r\n"));
        QCOMPARE(config::LoadWindowSettings(path), (config::WindowSettings{-8, -8, 1936, 1056, 2}));
    }

    void readmeConnectionExampleReadsAsMeant()
    {
        // The README's connection.ini, copied as it stands, gives the values it explains.
        const QString readme = QString::fromUtf8(FileBytes(qEnvironmentVariable("ZEMLO_SOURCE_DIR") + "/README.md"));
        const qsizetype start = readme.indexOf("```ini\n", readme.indexOf("`connection.ini`:"));
        QVERIFY(start >= 0);
        const qsizetype body = start + 7;
        const QString example = readme.mid(body, readme.indexOf("```", body) - body);
        const QTemporaryDir folder;
        const QString path = WriteFixture(folder, "connection.ini", example.toUtf8());
        QCOMPARE(config::LoadConnectionSettings(path),
                 (config::ConnectionSettings{"pomiary", "secret", "operator", "192.168.1.10"}));
    }

    void unwritableFileThrows()
    {
        const QTemporaryDir folder;
        const std::function<void(const QString&)> loads[] = {
            [](const QString& path) { config::LoadWindowSettings(path); },
            [](const QString& path) { config::LoadConnectionSettings(path); },
            [](const QString& path) { config::LoadViewConfig(path); },
            [](const QString& path) { config::SaveWindowSettings(path, config::WindowSettings()); },
        };
        // A directory of the file's name is not the file: creating the file fails.
        const QString path = folder.filePath("settings.ini");
        QVERIFY(QDir(folder.path()).mkdir("settings.ini"));
        for (const auto& load : loads) {
            try {
                load(path);
                QFAIL("no error for a directory in place of the file");
            } catch (const ini::IniWriteError& error) {
                QCOMPARE(QString::fromUtf8(error.what()), "Unable to write to " + path);
            }
        }
    }

    // A copy that can write next to its executable keeps everything there; one that cannot
    // (installed in /usr/bin or Program Files) uses the user's configuration and documents
    // folders: XDG's on Linux, %LOCALAPPDATA% and the Documents known folder (which a
    // site may have redirected, so it is asked for) on Windows.
    void storageFoldersFollowWhetherTheExecutablesFolderIsWritable()
    {
        const QTemporaryDir portable;
        const config::StorageFolders beside = config::DecideStorageFolders(portable.path());
        QCOMPARE(beside.ini, portable.path() + "/");
        QCOMPARE(beside.reports, portable.path() + "/Reports/");
        QVERIFY2(QDir(portable.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 "the test of the folder left a file behind");

#ifdef Q_OS_WIN
        // A folder that does not exist takes no file either.
        const QTemporaryDir parent;
        const config::StorageFolders installed = config::DecideStorageFolders(parent.filePath("missing"));
        QCOMPARE(installed.ini, QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA")) + "/zemlo-viewer/");
        QCOMPARE(installed.reports, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                        + "/ZEMLO Viewer/Reports/");
#else
        const QTemporaryDir user;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(user.filePath("config")));
        qputenv("HOME", QFile::encodeName(user.path()));
        // Not even root can create a file in /proc.
        const config::StorageFolders installed = config::DecideStorageFolders("/proc");
        QCOMPARE(installed.ini, user.filePath("config/zemlo-viewer/"));
        QCOMPARE(installed.reports, user.filePath("Documents/ZEMLO Viewer/Reports/"));
#endif
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
