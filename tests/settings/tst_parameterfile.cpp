#include "settings/parameterfile.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray caption(const QByteArray& ansi)
{
    QByteArray bytes;
    bytes.append(char(ansi.size() & 0xff));
    bytes.append(char(ansi.size() >> 8));
    bytes.append(ansi);
    bytes.append('\0');
    return bytes;
}

// The file of a fresh start: an all-zero block, six empty lists, ten captions "0".
QByteArray freshFile()
{
    QByteArray bytes(280 + 6 * 4, '\0');
    for (int i = 0; i < 10; ++i)
        bytes.append(hex("0100"
                         "30"
                         "00"));
    return bytes;
}

enum class Judged
{
    Yes,
    No
};
enum class Captions
{
    AsTyped,
    Trimmed
};

// A small file laid out by hand: hotkey 1, channel 2's scan settings, Custom RunTimes with odd
// padding and spare bytes, one program step on channel 2 and one GO/NG step on channel 3.
QByteArray smallFile(Judged judged, Captions captions)
{
    QByteArray bytes;
    bytes += hex("0000000000002840"
                 "000000000000f83f");  // hotkey 1: 12 V, 1.5 A
    bytes += QByteArray(9 * 16, '\0'); // hotkeys 2..10
    bytes += QByteArray(32, '\0');     // scan channel 1
    bytes += hex("000000000000f03f"
                 "0000000000002440" // scan channel 2: start 1, stop 10,
                 "000000000000e03f"
                 "0000000000000040"); // step 0.5, delay 2
    bytes += QByteArray(32, '\0');    // scan channel 3
    bytes += hex("02"
                 "aabbcc"
                 "07000000");                         // RunTimes Custom, padding, count 7
    bytes += hex("0102030405060708090a0b0c0d0e0f10"); // spare
    Q_ASSERT(bytes.size() == 280);

    bytes += hex("00000000"); // program channel 1: none
    bytes += hex("01000000"   // program channel 2: one step
                 "0000000000001440"
                 "000000000000d03f" //   5 V, 0.25 A
                 "0000000000000840"
                 "01"
                 "00000000000000"); // 3 s, Reserved 1, padding
    bytes += hex("00000000");       // program channel 3: none
    bytes += hex("00000000"
                 "00000000"); // GO/NG channels 1 and 2: none
    bytes += hex("01000000"   // GO/NG channel 3: one step
                 "0000000000001040"
                 "000000000000e83f" //   4 V, max 0.75 A
                 "000000000000c03f"
                 "0000000000000040"); //   min 0.125 A, 2 s
    bytes += judged == Judged::Yes ? hex("000000000000e03f"
                                         "01") // Real 0.5 A, Pass 1
                                   : hex("0000000000000000"
                                         "00");
    bytes += hex("00000000000000"); //   padding

    const bool trimmed = captions == Captions::Trimmed;
    bytes += caption("12/1.5");
    bytes += caption(trimmed ? "3/0.2" : " 3/0.2 ");
    bytes += caption(trimmed ? "7/2"
                             : "\x01"
                               "7/2\t\r\n");
    for (int i = 3; i < 10; ++i)
        bytes += caption("0");
    return bytes;
}

// The small file's GO/NG step count sits after the block, the program lists and two empty
// GO/NG counts.
constexpr int firstProgramCountOffset = 280;
constexpr int goNgChannel3CountOffset = 280 + 4 + (4 + 32) + 4 + 4 + 4;

QByteArray withCount(QByteArray bytes, int offset, qint32 count)
{
    const quint32 value = quint32(count);
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xff);
    return bytes;
}

void compareSteps(const ProgramStep& actual, const ProgramStep& expected)
{
    QCOMPARE(actual.Voltage, expected.Voltage);
    QCOMPARE(actual.Current, expected.Current);
    QCOMPARE(actual.Delay, expected.Delay);
    QCOMPARE(actual.Reserved, expected.Reserved);
}

