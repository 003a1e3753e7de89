// Program run, voltage scan and hotkeys through the real main window, on virtual time.
#include "mainformfixture.h"

#include "sequencing/dlgfastkey.h"
#include "sequencing/testlistgrid.h"
#include "widgets/analogoutput.h"
#include "widgets/knob.h"
#include "widgets/sevensegmentdisplay.h"

#include <QFrame>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

namespace {

QStringList sentWithTimes(const RecordingLink& link, qint64 origin)
{
    QStringList out;
    for (const RecordingLink::Call& call : link.calls())
        if (!call.text.startsWith("Poll"))
            out << QString("%1@%2").arg(call.text).arg(call.atMs - origin);
    return out;
}

} // namespace

class TestRuns : public QObject
{
    Q_OBJECT
private slots:
    void customProgramRunsThreePasses()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        form.ProgramLists[0] = {ProgramStep{5, 1, 2.5, 0}, ProgramStep{7, 0.5, 1, 0}};
        form.TeThemePageControl->setCurrentIndex(1);
        form.runTimesItems[2]->click();
        form.TeThemeSpinEdit->setValue(3);
        form.TeThemeSpeedButton5->click();
        QVERIFY(form.RunPanelOpen);
        QVERIFY(!form.TeThemePageControl->isEnabled());
        QVERIFY(!form.TeThemePageControl1->isEnabled());
        QCOMPARE(form.PanelProgram.allStepsValue->text(), QString("2"));
        f.link.clear();
        const qint64 origin = f.clock.elapsedMs();
        form.PanelProgram.run->click();
        f.clock.advance(12000);
        QCOMPARE(sentWithTimes(f.link, origin),
                 (QStringList{"SetVoltageCurrentText(5,1)@0", "SetVoltageCurrentText(7,0.5)@2500",
                              "SetVoltageCurrentText(5,1)@3500", "SetVoltageCurrentText(7,0.5)@6000",
                              "SetVoltageCurrentText(5,1)@7000", "SetVoltageCurrentText(7,0.5)@9500"}));
        QVERIFY(form.PanelProgram.finished->isVisible());
        QCOMPARE(form.StaticText56->text(), QString("1"));
        QCOMPARE(form.channels[0].presetVoltage->value(), 7.0);
        QCOMPARE(form.channels[0].knobCurrent->position(), 0.5);
        // Ordinary replies do not give the controls back while the panel is open.
        f.reply("66:0.1,0.2,0.3");
        QVERIFY(!form.TeThemePageControl1->isEnabled());
        form.PanelProgram.stop->click();
        QVERIFY(!form.RunPanelOpen);
        QVERIFY(form.TeThemePageControl->isEnabled());
        QVERIFY(form.TeThemePageControl1->isEnabled());
        QCOMPARE(form.RunTimesMode, quint8(2));
        QCOMPARE(form.RunTimesCount, 2);  // the count at the moment "Custom" was chosen
    }

    void emptyProgramDoesNotOpen()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        form.TeThemeSpeedButton5->click();
        QVERIFY(!form.RunPanelOpen);
        QVERIFY(!form.PanelProgram.frame->isVisible());
    }

    void scanSweepsTheSelectedChannel()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        form.TeThemePageControl1->setCurrentIndex(1);
        form.iAnalogOutputStart->setText("0");
        form.iAnalogOutputEnd->setText("10");
        form.iAnalogOutputStep->setText("3");
        form.iAnalogOutputtime->setText("0.3");
        QCOMPARE(form.ScanSettings[1].ScanStop, 10.0);
        form.TeThemeSpeedButton4->click();
        QVERIFY(form.PanelScan.frame->isVisible());
        QCOMPARE(form.PanelScan.allStepsValue->text(), QString("4"));
        QCOMPARE(form.ScanSettings[1].ScanDelay, 1.0);
        QCOMPARE(form.iAnalogOutputtime->text(), QString("0.3"));
        f.link.clear();
        const qint64 origin = f.clock.elapsedMs();
        form.PanelScan.run->click();
        f.clock.advance(4500);
        QCOMPARE(sentWithTimes(f.link, origin),
                 (QStringList{"SetVoltageText(0)@0", "SetVoltageText(3)@1000",
                              "SetVoltageText(6)@2000", "SetVoltageText(10)@3000"}));
        QVERIFY(form.PanelScan.finished->isVisible());
        QCOMPARE(form.channels[1].knobVoltage->position(), 10.0);
        form.PanelScan.stop->click();
        QVERIFY(!form.RunPanelOpen);
    }

    void scanEntryIsBoundedByTheChannelMaximum()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        form.iAnalogOutputStart->setText("50");
        QCOMPARE(form.iAnalogOutputStart->text(), QString("30"));
        QCOMPARE(form.ScanSettings[0].ScanStart, 30.0);
    }

    void hotkeyEditAndApply()
    {
        MainFormFixture f;
        f.execFastKeyDialog = [](TFormFastKey& dialog) {
            dialog.findChild<AnalogOutput*>("iAnalogOutput1")->setValue(12);
            dialog.findChild<AnalogOutput*>("iAnalogOutput2")->setValue(1.5);
            return int(QDialog::Accepted);
        };
        TFormmain& form = f.startConnected();
        QToolButton* key = form.tbFastKey[4];
        QTest::mouseClick(key, Qt::RightButton);
        QCOMPARE(form.FastKeySender, key);
        form.MenuItemFastKey->trigger();
        QCOMPARE(form.FastKeys[4].Voltage, 12.0);
        QCOMPARE(form.FastKeys[4].Current, 1.5);
        QCOMPARE(key->text(), QString("12.000/1.500"));
        f.link.clear();
        form.TeThemePageControl1->setCurrentIndex(2);
        QTest::mouseClick(key, Qt::LeftButton);
        QCOMPARE(f.link.callTexts(),
                 (QStringList{"SelectChannel(3)", "SetVoltageCurrentText(12,1.5)"}));
        // Channel 3 stops at its 5 V maximum; the pair goes out unchanged.
        QCOMPARE(form.channels[2].knobVoltage->position(), 5.0);
    }

    void channelChangeStoresTheGridOfTheChannelLeft()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        form.ProgramLists[0] = {ProgramStep{5, 1, 2, 0}};
        form.TeThemePageControl->setCurrentIndex(1);
        QCOMPARE(form.TeThemeStringGridList->rowCount(), 2);
        form.TeThemeStringGridList->item(1, 1)->setText("6.5");
        form.TeThemePageControl1->setCurrentIndex(1);
        QCOMPARE(form.ProgramLists[0][0].Voltage, 6.5);
        QCOMPARE(form.TeThemeStringGridList->rowCount(), 1);  // channel 2's empty list
    }
};

QTEST_MAIN(TestRuns)
#include "tst_runs.moc"
