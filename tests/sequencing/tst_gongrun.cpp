#include "platform/clock.h"
#include "platform/errors.h"
#include "sequencing/gongrun.h"

#include <QTest>

// Drives a GoNgRun on virtual time and writes down what it asks for: "ms:V" for each voltage
// sent, "ms:judged N" for each judged list index, "ms:completed" for each completed timed run.
struct GoNgFixture
{
    VirtualClock clock;
    Timer timer{clock};
    GoNgRun run{timer};
    QList<GoNgStep> steps;
    QStringList events;
    std::function<void()> onCompleted;

    explicit GoNgFixture(const QList<GoNgStep>& list) : steps(list)
    {
        QObject::connect(&run, &GoNgRun::applySetting, [this](double volts) {
            events << QStringLiteral("%1:%2").arg(clock.elapsedMs()).arg(volts);
        });
        QObject::connect(&run, &GoNgRun::stepJudged, [this](int index) {
            events << QStringLiteral("%1:judged %2").arg(clock.elapsedMs()).arg(index);
        });
        QObject::connect(&run, &GoNgRun::timedRunCompleted, [this] {
            events << QStringLiteral("%1:completed").arg(clock.elapsedMs());
            if (onCompleted)
                onCompleted();
        });
    }

    QStringList passes() const
    {
        QStringList out;
        for (const GoNgStep& s : steps)
            out << QString::number(s.Pass);
        return out;
    }
};

static GoNgStep gongStep(double volts, double minAmps, double maxAmps, double delaySeconds)
{
    GoNgStep s;
    s.Setting = volts;
    s.Min = minAmps;
    s.Max = maxAmps;
    s.Delay = delaySeconds;
    return s;
}

static QList<GoNgStep> threeSteps()
{
    return {gongStep(1, 0.5, 1.0, 1), gongStep(2, 0.5, 1.0, 1), gongStep(3, 0.5, 1.0, 1)};
}

class TestGoNgRun : public QObject
{
    Q_OBJECT
private slots:
    void judgementAtTheLimits_data()
    {
        QTest::addColumn<double>("minAmps");
        QTest::addColumn<double>("maxAmps");
        QTest::addColumn<double>("measured");
        QTest::addColumn<bool>("pass");

        QTest::newRow("at Min") << 0.5 << 1.0 << 0.5 << true;
        QTest::newRow("at Max") << 0.5 << 1.0 << 1.0 << true;
        QTest::newRow("inside") << 0.5 << 1.0 << 0.75 << true;
        QTest::newRow("just above Max") << 0.5 << 1.0 << 1.0001 << false;
        QTest::newRow("just below Min") << 0.5 << 1.0 << 0.4999 << false;
        QTest::newRow("Min above Max inside") << 1.0 << 0.5 << 0.75 << false;
        QTest::newRow("Min above Max at Min") << 1.0 << 0.5 << 1.0 << false;
        QTest::newRow("zero limits, zero current") << 0.0 << 0.0 << 0.0 << true;
    }

    void judgementAtTheLimits()
    {
        QFETCH(double, minAmps);
        QFETCH(double, maxAmps);
        QFETCH(double, measured);
        QFETCH(bool, pass);

        GoNgFixture f({gongStep(5, minAmps, maxAmps, 1)});
        QVERIFY(f.run.open(&f.steps));
        f.run.judge(measured);
        QCOMPARE(f.steps[0].Real, measured);
        QCOMPARE(f.steps[0].Pass, quint8(pass ? 1 : 0));
        QCOMPARE(f.run.view().verdict, pass ? GoNgVerdict::Pass : GoNgVerdict::Fail);
        QCOMPARE(f.run.view().gridRow, 1);
        QCOMPARE(f.events, QStringList{"0:judged 0"});
    }

    void openingClearsTheResults()
    {
        QList<GoNgStep> list = threeSteps();
        for (GoNgStep& s : list) {
            s.Real = 0.7;
            s.Pass = 1;
        }
        GoNgFixture f(list);
        QVERIFY(f.run.open(&f.steps));
        for (const GoNgStep& s : f.steps) {
            QCOMPARE(s.Real, 0.0);
            QCOMPARE(s.Pass, quint8(0));
        }
        QCOMPARE(f.steps[1].Setting, 2.0); // only the results are cleared
        QCOMPARE(f.run.view().verdict, GoNgVerdict::Fail);
        QCOMPARE(f.run.view().allSteps, 3);
        QCOMPARE(f.run.view().currentStep, 1);
        QVERIFY(!f.run.view().finishedShown);
        QVERIFY(f.events.isEmpty());

        QList<GoNgStep> empty;
        GoNgRun other(f.timer);
        QVERIFY(!other.open(&empty));
        QVERIFY(!other.view().panelShown);
    }

