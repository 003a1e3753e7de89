#include "platform/clock.h"
#include "platform/errors.h"
#include "sequencing/programrun.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(ProgramStep)

// Drives a ProgramRun on virtual time and writes down what it asks to send, as "ms:V/A".
struct ProgramFixture
{
    VirtualClock clock;
    Timer timer{clock};
    ProgramRun run{timer};
    QList<ProgramStep> steps;
    int mode = RunTimesOnce;
    int count = 2;
    QStringList sent;
    qint64 finishedAtMs = -1;

    explicit ProgramFixture(const QList<ProgramStep>& list) : steps(list)
    {
        run.runTimesMode = [this] { return mode; };
        run.customCount = [this] { return count; };
        QObject::connect(&run, &ProgramRun::applyStep, [this](const ProgramStep& s) {
            sent << QStringLiteral("%1:%2/%3").arg(clock.elapsedMs()).arg(s.Voltage).arg(s.Current);
        });
        QObject::connect(&run, &ProgramRun::viewChanged, [this] {
            if (run.view().finishedShown && finishedAtMs < 0)
                finishedAtMs = clock.elapsedMs();
        });
    }
};

static ProgramStep stepOf(double volts, double amps, double delaySeconds)
{
    return ProgramStep{volts, amps, delaySeconds, 0};
}

class TestProgramRun : public QObject
{
    Q_OBJECT
private slots:
    void timedRun_data()
    {
        QTest::addColumn<QList<ProgramStep>>("steps");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("advanceMs");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<int>("runTimes");
        QTest::addColumn<qint64>("finishedAtMs");

        const QList<ProgramStep> ab{stepOf(1, 0.1, 1), stepOf(2, 0.2, 1)};
        QTest::newRow("once holds the last step for its delay")
            << QList<ProgramStep>{stepOf(1, 0.1, 1), stepOf(2, 0.2, 2)} << int(RunTimesOnce) << 0
            << 10000 << QStringList{"0:1/0.1", "1000:2/0.2"} << 1 << qint64(3000);
        QTest::newRow("delays rounded to the millisecond, ties to even")
            << QList<ProgramStep>{stepOf(1, 0.1, 2.5), stepOf(2, 0.2, 0.0025)} << int(RunTimesOnce)
            << 0 << 10000 << QStringList{"0:1/0.1", "2500:2/0.2"} << 1 << qint64(2502);
        QTest::newRow("repeat of one step sends it again after every delay")
            << QList<ProgramStep>{stepOf(5, 1, 1.5)} << int(RunTimesRepeat) << 0 << 4600
            << QStringList{"0:5/1", "1500:5/1", "3000:5/1", "4500:5/1"} << 4 << qint64(-1);
        QTest::newRow("custom 3 makes three passes and ends with run times 1")
            << ab << int(RunTimesCustom) << 3 << 20000
            << QStringList{"0:1/0.1",    "1000:2/0.2", "2000:1/0.1",
                           "3000:2/0.2", "4000:1/0.1", "5000:2/0.2"}
            << 1 << qint64(6000);
        QTest::newRow("custom count below 2 still makes one pass")
            << ab << int(RunTimesCustom) << 1 << 20000 << QStringList{"0:1/0.1", "1000:2/0.2"} << 1
            << qint64(2000);
    }

    void timedRun()
    {
        QFETCH(QList<ProgramStep>, steps);
        QFETCH(int, mode);
        QFETCH(int, count);
        QFETCH(int, advanceMs);
        QFETCH(QStringList, sent);
        QFETCH(int, runTimes);
        QFETCH(qint64, finishedAtMs);

        ProgramFixture f(steps);
        f.mode = mode;
        f.count = count;
        QVERIFY(f.run.open(&f.steps));
        QCOMPARE(f.run.view().allSteps, steps.size());
        f.run.run();
        QVERIFY(!f.run.view().runEnabled);
        QVERIFY(!f.run.view().stepEnabled);
        QVERIFY(f.run.view().runDown);
        f.clock.advance(advanceMs);

        QCOMPARE(f.sent, sent);
        QCOMPARE(f.run.view().runTimes, runTimes);
        QCOMPARE(f.finishedAtMs, finishedAtMs);
        const bool finished = finishedAtMs >= 0;
        QCOMPARE(f.timer.isEnabled(), !finished);
        QCOMPARE(f.run.view().runEnabled, finished);
        QCOMPARE(f.run.view().stepEnabled, finished);
        if (finished) {
            QCOMPARE(f.run.sentInPass(), 0);
            QCOMPARE(f.run.view().currentStep, steps.size());
            QCOMPARE(f.run.view().gridRow, steps.size());
            // Finishing does not release the toggle; only "Stop" does.
            QVERIFY(f.run.view().runDown);
        }
    }

    void choiceAndCountAreReadWhenAPassEnds()
    {
        ProgramFixture f({stepOf(1, 0, 1), stepOf(2, 0, 1)});
        f.mode = RunTimesOnce;
        QVERIFY(f.run.open(&f.steps));
        f.run.run();
        f.clock.advance(1500);
        f.mode = RunTimesCustom;
        f.count = 2;
        f.clock.advance(500); // first pass ends under "Custom" 2: one more pass
        QCOMPARE(f.run.view().runTimes, 2);
        f.count = 4;
        f.clock.advance(2000); // second pass ends with the new count
        QCOMPARE(f.run.view().runTimes, 3);
        f.mode = RunTimesOnce;
        f.clock.advance(2000);
        QCOMPARE(f.finishedAtMs, qint64(6000));
        QCOMPARE(f.run.view().runTimes, 3); // "Once" keeps the count it found
        QCOMPARE(f.sent.size(), 6);
    }

