// The connection sequence, polling, time-outs and the handling of each reply.
#include "mainformfixture.h"

#include "widgets/knob.h"
#include "widgets/ledrectangle.h"
#include "widgets/sevensegmentdisplay.h"
#include "widgets/switchtoggle.h"
#include "charts/liveplot.h"

#include <QGroupBox>
#include <QTabWidget>
#include <QToolButton>

namespace {

const QStringList connectionAttempt{"ResetLink()",  "SetPortNumber(1)", "SetBaudRate(0)",
                                    "OpenLink()",   "InitQuery1()",     "InitQuery2()",
                                    "InitQuery3()", "InitQuery4()",     "PollQuery1()"};

QList<qint64> timesOf(const RecordingLink& link, const QString& call)
{
    QList<qint64> times;
    for (const RecordingLink::Call& c : link.calls())
        if (c.text == call)
            times << c.atMs;
    return times;
}

bool operatorControlsEnabled(const TFormmain& form)
{
    return form.TeThemePageControl1->isEnabled() && form.TeThemeGroupBoxCtrl->isEnabled() &&
           form.TeThemeGroupBoxFastKey->isEnabled() && form.TeThemeSpeedButton4->isEnabled() &&
           form.TeThemeSpeedButton5->isEnabled() && form.TeThemeSpeedButton8->isEnabled();
}

} // namespace

class TestPolling : public QObject
{
    Q_OBJECT
private slots:
    void startsDisabledAndPreparesTheLink()
    {
        MainFormFixture f;
        TFormmain& form = f.start();
        QCOMPARE(f.link.callTexts(), QStringList{"PrepareLink(0)"});
        QVERIFY(!operatorControlsEnabled(form));
        QVERIFY(form.TeThemePageControl->isEnabled());
        QCOMPARE(f.status(0), f.text(25));
        QCOMPARE(f.status(2), f.text(133));
        QCOMPARE(form.windowTitle(), f.text(0));
        QVERIFY(f.errors.isEmpty());
    }

    void connectionAttemptsEveryEleventhTick()
    {
        MainFormFixture f;
        TFormmain& form = f.start();
        f.link.clear();
        const bool txBefore = form.iLedRectangleTx->isActive();
        f.clock.advance(500);
        QCOMPARE(f.link.callTexts(), connectionAttempt);
        QVERIFY(!form.TeThemePageControl1->isEnabled());
        QCOMPARE(form.iLedRectangleTx->isActive(), !txBefore);
        f.clock.advance(20000);
        QCOMPARE(timesOf(f.link, "ResetLink()"), (QList<qint64>{500, 6000, 11500, 17000}));
        // With nobody answering, communication is reported lost and the controls stay off.
        QCOMPARE(f.status(2), f.text(133));
        QVERIFY(!operatorControlsEnabled(form));
    }

    void statusClockShowsTheDate()
    {
        MainFormFixture f;
        f.start();
        f.clock.advance(500);
        QCOMPARE(f.status(3), QString("   Monday, 01 05, 2026  09:00:00"));
    }

