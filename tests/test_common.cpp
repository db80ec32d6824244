#include "common/DateTimeText.h"
#include "common/FileTimeStamp.h"
#include "common/ValueText.h"
#include "common/ZeroPad.h"

#include <QRandomGenerator>
#include <QTest>
#include <bit>
#include <cmath>
#include <limits>

class TestCommon : public QObject {
    Q_OBJECT

private slots:
    void zeroPad_data()
    {
        QTest::addColumn<quint64>("number");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");

        QTest::newRow("padded") << quint64(7) << 2 << "07";
        QTest::newRow("longer text kept whole") << quint64(123) << 2 << "123";
        QTest::newRow("four digits") << quint64(5) << 4 << "0005";
        QTest::newRow("zero") << quint64(0) << 4 << "0000";
        QTest::newRow("exact width") << quint64(1799) << 4 << "1799";
    }

    void zeroPad()
    {
        QFETCH(quint64, number);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(common::ZeroPad(number, width), expected);
    }

    void fixedPointText_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("dot");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");

        QTest::newRow("rounds to one decimal") << 21.46f << 1 << "pl_PL" << "21,5";
        QTest::newRow("English separator") << 21.46f << 1 << "en_US" << "21.5";
        QTest::newRow("no decimals") << 21.46f << 0 << "pl_PL" << "21";
        QTest::newRow("float digits show") << 0.1f << 10 << "pl_PL" << "0,1000000015";
        QTest::newRow("half away from zero") << 0.125f << 2 << "pl_PL" << "0,13";
        QTest::newRow("half up to an integer") << 2.5f << 0 << "pl_PL" << "3";
        QTest::newRow("negative half") << -0.5f << 0 << "pl_PL" << "-1";
        QTest::newRow("trailing zeros") << 75.0f << 2 << "pl_PL" << "75,00";
        QTest::newRow("carry adds a digit") << 99.995f << 2 << "pl_PL" << "100,00";
        QTest::newRow("no group separator") << 1234567.0f << 2 << "en_US" << "1234567.00";
        QTest::newRow("negative") << -12.34f << 1 << "pl_PL" << "-12,3";
        QTest::newRow("no minus for a rounded zero") << -0.004f << 2 << "pl_PL" << "0,00";
        QTest::newRow("no minus for negative zero") << -0.0f << 0 << "pl_PL" << "0";
        QTest::newRow("smallest float") << std::numeric_limits<float>::denorm_min() << 2 << "pl_PL" << "0,00";
        QTest::newRow("negative dot counts as 0") << 21.46f << -3 << "pl_PL" << "21";
        QTest::newRow("dot beyond 18 counts as 18") << 0.5f << 40 << "pl_PL" << "0,500000000000000000";
        QTest::newRow("15 digits stay fixed") << 1e15f << 1 << "pl_PL" << "999999986991104,0";
        QTest::newRow("more than 15 digits go scientific") << 1e20f << 2 << "pl_PL" << "1,00000002004088E+20";
        QTest::newRow("negative scientific") << -1e16f << 0 << "en_US" << "-1.00000002725642E+16";
        QTest::newRow("largest float") << std::numeric_limits<float>::max() << 1 << "pl_PL" << "3,40282346638529E+38";
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 2 << "pl_PL" << "NAN";
        QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << 2 << "pl_PL" << "INF";
        QTest::newRow("negative infinity") << -std::numeric_limits<float>::infinity() << 2 << "pl_PL" << "-INF";
    }

    void fixedPointText()
    {
        QFETCH(float, value);
        QFETCH(int, dot);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QCOMPARE(common::FixedPointText(value, dot, QLocale(locale)), expected);
        QCOMPARE(common::ExactFixedPointText(value, dot, QLocale(locale)), expected);
        QByteArray bytes("x");
        common::FixedPointFormat(QLocale(locale)).appendAscii(bytes, value, dot);
        QCOMPARE(bytes, "x" + expected.toLatin1());
    }

    // The fast formatters (text and bytes) against the one that reads every digit of the
    // exact expansion: random floats of every magnitude, values close below a rounding tie at
    // 15 digits (3 * 2^-21 = 0.000001430511474609375 has 16), floats at and beside the ties of
    // their decimals, and every number of decimals.
    void fixedPointTextAgreesWithTheExactExpansion()
    {
        const QLocale polish("pl_PL");
        const common::FixedPointFormat format(polish);
        QRandomGenerator random(20211019);
        QList<float> values{3 * std::ldexp(1.0f, -21), 0.125f, 99.995f, 999999.9999f, 1e-13f, 9.99999e14f,
                            std::nextafter(0.005f, 0.0f), 8388608.5f, 1.5e-7f};
        for (int i = 0; i < 50000; ++i) {
            values.append(std::bit_cast<float>(random.generate()));
            // Measurement-like magnitudes, where the fast path runs.
            values.append(float(std::pow(10.0, random.bounded(27.0) - 12.0) * (random.bounded(2) ? 1 : -1)));
        }
        QList<std::pair<float, int>> cases;
        for (const float value : std::as_const(values))
            cases.append({value, int(random.bounded(19))});
        // Floats at and next to a tie of their number of decimals, in and beyond the range
        // of the short path (below 10^9 units of the last decimal).
        for (int dot = 0; dot <= 10; ++dot) {
            for (int i = 0; i < 2000; ++i) {
                const double units = std::floor(std::pow(10.0, random.bounded(10.5))) + 0.5;
                const float tie = float((random.bounded(2) ? units : -units) / std::pow(10.0, dot));
                for (const float value : {tie, std::nextafter(tie, 0.0f), std::nextafter(tie, 2 * tie)})
                    cases.append({value, dot});
            }
        }
        for (const auto& [value, dot] : std::as_const(cases)) {
            const QString fast = format.text(value, dot);
            char bytes[common::FixedPointFormat::MaxAsciiLength];
            const QString ascii = QString::fromLatin1(bytes, format.writeAscii(bytes, value, dot) - bytes);
            const QString exact = common::ExactFixedPointText(value, dot, polish);
            if (fast != exact || ascii != exact)
                QFAIL(qPrintable(QStringLiteral("%1 with %2 decimals: %3 (as bytes %4), exactly %5")
                                     .arg(double(value), 0, 'g', 17).arg(dot).arg(fast, ascii, exact)));
        }
    }

    void dateTimeText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDateTime>("dateTime");
        QTest::addColumn<QString>("expected");

        const QDateTime morning(QDate(2021, 10, 19), QTime(8, 0, 5));
        const QDateTime evening(QDate(1999, 12, 31), QTime(23, 59, 59));
        const QDateTime midnight(QDate(2021, 10, 19), QTime(0, 0));
        const QDateTime timeOnly(QDate(), QTime(8, 0, 5));
        const QDateTime oneSecondPast(QDate(2021, 10, 19), QTime(0, 0, 1));
        QTest::newRow("pl_PL") << "pl_PL" << morning << "19.10.2021 08:00:05";
        QTest::newRow("pl_PL midnight is the date alone") << "pl_PL" << midnight << "19.10.2021";
        QTest::newRow("pl_PL one second past midnight") << "pl_PL" << oneSecondPast << "19.10.2021 00:00:01";
        QTest::newRow("pl_PL time only") << "pl_PL" << timeOnly << "08:00:05";
        QTest::newRow("en_US four-digit year, 12-hour clock") << "en_US" << evening << "12/31/1999 11:59:59 PM";
        QTest::newRow("en_US morning") << "en_US" << morning << "10/19/2021 8:00:05 AM";
        QTest::newRow("en_US midnight") << "en_US" << midnight << "10/19/2021";
        QTest::newRow("de_DE four-digit year") << "de_DE" << evening << "31.12.1999 23:59:59";
        QTest::newRow("de_DE midnight") << "de_DE" << midnight << "19.10.2021";
        QTest::newRow("C") << "C" << morning << "19 Oct 2021 08:00:05";
        QTest::newRow("C midnight") << "C" << midnight << "19 Oct 2021";
        QTest::newRow("C time only") << "C" << timeOnly << "08:00:05";
    }

    void dateTimeText()
    {
        QFETCH(QString, locale);
        QFETCH(QDateTime, dateTime);
        QFETCH(QString, expected);
        const QString text = common::DateTimeText(dateTime, QLocale(locale));
        QCOMPARE(text, expected);
        const QDateTime parsed = common::ParseDateTimeText(text, QLocale(locale));
        QCOMPARE(parsed.date(), dateTime.date());
        QCOMPARE(parsed.time(), dateTime.time());
    }

    void dateTimeTextDropsMilliseconds()
    {
        const QDateTime withMilliseconds(QDate(2021, 10, 19), QTime(8, 0, 5, 250));
        const QString text = common::DateTimeText(withMilliseconds, QLocale("pl_PL"));
        QCOMPARE(text, QString("19.10.2021 08:00:05"));
        QCOMPARE(common::ParseDateTimeText(text, QLocale("pl_PL")), QDateTime(QDate(2021, 10, 19), QTime(8, 0, 5), Qt::UTC));
    }

    // Where the formatter writes date-times from their numbers, it writes what QLocale writes
    // with the same formats; elsewhere it leaves them to QLocale.
    void numericDateTimesAsTheLocaleWritesThem_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("numeric");
        for (const char* name : {"pl_PL", "de_DE", "en_GB", "fr_FR", "hu_HU", "sv_SE", "fi_FI", "nl_NL", "cs_CZ"})
            QTest::newRow(name) << name << true;
        // Month names, an AM/PM field, digits of its own.
        for (const char* name : {"C", "en_US", "ar_EG", "ko_KR"})
            QTest::newRow(name) << name << false;
    }

    void numericDateTimesAsTheLocaleWritesThem()
    {
        QFETCH(QString, locale);
        QFETCH(bool, numeric);
        const QLocale system(locale);
        const common::DateTimeFormatter formatter(system);
        for (const QDateTime& dateTime : {QDateTime(QDate(2026, 3, 29), QTime(2, 30, 0), Qt::UTC),
                                          QDateTime(QDate(2021, 10, 9), QTime(8, 7, 5, 999), Qt::UTC),
                                          QDateTime(QDate(1000, 1, 1), QTime(23, 59, 59), Qt::UTC),
                                          QDateTime(QDate(9999, 12, 31), QTime(12, 0, 0), Qt::UTC),
                                          QDateTime(QDate(2024, 2, 29), QTime(0, 0), Qt::UTC)}) {
            QString expected = system.toString(dateTime.date(), common::DateFormat(system));
            if (dateTime.time() != QTime(0, 0))
                expected += u' ' + system.toString(dateTime.time(), common::TimeFormat(system));
            QCOMPARE(formatter.text(dateTime), expected);
            char bytes[common::DateTimeFormatter::MaxAsciiLength];
            const char* const end = formatter.writeAscii(bytes, dateTime);
            QCOMPARE(end != nullptr, numeric);
            if (end)
                QCOMPARE(QLatin1StringView(bytes, end - bytes), expected);
            char* const fromNumber = formatter.writeAscii(bytes, dateTime.toMSecsSinceEpoch());
            QCOMPARE(fromNumber != nullptr, numeric);
            if (fromNumber)
                QCOMPARE(QLatin1StringView(bytes, fromNumber - bytes), expected);
        }
        // A year that a four-digit field cannot hold is left to QLocale.
        const QDateTime early(QDate(999, 5, 6), QTime(7, 8, 9), Qt::UTC);
        char bytes[common::DateTimeFormatter::MaxAsciiLength];
        QCOMPARE(formatter.writeAscii(bytes, early), nullptr);
        QCOMPARE(formatter.writeAscii(bytes, early.toMSecsSinceEpoch()), nullptr);
        QCOMPARE(formatter.text(early), system.toString(early.date(), common::DateFormat(system)) + u' '
                                            + system.toString(early.time(), common::TimeFormat(system)));
    }

    void parseRejectsOtherTexts_data()
    {
        QTest::addColumn<QString>("text");

        QTest::newRow("empty") << "";
        QTest::newRow("letters") << "abc";
        QTest::newRow("no such day") << "32.10.2021 08:00:05";
        QTest::newRow("no such hour") << "19.10.2021 25:00:00";
        QTest::newRow("another locale's form") << "10/19/2021 8:00:05 AM";
        QTest::newRow("trailing text") << "19.10.2021 08:00:05 x";
    }

    void parseRejectsOtherTexts()
    {
        QFETCH(QString, text);
        try {
            common::ParseDateTimeText(text, QLocale("pl_PL"));
            QFAIL("the text was accepted");
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString::fromUtf8(error.what()), "'" + text + "' nie jest poprawną datą i godziną");
        }
    }

    void stamps_data()
    {
        QTest::addColumn<QDateTime>("dateTime");
        QTest::addColumn<QString>("rangeBound");
        QTest::addColumn<QString>("fileStamp");

        QTest::newRow("morning") << QDateTime(QDate(2021, 10, 1), QTime(7, 30)) << "2021-10-01 07:30:00"
                                 << "20211001_073000";
        QTest::newRow("24-hour clock") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999))
                                       << "1999-12-31 23:59:59" << "19991231_235959";
    }

    void stamps()
    {
        QFETCH(QDateTime, dateTime);
        QFETCH(QString, rangeBound);
        QFETCH(QString, fileStamp);
        QCOMPARE(common::RangeBoundText(dateTime), rangeBound);
        QCOMPARE(common::FileTimeStamp(dateTime), fileStamp);
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "test_common.moc"
