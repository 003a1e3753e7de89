// Knobs, the output switch and the channel tabs of the real main window.
#include "mainformfixture.h"

#include "widgets/knob.h"
#include "widgets/ledrectangle.h"
#include "widgets/sevensegmentdisplay.h"
#include "widgets/switchtoggle.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QTabWidget>

class TestSetpoints : public QObject
{
    Q_OBJECT
private slots:
    void pageUpSendsOneSetpointPerRelease()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        Knob* knob = form.channels[0].knobVoltage;
        knob->setFocus();
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(knob, Qt::Key_PageUp);
        QCOMPARE(f.link.callTexts(), (QStringList{"SetVoltage(1)", "SetVoltage(2)", "SetVoltage(3)",
                                                  "SetVoltage(4)", "SetVoltage(5)"}));
        QCOMPARE(form.channels[0].presetVoltage->value(), 5.0);
    }

    void endKeyOnChannelThreeSendsItsMaximum()
    {
        MainFormFixture f;
        f.setPowerTypes({});  // no match: the design limits stay (6.0 V on channel 3)
        TFormmain& form = f.startConnected();
        form.TeThemePageControl1->setCurrentIndex(2);
        f.link.clear();
        Knob* knob = form.channels[2].knobVoltage;
        QTest::keyPress(knob, Qt::Key_End);
        QCOMPARE(form.channels[2].presetVoltage->value(), 6.0);
        QVERIFY(f.link.callTexts().isEmpty());
        QTest::keyRelease(knob, Qt::Key_End);
        QCOMPARE(f.link.callTexts(), QStringList{"SetVoltage(6)"});
    }

    void currentKnobArrowsSendSetCurrent()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        Knob* knob = form.channels[0].knobCurrent;
        QTest::keyClick(knob, Qt::Key_Up);
        QTest::keyClick(knob, Qt::Key_Up);
        QTest::keyClick(knob, Qt::Key_Down);
        QCOMPARE(f.link.callTexts(),
                 (QStringList{"SetCurrent(0.1)", "SetCurrent(0.2)", "SetCurrent(0.1)"}));
        QCOMPARE(form.channels[0].presetCurrent->value(), 0.1);
    }

    void setpointRoundTrip()
    {
        // The operator's value goes out once; the instrument's answer moves the same knob
        // without sending it back.
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        Knob* knob = form.channels[0].knobVoltage;
        QTest::keyClick(knob, Qt::Key_PageUp);
        QCOMPARE(f.link.callTexts(), QStringList{"SetVoltage(1)"});
        f.reply("14:0.998");
        QCOMPARE(knob->position(), 0.998);
        QCOMPARE(form.channels[0].presetVoltage->value(), 0.998);
        QCOMPARE(f.link.callTexts(), QStringList{"SetVoltage(1)"});
    }

    void outputSwitch_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("sent");
        QTest::newRow("left toggles on") << int(Qt::LeftButton) << true << "SetOutputState(1)";
        QTest::newRow("right sends unchanged") << int(Qt::RightButton) << false << "SetOutputState(0)";
        QTest::newRow("middle sends unchanged") << int(Qt::MiddleButton) << false << "SetOutputState(0)";
    }
    void outputSwitch()
    {
        QFETCH(int, button);
        QFETCH(bool, on);
        QFETCH(QString, sent);
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        const bool tx = form.iLedRectangleTx->isActive();
        QTest::mouseClick(form.iSwitchToggleRun, Qt::MouseButton(button));
        QCOMPARE(form.iSwitchToggleRun->isOn(), on);
        QCOMPARE(f.link.callTexts(), QStringList{sent});
        QCOMPARE(form.iLedRectangleTx->isActive(), !tx);
    }

    void localSwitchSendsNothing()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        QVERIFY(form.iSwitchToggleLocal->isOn());
        QTest::mouseClick(form.iSwitchToggleLocal, Qt::LeftButton);
        QVERIFY(f.link.callTexts().isEmpty());
    }

    void operatorChangesChannel()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        form.ScanSettings[1] = ScanSetting{1.5, 10, 0.5, 2};
        form.TeThemePageControl1->setCurrentIndex(1);
        QCOMPARE(f.link.callTexts(), QStringList{"SelectChannel(2)"});
        QCOMPARE(form.TeThemeGroupBoxScan->title(), f.text(30));
        QCOMPARE(form.TeThemeGroupBoxList->title(), f.text(44));
        QCOMPARE(form.TeThemeGroupBoxGoNg->title(), f.text(44));
        QCOMPARE(form.TeThemeLabelOutputOn->text(), f.text(138));
        QCOMPARE(form.TeThemeLabelOutputOff->text(), f.text(139));
        QCOMPARE(form.iAnalogOutputStart->text(), QString("1.5"));
        QCOMPARE(form.iAnalogOutputEnd->text(), QString("10"));
        QCOMPARE(form.iAnalogOutputStep->text(), QString("0.5"));
        QCOMPARE(form.iAnalogOutputtime->text(), QString("2"));
        // Set-point replies now go to channel 2.
        f.reply("14:7.5");
        QCOMPARE(form.channels[1].knobVoltage->position(), 7.5);
        QCOMPARE(form.channels[0].knobVoltage->position(), 0.0);
    }

    void channelTabsLockedUntilTheFirstReply()
    {
        MainFormFixture f;
        TFormmain& form = f.start();
        QVERIFY(!form.TeThemePageControl1->isEnabled());
        f.clock.advance(500);
        QVERIFY(!form.TeThemePageControl1->isEnabled());
        f.reply("37:Sim,VLT3303,SN1,1.0");
        QVERIFY(form.TeThemePageControl1->isEnabled());
    }
};

QTEST_MAIN(TestSetpoints)
#include "tst_setpoints.moc"
