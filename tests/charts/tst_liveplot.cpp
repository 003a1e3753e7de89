#include "charts/liveplot.h"
#include "platform/clock.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

namespace {

void compareRange(const QCPRange& actual, double lower, double upper)
{
    QCOMPARE(actual.lower, lower);
    QCOMPARE(actual.upper, upper);
}

} // namespace

class TestLivePlot : public QObject
{
    Q_OBJECT
private slots:
    void scrollSmoothRule_data()
    {
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("x");
        QTest::addColumn<bool>("first");
        QTest::addColumn<double>("newLower");
        QTest::addColumn<double>("newUpper");

        QTest::newRow("inside stays") << 0.0 << 100.0 << 40.0 << false << 0.0 << 100.0;
        QTest::newRow("right end itself stays") << 0.0 << 100.0 << 100.0 << false << 0.0 << 100.0;
        QTest::newRow("past right end becomes right end")
            << 0.0 << 100.0 << 130.5 << false << 30.5 << 130.5;
        QTest::newRow("left of start becomes start")
            << 100.0 << 200.0 << 50.0 << false << 50.0 << 150.0;
        QTest::newRow("first point inside stays") << 0.0 << 100.0 << 5.0 << true << 0.0 << 100.0;
        QTest::newRow("first point past right end becomes start")
            << 0.0 << 100.0 << 250.0 << true << 250.0 << 350.0;
        QTest::newRow("first point left of start becomes start")
            << 100.0 << 150.0 << 20.0 << true << 20.0 << 70.0;
    }

    void scrollSmoothRule()
    {
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(double, x);
        QFETCH(bool, first);
        QFETCH(double, newLower);
        QFETCH(double, newUpper);
        compareRange(LivePlot::scrollSmooth(QCPRange(lower, upper), x, first), newLower, newUpper);
    }

    void scaleMinMaxRule_data()
    {
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("newLower");
        QTest::addColumn<double>("newUpper");

        QTest::newRow("inside stays") << 0.0 << 10.0 << 4.0 << 0.0 << 10.0;
        QTest::newRow("above top raises top, span grows") << 0.0 << 10.0 << 12.5 << 0.0 << 12.5;
        QTest::newRow("below bottom moves bottom, span kept") << 0.0 << 10.0 << -3.0 << -3.0 << 7.0;
        QTest::newRow("not a number leaves the range")
            << 0.0 << 10.0 << std::numeric_limits<double>::quiet_NaN() << 0.0 << 10.0;
    }

    void scaleMinMaxRule()
    {
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(double, y);
        QFETCH(double, newLower);
        QFETCH(double, newUpper);
        compareRange(LivePlot::scaleMinMax(QCPRange(lower, upper), y), newLower, newUpper);
    }

