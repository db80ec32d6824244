#include "platform/os/Windows1250.h"

#include <QTest>

class TestWindows1250 : public QObject {
    Q_OBJECT

private slots:
    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("ASCII unchanged") << QString("Avg = 2,5 [V];\t\"x\"") << QByteArray("Avg = 2,5 [V];\t\"x\"");
        QTest::newRow("Polish letters") << QString("ąśćŁżó") << QByteArray("\xB9\x9C\xE6\xA3\xBF\xF3");
        QTest::newRow("all Polish capitals") << QString("ĄĆĘŁŃÓŚŹŻ") << QByteArray("\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
        QTest::newRow("degree and euro") << QString("20 °C, 5 €") << QByteArray("20 \xB0" "C, 5 \x80");
        QTest::newRow("the code page's unused bytes stand for nothing") << QString::fromUtf16(u"\u0081\u0098x") << QByteArray("??x");
        QTest::newRow("CJK character") << QString("a中b") << QByteArray("a?b");
        QTest::newRow("emoji is one character") << QString("a😀b") << QByteArray("a?b");
        QTest::newRow("unmappable at both ends") << QString("😀ż中") << QByteArray("?\xBF?");
        QTest::newRow("lone surrogate") << QString(QChar(0xD83D)) + "x" << QByteArray("?x");
        QTest::newRow("lone surrogate at the end") << "x" + QString(QChar(0xD83D)) << QByteArray("x?");
    }

    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        os::Windows1250 encoder;
        QCOMPARE(encoder.encode(text), expected);
        // The same object gives the same answer again: no state carries over.
        QCOMPARE(encoder.encode(text), expected);
    }

    void appendKeepsWhatIsInTheBuffer()
    {
        os::Windows1250 encoder;
        QByteArray line("T1;");
        encoder.append(u"23,5 °C", line);
        line += ';';
        encoder.append(u"😀", line);
        encoder.append(u"", line);
        encoder.append(u"Łódź", line);
        QCOMPARE(line, QByteArray("T1;23,5 \xB0" "C;?\xA3\xF3" "d\x9F"));
    }
};

QTEST_GUILESS_MAIN(TestWindows1250)
#include "test_windows1250.moc"
