// The server's value texts to numbers and date-times, independent of the user's locale
// (these tests run in the Polish locale, whose decimal separator is a comma).
#include "platform/sql/SqlError.h"
#include "platform/sql/ValueParsing.h"
#include "db/ChannelTable.h"

#include <QTest>
#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

using namespace sql;

class ValueParsingTest : public QObject {
    Q_OBJECT

private slots:
    void floats_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("expected");

        QTest::newRow("decimal point") << QByteArray("21.46") << true << 21.46f;
        QTest::newRow("negative") << QByteArray("-0.5") << true << -0.5f;
        QTest::newRow("exponent") << QByteArray("1e-7") << true << 1e-7f;
        // The server writes the unset threshold with six digits; it must come back exact.
        QTest::newRow("unset threshold") << QByteArray("4294970000") << true << db::ThresholdUnset;
        QTest::newRow("decimal comma") << QByteArray("1,5") << false << 0.f;
        QTest::newRow("trailing junk") << QByteArray("1.5x") << false << 0.f;
        QTest::newRow("word") << QByteArray("abc") << false << 0.f;
        QTest::newRow("empty") << QByteArray("") << false << 0.f;
        QTest::newRow("blank first") << QByteArray(" 1") << false << 0.f;
        QTest::newRow("beyond float") << QByteArray("1e39") << false << 0.f;
        QTest::newRow("not a number") << QByteArray("nan") << false << 0.f;
    }

    void floats()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(float, expected);
        if (valid) {
            QCOMPARE(parseFloat(text), expected);
            QCOMPARE(float(parseDouble(text)), expected);
            return;
        }
        const QString message = QLatin1Char('\'') + QString::fromUtf8(text)
            + QStringLiteral("' nie jest poprawną liczbą");
        try {
            parseFloat(text);
            QFAIL("no error");
        } catch (const SqlError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), message);
        }
        if (text != "1e39")
            QVERIFY_THROWS_EXCEPTION(SqlError, parseDouble(text));
    }

    // Short decimals take a quicker way than the general parser: they must come out the same
    // to the last bit, at the edges of that way (2^24, ten decimals) and in between.
    void shortDecimalsMatchTheGeneralParser()
    {
        QList<QByteArray> texts{"16777216", "16777217", "-16777215", "1677721.6", "0.0000000001", "0.00000000001",
                                "1.0000001", "0", "-0", "-0.0", "000123.4500", "3.4028235", "99999.99", "1.", "-.5"};
        std::mt19937 random(11);
        for (int i = 0; i < 20000; ++i) {
            QByteArray text = random() % 2 ? "-" : "";
            text += QByteArray::number(quint32(random() % 100000000) >> (random() % 24));
            if (const int decimals = int(random() % 12); decimals > 0 && text.size() > decimals + 1)
                text.insert(text.size() - decimals, '.');
            texts.append(text);
        }
        for (const QByteArray& text : texts) {
            float expected = 0;
            const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), expected);
            if (error != std::errc() || stop != text.data() + text.size()) {
                QVERIFY_THROWS_EXCEPTION(SqlError, parseFloat(text));
                continue;
            }
            const float value = parseFloat(text);
            QVERIFY2(std::memcmp(&value, &expected, sizeof value) == 0, text.constData());
        }
    }

    void integers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint32>("expected");

        QTest::newRow("plain") << QByteArray("42") << true << 42;
        QTest::newRow("negative") << QByteArray("-7") << true << -7;
        QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647;
        QTest::newRow("smallest") << QByteArray("-2147483648") << true << qint32(-2147483647 - 1);
        QTest::newRow("too large") << QByteArray("2147483648") << false << 0;
        QTest::newRow("fraction") << QByteArray("2.9") << false << 0;
        QTest::newRow("junk") << QByteArray("12a") << false << 0;
        QTest::newRow("empty") << QByteArray("") << false << 0;
    }

    void integers()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(qint32, expected);
        if (valid) {
            QCOMPARE(parseInt32(text), expected);
            return;
        }
        try {
            parseInt32(text);
            QFAIL("no error");
        } catch (const SqlError& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QLatin1Char('\'') + QString::fromUtf8(text) + QStringLiteral("' nie jest poprawną liczbą całkowitą"));
        }
    }

    void dateTimes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QDateTime>("expected");  // invalid: the text is rejected

        const QDate day(2021, 10, 19);
        const auto wall = [](QDate date, QTime time) { return QDateTime(date, time, Qt::UTC); };
        QTest::newRow("seconds") << QByteArray("2021-10-19 08:00:05") << wall(day, QTime(8, 0, 5));
        QTest::newRow("midnight") << QByteArray("2021-10-19 00:00:00") << wall(day, QTime(0, 0));
        QTest::newRow("date only") << QByteArray("2021-10-19") << wall(day, QTime(0, 0));
        QTest::newRow("fraction") << QByteArray("2021-10-19 08:00:05.25") << wall(day, QTime(8, 0, 5, 250));
        QTest::newRow("microseconds") << QByteArray("2021-10-19 08:00:05.123456") << wall(day, QTime(8, 0, 5, 123));
        // Wall-clock times that Europe/Warsaw skips in spring or passes twice in autumn.
        QTest::newRow("spring gap") << QByteArray("2021-03-28 02:30:00") << wall({2021, 3, 28}, QTime(2, 30));
        QTest::newRow("repeated hour") << QByteArray("2021-10-31 02:30:00") << wall({2021, 10, 31}, QTime(2, 30));
        QTest::newRow("zero date") << QByteArray("0000-00-00 00:00:00") << QDateTime();
        QTest::newRow("no such day") << QByteArray("2021-02-30 00:00:00") << QDateTime();
        QTest::newRow("hour 24") << QByteArray("2021-10-19 24:00:00") << QDateTime();
        QTest::newRow("T separator") << QByteArray("2021-10-19T08:00:05") << QDateTime();
        QTest::newRow("cut short") << QByteArray("2021-10-19 08:00") << QDateTime();
        QTest::newRow("empty fraction") << QByteArray("2021-10-19 08:00:05.") << QDateTime();
        QTest::newRow("empty") << QByteArray("") << QDateTime();
    }

    void dateTimes()
    {
        QFETCH(QByteArray, text);
        QFETCH(QDateTime, expected);
        if (expected.isValid()) {
            const QDateTime parsed = parseDateTime(text);
            QCOMPARE(parsed, expected);
            QCOMPARE(parsed.timeSpec(), Qt::UTC);
        } else {
            QVERIFY_THROWS_EXCEPTION(SqlError, parseDateTime(text));
        }
    }
};

QTEST_GUILESS_MAIN(ValueParsingTest)
#include "test_sql_value_parsing.moc"
