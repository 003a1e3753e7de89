// Config.dat at start and through the configuration dialog; PowerType.dat failures.
#include "mainformfixture.h"

#include "settings/dlgconfigsys.h"
#include "widgets/analogoutput.h"
#include "widgets/knob.h"
#include "widgets/ledrectangle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QtEndian>

namespace {

// Config.dat written out by hand: port index 2 (COM3), 19200 baud, reload byte 2.
QByteArray handBuiltConfig()
{
    QByteArray bytes;
    auto putDouble = [&](double value) {
        char raw[8];
        qToLittleEndian(value, raw);
        bytes.append(raw, 8);
    };
    bytes.append(char(0x7f));                      // 0: spare byte
    bytes.append(char(2));                         // 1: port index
    bytes.append(QByteArray::fromHex("004b0000")); // 2: 19200
    for (double step : {0.05, 0.5, 0.25, 0.01, 0.2, 0.02})
        putDouble(step);                           // 6..53: the six steps
    bytes.append(QByteArray::fromHex("efbeadde")); // 54: spare int 0xdeadbeef
    bytes.append(char(0));                         // 58: spare flag
    bytes.append(char(2));                         // 59: reload, any non-zero is yes
    return bytes;
}

// Plays the operator in the configuration dialog: notes what it showed, types, clicks.
struct DialogScript
{
    QString port;
    QString baud;
    double voltageArrow = -1;
    int result = QDialog::Accepted;
    QStringList shownPorts;
    ConfigDialogValues shown;

