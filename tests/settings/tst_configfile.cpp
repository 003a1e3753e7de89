#include "settings/configfile.h"

#include "platform/atomicfile.h"
#include "platform/errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Config.dat with every field distinct, laid out by hand at the documented offsets.
QByteArray handBuiltConfig()
{
    QByteArray bytes(60, '\0');
    bytes[0] = char(0x5A);                                         // spare byte
    bytes[1] = char(2);                                            // COM3
    bytes.replace(2, 4, QByteArray::fromHex("80250000"));          // 9600
    bytes.replace(6, 8, QByteArray::fromHex("9a9999999999b93f"));  // 0.1
    bytes.replace(14, 8, QByteArray::fromHex("000000000000f03f")); // 1.0
    bytes.replace(22, 8, QByteArray::fromHex("7b14ae47e17a843f")); // 0.01
    bytes.replace(30, 8, QByteArray::fromHex("000000000000e03f")); // 0.5
    bytes.replace(38, 8, QByteArray::fromHex("0000000000000040")); // 2.0
    bytes.replace(46, 8, QByteArray::fromHex("000000000000f0bf")); // -1.0
    bytes.replace(54, 4, QByteArray::fromHex("fdffffff"));         // spare int -3
    bytes[58] = char(7);                                           // spare flag
    bytes[59] = char(1);                                           // reload
    return bytes;
}

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
private slots:
    void decodesAndEncodesTheHandBuiltLayout()
    {
        const QByteArray bytes = handBuiltConfig();
        const ConfigData config = ConfigData::fromBytes(bytes, QStringLiteral("Config.dat"));
        QCOMPARE(config.spareByte, quint8(0x5A));
        QCOMPARE(config.commPortIndex, quint8(2));
        QCOMPARE(config.baudRate, 9600);
        QCOMPARE(config.voltageArrowStep, 0.1);
        QCOMPARE(config.voltagePageStep, 1.0);
        QCOMPARE(config.voltageWheelStep, 0.01);
        QCOMPARE(config.currentArrowStep, 0.5);
        QCOMPARE(config.currentPageStep, 2.0);
        QCOMPARE(config.currentWheelStep, -1.0);
        QCOMPARE(config.spareInt, -3);
        QCOMPARE(config.spareFlag, quint8(7));
        QVERIFY(config.reloadsLastParam());
        QCOMPARE(config.toBytes(), bytes);
    }

    void anyNonZeroReloadByteMeansYes()
    {
        QByteArray bytes = handBuiltConfig();
        bytes[59] = char(2);
        const ConfigData config = ConfigData::fromBytes(bytes, QStringLiteral("Config.dat"));
        QVERIFY(config.reloadsLastParam());
        QCOMPARE(config.toBytes(), bytes);
        bytes[59] = char(0);
        QVERIFY(!ConfigData::fromBytes(bytes, QStringLiteral("Config.dat")).reloadsLastParam());
    }

    void defaultsMatchAFreshStart()
    {
        const ConfigData config;
        QCOMPARE(config.toBytes().size(), 60);
        QCOMPARE(config.spareFlag, quint8(1));
        QCOMPARE(config.baudRate, 0);
        QCOMPARE(config.commPortIndex, quint8(0));
    }

    void wrongSizeIsRejectedNamingTheFile_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("59 bytes") << 59;
        QTest::newRow("61 bytes") << 61;
        QTest::newRow("empty") << 0;
    }

    void wrongSizeIsRejectedNamingTheFile()
    {
        QFETCH(int, size);
        try {
            ConfigData::fromBytes(QByteArray(size, '\0'), QStringLiteral("/p/Config.dat"));
            QFAIL("no error");
        } catch (const VoltarisError& error) {
            QVERIFY2(error.message().contains(u"\"/p/Config.dat\""), qPrintable(error.message()));
        }
    }

    void fileRoundTripAndMissingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Config.dat"));
        QVERIFY(!loadConfigFile(path).has_value());

        ConfigData config;
        config.commPortIndex = 11;
        config.baudRate = 57600;
        config.reloadLastParam = 1;
        saveConfigFile(path, config);
        QCOMPARE(QFileInfo(path).size(), 60);
        QCOMPARE(loadConfigFile(path), std::optional<ConfigData>(config));

        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write("x");
        file.close();
        QVERIFY_THROWS_EXCEPTION(VoltarisError, loadConfigFile(path));
    }

    void portIndex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("COM3") << "COM3" << 2;
        QTest::newRow("COM12") << "COM12" << 11;
        QTest::newRow("design text Com1") << "Com1" << 0;
        QTest::newRow("COM100 reads two characters") << "COM100" << 9;
        QTest::newRow("letters are not looked at") << "XYZ7" << 6;
        QTest::newRow("COM0") << "COM0" << -1;
    }

    void portIndex()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(parsePortIndex(text), expected);
    }

    void badPortTextQuotesTheCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("no number") << "COM"
                                   << "''";
        QTest::newRow("letter after digit") << "COM1x"
                                            << "'1x'";
        QTest::newRow("other name") << "/dev/ttyS0"
                                    << "'v/'";
    }

    void badPortTextQuotesTheCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QString, quoted);
        try {
            parsePortIndex(text);
            QFAIL("no error");
        } catch (const VoltarisError& error) {
            QCOMPARE(error.message(), quoted + QStringLiteral(" is not a valid integer value"));
        }
    }

    void baudRate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("expected");
        QTest::newRow("listed") << "9600" << true << 9600;
        QTest::newRow("not listed") << "57600" << true << 57600;
        QTest::newRow("blanks") << " 19200 " << true << 19200;
        QTest::newRow("negative") << "-5" << true << -5;
        QTest::newRow("decimal") << "9600.5" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("unit") << "9600bd" << false << 0;
    }

    void baudRate()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, expected);
        if (valid)
            QCOMPARE(parseBaudRate(text), expected);
        else
            QVERIFY_THROWS_EXCEPTION(VoltarisError, parseBaudRate(text));
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
