#include "platform/decimal.h"
#include "platform/errors.h"

#include <QTest>

class TestDecimal : public QObject
{
    Q_OBJECT
private slots:
    void parseDecimal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("integer") << "30" << 30.0;
        QTest::newRow("point") << "12.5" << 12.5;
        QTest::newRow("comma") << "12,5" << 12.5;
        QTest::newRow("blank as separator") << "12 5" << 12.5;
        QTest::newRow("sign is a separator") << "-1.5" << 0.15;
        QTest::newRow("minus before integer") << "-5" << 0.5;
        QTest::newRow("further separators skipped") << "1.2.3" << 1.23;
        QTest::newRow("seven fraction digits keep six") << "0.1234567" << 0.123456;
        QTest::newRow("only fraction") << ".25" << 0.25;
        QTest::newRow("trailing separator") << "7." << 7.0;
        QTest::newRow("surrounding blanks and controls") << " \t3.1\r\n" << 3.1;
        QTest::newRow("unit letters are separators") << "3V5" << 3.5;
        QTest::newRow("largest integer part") << "2147483647" << 2147483647.0;
        QTest::newRow("leading zeros") << "000000000000012.5" << 12.5;
    }

    void parseDecimal()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(ParseDecimal(text), expected);
    }

    void parseDecimalRejects_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("integer part beyond int32") << "2147483648.5";
        QTest::newRow("huge integer part") << "99999999999999999999";
        QTest::newRow("no digit") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("only blanks") << "  ";
    }

    void parseDecimalRejects()
    {
        QFETCH(QString, text);
        try {
            ParseDecimal(text);
            QFAIL("no error");
        } catch (const VoltarisError& error) {
            QVERIFY2(error.message().contains(u'\'' + text + u'\''), qPrintable(error.message()));
        }
    }

    void parseInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "57600" << true << 57600;
        QTest::newRow("blanks around") << "  9600 " << true << 9600;
        QTest::newRow("plus") << "+3" << true << 3;
        QTest::newRow("minus") << "-1" << true << -1;
        QTest::newRow("int32 min") << "-2147483648" << true << int(-2147483648LL);
        QTest::newRow("int32 max") << "2147483647" << true << 2147483647;
        QTest::newRow("beyond int32") << "2147483648" << false << 0;
        QTest::newRow("decimal") << "12.5" << false << 0;
        QTest::newRow("letters") << "12a" << false << 0;
        QTest::newRow("blank inside") << "1 2" << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
    }

    void parseInteger()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, expected);
        if (valid) {
            QCOMPARE(::parseInteger(text), expected);
            return;
        }
        try {
            ::parseInteger(text);
            QFAIL("no error");
        } catch (const VoltarisError& error) {
            QCOMPARE(error.message(),
                     QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }

    void formatNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("integer") << 3.0 << "3";
        QTest::newRow("decimal") << 12.5 << "12.5";
        QTest::newRow("tenth") << 0.1 << "0.1";
        QTest::newRow("sum rounds at 15 digits") << 0.1 + 0.2 << "0.3";
        QTest::newRow("negative") << -2.75 << "-2.75";
        QTest::newRow("large integer") << 30000.0 << "30000";
        QTest::newRow("15 digits stay fixed") << 123456789012345.0 << "123456789012345";
        QTest::newRow("1E15 and above in exponent form") << 1e15 << "1E15";
        QTest::newRow("exponent with fraction") << 1.5e20 << "1.5E20";
        QTest::newRow("1E-4 stays fixed") << 0.0001 << "0.0001";
        QTest::newRow("fixed with leading zeros") << 0.00012 << "0.00012";
        QTest::newRow("below 1E-4 in exponent form") << 0.00001 << "1E-5";
        QTest::newRow("tiny with fraction") << 1.25e-7 << "1.25E-7";
        QTest::newRow("16 digits rounded") << 2.0 / 3.0 << "0.666666666666667";
    }

    void formatNumber()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(::formatNumber(value), expected);
    }

    void delayToIntervalMs_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("expected");
        QTest::newRow("whole") << 1.0 << 1000;
        QTest::newRow("2.5 ms to even below") << 0.0025 << 2;
        QTest::newRow("3.5 ms to even above") << 0.0035 << 4;
        QTest::newRow("2500 ms exact") << 2.5 << 2500;
        QTest::newRow("0.5 ms to zero") << 0.0005 << 0;
        QTest::newRow("1.5 ms to two") << 0.0015 << 2;
        QTest::newRow("not a tie") << 0.0026 << 3;
        QTest::newRow("zero") << 0.0 << 0;
    }

    void delayToIntervalMs()
    {
        QFETCH(double, seconds);
        QFETCH(int, expected);
        QCOMPARE(::delayToIntervalMs(seconds), expected);
    }

    void delayBeyondIntRangeThrows()
    {
        QVERIFY_THROWS_EXCEPTION(VoltarisError, ::delayToIntervalMs(3e6));
        QVERIFY_THROWS_EXCEPTION(VoltarisError, ::delayToIntervalMs(qQNaN()));
    }
};

QTEST_GUILESS_MAIN(TestDecimal)
#include "tst_decimal.moc"
