#include "platform/clock.h"
#include "platform/errors.h"
#include "sequencing/scanrun.h"
#include "sequencing/scanvoltage.h"
#include "sequencing/steps.h"

#include <QTest>

using Doubles = QList<double>;

// Drives a ScanRun on virtual time and writes down each voltage it asks for, as "ms:V".
struct ScanFixture
{
    VirtualClock clock;
    Timer timer{clock};
    ScanRun run{timer};
    ScanSetting setting;
    TScanVoltage points;
    QStringList sent;

    ScanFixture(double start, double stop, double step, double delaySeconds)
        : setting{start, stop, step, delaySeconds}
    {
        QObject::connect(&run, &ScanRun::applyVoltage, [this](double volts) {
            sent << QStringLiteral("%1:%2").arg(clock.elapsedMs()).arg(volts);
        });
    }
};

class TestScan : public QObject
{
    Q_OBJECT
private slots:
    void buildScanPoints_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("stop");
        QTest::addColumn<double>("step");
        QTest::addColumn<Doubles>("points");
        QTest::addColumn<double>("objectStep");

        QTest::newRow("0..10 step 3") << 0.0 << 10.0 << 3.0 << Doubles{0, 3, 6, 10} << 3.0;
        QTest::newRow("10..0 step 3 turns the step")
            << 10.0 << 0.0 << 3.0 << Doubles{10, 7, 4, 0} << -3.0;
        QTest::newRow("0..10 step 4: 2.5 rounds to 2")
            << 0.0 << 10.0 << 4.0 << Doubles{0, 4, 10} << 4.0;
        QTest::newRow("0..14 step 4: 3.5 rounds to 4")
            << 0.0 << 14.0 << 4.0 << Doubles{0, 4, 8, 12, 14} << 4.0;
        QTest::newRow("10..0 step 4: -2.5 rounds to -2")
            << 10.0 << 0.0 << 4.0 << Doubles{10, 6, 0} << -4.0;
        QTest::newRow("5..5.2 step 1 is the stop alone")
            << 5.0 << 5.2 << 1.0 << Doubles{5.2} << 1.0;
        QTest::newRow("start equal to stop") << 7.5 << 7.5 << 0.5 << Doubles{7.5} << 0.5;
        // Each point from start, not a running sum: the sum would give 0.7999999999999999 and
        // 0.8999999999999999 for points 8 and 9.
        QTest::newRow("0..1.05 step 0.1, no running sum")
            << 0.0 << 1.05 << 0.1
            << Doubles{0, 0.1, 0.2, 0 + 3 * 0.1, 0.4, 0.5, 0 + 6 * 0.1, 0 + 7 * 0.1, 0.8, 0.9, 1.05}
            << 0.1;
    }

    void buildScanPoints()
    {
        QFETCH(double, start);
        QFETCH(double, stop);
        QFETCH(double, step);
        QFETCH(Doubles, points);
        QFETCH(double, objectStep);

        TScanVoltage scan;
        scan.start = start;
        scan.stop = stop;
        scan.step = step;
        QCOMPARE(scan.BuildScanPoints(), points.size());
        QCOMPARE(scan.PointCount, points.size());
        QCOMPARE(scan.Points.size(), points.size());
        for (qsizetype i = 0; i < points.size(); ++i) {
            if (scan.Points[i] != points[i])
                QFAIL(qPrintable(QStringLiteral("point %1 is %2, not %3")
                                     .arg(i)
                                     .arg(scan.Points[i], 0, 'g', 17)
                                     .arg(points[i], 0, 'g', 17)));
        }
        QCOMPARE(scan.step, objectStep);
    }

    void aStepWithoutCountablePointsIsRefused()
    {
        TScanVoltage scan;
        scan.Points = {1, 2};
        scan.PointCount = 2;
        scan.start = 0;
        scan.stop = 10;
        scan.step = 0;
        QVERIFY_THROWS_EXCEPTION(VoltarisError, scan.BuildScanPoints());
        QCOMPARE(scan.Points, (Doubles{1, 2}));
        QCOMPARE(scan.PointCount, 2);
    }

    void entryChange_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("maxVoltage");
        QTest::addColumn<bool>("ignore");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<double>("stored");

        QTest::newRow("empty text") << 0 << "" << 32.0 << true << "" << 0.0;
        QTest::newRow("above the maximum") << 0 << "50" << 32.0 << false << "32" << 32.0;
        QTest::newRow("fractional maximum") << 1 << "33" << 31.5 << false << "31.5" << 31.5;
        QTest::newRow("at the maximum") << 2 << "32" << 32.0 << false << "" << 32.0;
        QTest::newRow("only six fraction digits count")
            << 0 << "32.0000001" << 32.0 << false << "" << 32.0;
        QTest::newRow("comma separator") << 1 << "12,5" << 32.0 << false << "" << 12.5;
        QTest::newRow("no sign") << 0 << "-1.5" << 32.0 << false << "" << 0.15;
        QTest::newRow("no digit stores 0") << 2 << "." << 32.0 << false << "" << 0.0;
        QTest::newRow("blank stores 0") << 0 << " " << 32.0 << false << "" << 0.0;
        QTest::newRow("no power type yet bounds to 0") << 0 << "5" << 0.0 << false << "0" << 0.0;
        QTest::newRow("the delay is not bounded") << 3 << "50" << 32.0 << false << "" << 50.0;
        QTest::newRow("unknown tag") << 4 << "5" << 32.0 << true << "" << 0.0;
    }

    void entryChange()
    {
        QFETCH(int, tag);
        QFETCH(QString, text);
        QFETCH(double, maxVoltage);
        QFETCH(bool, ignore);
        QFETCH(QString, replacement);
        QFETCH(double, stored);

        const ScanEntryResult result = scanEntryChanged(tag, text, maxVoltage);
        QCOMPARE(result.ignore, ignore);
        QCOMPARE(result.replacementText, replacement);
        if (!ignore)
            QCOMPARE(result.storedValue, stored);
    }

    void entryWithAnOversizedWholePartQuotesIt()
    {
        try {
            scanEntryChanged(0, "99999999999", 32);
            QFAIL("no error");
        } catch (const VoltarisError& error) {
            QVERIFY(error.message().contains("99999999999"));
        }
    }

    void storeScanEntryPicksTheFieldByTag()
    {
        ScanSetting setting;
        for (int tag = 0; tag <= 4; ++tag)
            storeScanEntry(setting, tag, 10 + tag);
        QCOMPARE(setting.ScanStart, 10.0);
        QCOMPARE(setting.ScanStop, 11.0);
        QCOMPARE(setting.ScanStep, 12.0);
        QCOMPARE(setting.ScanDelay, 13.0);
    }

    void aZeroStepDoesNotOpen()
    {
        ScanFixture f(0, 10, 0, 0.3);
        f.points.Points = {4};
        f.points.PointCount = 1;
        QVERIFY(!f.run.open(f.setting, f.points));
        QVERIFY(!f.run.view().panelShown);
        QCOMPARE(f.setting.ScanDelay, 0.3);
        QCOMPARE(f.points.Points, Doubles{4});
    }

    void openingBuildsThePointsAndRaisesAShortDelay_data()
    {
        QTest::addColumn<double>("delay");
        QTest::addColumn<double>("storedDelay");
        QTest::addColumn<qint64>("holdMs");
        QTest::newRow("0.3 s becomes 1 s") << 0.3 << 1.0 << qint64(1000);
        QTest::newRow("0 becomes 1 s") << 0.0 << 1.0 << qint64(1000);
        QTest::newRow("2.5 s stays") << 2.5 << 2.5 << qint64(2500);
    }

    void openingBuildsThePointsAndRaisesAShortDelay()
    {
        QFETCH(double, delay);
        QFETCH(double, storedDelay);
        QFETCH(qint64, holdMs);

        ScanFixture f(10, 0, 3, delay);
        QVERIFY(f.run.open(f.setting, f.points));
        QCOMPARE(f.setting.ScanDelay, storedDelay);
        QCOMPARE(f.setting.ScanStep, 3.0); // the entered step stays a magnitude
        QCOMPARE(f.points.step, -3.0);
        QCOMPARE(f.points.Points, (Doubles{10, 7, 4, 0}));
        QCOMPARE(f.run.view().allSteps, 4);
        QCOMPARE(f.run.view().currentStep, 1);
        QVERIFY(f.run.view().panelShown);

        f.run.run();
        QVERIFY(!f.run.view().runVisible);
        QVERIFY(!f.run.view().stepVisible);
        f.clock.advance(holdMs * 10);
        const QStringList expected{QStringLiteral("0:10"), QStringLiteral("%1:7").arg(holdMs),
                                   QStringLiteral("%1:4").arg(2 * holdMs),
                                   QStringLiteral("%1:0").arg(3 * holdMs)};
        QCOMPARE(f.sent, expected);
        QVERIFY(f.run.view().finishedShown);
        QVERIFY(f.run.view().runVisible);
        QVERIFY(f.run.view().stepVisible);
        QCOMPARE(f.run.sentInSweep(), 0);
        QVERIFY(!f.timer.isEnabled());
    }

    void theFinishComesOneDelayAfterTheLastPoint()
    {
        ScanFixture f(0, 10, 3, 1);
        QVERIFY(f.run.open(f.setting, f.points));
        f.run.run();
        f.clock.advance(3999);
        QVERIFY(!f.run.view().finishedShown);
        QCOMPARE(f.run.view().currentStep, 4);
        f.clock.advance(1);
        QVERIFY(f.run.view().finishedShown);
    }

    void stepAfterTheLastPointStartsAgain()
    {
        ScanFixture f(0, 10, 3, 1);
        QVERIFY(f.run.open(f.setting, f.points));
        f.run.run();
        f.clock.advance(4000);
        QVERIFY(f.run.view().finishedShown);
        f.sent.clear();
        for (int i = 0; i < 4; ++i)
            f.run.step();
        QCOMPARE(f.sent, (QStringList{"4000:0", "4000:3", "4000:6", "4000:10"}));
        QVERIFY(f.run.view().finishedShown); // the finish reset the count, so no wrap yet
        f.run.step();
        QCOMPARE(f.sent.last(), QStringLiteral("4000:0"));
        QVERIFY(!f.run.view().finishedShown);
        QCOMPARE(f.run.view().currentStep, 1);
        f.clock.advance(10000);
        QCOMPARE(f.sent.size(), 5);
    }

    void stopMidSweepSendsNothingMore()
    {
        ScanFixture f(0, 10, 3, 1);
        QVERIFY(f.run.open(f.setting, f.points));
        f.run.run();
        QVERIFY(f.run.view().runDown);
        f.clock.advance(1500);
        f.run.stop();
        QVERIFY(!f.run.view().panelShown);
        QVERIFY(!f.run.view().runDown);
        QVERIFY(f.run.view().runVisible);
        QVERIFY(f.run.view().stepVisible);
        f.clock.advance(10000);
        QCOMPARE(f.sent, (QStringList{"0:0", "1000:3"}));

        // Reopening builds the points again from the settings of that moment.
        f.setting.ScanStop = 4;
        QVERIFY(f.run.open(f.setting, f.points));
        QCOMPARE(f.run.view().allSteps, 2);
        QCOMPARE(f.run.view().currentStep, 1);
        f.run.step();
        QCOMPARE(f.sent.last(), QStringLiteral("11500:0"));
    }
};

QTEST_MAIN(TestScan)
#include "tst_scan.moc"