    void stepWalksTheListAndStartsAgainPastTheEnd()
    {
        ProgramFixture f({stepOf(1, 0.1, 1), stepOf(2, 0.2, 1)});
        QVERIFY(f.run.open(&f.steps));
        QStringList runTimes;
        QStringList rows;
        for (int i = 0; i < 5; ++i) {
            f.run.step();
            runTimes << QString::number(f.run.view().runTimes);
            rows << QString::number(f.run.view().gridRow);
        }
        QCOMPARE(f.sent, (QStringList{"0:1/0.1", "0:2/0.2", "0:1/0.1", "0:2/0.2", "0:1/0.1"}));
        QCOMPARE(runTimes, (QStringList{"1", "1", "2", "2", "3"}));
        QCOMPARE(rows, (QStringList{"1", "2", "1", "2", "1"}));
        QCOMPARE(f.run.view().currentStep, 1);
        QVERIFY(!f.timer.isEnabled());
        f.clock.advance(10000);
        QCOMPARE(f.sent.size(), 5);
        QCOMPARE(f.finishedAtMs, qint64(-1));
    }

    void stepAfterAFinishedOnceRunSendsStepOne()
    {
        ProgramFixture f({stepOf(1, 0.1, 1), stepOf(2, 0.2, 1)});
        QVERIFY(f.run.open(&f.steps));
        f.run.step();
        f.run.step(); // pass 1 walked by hand
        f.run.step(); // past the end: pass 2, finished notice hidden
        QCOMPARE(f.run.view().runTimes, 2);
        f.run.run();
        f.clock.advance(5000);
        QVERIFY(f.run.view().finishedShown);
        QCOMPARE(f.run.view().runTimes, 2);
        f.sent.clear();
        f.run.step();
        QCOMPARE(f.sent, QStringList{"5000:1/0.1"});
        QCOMPARE(f.run.view().runTimes, 2);
        QCOMPARE(f.run.view().currentStep, 1);
    }

    void stepOffTheEndHidesTheFinishedNotice()
    {
        ProgramFixture f({stepOf(1, 0.1, 1)});
        QVERIFY(f.run.open(&f.steps));
        f.run.run();
        f.clock.advance(1000);
        QVERIFY(f.run.view().finishedShown);
        f.run.step(); // CurrentStep was reset by the finish: step 1 again, notice stays
        QVERIFY(f.run.view().finishedShown);
        f.run.step(); // past the end
        QVERIFY(!f.run.view().finishedShown);
        QCOMPARE(f.run.view().runTimes, 2);
    }

    void buttonsAreIgnoredWhileDisabledOrClosed()
    {
        ProgramFixture f({stepOf(1, 0, 1), stepOf(2, 0, 1)});
        f.run.run();
        f.run.step();
        QVERIFY(f.sent.isEmpty());
        QVERIFY(f.run.open(&f.steps));
        f.run.run();
        f.run.run();
        f.run.step();
        QCOMPARE(f.sent, QStringList{"0:1/0"});
        QVERIFY(f.run.view().runDown);
    }

    void stopMidRunAndReopenStartsAfresh()
    {
        ProgramFixture f({stepOf(1, 0, 1), stepOf(2, 0, 1), stepOf(3, 0, 1)});
        f.mode = RunTimesRepeat;
        QVERIFY(f.run.open(&f.steps));
        f.run.run();
        f.clock.advance(4500); // pass 2, step 2 sent at 4000
        QCOMPARE(f.run.view().runTimes, 2);
        f.run.stop();
        QVERIFY(!f.timer.isEnabled());
        QVERIFY(!f.run.view().panelShown);
        QVERIFY(!f.run.view().runDown);
        QVERIFY(f.run.view().runEnabled);
        const qsizetype sentBeforeStop = f.sent.size();
        f.clock.advance(10000);
        QCOMPARE(f.sent.size(), sentBeforeStop);
        QCOMPARE(f.sent.last(), QStringLiteral("4000:2/0"));

        QVERIFY(f.run.open(&f.steps));
        QCOMPARE(f.run.view().currentStep, 1);
        QCOMPARE(f.run.view().runTimes, 1);
        QCOMPARE(f.run.sentInPass(), 0);
        f.run.step();
        QCOMPARE(f.sent.last(), QStringLiteral("14500:1/0"));
    }

    void anEmptyListDoesNotOpen()
    {
        ProgramFixture f({});
        QVERIFY(!f.run.open(&f.steps));
        QVERIFY(!f.run.open(nullptr));
        QVERIFY(!f.run.view().panelShown);
        QCOMPARE(f.run.view().allSteps, 0);
    }

    void aDelayThatIsNoIntervalStopsTheRunCleanly()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        ProgramFixture f({stepOf(1, 0, 1), stepOf(2, 0, nan)});
        QStringList failures;
        QObject::connect(&f.run, &ProgramRun::failed,
                         [&](const QString& message) { failures << message; });
        QVERIFY(f.run.open(&f.steps));
        f.run.run();
        f.clock.advance(5000);
        QCOMPARE(f.sent, QStringList{"0:1/0"});
        QCOMPARE(failures.size(), 1);
        QVERIFY(!f.timer.isEnabled());
        QVERIFY(f.run.view().runEnabled);

        // From the button, the error goes to the caller and nothing is sent.
        f.steps = {stepOf(1, 0, nan)};
        QVERIFY(f.run.open(&f.steps));
        f.sent.clear();
        QVERIFY_THROWS_EXCEPTION(VoltarisError, f.run.run());
        QVERIFY(f.sent.isEmpty());
        QVERIFY(!f.timer.isEnabled());
    }
};

QTEST_MAIN(TestProgramRun)
#include "tst_programrun.moc"
