#include "platform/ansicodec.h"
#include "platform/atomicfile.h"
#include "platform/binaryio.h"
#include "platform/errors.h"
#include "platform/programfolder.h"

#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Ansi::setCodePage(QStringLiteral("windows-1252")); }

    void readerDecodesLittleEndianFields()
    {
        // u8 0xFE, u16 0x1234, i32 -2, double 1.5, counted "Ab", then 2 bytes.
        const QByteArray bytes =
            bytesOf({0xFE, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0,   0, 0,   0,
                     0,    0,    0xF8, 0x3F, 2,    0,    'A',  'b', 0, 'x', 'y'});
        BinaryReader reader(bytes, QStringLiteral("sample.bin"));
        QCOMPARE(reader.readU8(), quint8(0xFE));
        QCOMPARE(reader.readU16(), quint16(0x1234));
        QCOMPARE(reader.readI32(), -2);
        QCOMPARE(reader.readDouble(), 1.5);
        QCOMPARE(reader.readCountedString(), QStringLiteral("Ab"));
        QCOMPARE(reader.remaining(), 2);
        QCOMPARE(reader.readBytes(2), QByteArray("xy"));
        QVERIFY(reader.atEnd());
    }

    void writerProducesTheSameLayout()
    {
        BinaryWriter writer;
        writer.writeU8(0xFE);
        writer.writeU16(0x1234);
        writer.writeI32(-2);
        writer.writeDouble(1.5);
        writer.writeCountedString(QStringLiteral("Ab"));
        writer.writeZeros(2);
        QCOMPARE(writer.bytes(), bytesOf({0xFE, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0,   0, 0, 0,
                                          0,    0,    0xF8, 0x3F, 2,    0,    'A',  'b', 0, 0, 0}));
    }

    void readPastTheEndNamesTheFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("field");
        QTest::newRow("i32 from 3 bytes") << bytesOf({1, 2, 3}) << 0;
        QTest::newRow("double from 7 bytes") << bytesOf({1, 2, 3, 4, 5, 6, 7}) << 1;
        QTest::newRow("counted string cut in its text") << bytesOf({5, 0, 'a', 'b'}) << 2;
        QTest::newRow("counted string without its trailing byte") << bytesOf({1, 0, 'a'}) << 2;
    }

    void readPastTheEndNamesTheFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, field);
        BinaryReader reader(bytes, QStringLiteral("/x/PowerType.dat"));
        const QString message = errorOf([&] {
            if (field == 0)
                reader.readI32();
            else if (field == 1)
                reader.readDouble();
            else
                reader.readCountedString();
        });
        QVERIFY2(message.contains(u"\"/x/PowerType.dat\"") && message.contains(u"ends early"),
                 qPrintable(message));
    }

    void atomicWriteReplacesTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Config.dat"));
        writeTestFile(path, "old");
        writeFileAtomically(path, "new bytes");
        QCOMPARE(readWholeFile(path), QByteArray("new bytes"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Config.dat"});
    }

    // The old file must survive a write that cannot finish. A read-only folder does not stop
    // root, so a name too long for the temporary file beside it is used as well.
    void failedAtomicWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("read-only folder") << true;
        QTest::newRow("no room for the temporary name") << false;
    }

    void failedAtomicWriteKeepsTheOldFile()
    {
        QFETCH(bool, readOnlyFolder);
        QTemporaryDir dir;
        const QString name = readOnlyFolder ? QStringLiteral("Config.dat") : QString(250, u'c');
        const QString path = dir.filePath(name);
        writeTestFile(path, "old");
        if (readOnlyFolder) {
            QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
            QFile probe(dir.filePath(QStringLiteral("probe")));
            if (probe.open(QIODevice::WriteOnly)) {
                probe.remove();
                QFile::setPermissions(dir.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QSKIP("this user can write into read-only folders");
            }
        }
        const QString message = errorOf([&] { writeFileAtomically(path, "new"); });
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(message.contains(u'"' + path + u'"'), qPrintable(message));
        QCOMPARE(readWholeFile(path), QByteArray("old"));
    }

    void readingAMissingFileGivesTheFileOpenError()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("PowerType.dat"));
        QCOMPARE(
            errorOf([&] { readWholeFile(file); }),
            QStringLiteral("Cannot open file \"%1\". The system cannot find the file specified")
                .arg(file));
        const QString inMissingFolder = dir.filePath(QStringLiteral("gone/PowerType.dat"));
        QCOMPARE(
            errorOf([&] { readWholeFile(inMissingFolder); }),
            QStringLiteral("Cannot open file \"%1\". The system cannot find the path specified")
                .arg(inMissingFolder));
    }

    void programFolderCanBeRedirected()
    {
        QCOMPARE(programFolder(), QCoreApplication::applicationDirPath());
        setProgramFolder(QStringLiteral("/tmp/voltaris"));
        QCOMPARE(programFile(QStringLiteral("Config.dat")),
                 QStringLiteral("/tmp/voltaris/Config.dat"));
        setProgramFolder(QString());
        QCOMPARE(programFolder(), QCoreApplication::applicationDirPath());
    }

    void ansiRoundTrip_data()
    {
        QTest::addColumn<QString>("codePage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("western") << "windows-1252" << QString::fromUtf8("5µA 20°C €")
                                 << bytesOf({'5', 0xB5, 'A', ' ', '2', '0', 0xB0, 'C', ' ', 0x80});
        QTest::newRow("chinese") << "GBK" << QString::fromUtf8("电压")
                                 << bytesOf({0xB5, 0xE7, 0xD1, 0xB9});
        QTest::newRow("cyrillic") << "windows-1251" << QString::fromUtf8("Ток")
                                  << bytesOf({0xD2, 0xEE, 0xEA});
    }

    void ansiRoundTrip()
    {
        QFETCH(QString, codePage);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        Ansi::setCodePage(codePage);
        QCOMPARE(Ansi::encode(text), bytes);
        QCOMPARE(Ansi::decode(bytes), text);
        Ansi::setCodePage(QStringLiteral("windows-1252"));
    }

    void unmappableCharactersBecomeQuestionMarks()
    {
        QCOMPARE(Ansi::encode(QString::fromUtf8("a电b😀")), QByteArray("a?b?"));
    }

    void unknownCodePageIsRejectedAndTheOldOneStays()
    {
        const QString message = errorOf([] { Ansi::setCodePage(QStringLiteral("no-such-page")); });
        QVERIFY2(message.contains(u"\"no-such-page\""), qPrintable(message));
        QCOMPARE(Ansi::codePageName(), QStringLiteral("windows-1252"));
    }

    void codePageFollowsTheLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("codePage");
        QTest::newRow("US English") << "en_US"
                                    << "windows-1252";
        QTest::newRow("German") << "de_DE"
                                << "windows-1252";
        QTest::newRow("simplified Chinese") << "zh_CN"
                                            << "GBK";
        QTest::newRow("traditional Chinese") << "zh_TW"
                                             << "Big5";
        QTest::newRow("Japanese") << "ja_JP"
                                  << "Shift_JIS";
        QTest::newRow("Korean") << "ko_KR"
                                << "windows-949";
        QTest::newRow("Russian") << "ru_RU"
                                 << "windows-1251";
        QTest::newRow("Polish") << "pl_PL"
                                << "windows-1250";
        QTest::newRow("Greek") << "el_GR"
                               << "windows-1253";
        QTest::newRow("Turkish") << "tr_TR"
                                 << "windows-1254";
        QTest::newRow("Hebrew") << "he_IL"
                                << "windows-1255";
        QTest::newRow("Arabic") << "ar_EG"
                                << "windows-1256";
        QTest::newRow("Lithuanian") << "lt_LT"
                                    << "windows-1257";
        QTest::newRow("Vietnamese") << "vi_VN"
                                    << "windows-1258";
        QTest::newRow("Thai") << "th_TH"
                              << "windows-874";
    }

    void codePageFollowsTheLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, codePage);
        QCOMPARE(Ansi::codePageForLocale(QLocale(locale)), codePage);
        // Every page the table names must be usable here.
        Ansi::setCodePage(codePage);
        Ansi::setCodePage(QStringLiteral("windows-1252"));
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
