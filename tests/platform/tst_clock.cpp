#include "platform/clock.h"

#include <QSignalSpy>
#include <QTest>

class TestClock : public QObject
{
    Q_OBJECT
private slots:
    void enablingAnEnabledTimerKeepsItsCount()
    {
        VirtualClock clock;
        Timer timer(clock);
        timer.setInterval(500);
        QSignalSpy spy(&timer, &Timer::timeout);
        timer.setEnabled(true);
        clock.advance(400);
        timer.setEnabled(true);
        clock.advance(100);
        QCOMPARE(spy.count(), 1);
        clock.advance(1000);
        QCOMPARE(spy.count(), 3);
    }

    void settingTheIntervalRestartsTheCount()
    {
        VirtualClock clock;
        Timer timer(clock);
        timer.setInterval(500);
        QSignalSpy spy(&timer, &Timer::timeout);
        timer.setEnabled(true);
        clock.advance(400);
        timer.setInterval(500);
        clock.advance(400);
        QCOMPARE(spy.count(), 0);
        clock.advance(100);
        QCOMPARE(spy.count(), 1);
    }

    void disablingInsideTheHandlerStopsIt()
    {
        VirtualClock clock;
        Timer timer(clock);
        timer.setInterval(10);
        int fired = 0;
        connect(&timer, &Timer::timeout, [&] {
            ++fired;
            timer.setEnabled(false);
        });
        timer.setEnabled(true);
        clock.advance(100);
        QCOMPARE(fired, 1);
    }

    void eventsFireInTimeOrderWithTheirOwnTime()
    {
        VirtualClock clock;
        QStringList seen;
        QObject context;
        Timer timer(clock);
        timer.setInterval(30);
        connect(&timer, &Timer::timeout, [&] { seen << QString("t@%1").arg(clock.elapsedMs()); });
        timer.setEnabled(true);
        clock.callLater(45, &context, [&] { seen << QString("c@%1").arg(clock.elapsedMs()); });
        clock.callLater(60, &context, [&] { seen << QString("d@%1").arg(clock.elapsedMs()); });
        clock.advance(70);
        QCOMPARE(seen, (QStringList{"t@30", "c@45", "d@60", "t@60"}));
        QCOMPARE(clock.elapsedMs(), 70);
        QCOMPARE(clock.currentDateTime(), QDateTime(QDate(2026, 1, 5), QTime(9, 0)).addMSecs(70));
    }

    void aDelayedCallDiesWithItsContext()
    {
        VirtualClock clock;
        bool ran = false;
        auto* context = new QObject;
        clock.callLater(10, context, [&] { ran = true; });
        delete context;
        clock.advance(20);
        QVERIFY(!ran);
    }

    void waitInsideAHandlerKeepsTimeMoving()
    {
        VirtualClock clock;
        Timer ticker(clock);
        ticker.setInterval(100);
        int ticks = 0;
        connect(&ticker, &Timer::timeout, [&] { ++ticks; });
        QObject context;
        clock.callLater(50, &context, [&] { clock.wait(500); });
        ticker.setEnabled(true);
        clock.advance(100);
        QCOMPARE(clock.elapsedMs(), 550);
        QCOMPARE(ticks, 5);
    }
};

QTEST_GUILESS_MAIN(TestClock)
#include "tst_clock.moc"
