#include "settings/powertypes.h"
#include "settings/textsources.h"

#include "platform/ansicodec.h"
#include "platform/errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray i32(qint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((quint32(v) >> (8 * i)) & 0xFF);
    return b;
}

QByteArray counted(const QByteArray& text)
{
    return QByteArray(1, char(text.size())) + '\0' + text + '\0';
}

QByteArray record(const QList<QByteArray>& fields)
{
    QByteArray bytes;
    for (const QByteArray& field : fields)
        bytes += counted(field);
    return bytes;
}

QString errorOf(const QByteArray& bytes)
{
    try {
        readPowerTypes(bytes, QStringLiteral("/p/PowerType.dat"));
    } catch (const VoltarisError& error) {
        return error.message();
    }
    return QString();
}

} // namespace

Q_DECLARE_METATYPE(TPowerType)

class TestPowerTypes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Ansi::setCodePage(QStringLiteral("windows-1252")); }

    void countOfOneIsAnEmptyTable()
    {
        QVERIFY(readPowerTypes(i32(1), QStringLiteral("PowerType.dat")).isEmpty());
    }

    void countOfThreeGivesTwoModels()
    {
        const QByteArray bytes =
            i32(3) + record({"VLT3303", "30", "3", "30", "3", "5", "3", "3"}) +
            record({"Mod\xb5", "3,1", "-5", "30 5", "1.2.3", "0.1234567", " 2 ", "258"});
        const QList<TPowerType> types = readPowerTypes(bytes, QStringLiteral("PowerType.dat"));
        QCOMPARE(types.size(), 2);
        QCOMPARE(types[0].Name, QStringLiteral("VLT3303"));
        QCOMPARE(types[0].maxVoltage(0), 30.0);
        QCOMPARE(types[0].maxCurrent(0), 3.0);
        QCOMPARE(types[0].maxVoltage(2), 5.0);
        QCOMPARE(types[0].maxCurrent(2), 3.0);
        QCOMPARE(types[0].Precision, quint8(3));

        QCOMPARE(types[1].Name, QString::fromUtf8("Modµ"));
        QCOMPARE(types[1].maxima[0], 3.1); // comma as separator
        QCOMPARE(types[1].maxima[1], 0.5); // the sign separates
        QCOMPARE(types[1].maxima[2], 30.5);
        QCOMPARE(types[1].maxima[3], 1.23);
        QCOMPARE(types[1].maxima[4], 0.123456);
        QCOMPARE(types[1].maxima[5], 2.0);
        QCOMPARE(types[1].Precision, quint8(2)); // low 8 bits of 258
    }

    void badFilesAreRejectedNamingTheFile_data()
    {
        const QByteArray good = record({"A", "1", "1", "1", "1", "1", "1", "2"});
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("detail");
        QTest::newRow("no count") << QByteArray("\x02\x00", 2) << "ends early";
        QTest::newRow("count 0") << i32(0) << "count 0";
        QTest::newRow("count 257") << i32(257) << "count 257";
        QTest::newRow("negative count") << i32(-1) << "count -1";
        QTest::newRow("fewer records than counted") << i32(3) + good << "ends early";
        QTest::newRow("record cut short") << i32(2) + good.left(good.size() - 1) << "ends early";
        QTest::newRow("limit without digit")
            << i32(2) + record({"A", "1", "x", "1", "1", "1", "1", "2"})
            << "model 1 (A), channel 1 current: 'x' is not a valid number";
        QTest::newRow("precision not an integer")
            << i32(2) + record({"A", "1", "1", "1", "1", "1", "1", "2.5"})
            << "precision: '2.5' is not a valid integer value";
    }

    void badFilesAreRejectedNamingTheFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, detail);
        const QString message = errorOf(bytes);
        QVERIFY2(message.contains(u"\"/p/PowerType.dat\"") && message.contains(detail),
                 qPrintable(message));
    }

    void writtenTableReadsBack()
    {
        TPowerType a{QStringLiteral("VLT3303"), {30, 3, 30, 3, 5, 3}, 3};
        TPowerType b{QStringLiteral("Tiny"), {0.00001, 2.5, 1e9, 0.123456, 0, 12.75}, 0};
        const QByteArray bytes = writePowerTypes({a, b});
        const QByteArray start = i32(3) + counted("VLT3303") + counted("30") + counted("3");
        QCOMPARE(bytes.left(start.size()), start);
        QCOMPARE(readPowerTypes(bytes, QStringLiteral("x")), (QList<TPowerType>{a, b}));
    }

    void limitsTheReaderCannotGiveBackAreRefused_data()
    {
        QTest::addColumn<double>("limit");
        QTest::newRow("negative") << -5.0;
        QTest::newRow("seven decimals") << 0.1234567;
        QTest::newRow("beyond int32") << 3e9;
    }

    void limitsTheReaderCannotGiveBackAreRefused()
    {
        QFETCH(double, limit);
        TPowerType type{QStringLiteral("Bad"), {limit, 1, 1, 1, 1, 1}, 0};
        QVERIFY_THROWS_EXCEPTION(VoltarisError, writePowerTypes({type}));
    }

    void loadingAMissingFileGivesTheFileOpenError()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("PowerType.dat"));
        try {
            loadPowerTypes(path);
            QFAIL("no error");
        } catch (const VoltarisError& error) {
            QCOMPARE(error.message(),
                     QStringLiteral("Cannot open file \"%1\". The system cannot find the file "
                                    "specified")
                         .arg(path));
        }
    }

    void sourceTextRoundTrip()
    {
        const QByteArray source = "# comment\n"
                                  "VLT3303\t30\t3\t30\t3\t5\t3\t3\n"
                                  "\n"
                                  "VLT6003\t\t60\t3.25\t60\t3\t5\t3\t2\r\n";
        const QList<TPowerType> types = parsePowerTypeSource(source, QStringLiteral("p.txt"));
        QCOMPARE(types.size(), 2);
        QCOMPARE(types[1].Name, QStringLiteral("VLT6003"));
        QCOMPARE(types[1].maxima[1], 3.25);
        QCOMPARE(types[1].Precision, quint8(2));
        QCOMPARE(parsePowerTypeSource(formatPowerTypeSource(types), QStringLiteral("q.txt")),
                 types);
    }

    void badSourceLinesNameFileAndLine_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("detail");
        QTest::newRow("too few fields") << QByteArray("#\nA\t1\t2\n") << "p.txt, line 2: 8 tab";
        QTest::newRow("exponent") << QByteArray("A\t1E3\t1\t1\t1\t1\t1\t2\n")
                                  << "p.txt, line 1: '1E3' is not a plain decimal";
        QTest::newRow("comma") << QByteArray("A\t1\t3,1\t1\t1\t1\t1\t2\n") << "line 1: '3,1'";
        QTest::newRow("precision too big")
            << QByteArray("A\t1\t1\t1\t1\t1\t1\t256\n") << "line 1: the precision 256";
    }

    void badSourceLinesNameFileAndLine()
    {
        QFETCH(QByteArray, source);
        QFETCH(QString, detail);
        try {
            parsePowerTypeSource(source, QStringLiteral("p.txt"));
            QFAIL("no error");
        } catch (const VoltarisError& error) {
            QVERIFY2(error.message().contains(detail), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestPowerTypes)
#include "tst_powertypes.moc"
