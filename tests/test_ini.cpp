#include "platform/ini/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString WriteFixture(const QTemporaryDir& folder, const QByteArray& content)
{
    const QString path = folder.filePath("fixture.ini");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the fixture %s", qPrintable(path));
    return path;
}

}  // namespace

class TestIni : public QObject {
    Q_OBJECT

private slots:
    void readString_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        QTest::newRow("names ignore case") << QByteArray("[view]\nREFRESH=7\n") << "View" << "refresh" << "7";
        QTest::newRow("blanks trimmed") << QByteArray("[ S ]\n\t Key \t=  two words \t\n") << "S" << "Key" << "two words";
        QTest::newRow("double quotes removed") << QByteArray("[S]\nKey= \" padded \" \n") << "S" << "Key" << " padded ";
        QTest::newRow("single quotes removed") << QByteArray("[S]\nKey='x'\n") << "S" << "Key" << "x";
        QTest::newRow("unmatched quotes kept") << QByteArray("[S]\nKey=\"x'\n") << "S" << "Key" << "\"x'";
        QTest::newRow("only the outer quotes removed") << QByteArray("[S]\nKey=\"\"x\"\"\n") << "S" << "Key" << "\"x\"";
        QTest::newRow("empty value is not the default") << QByteArray("[S]\nKey=\n") << "S" << "Key" << "";
        QTest::newRow("value may hold =") << QByteArray("[S]\nKey=a=b\n") << "S" << "Key" << "a=b";
        QTest::newRow("CRLF line ends") << QByteArray("[S]\r\nKey=v\r\nNext=w\r\n") << "S" << "Key" << "v";
        QTest::newRow("no final line end") << QByteArray("[S]\nKey=v") << "S" << "Key" << "v";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[S]\nKey=v\n") << "S" << "Key" << "v";
        QTest::newRow("UTF-8 text") << QByteArray("[Reports]\nUser=Łukasz Żółć\n") << "Reports" << "User"
                                    << "Łukasz Żółć";
        QTest::newRow("first of duplicate keys") << QByteArray("[S]\nKey=1\nKey=2\n") << "S" << "Key" << "1";
        QTest::newRow("first of duplicate sections") << QByteArray("[S]\nOther=1\n[S]\nKey=2\n") << "S" << "Key"
                                                     << "default";
        QTest::newRow("key of another section") << QByteArray("[A]\nKey=1\n[B]\nOther=2\n") << "B" << "Key"
                                                << "default";
        QTest::newRow("key before any section") << QByteArray("Key=1\n[S]\n") << "S" << "Key" << "default";
        QTest::newRow("comment line") << QByteArray("[S]\n;Key=1\n") << "S" << "Key" << "default";
        QTest::newRow("missing section") << QByteArray("[S]\nKey=1\n") << "T" << "Key" << "default";
        QTest::newRow("empty file") << QByteArray() << "S" << "Key" << "default";
        QTest::newRow("value capped at 2047 characters")
            << "[S]\nKey=" + QByteArray(2046, 'a') + "bcd\n" << "S" << "Key" << QString(2046, u'a') + u'b';
        QTest::newRow("cap applies after the quotes")
            << "[S]\nKey=\"" + QByteArray(2047, 'a') + "\"\n" << "S" << "Key" << QString(2047, u'a');
    }

    void readString()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QTemporaryDir folder;
        const ini::IniFile file(WriteFixture(folder, content));
        QCOMPARE(file.readString(section, key, "default"), expected);
    }

    void missingFileReadsDefaults()
    {
        const QTemporaryDir folder;
        const ini::IniFile file(folder.filePath("absent.ini"));
        QCOMPARE(file.readString("S", "Key", "default"), QString("default"));
        QCOMPARE(file.readInteger("S", "Key", 5), 5);
        QVERIFY(!QFile::exists(file.path()));
        // A directory of that name reads as a missing file, too.
        QCOMPARE(ini::IniFile(folder.path()).readInteger("S", "Key", 7), 7);
    }

    void readInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint32>("expected");

        QTest::newRow("decimal") << "10" << 10;
        QTest::newRow("negative") << "-3" << -3;
        QTest::newRow("plus sign") << "+4" << 4;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("hex") << "0x0A" << 10;
        QTest::newRow("hex, capital X and digits") << "0X1F" << 31;
        QTest::newRow("hex is a 32-bit pattern") << "0xFFFFFFFF" << -1;
        QTest::newRow("hex beyond 32 bits") << "0x100000000" << 5;
        QTest::newRow("hex without digits") << "0x" << 5;
        QTest::newRow("hex with a bad digit") << "0x1G" << 5;
        QTest::newRow("hex with a sign") << "0x-1" << 5;
        QTest::newRow("letters") << "abc" << 5;
        QTest::newRow("empty") << "" << 5;
        QTest::newRow("decimal fraction") << "1.5" << 5;
        QTest::newRow("inner blank") << "1 2" << 5;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("beyond 32 bits") << "2147483648" << 5;
    }

    void readInteger()
    {
        QFETCH(QString, text);
        QFETCH(qint32, expected);
        const QTemporaryDir folder;
        const ini::IniFile file(WriteFixture(folder, "[View]\nRefresh=" + text.toUtf8() + "\n"));
        QCOMPARE(file.readInteger("View", "Refresh", 5), expected);
    }

    void readFloat_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<float>("expected");

        QTest::newRow("Polish comma") << "1,5" << "pl_PL" << 1.5f;
        QTest::newRow("Polish rejects a point") << "1.5" << "pl_PL" << -7.0f;
        QTest::newRow("English point") << "1.5" << "en_US" << 1.5f;
        QTest::newRow("negative") << "-0,25" << "pl_PL" << -0.25f;
        QTest::newRow("integer") << "0" << "pl_PL" << 0.0f;
        QTest::newRow("exponent") << "1e3" << "pl_PL" << 1000.0f;
        QTest::newRow("group separator") << "1,000.5" << "en_US" << -7.0f;
        QTest::newRow("letters") << "abc" << "pl_PL" << -7.0f;
        QTest::newRow("empty") << "" << "pl_PL" << -7.0f;
        QTest::newRow("beyond a float") << "1e39" << "en_US" << -7.0f;
        QTest::newRow("not a number") << "nan" << "en_US" << -7.0f;
        QTest::newRow("infinity") << "inf" << "en_US" << -7.0f;
    }

    void readFloat()
    {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(float, expected);
        const QTemporaryDir folder;
        const ini::IniFile file(WriteFixture(folder, "[Chart]\nMin=" + text.toUtf8() + "\n"));
        QCOMPARE(file.readFloat("Chart", "Min", -7.0f, QLocale(locale)), expected);
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");

        // Comments, blank lines, CRLF, odd spacing and a byte that is not UTF-8 (\xB3)
        // must all survive a write of another key.
        const QByteArray mixed("; kept comment\r\n[View]\r\n  refresh = 5\r\nDot=1\r\n\r\n[Chart]\r\nUser=\xB3\r\n");
        QTest::newRow("existing key replaced in place, its spelling kept")
            << mixed << "VIEW" << "Refresh"
            << QByteArray("; kept comment\r\n[View]\r\n  refresh = 42\r\nDot=1\r\n\r\n[Chart]\r\nUser=\xB3\r\n");
        QTest::newRow("new key ends its section")
            << mixed << "View" << "Zoom"
            << QByteArray("; kept comment\r\n[View]\r\n  refresh = 5\r\nDot=1\r\nZoom=42\r\n\r\n[Chart]\r\nUser=\xB3\r\n");
        QTest::newRow("new section ends the file")
            << mixed << "Reports" << "User"
            << mixed + "\r\n[Reports]\r\nUser=42\r\n";
        QTest::newRow("empty section gets the key after its header")
            << QByteArray("[S]\n[T]\nX=1\n") << "S" << "Key" << QByteArray("[S]\nKey=42\n[T]\nX=1\n");
        QTest::newRow("last line without a line end")
            << QByteArray("[S]\nA=1") << "S" << "B" << QByteArray("[S]\nA=1\nB=42\n");
        QTest::newRow("byte order mark kept")
            << QByteArray("\xEF\xBB\xBF[S]\nKey=1\n") << "S" << "Key" << QByteArray("\xEF\xBB\xBF[S]\nKey=42\n");
        QTest::newRow("only the first duplicate key changes")
            << QByteArray("[S]\nKey=1\nKey=2\n") << "S" << "Key" << QByteArray("[S]\nKey=42\nKey=2\n");
        QTest::newRow("empty file") << QByteArray() << "S" << "Key" << QByteArray("[S]\nKey=42\n");
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        const QTemporaryDir folder;
        ini::IniFile file(WriteFixture(folder, before));
        file.writeInteger(section, key, 42);
        QCOMPARE(FileBytes(file.path()), after);
        QCOMPARE(file.readInteger(section, key, 0), 42);
    }

    void writeCreatesMissingFile()
    {
        const QTemporaryDir folder;
        ini::IniFile file(folder.filePath("new.ini"));
        file.writeString("DataBase", "Name", "zemlo");
        file.writeFloat("Chart", "Min", 1.5f, QLocale("pl_PL"));
        file.writeFloat("Chart", "Max", 0.0f, QLocale("pl_PL"));
        QCOMPARE(FileBytes(file.path()), QByteArray("[DataBase]\nName=zemlo\n\n[Chart]\nMin=1,5\nMax=0\n"));
        QCOMPARE(file.readFloat("Chart", "Min", 0, QLocale("pl_PL")), 1.5f);
    }

    void writeFailureThrows_data()
    {
        QTest::addColumn<QString>("relativePath");

        QTest::newRow("parent is a regular file") << "plain.txt/settings.ini";
        QTest::newRow("path is a directory") << "folder.ini";
        QTest::newRow("parent does not exist") << "missing/settings.ini";
    }

    void writeFailureThrows()
    {
        QFETCH(QString, relativePath);
        const QTemporaryDir folder;
        WriteFixture(folder, "");
        QFile::rename(folder.filePath("fixture.ini"), folder.filePath("plain.txt"));
        QVERIFY(QDir(folder.path()).mkdir("folder.ini"));
        const QString path = folder.filePath(relativePath);
        ini::IniFile file(path);
        try {
            file.writeInteger("Application", "ScreenTop", 1);
            QFAIL("the write did not fail");
        } catch (const ini::IniFileError& error) {
            // Polish, with the file and the system's reason.
            QCOMPARE(QString::fromUtf8(error.what()),
                     (relativePath == "folder.ini" ? "Nie można odczytać pliku " : "Nie można zapisać pliku ") + path
                         + ": " + error.reason());
            QVERIFY(!error.reason().isEmpty());
            QCOMPARE(error.path(), path);
        }
        QCOMPARE(FileBytes(folder.filePath("plain.txt")), QByteArray());
    }

    void writeRejectsTextThatBreaksLines_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");

        QTest::newRow("line break in value") << "S" << "Key" << "a\nInjected=1";
        QTest::newRow("carriage return in value") << "S" << "Key" << "a\r";
        QTest::newRow("= in key") << "S" << "Key=x" << "v";
        QTest::newRow("empty key") << "S" << " " << "v";
        QTest::newRow("] in section") << "S]x" << "Key" << "v";
        QTest::newRow("line break in section") << "S\n[T" << "Key" << "v";
    }

    void writeRejectsTextThatBreaksLines()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QTemporaryDir folder;
        ini::IniFile file(WriteFixture(folder, "[S]\nKey=1\n"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, file.writeString(section, key, value));
        QCOMPARE(FileBytes(file.path()), QByteArray("[S]\nKey=1\n"));
    }
};

QTEST_GUILESS_MAIN(TestIni)
#include "test_ini.moc"