    void identityConnectsAndAppliesThePowerType()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected("37:Sim, VLT3303 ,SN1,1.0");
        QVERIFY(form.Connected);
        QVERIFY(form.ReadReady);
        QCOMPARE(form.PowerTypeName, QString(" VLT3303 "));
        QCOMPARE(f.status(0), f.text(25) + " VLT3303 " + f.text(134));
        QCOMPARE(f.status(2), f.text(132));
        QVERIFY(operatorControlsEnabled(form));
        QCOMPARE(form.MaxVoltage, (std::array<double, 3>{30, 30, 5}));
        QCOMPARE(form.MaxCurrent, (std::array<double, 3>{3, 3, 3}));
        QCOMPARE(form.DisplayPrecision, quint8(3));
        QCOMPARE(form.channels[2].knobVoltage->positionMax(), 5.0);
        QCOMPARE(form.channels[1].knobCurrent->positionMax(), 3.0);
        QCOMPARE(form.iPlotVoltage->yRange().size(), 31.0);
        QCOMPARE(form.iPlotCurrent->yRange().size(), 3.5);
        QCOMPARE(form.TeThemeLabelOutputOn->text(), f.text(142) + " 1  " + f.text(143));
        QCOMPARE(form.TeThemeLabelOutputOff->text(), f.text(142) + " 1  " + f.text(144));
    }

    void powerTypeMatching_data()
    {
        QTest::addColumn<QString>("identity");
        QTest::addColumn<bool>("matches");
        QTest::addColumn<double>("ch1MaxVoltage");
        QTest::newRow("exact") << "37:a,VLT6003,b" << true << 60.0;
        QTest::newRow("blanks around") << "37:a,  VLT6003\t,b" << true << 60.0;
        QTest::newRow("letter case differs") << "37:a,vlt6003,b" << false << 31.0;
        QTest::newRow("first of duplicates") << "37:a,DUP,b" << true << 10.0;
        QTest::newRow("too few commas") << "37:VLT6003,b" << false << 31.0;
        QTest::newRow("largest maximum on channel 3") << "37:a,BIG3,b" << true << 10.0;
    }
    void powerTypeMatching()
    {
        QFETCH(QString, identity);
        QFETCH(bool, matches);
        QFETCH(double, ch1MaxVoltage);
        MainFormFixture f;
        f.setPowerTypes({powerType("VLT6003 ", {60, 3, 60, 3, 5, 3}),
                         powerType("DUP", {10, 1, 10, 1, 5, 1}),
                         powerType("DUP", {20, 2, 20, 2, 5, 2}),
                         powerType("BIG3", {10, 1, 10, 1, 40, 4})});
        TFormmain& form = f.startConnected(identity);
        QVERIFY(form.Connected);
        QCOMPARE(form.channels[0].knobVoltage->positionMax(), ch1MaxVoltage);
        if (!matches) {
            QCOMPARE(f.status(0), f.text(146));
            QCOMPARE(form.channels[2].knobVoltage->positionMax(), 6.0);
            QCOMPARE(form.channels[0].knobCurrent->positionMax(), 3.1);
        }
        if (identity.contains("BIG3"))
            QCOMPARE(form.iPlotVoltage->yRange().size(), 41.0);
    }

    void onePollAtATime()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        f.clock.advance(500);
        QCOMPARE(f.link.callTexts(), (QStringList{"PollQuery1()", "PollQuery2()"}));
        QVERIFY(!form.ReadReady);
        f.clock.advance(2000);
        QCOMPARE(f.link.callTexts().size(), 2);
        f.reply("65:1,2,3");
        f.clock.advance(1000);
        QCOMPARE(f.link.callTexts().size(), 2);  // voltages alone do not answer a poll
        f.reply("66:0.1,0.2,0.3");
        QVERIFY(form.ReadReady);
        f.clock.advance(500);
        QCOMPARE(f.link.callTexts().size(), 4);
    }

    void missingReplyReleasesThePollAfterTenSeconds()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        f.clock.advance(500);  // poll at 1000 ms
        f.clock.advance(4999);
        QCOMPARE(f.status(2), f.text(132));
        f.clock.advance(500);  // 5 s after the first tick without a reply
        QCOMPARE(f.status(2), f.text(133));
        QVERIFY(!operatorControlsEnabled(form));
        f.clock.advance(60000);
        const QList<qint64> polls = timesOf(f.link, "PollQuery1()");
        QVERIFY(polls.size() >= 6);
        for (int i = 1; i < polls.size(); ++i) {
            const qint64 gap = polls[i] - polls[i - 1];
            QVERIFY2(gap >= 10000 && gap <= 10500, qPrintable(QString::number(gap)));
        }
        QCOMPARE(f.status(2), f.text(133));
        QVERIFY(form.Connected);
        // A late reply brings the controls back.
        f.reply("67:1,2,3\n0.1,0.2,0.3");
        QVERIFY(operatorControlsEnabled(form));
        QCOMPARE(f.status(2), f.text(132));
    }

    void readingsUpdateReadoutsAndPlots()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        f.clock.advance(1000);
        f.reply("67:12.001,5,1.5\n0.5,0.499,0.3\r\n");
        for (int c = 0; c < 3; ++c) {
            const double volts[3] = {12.001, 5, 1.5};
            const double amps[3] = {0.5, 0.499, 0.3};
            QCOMPARE(form.channels[c].measuredVoltage->value(), volts[c]);
            QCOMPARE(form.channels[c].summaryVoltage->value(), volts[c]);
            QCOMPARE(form.channels[c].measuredCurrent->value(), amps[c]);
            QCOMPARE(form.channels[c].summaryCurrent->value(), amps[c]);
            QCOMPARE(form.iPlotVoltage->pointCount(c), 1);
            QCOMPARE(form.iPlotCurrent->point(c, 0).y(), amps[c]);
        }
        QCOMPARE(form.iPlotVoltage->point(0, 0).x(), 1.5);
    }

    // Each row: the reply, then what the readouts and switch show afterwards.
    void malformedRepliesStopWhereTheyFail_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QList<double>>("voltages");
        QTest::addColumn<bool>("pollReleased");
        QTest::newRow("two numbers") << "65:1.5,2.5" << QList<double>{1.5, 0, 0} << false;
        QTest::newRow("bad second number") << "65:1.5,x,3" << QList<double>{1.5, 0, 0} << false;
        QTest::newRow("no colon") << "651,2,3" << QList<double>{0, 0, 0} << false;
        QTest::newRow("code not a number") << "6x:1,2,3" << QList<double>{0, 0, 0} << false;
        QTest::newRow("only blanks") << "65:   " << QList<double>{0, 0, 0} << false;
        QTest::newRow("nothing after colon") << "66:" << QList<double>{0, 0, 0} << false;
        QTest::newRow("readings cut short") << "67:1,2,3\n0.1,0.2" << QList<double>{1, 2, 3} << false;
        QTest::newRow("readings without line feed") << "67:1,2,3" << QList<double>{0, 0, 0} << false;
        QTest::newRow("decimal comma is not a separator") << "65:1,5,2,5,3,5"
                                                          << QList<double>{1, 5, 0} << false;
        QTest::newRow("unknown code") << "99:1,2,3" << QList<double>{0, 0, 0} << false;
        QTest::newRow("currents answer the poll") << "66:0.1,0.2,0.3" << QList<double>{0, 0, 0} << true;
    }
    void malformedRepliesStopWhereTheyFail()
    {
        QFETCH(QString, reply);
        QFETCH(QList<double>, voltages);
        QFETCH(bool, pollReleased);
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        f.clock.advance(500);
        QVERIFY(!form.ReadReady);
        const bool rx = form.iLedRectangleRx->isActive();
        f.reply(reply);
        QCOMPARE(form.iLedRectangleRx->isActive(), !rx);
        QCOMPARE(f.status(2), f.text(132));
        for (int c = 0; c < 3; ++c)
            QCOMPARE(form.channels[c].measuredVoltage->value(), voltages[c]);
        QCOMPARE(form.ReadReady, pollReleased);
    }

    void outputStateReply_data()
    {
        QTest::addColumn<bool>("before");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("after");
        QTest::newRow("1 turns on") << false << "39:1" << true;
        QTest::newRow("0 turns off") << true << "39:0" << false;
        QTest::newRow("2 turns off") << true << "39:2" << false;
        QTest::newRow("text leaves it") << true << "39:on" << true;
    }
    void outputStateReply()
    {
        QFETCH(bool, before);
        QFETCH(QString, reply);
        QFETCH(bool, after);
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        form.iSwitchToggleRun->setOn(before);
        f.reply(reply);
        QCOMPARE(form.iSwitchToggleRun->isOn(), after);
        QVERIFY(f.link.callTexts().isEmpty());
    }

    void setpointRepliesMoveTheSelectedChannelOnly()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        f.reply("14:12.5");
        f.reply("13:1.25");
        QCOMPARE(form.channels[0].presetVoltage->value(), 12.5);
        QCOMPARE(form.channels[0].knobVoltage->position(), 12.5);
        QCOMPARE(form.channels[0].presetCurrent->value(), 1.25);
        QCOMPARE(form.channels[0].knobCurrent->position(), 1.25);
        QCOMPARE(form.channels[1].knobVoltage->position(), 0.0);
        QVERIFY(f.link.callTexts().isEmpty());
    }

    void setpointAboveTheKnobLimit()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        f.reply("14:40.0");  // knob moves from 0 to its maximum, and the display follows
        QCOMPARE(form.channels[0].knobVoltage->position(), 30.0);
        QCOMPARE(form.channels[0].presetVoltage->value(), 30.0);
        f.reply("14:40.0");  // the knob already stands at its maximum
        QCOMPARE(form.channels[0].presetVoltage->value(), 40.0);
        QVERIFY(f.link.callTexts().isEmpty());
    }

    void channelReply_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("switches to 2") << 0 << "43:2" << 1 << QStringList{"SelectChannel(2)"};
        QTest::newRow("already 2") << 1 << "43:2" << 1 << QStringList{};
        QTest::newRow("0 selects nothing") << 2 << "43:0" << 2 << QStringList{};
        QTest::newRow("4 selects nothing") << 0 << "43:4" << 0 << QStringList{};
    }
    void channelReply()
    {
        QFETCH(int, selected);
        QFETCH(QString, reply);
        QFETCH(int, expected);
        QFETCH(QStringList, sent);
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        form.TeThemePageControl1->setCurrentIndex(selected);
        form.RunPanelOpen = true;
        form.EnableControls(false);
        f.link.clear();
        f.reply(reply);
        QCOMPARE(form.selectedChannel(), expected);
        QCOMPARE(f.link.callTexts(), sent);
        // The channel reply enables the controls even while a run panel is open.
        QVERIFY(operatorControlsEnabled(form));
        QCOMPARE(form.TeThemeGroupBoxScan->title(), f.text(29 + expected));
    }

    void runPanelKeepsControlsDisabledOnOrdinaryReplies()
    {
        MainFormFixture f;
        TFormmain& form = f.startConnected();
        form.RunPanelOpen = true;
        form.EnableControls(false);
        f.reply("66:0.1,0.2,0.3");
        QVERIFY(!operatorControlsEnabled(form));
    }
};

QTEST_MAIN(TestPolling)
#include "tst_polling.moc"
