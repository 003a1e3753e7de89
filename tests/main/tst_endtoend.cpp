// The real main window against the simulated supply behind the real link control, on virtual
// time: connect, watch the readings, turn a knob, switch the output, change channel.
#include "mainformfixture.h"

#include "charts/liveplot.h"
#include "link/amperoocx.h"
#include "link/porttable.h"
#include "link/simulatedsupply.h"
#include "widgets/knob.h"
#include "widgets/sevensegmentdisplay.h"
#include "widgets/switchtoggle.h"

#include <QTabWidget>

class TestEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void operatesTheSimulatedSupply()
    {
        MainFormFixture f;  // for its program folder and shipped files
        AmperoOcx& link = f.useRealLink();
        TFormmain& form = f.start();

        f.clock.advance(2000);
        QVERIFY(form.Connected);
        QCOMPARE(form.PowerTypeName, QString("VLT3303"));
        QCOMPARE(f.status(0), f.text(25) + "VLT3303" + f.text(134));
        QCOMPARE(f.status(2), f.text(132));
        QVERIFY(form.TeThemePageControl1->isEnabled());
        QVERIFY(form.iSwitchToggleRun->isOn());  // the supply reported its output on
        QCOMPARE(form.channels[0].presetVoltage->value(), 12.0);
        QCOMPARE(form.channels[0].knobCurrent->position(), 1.0);

        // Readings every 500 ms: two channels regulate voltage, the third limits current.
        const int before = form.iPlotVoltage->pointCount(0);
        f.clock.advance(5000);
        QVERIFY(form.iPlotVoltage->pointCount(0) - before >= 9);
        QCOMPARE(form.iPlotCurrent->pointCount(2), form.iPlotVoltage->pointCount(2));
        QVERIFY(qAbs(form.channels[0].measuredVoltage->value() - 12.0) < 0.05);
        QVERIFY(qAbs(form.channels[0].measuredCurrent->value() - 0.5) < 0.01);
        QVERIFY(qAbs(form.channels[2].measuredCurrent->value() - 0.3) < 0.01);
        QVERIFY(qAbs(form.channels[2].summaryVoltage->value() - 1.5) < 0.05);

        // Knob: one set-point per key release; the supply takes it and reports it back.
        SimulatedSupply* supply = link.simulatedSupply();
        QVERIFY(supply);
        QTest::keyClick(form.channels[0].knobVoltage, Qt::Key_PageUp);
        f.clock.advance(1000);
        QCOMPARE(supply->state(1).setV, 13.0);
        QCOMPARE(form.channels[0].knobVoltage->position(), 13.0);
        QVERIFY(qAbs(form.channels[0].measuredVoltage->value() - 13.0) < 0.05);

        // Output off: the readings drop to zero.
        QTest::mouseClick(form.iSwitchToggleRun, Qt::LeftButton);
        f.clock.advance(1000);
        QVERIFY(!supply->state(1).outputOn);
        QCOMPARE(form.channels[0].measuredVoltage->value(), 0.0);

        // Channel 2 from the tabs, and channel 3 from the supply's front panel.
        form.TeThemePageControl1->setCurrentIndex(1);
        f.clock.advance(1000);
        QTest::keyClick(form.channels[1].knobCurrent, Qt::Key_Up);
        f.clock.advance(1000);
        QCOMPARE(form.channels[1].knobCurrent->position(), 2.1);
        QCOMPARE(supply->state(2).limitA, 2.1);
        supply->reportChannel(3);
        f.clock.advance(1000);
        QCOMPARE(form.selectedChannel(), 2);

        // Unplugged: communication is reported lost and the controls lock.
        supply->setUnplugged(true);
        f.clock.advance(6000);
        QCOMPARE(f.status(2), f.text(133));
        QVERIFY(!form.TeThemePageControl1->isEnabled());
        supply->setUnplugged(false);
        f.clock.advance(11000);
        QCOMPARE(f.status(2), f.text(132));
        QVERIFY(form.TeThemePageControl1->isEnabled());
        QVERIFY(f.errors.isEmpty());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
