// Runs the built voltaris-data tool the way the build does.

#include "settings/loadsource.h"
#include "settings/powertypes.h"

#include "platform/ansicodec.h"
#include "platform/atomicfile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run runTool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(VOLTARIS_DATA_TOOL), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

const QString sourceDir = QStringLiteral(VOLTARIS_SOURCE_DIR);

} // namespace

class TestDataTool : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Ansi::setCodePage(QStringLiteral("windows-1252")); }

    void shippedEnglishBuildsDumpsAndRebuildsIdentically()
    {
        QTemporaryDir dir;
        const QString source = sourceDir + QStringLiteral("/data/lang/English (United States).txt");
        const QString first = dir.filePath(QStringLiteral("first"));
        QCOMPARE(runTool({"lang-build", source, first}).exitCode, 0);

        const QStringList texts = readLanguageTexts(readWholeFile(first), first);
        QCOMPARE(texts.size(), 153);
        QCOMPARE(readWholeFile(first).left(2), QByteArray("\x9a\x00", 2));
        TLoadSource builtIn;
        builtIn.LoadBuiltInEnglish();
        QCOMPARE(texts, builtIn.Texts);

        const Run dump = runTool({"lang-dump", first});
        QCOMPARE(dump.exitCode, 0);
        writeFileAtomically(dir.filePath(QStringLiteral("dump.txt")), dump.out);
        const QString second = dir.filePath(QStringLiteral("second"));
        QCOMPARE(runTool({"lang-build", dir.filePath(QStringLiteral("dump.txt")), second}).exitCode,
                 0);
        QCOMPARE(readWholeFile(second), readWholeFile(first));
    }

    void shippedPowerTypesBuildAndDump()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("PowerType.dat"));
        QCOMPARE(
            runTool({"powertype-build", sourceDir + QStringLiteral("/data/PowerType.txt"), out})
                .exitCode,
            0);
        const QList<TPowerType> types = loadPowerTypes(out);
        QCOMPARE(types.size(), 3);
        QCOMPARE(types[0], (TPowerType{QStringLiteral("VLT3303"), {30, 3, 30, 3, 5, 3}, 3}));
        QCOMPARE(types[2], (TPowerType{QStringLiteral("VLT6003"), {60, 3, 60, 3, 5, 3}, 2}));
        const Run dump = runTool({"powertype-dump", out});
        QCOMPARE(dump.exitCode, 0);
        QVERIFY(dump.out.contains("VLT3305\t30\t5\t30\t5\t5\t3\t3\n"));
    }

    void codePageOptionChangesTheBytes()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("zh.txt"));
        writeFileAtomically(source, QString::fromUtf8("0\t电压\n").toUtf8());
        const QString out = dir.filePath(QStringLiteral("zh"));
        QCOMPARE(runTool({"--codepage", "GBK", "lang-build", source, out}).exitCode, 0);
        QCOMPARE(readWholeFile(out), QByteArray("\x02\x00\x04\x00\xb5\xe7\xd1\xb9", 8));
        const Run dump = runTool({"lang-dump", "--codepage", "GBK", out});
        QVERIFY(dump.out.contains(QString::fromUtf8("0\t电压\n").toUtf8()));
    }

    void errorsNameTheFileAndLineAndExitWith1_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("detail");
        QTest::newRow("bad source line")
            << QStringList{"lang-build", "@bad", "@out"} << "bad.txt, line 2: key 1 expected";
        QTest::newRow("missing input")
            << QStringList{"powertype-dump", "@missing"} << "Cannot open file";
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << "unknown command";
        QTest::newRow("unknown code page")
            << QStringList{"--codepage", "nope", "lang-dump", "@bad"} << "\"nope\"";
    }

    void errorsNameTheFileAndLineAndExitWith1()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, detail);
        QTemporaryDir dir;
        writeFileAtomically(dir.filePath(QStringLiteral("bad.txt")), "0\ta\n2\tb\n");
        for (QString& argument : arguments) {
            if (argument.startsWith(u'@'))
                argument = dir.filePath(argument.mid(1) + (argument == u"@bad" ? ".txt" : ""));
        }
        const Run run = runTool(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(detail), qPrintable(run.err));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out"))));
    }
};

QTEST_GUILESS_MAIN(TestDataTool)
#include "tst_datatool.moc"
