// Parameter files through the main window: Save, Open, AllParam.Par at close and at start.
#include "mainformfixture.h"

#include "settings/configfile.h"
#include "settings/parameterfile.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QToolButton>

class TestParams : public QObject
{
    Q_OBJECT
private slots:
    void closeWritesAllParamEvenUnchanged()
    {
        MainFormFixture f;
        f.start();
        QVERIFY(f.form->close());
        QFile file(programFile("AllParam.Par"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.size(), qint64(344));
    }

    void closeThatCannotSaveLetsTheOperatorChoose_data()
    {
        QTest::addColumn<bool>("closeAnyway");
        QTest::newRow("stay open") << false;
        QTest::newRow("close without saving") << true;
    }
    void closeThatCannotSaveLetsTheOperatorChoose()
    {
        QFETCH(bool, closeAnyway);
        MainFormFixture f;
        QStringList asked;
        f.confirmCloseUnsaved = [&](const QString& message) {
            asked << message;
            return closeAnyway;
        };
        // A folder in the way of the file makes the save fail.
        QVERIFY(QDir(f.folder.path()).mkdir("AllParam.Par"));
        f.start();
        QCOMPARE(f.form->close(), closeAnyway);
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains("AllParam.Par"), qPrintable(asked[0]));
    }

    void saveAndOpenRestoreTheState()
    {
        MainFormFixture f;
        const QString path = f.folder.filePath("bench.Par");
        f.saveFileChoice = path;
        f.openFileChoice = path;
        TFormmain& form = f.startConnected();
        form.FastKeys[3] = FastKey{12, 1.5};
        form.tbFastKey[3]->setText("12/1.5");
        form.ScanSettings[0] = ScanSetting{1, 9, 0.5, 2};
        form.RunTimesMode = 2;
        form.RunTimesCount = 7;
        form.ProgramLists[1] = {ProgramStep{5, 1, 2.5, 0}};
        form.GoNgLists[2] = {GoNgStep{3, 0.6, 0.4, 1, 0.5, 1}};
        form.tbSaveClick();
        QVERIFY(QFile::exists(path));

        form.FastKeys = {};
        form.tbFastKey[3]->setText("0");
        form.ScanSettings = {};
        form.ProgramLists = {};
        form.GoNgLists = {};
        form.tbOpenClick();
        QCOMPARE(form.FastKeys[3].Voltage, 12.0);
        QCOMPARE(form.tbFastKey[3]->text(), QString("12/1.5"));
        QCOMPARE(form.ScanSettings[0].ScanStop, 9.0);
        QCOMPARE(form.RunTimesCount, 7);
        QCOMPARE(form.ProgramLists[1].size(), 1);
        QCOMPARE(form.ProgramLists[1][0].Delay, 2.5);
        QCOMPARE(form.GoNgLists[2].size(), 1);
        QCOMPARE(form.GoNgLists[2][0].Real, 0.0); // results never come from a file
        QCOMPARE(form.GoNgLists[2][0].Pass, quint8(0));
        QCOMPARE(form.iAnalogOutputEnd->text(), QString("9")); // shown for the selected channel
        QVERIFY(f.errors.isEmpty());
    }

    void aBadFileKeepsWhatIsHeld()
    {
        MainFormFixture f;
        const QString path = f.folder.filePath("short.Par");
        writeTestFile(path, QByteArray(100, '\0'));
        f.openFileChoice = path;
        TFormmain& form = f.startConnected();
        form.ProgramLists[0] = {ProgramStep{5, 1, 2, 0}};
        form.tbOpenClick();
        QCOMPARE(f.errors.size(), 1);
        QVERIFY2(f.errors[0].contains("short.Par"), qPrintable(f.errors[0]));
        QCOMPARE(form.ProgramLists[0].size(), 1);
    }

    void reloadAtStartOnlyWhenConfigured_data()
    {
        QTest::addColumn<bool>("writeConfig");
        QTest::addColumn<quint8>("reload");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("reload set") << true << quint8(1) << true;
        QTest::newRow("reload clear") << true << quint8(0) << false;
        QTest::newRow("no Config.dat") << false << quint8(0) << false;
    }
    void reloadAtStartOnlyWhenConfigured()
    {
        QFETCH(bool, writeConfig);
        QFETCH(quint8, reload);
        QFETCH(bool, loaded);
        MainFormFixture f;
        ParameterSet set;
        set.programLists[0] = {ProgramStep{5, 1, 2, 0}};
        set.captions[0] = "5/1";
        saveParameterFile(programFile("AllParam.Par"), set);
        if (writeConfig) {
            ConfigData config;
            config.reloadLastParam = reload;
            saveConfigFile(programFile("Config.dat"), config);
        }
        TFormmain& form = f.start();
        QCOMPARE(form.ProgramLists[0].size(), loaded ? 1 : 0);
        QCOMPARE(form.tbFastKey[0]->text(), QString(loaded ? "5/1" : "0"));
    }
};

QTEST_MAIN(TestParams)
#include "tst_params.moc"
