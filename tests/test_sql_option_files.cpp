// The client option files fill in what the four connection values leave open, read from
// the groups [client], [client-server] and [zemlo-viewer]; the character set stays utf8mb4
// whatever they say.
#include "TestServer.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlQuery.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace sql;

class SqlOptionFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir home;

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        // The client library looks for $MARIADB_HOME/my.cnf from its first use on.
        qputenv("MARIADB_HOME", QFile::encodeName(home.path()));
    }

    void optionFiles_data()
    {
        QTest::addColumn<QByteArray>("myCnf");
        QTest::addColumn<QString>("error");  // empty: connects and talks utf8mb4

        QTest::newRow("own group latin1") << QByteArray("[zemlo-viewer]\ndefault-character-set=latin1\n") << QString();
        QTest::newRow("client latin1") << QByteArray("[client]\ndefault-character-set=latin1\n") << QString();
        QTest::newRow("own group port") << QByteArray("[zemlo-viewer]\nport=1\n") << "Can't connect";
        QTest::newRow("client-server port") << QByteArray("[client-server]\nport=1\n") << "Can't connect";
        QTest::newRow("other program's group") << QByteArray("[mysqldump]\nport=1\n") << QString();
    }

    void optionFiles()
    {
        QFETCH(QByteArray, myCnf);
        QFETCH(QString, error);
        QFile file(home.filePath(QStringLiteral("my.cnf")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(myCnf);
        file.close();

        SqlConnection connection;
        TestServer::setViewerParams(connection, QStringLiteral("zemlo"));
        const QString openError = sqlErrorOf([&] { connection.open(); });
        if (!error.isEmpty()) {
            QVERIFY2(openError.contains(error), qPrintable(openError));
            return;
        }
        QVERIFY2(openError.isNull(), qPrintable(openError));
        SqlQuery query;
        query.setConnection(&connection);
        query.setSql(QStringLiteral("SELECT 'żółć', @@character_set_client, @@character_set_results"));
        query.open();
        QCOMPARE(query.text(0), QStringLiteral("żółć"));
        QCOMPARE(query.text(1), QStringLiteral("utf8mb4"));
        QCOMPARE(query.text(2), QStringLiteral("utf8mb4"));
    }
};

QTEST_GUILESS_MAIN(SqlOptionFilesTest)
#include "test_sql_option_files.moc"
