#include "settings/loadsource.h"
#include "settings/textsources.h"

#include "platform/ansicodec.h"
#include "platform/atomicfile.h"
#include "platform/errors.h"
#include "platform/programfolder.h"

#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray u16(int v)
{
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF);
}

// A language file by hand: count C, then entries of u16 length and the bytes, no trailing byte.
QByteArray languageFile(int count, const QList<QByteArray>& entries)
{
    QByteArray bytes = u16(count);
    for (const QByteArray& entry : entries)
        bytes += u16(int(entry.size())) + entry;
    return bytes;
}

QList<QByteArray> numberedEntries(int n)
{
    QList<QByteArray> entries;
    for (int i = 0; i < n; ++i)
        entries.append("T" + QByteArray::number(i));
    return entries;
}

} // namespace

class TestLoadSource : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Ansi::setCodePage(QStringLiteral("windows-1252")); }
    void cleanup() { setProgramFolder(QString()); }

    void fileWith154GivesKeys0To152()
    {
        const QStringList texts =
            readLanguageTexts(languageFile(154, numberedEntries(153)), QStringLiteral("x"));
        QCOMPARE(texts.size(), 153);
        QCOMPARE(texts.first(), QStringLiteral("T0"));
        QCOMPARE(texts.last(), QStringLiteral("T152"));
    }

    void entryCountFollowsTheLowByte_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("available");
        QTest::addColumn<int>("expected");
        QTest::newRow("1 gives none") << 1 << 0 << 0;
        QTest::newRow("256 gives 255") << 256 << 255 << 255;
        QTest::newRow("0 reads as 255") << 0 << 255 << 255;
        QTest::newRow("258 wraps to 1") << 258 << 3 << 1;
        QTest::newRow("512 gives 511") << 512 << 511 << 511;
    }

    void entryCountFollowsTheLowByte()
    {
        QFETCH(int, count);
        QFETCH(int, available);
        QFETCH(int, expected);
        QCOMPARE(
            readLanguageTexts(languageFile(count, numberedEntries(available)), QStringLiteral("x"))
                .size(),
            expected);
    }

    void entriesKeepEmptyTextsBlanksAndAnsiCharacters()
    {
        const QStringList texts = readLanguageTexts(languageFile(4, {"", "Export To ",
                                                                     "20\xb0"
                                                                     "C"}),
                                                    QStringLiteral("x"));
        QCOMPARE(texts, (QStringList{"", "Export To ", QString::fromUtf8("20°C")}));
        QCOMPARE(writeLanguageTexts(texts), languageFile(4, {"", "Export To ",
                                                             "20\xb0"
                                                             "C"}));
    }

    void loadTextsReadsTheEnglishFileOfTheProgramFolder()
    {
        QTemporaryDir dir;
        setProgramFolder(dir.path());
        writeFileAtomically(dir.filePath(QStringLiteral("English (United States)")),
                            languageFile(3, {"Voltaris", "Config"}));
        TLoadSource source;
        QVERIFY(!source.Found);
        source.LoadTexts();
        QCOMPARE(source.LanguageName, QStringLiteral("English (United States)"));
        QCOMPARE(source.TextFileName, QStringLiteral("English (United States)"));
        QCOMPARE(source.GetText(1), QStringLiteral("Config"));
    }

    void failedLoadLeavesTheTextsAndNamesTheFile()
    {
        QTemporaryDir dir;
        setProgramFolder(dir.path());
        TLoadSource source;
        source.Texts = QStringList{"kept"};
        const QString file = dir.filePath(QStringLiteral("English (United States)"));

        QVERIFY(errorOf([&] {
                    source.LoadTexts();
                }).startsWith(QStringLiteral("Cannot open file \"%1\".").arg(file)));
        QCOMPARE(source.Texts, QStringList{"kept"});

        writeFileAtomically(file, languageFile(5, {"a", "b"}) + u16(9) + "cut");
        const QString message = errorOf([&] { source.LoadTexts(); });
        QVERIFY2(message.contains(u'"' + file + u'"') && message.contains(u"ends early"),
                 qPrintable(message));
        QCOMPARE(source.Texts, QStringList{"kept"});
    }

    void keyWithoutTextNamesTheIndex()
    {
        TLoadSource source;
        source.Texts = QStringList{"a", "b"};
        QCOMPARE(errorOf([&] { source.GetText(2); }),
                 QStringLiteral("List index out of bounds (2)"));
        QCOMPARE(errorOf([&] { source.GetText(-1); }),
                 QStringLiteral("List index out of bounds (-1)"));
    }

    void builtInEnglishHasEveryKey()
    {
        TLoadSource source;
        source.LoadBuiltInEnglish();
        QCOMPARE(source.Texts.size(), 153);
        QCOMPARE(source.GetText(0), QStringLiteral("Voltaris"));
        QCOMPARE(source.GetText(26), QStringLiteral("Communication Status"));
        QCOMPARE(source.GetText(29), QStringLiteral("Voltage Scan  (CH1)"));
        QCOMPARE(source.GetText(127), QStringLiteral("Export To "));
        QCOMPARE(source.GetText(134), QStringLiteral(" (identified)"));
        QCOMPARE(source.GetText(18), QString());
        QCOMPARE(source.GetText(152), QStringLiteral("GoNGDatabaseOperation"));
    }

    void languageSourceRoundTrip()
    {
        const QStringList texts{"plain",     "",           " lead",       "trail ",
                                "tab\there", "two\nlines", "back\\slash", "\"quoted\"",
                                "\"open",    "bell\x07",   "µ°"};
        const QByteArray source = formatLanguageSource(texts);
        QCOMPARE(parseLanguageSource(source, QStringLiteral("s.txt")), texts);
        QVERIFY(source.contains("3\t\"trail \"\n"));
        QVERIFY(source.contains("4\ttab\\there\n"));
    }

    void languageSourceReadsCommentsCrLfAndQuotes()
    {
        const QByteArray source = "\xEF\xBB\xBF# header\r\n0\tVoltaris\r\n\r\n# note\n"
                                  "1\t\"Export To \"\n2\t\"\"\n3\tsay \"hi\"\n";
        QCOMPARE(parseLanguageSource(source, QStringLiteral("s.txt")),
                 (QStringList{"Voltaris", "Export To ", "", "say \"hi\""}));
    }

    void badLanguageSourceNamesFileAndLine_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("detail");
        QTest::newRow("gap") << QByteArray("0\ta\n2\tc\n") << "s.txt, line 2: key 1 expected";
        QTest::newRow("no tab") << QByteArray("0 a\n") << "s.txt, line 1: KEY<TAB>TEXT";
        QTest::newRow("bad key") << QByteArray("x\ta\n") << "line 1: 'x' is not a text key";
        QTest::newRow("bad escape") << QByteArray("#\n0\ta\\q\n") << "line 2: unknown escape \\q";
        QTest::newRow("short \\u") << QByteArray("0\ta\\u12\n") << "line 1: \\u needs four";
        QTest::newRow("not UTF-8") << QByteArray("0\t\xff\n") << "s.txt is not valid UTF-8";
    }

    void badLanguageSourceNamesFileAndLine()
    {
        QFETCH(QByteArray, source);
        QFETCH(QString, detail);
        const QString message =
            errorOf([&] { parseLanguageSource(source, QStringLiteral("s.txt")); });
        QVERIFY2(message.contains(detail), qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(TestLoadSource)
#include "tst_loadsource.moc"