void compareSteps(const GoNgStep& actual, const GoNgStep& expected)
{
    QCOMPARE(actual.Setting, expected.Setting);
    QCOMPARE(actual.Max, expected.Max);
    QCOMPARE(actual.Min, expected.Min);
    QCOMPARE(actual.Delay, expected.Delay);
    QCOMPARE(actual.Real, expected.Real);
    QCOMPARE(actual.Pass, expected.Pass);
}

const QString fileName = QStringLiteral("/params/Bench 3.Par");

} // namespace

class TestParameterFile : public QObject
{
    Q_OBJECT
private slots:
    void decodesTheHandBuiltFile()
    {
        const ParameterSet set =
            readParameterFile(smallFile(Judged::Yes, Captions::AsTyped), fileName);

        QCOMPARE(set.block.FastKeys[0].Voltage, 12.0);
        QCOMPARE(set.block.FastKeys[0].Current, 1.5);
        for (int i = 1; i < 10; ++i) {
            QCOMPARE(set.block.FastKeys[i].Voltage, 0.0);
            QCOMPARE(set.block.FastKeys[i].Current, 0.0);
        }
        QCOMPARE(set.block.ScanSettings[0].ScanStop, 0.0);
        QCOMPARE(set.block.ScanSettings[1].ScanStart, 1.0);
        QCOMPARE(set.block.ScanSettings[1].ScanStop, 10.0);
        QCOMPARE(set.block.ScanSettings[1].ScanStep, 0.5);
        QCOMPARE(set.block.ScanSettings[1].ScanDelay, 2.0);
        QCOMPARE(set.block.ScanSettings[2].ScanStart, 0.0);
        QCOMPARE(set.block.RunTimesMode, quint8(2));
        QCOMPARE(set.block.Padding, (std::array<quint8, 3>{0xAA, 0xBB, 0xCC}));
        QCOMPARE(set.block.RunTimesCount, 7);
        for (int i = 0; i < 16; ++i)
            QCOMPARE(set.block.Spare[i], quint8(i + 1));

        QCOMPARE(set.programLists[0].size(), 0);
        QCOMPARE(set.programLists[1].size(), 1);
        QCOMPARE(set.programLists[2].size(), 0);
        compareSteps(set.programLists[1][0], ProgramStep{5.0, 0.25, 3.0, 1});
        QCOMPARE(set.goNgLists[0].size(), 0);
        QCOMPARE(set.goNgLists[1].size(), 0);
        QCOMPARE(set.goNgLists[2].size(), 1);
        // The file says judged and passed; a loaded step is unjudged all the same.
        compareSteps(set.goNgLists[2][0], GoNgStep{4.0, 0.75, 0.125, 2.0, 0.0, 0});

        const std::array<QString, 10> captions = {"12/1.5", "3/0.2", "7/2", "0", "0",
                                                  "0",      "0",     "0",   "0", "0"};
        QCOMPARE(set.captions, captions);
    }

    void encodesBackToTheHandBuiltFile()
    {
        const ParameterSet set =
            readParameterFile(smallFile(Judged::Yes, Captions::AsTyped), fileName);
        QCOMPARE(writeParameterFile(set), smallFile(Judged::No, Captions::Trimmed));

        // What a record's padding held in memory is not significant: it is skipped on reading
        // and written as zeros.
        QByteArray dirtyPadding = smallFile(Judged::No, Captions::Trimmed);
        dirtyPadding.replace(280 + 4 + 4 + 25, 7, QByteArray(7, char(0xEE)));
        dirtyPadding.replace(goNgChannel3CountOffset + 4 + 41, 7, QByteArray(7, char(0xEE)));
        QCOMPARE(writeParameterFile(readParameterFile(dirtyPadding, fileName)),
                 smallFile(Judged::No, Captions::Trimmed));
    }

    void acceptsBytesAfterTheCaptions()
    {
        const QByteArray bytes = smallFile(Judged::No, Captions::Trimmed);
        const ParameterSet set = readParameterFile(bytes + "tail", fileName);
        QCOMPARE(writeParameterFile(set), bytes);
    }

