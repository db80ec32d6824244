#include "config/SettingsFiles.h"
#include "config/StorageFolders.h"
#include "platform/ini/IniFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QStringEncoder>
#include <QTest>
#include <functional>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

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
            } catch (const ini::IniReadError& error) {
                QCOMPARE(QString::fromUtf8(error.what()),
                         "Nie można odczytać pliku " + path + ": w miejscu pliku jest folder");
            }
        }
    }

    // A file that is there but cannot be read as text is refused, and left byte for byte as
    // it was: a load does not create it anew, a save does not write into it.
    void unreadableTextIsRefusedAndKept_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QString text = QStringLiteral("[DataBase]\nName=zemlo\nUser=operator\n");
        const auto utf16 = [&](QStringConverter::Encoding encoding, bool mark) {
            QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
            return QByteArray(encoder(text));
        };
        QTest::newRow("UTF-16 LE with its mark (Notepad's \"Unicode\")") << utf16(QStringConverter::Utf16LE, true);
        QTest::newRow("UTF-16 BE with its mark") << utf16(QStringConverter::Utf16BE, true);
        QTest::newRow("UTF-16 without a mark") << utf16(QStringConverter::Utf16LE, false);
    }

    void unreadableTextIsRefusedAndKept()
    {
        QFETCH(QByteArray, content);
        const QTemporaryDir folder;
        const std::function<void(const QString&)> uses[] = {
            [](const QString& path) { config::LoadConnectionSettings(path); },
            [](const QString& path) { config::LoadViewConfig(path); },
            [](const QString& path) { config::SaveWindowSettings(path, config::WindowSettings()); },
        };
        const QString path = WriteFixture(folder, "connection.ini", content);
        for (const auto& use : uses) {
            try {
                use(path);
                QFAIL("UTF-16 text was taken for settings");
            } catch (const ini::IniReadError& error) {
                QCOMPARE(error.path(), path);
                QVERIFY2(QString::fromUtf8(error.what()).startsWith("Nie można odczytać pliku " + path + ": ")
                             && error.reason().contains("UTF-16"),
                         error.what());
            }
            QCOMPARE(FileBytes(path), content);
        }
    }

    // A value that is there but cannot be used gives the default and is noted, to be told;
    // a refresh period longer than a timer takes is cut to the longest it takes.
    void unusableValuesAreNoted_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<qint32>("refresh");
        QTest::addColumn<float>("min");
        QTest::addColumn<QString>("note"); // empty: nothing to tell

        QTest::newRow("period") << QByteArray("[View]\nRefresh=60") << 60 << 0.f << QString();
        QTest::newRow("hexadecimal") << QByteArray("[View]\nRefresh=0x0A") << 10 << 0.f << QString();
        QTest::newRow("off") << QByteArray("[View]\nRefresh=-3") << -3 << 0.f << QString();
        QTest::newRow("empty: the default") << QByteArray("[View]\nRefresh=") << 5 << 0.f << QString();
        QTest::newRow("longest") << QByteArray("[View]\nRefresh=2147483") << config::LongestRefresh << 0.f << QString();
        QTest::newRow("a second too long") << QByteArray("[View]\nRefresh=2147484") << config::LongestRefresh << 0.f
                                           << "Refresh=2147484: więcej niż 2147483, użyto 2147483";
        QTest::newRow("beyond 32 bits") << QByteArray("[View]\nRefresh=99999999999") << config::LongestRefresh << 0.f
                                        << "Refresh=99999999999: więcej niż 2147483, użyto 2147483";
        QTest::newRow("not a number") << QByteArray("[View]\nRefresh=abc") << 5 << 0.f
                                      << "Refresh=abc: to nie jest liczba całkowita, użyto 5";
        QTest::newRow("decimal point in a Polish locale") << QByteArray("[Chart]\nMin=1.5") << 5 << 0.f
                                                          << "Min=1.5: to nie jest liczba (separator dziesiętny: „,”), użyto 0";
        QTest::newRow("decimal comma") << QByteArray("[Chart]\nMin=1,5") << 5 << 1.5f << QString();
    }

    void unusableValuesAreNoted()
    {
        QFETCH(QByteArray, line);
        QFETCH(qint32, refresh);
        QFETCH(float, min);
        QFETCH(QString, note);
        const QTemporaryDir folder;
        QStringList unusable;
        const config::ViewConfig loaded = config::LoadViewConfig(WriteFixture(folder, "config.ini", line + "\n"),
                                                                 QLocale("pl_PL"), &unusable);
        QCOMPARE(loaded.Refresh, refresh);
        QCOMPARE(loaded.Min, min);
        QCOMPARE(unusable, note.isEmpty() ? QStringList() : QStringList{note});
    }

#ifndef Q_OS_WIN
    // connection.ini holds the password: made new, it is its owner's alone. A file that is
    // there keeps its mode, also when the program rewrites one of its files.
    void newConnectionFileIsTheOwnersAlone()
    {
        const QTemporaryDir folder;
        const mode_t previous = ::umask(022);
        config::LoadConnectionSettings(folder.filePath("connection.ini"));
        config::LoadViewConfig(folder.filePath("config.ini"));
        const QString kept = WriteFixture(folder, "settings.ini", "[Application]\n");
        QVERIFY(QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        config::SaveWindowSettings(kept, config::WindowSettings());
        const QTemporaryDir site;
        const QString existing = WriteFixture(site, "connection.ini", "[DataBase]\nName=zemlo\n");
        QVERIFY(QFile::setPermissions(existing, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        QCOMPARE(config::LoadConnectionSettings(existing).Name, QStringLiteral("zemlo"));
        ::umask(previous);

        const auto mode = [](const QString& path) {
            struct stat status {};
            return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 0777 : 0u;
        };
        QCOMPARE(mode(folder.filePath("connection.ini")), 0600u);
        QCOMPARE(mode(folder.filePath("config.ini")), 0644u);
        QCOMPARE(mode(kept), 0640u);
        QCOMPARE(mode(existing), 0644u);
    }
#endif

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
        // A folder of Program Files is the system's, even where the user may write to it.
        const QTemporaryDir programFiles;
        qputenv("ProgramFiles", QDir::toNativeSeparators(programFiles.path()).toUtf8());
        QCOMPARE(config::DecideStorageFolders(programFiles.path() + "/ZEMLO Viewer").ini, installed.ini);
        QCOMPARE(config::DecideStorageFolders(portable.path()).ini, portable.path() + "/");
#else
        const QTemporaryDir user;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(user.filePath("config")));
        qputenv("HOME", QFile::encodeName(user.path()));
        // Not even root can create a file in /proc; root can in /usr/bin and /opt, but an
        // installed program's files do not belong there (the package's removal leaves them).
        for (const QString& system : {QStringLiteral("/proc"), QStringLiteral("/usr/bin"), QStringLiteral("/opt")}) {
            const config::StorageFolders installed = config::DecideStorageFolders(system);
            QCOMPARE(installed.ini, user.filePath("config/zemlo-viewer/"));
            QCOMPARE(installed.reports, user.filePath("Documents/ZEMLO Viewer/Reports/"));
        }
#endif
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