    void aTimedRunCompletesOnceBeforeTheFinishedState()
    {
        GoNgFixture f(threeSteps());
        QStringList passesAtCompletion;
        bool timerWasOff = false;
        bool finishedWasHidden = false;
        f.onCompleted = [&] {
            passesAtCompletion = f.passes();
            timerWasOff = !f.timer.isEnabled();
            finishedWasHidden = !f.run.view().finishedShown && !f.run.view().runVisible;
        };
        QVERIFY(f.run.open(&f.steps));
        f.run.run();
        QVERIFY(!f.run.view().runVisible);
        QVERIFY(!f.run.view().stepVisible);
        f.clock.advance(500);
        f.run.judge(0.7);
        f.clock.advance(1000);
        f.run.judge(0.2);
        f.clock.advance(1000);
        f.run.judge(0.9);
        f.clock.advance(10000);

        QCOMPARE(f.events, (QStringList{"0:1", "500:judged 0", "1000:2", "1500:judged 1", "2000:3",
                                        "2500:judged 2", "3000:completed"}));
        QCOMPARE(passesAtCompletion, (QStringList{"1", "0", "1"}));
        QVERIFY(timerWasOff);
        QVERIFY(finishedWasHidden);
        QVERIFY(f.run.view().finishedShown);
        QVERIFY(f.run.view().runVisible);
        QVERIFY(f.run.view().stepVisible);
        QCOMPARE(f.run.sentInPass(), 3);
        QCOMPARE(f.run.view().gridRow, 3);

        // After the run, judging goes on for step N and changes the list only.
        f.run.judge(0.1);
        QCOMPARE(f.steps[2].Pass, quint8(0));
        QCOMPARE(f.events.last(), QStringLiteral("12500:judged 2"));
        QCOMPARE(f.events.filter("completed").size(), 1);
    }

    void judgingFollowsTheStepLastSent()
    {
        GoNgFixture f(threeSteps());
        QVERIFY(f.run.open(&f.steps));
        f.run.judge(0.6); // before anything is sent: step 1
        f.run.step();
        f.run.step();
        f.run.judge(2.0); // step 2 fails
        QCOMPARE(f.steps[0].Real, 0.6);
        QCOMPARE(f.steps[1].Real, 2.0);
        QCOMPARE(f.passes(), (QStringList{"1", "0", "0"}));
        QCOMPARE(f.run.view().verdict, GoNgVerdict::Fail);
        QCOMPARE(f.run.view().gridRow, 2);

        // "Run" again keeps earlier results until each step is judged anew.
        f.run.run();
        QCOMPARE(f.passes(), (QStringList{"1", "0", "0"}));
        f.run.judge(0.8);
        QCOMPARE(f.passes(), (QStringList{"1", "0", "0"}));
        QCOMPARE(f.steps[0].Real, 0.8);
    }

    void stepAndStopStoreNothing()
    {
        GoNgFixture f(threeSteps());
        QVERIFY(f.run.open(&f.steps));
        for (int i = 0; i < 4; ++i)
            f.run.step();
        f.clock.advance(10000);
        QCOMPARE(f.events, (QStringList{"0:1", "0:2", "0:3", "0:1"}));
        QCOMPARE(f.run.view().currentStep, 1);
        QCOMPARE(f.run.view().gridRow, 0); // "Step" does not move the grid row

        f.events.clear();
        f.run.run();
        f.clock.advance(1500);
        f.run.stop();
        f.clock.advance(10000);
        QCOMPARE(f.events, (QStringList{"10000:1", "11000:2"}));
        QVERIFY(!f.run.view().panelShown);
        QVERIFY(f.run.view().runVisible);
        QVERIFY(!f.timer.isEnabled());
        f.run.judge(0.7); // a closed panel judges nothing
        QCOMPARE(f.events.size(), 2);
    }

    void stepAfterARunSendsStepOneAndHidesTheNotice()
    {
        GoNgFixture f(threeSteps());
        QVERIFY(f.run.open(&f.steps));
        f.run.run();
        f.clock.advance(3000);
        QVERIFY(f.run.view().finishedShown);
        f.events.clear();
        f.run.step();
        QCOMPARE(f.events, QStringList{"3000:1"});
        QVERIFY(!f.run.view().finishedShown);
        QCOMPARE(f.run.view().currentStep, 1);
    }

    void aFailedRecordingLeavesOnlyStop()
    {
        GoNgFixture f(threeSteps());
        QStringList failures;
        QObject::connect(&f.run, &GoNgRun::failed,
                         [&](const QString& message) { failures << message; });
        f.onCompleted = [] { throw VoltarisError("Table GoNGRecorder is busy"); };
        QVERIFY(f.run.open(&f.steps));
        f.run.run();
        f.clock.advance(10000);
        QCOMPARE(failures, QStringList{"Table GoNGRecorder is busy"});
        QCOMPARE(f.events.filter("completed").size(), 1);
        QVERIFY(!f.timer.isEnabled());
        QVERIFY(!f.run.view().finishedShown);
        QVERIFY(!f.run.view().runVisible);
        f.run.stop();
        QVERIFY(f.run.view().runVisible);
    }
};

QTEST_MAIN(TestGoNgRun)
#include "tst_gongrun.moc"