    void freshSetWritesTheFreshFile()
    {
        const ParameterSet fresh;
        const QByteArray bytes = writeParameterFile(fresh);
        QCOMPARE(bytes.size(), 344);
        QCOMPARE(bytes, freshFile());

        const ParameterSet read = readParameterFile(freshFile(), fileName);
        QCOMPARE(read.captions, fresh.captions);
        QCOMPARE(read.block.RunTimesMode, quint8(0));
        for (int c = 0; c < 3; ++c) {
            QVERIFY(read.programLists[c].isEmpty());
            QVERIFY(read.goNgLists[c].isEmpty());
        }
    }

    void zeroOrNegativeCountIsAnEmptyList_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<qint32>("count");
        const int program1 = firstProgramCountOffset;
        const int goNg3 = 280 + 5 * 4;
        QTest::newRow("program 0") << program1 << 0;
        QTest::newRow("program -1") << program1 << -1;
        QTest::newRow("program minimum") << program1 << std::numeric_limits<qint32>::min();
        QTest::newRow("GO/NG -5") << goNg3 << -5;
    }

    void zeroOrNegativeCountIsAnEmptyList()
    {
        QFETCH(int, offset);
        QFETCH(qint32, count);
        const ParameterSet set = readParameterFile(withCount(freshFile(), offset, count), fileName);
        for (int c = 0; c < 3; ++c) {
            QVERIFY(set.programLists[c].isEmpty());
            QVERIFY(set.goNgLists[c].isEmpty());
        }
        // The ten captions are still found right after the count.
        QCOMPARE(set.captions[9], QStringLiteral("0"));
    }

    void rejectsADamagedFileNamingIt_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // A count is refused before any record is read, so that a damaged count costs no memory.
        QTest::addColumn<QString>("reason");
        const QByteArray small = smallFile(Judged::No, Captions::Trimmed);
        const QString early = QStringLiteral("ends early");
        QTest::newRow("empty") << QByteArray() << early;
        QTest::newRow("inside the block") << small.left(279) << early;
        QTest::newRow("inside a count") << small.left(282) << early;
        QTest::newRow("inside a program step")
            << small.left(280 + 4 + 4 + 20)
            << QStringLiteral("program list of channel 2 at offset 284 has a step count of 1 (32 "
                              "bytes each), but only 20 bytes follow");
        QTest::newRow("inside a GO/NG step")
            << small.left(goNgChannel3CountOffset + 4 + 47)
            << QStringLiteral("GO/NG list of channel 3 at offset 332 has a step count of 1 (48 "
                              "bytes each), but only 47 bytes follow");
        QTest::newRow("inside a caption's text") << small.left(small.size() - 4 * 7 - 2) << early;
        QTest::newRow("before a caption's last byte") << small.left(small.size() - 1) << early;
        QTest::newRow("a caption missing") << freshFile().left(340) << early;
        QTest::newRow("a million steps in a short file")
            << withCount(freshFile(), firstProgramCountOffset + 4, 1'000'000)
            << QStringLiteral(
                   "program list of channel 2 at offset 284 has a step count of 1000000");
        QTest::newRow("the largest count")
            << withCount(freshFile(), 280 + 3 * 4, std::numeric_limits<qint32>::max())
            << QStringLiteral(
                   "GO/NG list of channel 1 at offset 292 has a step count of 2147483647");
        // Only the 40 bytes of the captions follow: less than one 48-byte GO/NG step.
        QTest::newRow("one GO/NG step too many")
            << withCount(freshFile(), 280 + 5 * 4, 1)
            << QStringLiteral("GO/NG list of channel 3 at offset 300 has a step count of 1 (48 "
                              "bytes each), but only 40 bytes follow");
    }

    void rejectsADamagedFileNamingIt()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        try {
            readParameterFile(bytes, fileName);
            QFAIL("no error");
        } catch (const VoltarisError& error) {
            QVERIFY2(error.message().contains(QLatin1Char('"') + fileName + QLatin1Char('"')),
                     qPrintable(error.message()));
            QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
        }
    }

    void savesAndLoadsEveryField()
    {
        ParameterSet set;
        for (int i = 0; i < 10; ++i) {
            set.block.FastKeys[i] = {i * 1.25, i * 0.1};
            set.captions[i] = QStringLiteral("%1/%2").arg(i * 1.25).arg(i * 0.1);
        }
        for (int c = 0; c < 3; ++c) {
            set.block.ScanSettings[c] = {c + 0.5, c + 30.0, 0.01 * (c + 1), 1.0 / 3};
            for (int k = 0; k <= c + 1; ++k) {
                set.programLists[c].append({c + k * 0.1, k * 0.01, 1.0 + k, quint8(k)});
                set.goNgLists[c].append({k * 2.0, 1.5, 0.2 * c, 1.0 + c, 0.9, 1});
            }
        }
        set.block.RunTimesMode = 1;
        set.block.RunTimesCount = -12;
        set.block.Padding = {1, 2, 3};
        set.block.Spare.fill(0x5A);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Ramp test.Par"));
        saveParameterFile(path, set);
        const ParameterSet loaded = loadParameterFile(path);

        QCOMPARE(loaded.captions, set.captions);
        QCOMPARE(loaded.block.RunTimesMode, set.block.RunTimesMode);
        QCOMPARE(loaded.block.RunTimesCount, set.block.RunTimesCount);
        QCOMPARE(loaded.block.Padding, set.block.Padding);
        QCOMPARE(loaded.block.Spare, set.block.Spare);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(loaded.block.FastKeys[i].Voltage, set.block.FastKeys[i].Voltage);
            QCOMPARE(loaded.block.FastKeys[i].Current, set.block.FastKeys[i].Current);
        }
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(loaded.block.ScanSettings[c].ScanStart, set.block.ScanSettings[c].ScanStart);
            QCOMPARE(loaded.block.ScanSettings[c].ScanStop, set.block.ScanSettings[c].ScanStop);
            QCOMPARE(loaded.block.ScanSettings[c].ScanStep, set.block.ScanSettings[c].ScanStep);
            QCOMPARE(loaded.block.ScanSettings[c].ScanDelay, set.block.ScanSettings[c].ScanDelay);
            QCOMPARE(loaded.programLists[c].size(), set.programLists[c].size());
            QCOMPARE(loaded.goNgLists[c].size(), set.goNgLists[c].size());
            for (qsizetype k = 0; k < set.programLists[c].size(); ++k)
                compareSteps(loaded.programLists[c][k], set.programLists[c][k]);
            for (qsizetype k = 0; k < set.goNgLists[c].size(); ++k) {
                GoNgStep unjudged = set.goNgLists[c][k];
                unjudged.Real = 0.0;
                unjudged.Pass = 0;
                compareSteps(loaded.goNgLists[c][k], unjudged);
            }
        }
    }

    void loadOfAMissingFileNamesIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Gone.Par"));
        try {
            loadParameterFile(path);
            QFAIL("no error");
        } catch (const VoltarisError& error) {
            QVERIFY2(error.message().contains(QDir::toNativeSeparators(path)),
                     qPrintable(error.message()));
        }
    }

    void failedSaveLeavesTheExistingFile()
    {
        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("AllParam.Par"));
        const QByteArray before = smallFile(Judged::No, Captions::Trimmed);
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }

        const QString missing = dir.filePath(QStringLiteral("missing/AllParam.Par"));
        try {
            saveParameterFile(missing, ParameterSet());
            QFAIL("no error");
        } catch (const VoltarisError& error) {
            QVERIFY2(error.message().contains(QDir::toNativeSeparators(missing)),
                     qPrintable(error.message()));
        }

        QFile file(existing);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("AllParam.Par")});
    }
};

QTEST_GUILESS_MAIN(TestParameterFile)
#include "tst_parameterfile.moc"