    void installOn(MainFormFixture& f)
    {
        f.execConfigDialog = [this](TFormConfigSys& d) {
            shown = d.values();
            for (int i = 0; i < d.TeThemeComboBoxComm->count(); ++i)
                shownPorts << d.TeThemeComboBoxComm->itemText(i);
            if (!port.isEmpty())
                d.TeThemeComboBoxComm->setEditText(port);
            if (!baud.isEmpty())
                d.TeThemeComboBoxRaudRate->setEditText(baud);
            if (voltageArrow >= 0)
                d.voltageStepFields[0]->setValue(voltageArrow);
            if (result != QDialog::Accepted)
                return result;
            d.accept();
            return d.result();
        };
    }
};

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT
private slots:
    void startReadsConfigDat()
    {
        MainFormFixture f;
        QCOMPARE(handBuiltConfig().size(), 60);
        writeTestFile(programFile("Config.dat"), handBuiltConfig());
        TFormmain& form = f.start();
        QCOMPARE(form.CommPortIndex, quint8(2));
        QCOMPARE(form.BaudRate, 19200);
        QCOMPARE(form.ConfigSpareByte, quint8(0x7f));
        QCOMPARE(form.ConfigSpareInt, qint32(0xdeadbeef));
        QCOMPARE(form.ConfigSpareFlag, quint8(0));
        QVERIFY(form.ReloadLastParam != 0);
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(form.channels[c].knobVoltage->keyArrowStepSize(), 0.05);
            QCOMPARE(form.channels[c].knobVoltage->keyPageStepSize(), 0.5);
            QCOMPARE(form.channels[c].knobVoltage->mouseWheelStepSize(), 0.25);
            QCOMPARE(form.channels[c].knobCurrent->keyArrowStepSize(), 0.01);
            QCOMPARE(form.channels[c].knobCurrent->keyPageStepSize(), 0.2);
            QCOMPARE(form.channels[c].knobCurrent->mouseWheelStepSize(), 0.02);
        }
        f.link.clear();
        f.clock.advance(500);
        QVERIFY(f.link.callTexts().contains("SetPortNumber(3)"));
        QVERIFY(f.link.callTexts().contains("SetBaudRate(19200)"));
    }

    void badConfigDatFallsBackToDefaults_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("59 bytes") << 59;
        QTest::newRow("61 bytes") << 61;
        QTest::newRow("empty") << 0;
    }
    void badConfigDatFallsBackToDefaults()
    {
        QFETCH(int, size);
        MainFormFixture f;
        QByteArray bytes = handBuiltConfig();
        bytes.resize(size, '\x01');
        writeTestFile(programFile("Config.dat"), bytes);
        TFormmain& form = f.start();
        QCOMPARE(f.errors.size(), 1);
        QVERIFY2(f.errors[0].contains("Config.dat"), qPrintable(f.errors[0]));
        QCOMPARE(form.CommPortIndex, quint8(0));
        QCOMPARE(form.BaudRate, 0);
        QCOMPARE(form.ConfigSpareFlag, quint8(1));
        QCOMPARE(form.channels[0].knobVoltage->keyPageStepSize(), 1.0);
    }

    void powerTypeFileProblems_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("count 0") << QByteArray::fromHex("00000000") << true;
        QTest::newRow("count 257") << QByteArray::fromHex("01010000") << true;
        QTest::newRow("ends early") << QByteArray::fromHex("020000000700564c") << true;
    }
    void powerTypeFileProblems()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, present);
        MainFormFixture f;
        QFile::remove(programFile("PowerType.dat"));
        if (present)
            writeTestFile(programFile("PowerType.dat"), bytes);
        TFormmain& form = f.startConnected();
        QCOMPARE(f.errors.size(), 1);
        QVERIFY2(f.errors[0].contains("PowerType.dat"), qPrintable(f.errors[0]));
        QVERIFY(form.PowerTypes.isEmpty());
        // Start-up went on: the instrument connects, its model is simply unknown.
        QVERIFY(form.Connected);
        QCOMPARE(f.status(0), f.text(146));
    }

    void dialogRoundTripKeepsTheBytes()
    {
        MainFormFixture f;
        writeTestFile(programFile("Config.dat"), handBuiltConfig());
        f.ports.busy = {1};
        DialogScript script;
        script.installOn(f);
        TFormmain& form = f.startConnected();
        form.tbConfigClick();
        QCOMPARE(script.shown.portText, QString("COM3"));
        QCOMPARE(script.shown.baudRateText, QString("19200"));
        QCOMPARE(script.shown.voltageSteps, (std::array<double, 3>{0.05, 0.5, 0.25}));
        QCOMPARE(script.shownPorts, (QStringList{"COM2", "COM3"}));
        QVERIFY(script.shown.reloadLastParam);
        QByteArray expected = handBuiltConfig();
        expected[59] = 1;
        QFile saved(programFile("Config.dat"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), expected);
        QVERIFY(!form.Connected);
        QCOMPARE(form.ConnectTickCount, quint8(10));
        QVERIFY(!form.iLedRectangleRx->isActive());
    }

    void okReconnectsWithTheNewSettings()
    {
        MainFormFixture f;
        DialogScript script;
        script.port = "COM12";
        script.baud = "57600";
        script.voltageArrow = 0.5;
        script.installOn(f);
        TFormmain& form = f.startConnected();
        const qint64 clickedAt = f.clock.elapsedMs();
        form.tbConfigClick();
        QCOMPARE(form.CommPortIndex, quint8(11));
        QCOMPARE(form.BaudRate, 57600);
        QCOMPARE(form.channels[2].knobVoltage->keyArrowStepSize(), 0.5);
        QCOMPARE(f.link.callTexts().first(), QString("CloseLink()"));
        QVERIFY(f.link.calls().first().atMs >= clickedAt + 500);
        QCOMPARE(f.clock.elapsedMs(), clickedAt + 500);
        f.link.clear();
        f.clock.advance(500);
        QCOMPARE(f.link.callTexts().mid(0, 3),
                 (QStringList{"ResetLink()", "SetPortNumber(12)", "SetBaudRate(57600)"}));
        QVERIFY(QFile::exists(programFile("Config.dat")));
    }

    void portTextRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("COM3") << "COM3" << 2;
        QTest::newRow("design text") << "Com1" << 0;
        QTest::newRow("COM100 reads two digits") << "COM100" << 9;
        QTest::newRow("letters ignored") << "xyz7" << 6;
    }
    void portTextRule()
    {
        QFETCH(QString, text);
        QFETCH(int, index);
        MainFormFixture f;
        DialogScript script;
        script.port = text;
        script.installOn(f);
        f.startConnected().tbConfigClick();
        QCOMPARE(int(f.form->CommPortIndex), index);
    }

    void notANumberKeepsTheDialogOpen_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("port") << "COMX"
                              << "9600"
                              << "X";
        QTest::newRow("baud") << "COM2"
                              << "96oo"
                              << "96oo";
        QTest::newRow("empty baud") << "COM2"
                                    << ""
                                    << "''";
    }
    void notANumberKeepsTheDialogOpen()
    {
        QFETCH(QString, port);
        QFETCH(QString, baud);
        QFETCH(QString, quoted);
        MainFormFixture f;
        bool stayedOpen = false;
        f.execConfigDialog = [&](TFormConfigSys& d) {
            d.TeThemeComboBoxComm->setEditText(port);
            d.TeThemeComboBoxRaudRate->setEditText(baud);
            d.accept();
            stayedOpen = d.result() != QDialog::Accepted;
            return int(QDialog::Rejected); // the operator gives up
        };
        TFormmain& form = f.startConnected();
        form.tbConfigClick();
        QVERIFY(stayedOpen);
        QCOMPARE(f.errors.size(), 1);
        QVERIFY2(f.errors[0].contains(quoted), qPrintable(f.errors[0]));
        // Nothing was stopped or closed: polling goes on.
        QVERIFY(f.link.callTexts().isEmpty());
        QVERIFY(form.Connected);
        QVERIFY(form.TimerReadData->isEnabled());
        QVERIFY(!QFile::exists(programFile("Config.dat")));
    }

    void cancelChangesNothing()
    {
        MainFormFixture f;
        DialogScript script;
        script.port = "COM2";
        script.result = QDialog::Rejected;
        script.installOn(f);
        TFormmain& form = f.startConnected();
        form.tbConfigClick();
        QVERIFY(form.Connected);
        QCOMPARE(form.CommPortIndex, quint8(0));
        QVERIFY(!QFile::exists(programFile("Config.dat")));
        QVERIFY(f.link.callTexts().isEmpty());
    }
};

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