    // A plot that starts receiving late aligns on its first point and then scrolls with a
    // constant span, keeping the newest point at the right end.
    void xFollowsTheClock()
    {
        VirtualClock clock;
        LivePlot plot(clock);
        clock.advance(250'000);
        plot.addPoints(1, 2, 3);
        compareRange(plot.xRange(), 250, 350);

        for (int i = 0; i < 1000; ++i) {
            clock.advance(500);
            plot.addPoints(1, 2, 3);
        }
        const double last = plot.point(2, 1000).x();
        QCOMPARE(last, 750.0);
        QCOMPARE(plot.xRange().upper, last);
        QVERIFY(qAbs(plot.xRange().size() - 100) < 1e-9);
    }

    // Only the first point of the plot as a whole aligns; a later point of another channel
    // scrolls instead.
    void onlyTheVeryFirstPointAligns()
    {
        VirtualClock clock;
        LivePlot plot(clock);
        clock.advance(5'000);
        plot.addPoint(0, 1);
        clock.advance(200'000);
        plot.addPoint(1, 1);
        compareRange(plot.xRange(), 105, 205);
    }

    void yGrowsButNeverShrinks()
    {
        VirtualClock clock;
        LivePlot plot(clock);
        plot.setYRange(0, 10);
        plot.addPoint(0, 15);
        compareRange(plot.yRange(), 0, 15);
        plot.addPoint(1, 2);
        compareRange(plot.yRange(), 0, 15);
        plot.addPoint(2, -4);
        compareRange(plot.yRange(), -4, 11);
        plot.addPoints(3, 3, 3);
        compareRange(plot.yRange(), -4, 11);
    }

    void ySpanKeepsTheBottom()
    {
        VirtualClock clock;
        LivePlot plot(clock);
        plot.setYRange(-2, 8);
        plot.setYSpan(31);
        compareRange(plot.yRange(), -2, 29);
        plot.setYSpan(0);
        plot.setYSpan(-5);
        compareRange(plot.yRange(), -2, 29);
    }

    void timeBaseIsTheMomentOfConstruction()
    {
        VirtualClock clock;
        clock.advance(7'000);
        LivePlot plot(clock);
        clock.advance(1'500);
        plot.addPoint(1, 4.25);
        QCOMPARE(plot.pointCount(1), 1);
        QCOMPARE(plot.point(1, 0), QPointF(1.5, 4.25));

        plot.clearChannel(1);
        QCOMPARE(plot.pointCount(1), 0);
        clock.advance(500);
        plot.addPoints(1, 2, 3);
        for (int channel = 0; channel < LivePlot::ChannelCount; ++channel) {
            QCOMPARE(plot.pointCount(channel), 1);
            QCOMPARE(plot.point(channel, 0), QPointF(2.0, channel + 1));
        }
        QCOMPARE(plot.channelGraph(2)->dataCount(), 1);
    }

    void autoScaleFitsAllChannels()
    {
        VirtualClock clock;
        LivePlot plot(clock);
        clock.advance(1'000);
        plot.addPoint(0, 3);
        clock.advance(3'000);
        plot.addPoint(2, -1);
        clock.advance(6'000);
        plot.addPoint(1, 7.5);
        clock.advance(1'000);
        plot.addPoint(0, 50);
        plot.clearChannel(0); // a cleared trace no longer counts

        plot.autoScale();
        compareRange(plot.xRange(), 4, 10);
        compareRange(plot.yRange(), -1, 7.5);
    }

    void autoScaleOnEmptyOrFlatData()
    {
        VirtualClock clock;
        LivePlot plot(clock);
        plot.setYRange(0, 10);
        plot.autoScale();
        compareRange(plot.xRange(), 0, 100);
        compareRange(plot.yRange(), 0, 10);

        // One point has no extent; the axes keep their spans and centre on it.
        clock.advance(30'000);
        plot.addPoint(0, 4);
        plot.autoScale();
        compareRange(plot.xRange(), -20, 80);
        compareRange(plot.yRange(), -1, 9);
    }

    // Appending only queues a replot, so a whole burst of readings costs one.
    void appendsShareOneQueuedReplot()
    {
        VirtualClock clock;
        LivePlot plot(clock);
        plot.resize(400, 200);
        VirtualClock::processEvents();
        QSignalSpy replots(plot.plot(), &QCustomPlot::afterReplot);
        for (int i = 0; i < 50; ++i) {
            plot.addPoints(1, 2, 3);
            plot.addPoint(1, 5);
        }
        QCOMPARE(replots.count(), 0);
        VirtualClock::processEvents();
        QCOMPARE(replots.count(), 1);
        plot.replotNow();
        QCOMPARE(replots.count(), 2);
    }

    void contextMenu()
    {
        VirtualClock clock;
        LivePlot plot(clock);
        plot.autoScaleAction()->setObjectName("pmVoltageAutoScale");
        plot.autoScaleAction()->setText("AutoScale");
        plot.largePlotAction()->setObjectName("pmVoltageLargePlot");
        plot.largePlotAction()->setText("LargePlot");
        plot.resize(400, 200);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));

        const QList<QAction*> actions = plot.contextMenu()->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions.at(0)->objectName(), QString("pmVoltageAutoScale"));
        QCOMPARE(actions.at(1)->objectName(), QString("pmVoltageLargePlot"));

        const QPoint pos(100, 100);
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, plot.plot()->mapToGlobal(pos));
        QApplication::sendEvent(plot.plot(), &event);
        QVERIFY(plot.contextMenu()->isVisible());
        plot.contextMenu()->hide();

        clock.advance(2'000);
        plot.addPoint(0, 1);
        clock.advance(2'000);
        plot.addPoint(0, 3);
        plot.autoScaleAction()->trigger();
        compareRange(plot.xRange(), 2, 4);
        compareRange(plot.yRange(), 1, 3);

        QSignalSpy requested(&plot, &LivePlot::largePlotRequested);
        plot.largePlotAction()->trigger();
        QCOMPARE(requested.count(), 1);
    }

    void doubleClickRequestsTheLargePlot()
    {
        VirtualClock clock;
        LivePlot plot(clock);
        plot.resize(400, 200);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        QSignalSpy requested(&plot, &LivePlot::largePlotRequested);

        QTest::mouseClick(plot.plot(), Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(requested.count(), 0);
        QTest::mouseDClick(plot.plot(), Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(requested.count(), 1);
    }
};

QTEST_MAIN(TestLivePlot)
#include "tst_liveplot.moc"
