#include "charts/liveplot.h"
#include "platform/clock.h"

#include "benchmain.h"

#include <cmath>
#include <memory>

namespace {

constexpr int PointsPer24h = 24 * 3600 * 2; // one reading every 500 ms

// Drops the queued replots a plot posts while its history is being filled: replotting after
// every one of 172,800 virtual half-seconds would take far longer than the figure measured.
class QueuedReplotSink : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::MetaCall; }
};

// The main window's pair as the program sets them up, shown at their design size and holding
// 24 hours of readings, appended through the ordinary path.
struct SmallPlots
{
    VirtualClock clock;
    LivePlot voltage{clock};
    LivePlot current{clock};

    SmallPlots()
    {
        const QStringList channels{"Channel 1", "Channel 2", "Channel 3"};
        for (LivePlot* plot : {&voltage, &current}) {
            plot->setChannelTitles(channels);
            plot->setXAxisTitle("Time(S)");
            plot->resize(800, 300);
            plot->show();
        }
        voltage.setTitle("Voltage(V)");
        voltage.setYRange(0, 100);
        voltage.setYDecimals(3);
        current.setTitle("Current(A)");
        current.setYRange(0, 10);
        current.setYDecimals(2);
        VirtualClock::processEvents();

        QueuedReplotSink sink;
        voltage.plot()->installEventFilter(&sink);
        current.plot()->installEventFilter(&sink);
        for (int i = 0; i < PointsPer24h; ++i) {
            clock.advance(500);
            const double wave = std::sin(i * 0.01);
            voltage.addPoints(12 + wave, 5 + 0.2 * wave, 30 - wave);
            current.addPoints(1.2 + 0.1 * wave, 0.5, 2.5 - 0.2 * wave);
        }
        voltage.plot()->removeEventFilter(&sink);
        current.plot()->removeEventFilter(&sink);
        voltage.replotNow();
        current.replotNow();
    }
};

// Widgets must go before the QApplication does, so main() releases these.
std::unique_ptr<SmallPlots> g_replotPlots;
std::unique_ptr<SmallPlots> g_appendPlots;

SmallPlots& held(std::unique_ptr<SmallPlots>& plots)
{
    if (!plots)
        plots = std::make_unique<SmallPlots>();
    return *plots;
}

void BM_ReplotBothSmallPlots24h(benchmark::State& state)
{
    SmallPlots& p = held(g_replotPlots);
    for (auto _ : state) {
        p.voltage.replotNow();
        p.current.replotNow();
    }
    state.counters["points_per_trace"] = p.voltage.pointCount(0);
}
BENCHMARK(BM_ReplotBothSmallPlots24h)->Unit(benchmark::kMillisecond);

// Time stands still inside the loop, so no event loop runs and the queued replot stays merely
// requested: the figure is the append and its tracking alone. The points added are taken off
// again afterwards so every run starts from the same 24 hours.
void BM_AppendPoint(benchmark::State& state)
{
    SmallPlots& p = held(g_appendPlots);
    const double lastKey = p.voltage.point(0, p.voltage.pointCount(0) - 1).x();
    p.clock.advance(500);
    for (auto _ : state)
        p.voltage.addPoints(12.5, 5.1, 29.5);
    for (int channel = 0; channel < LivePlot::ChannelCount; ++channel)
        p.voltage.plot()->graph(channel)->data()->removeAfter(lastKey);
    state.counters["points_per_trace"] = PointsPer24h;
}
BENCHMARK(BM_AppendPoint)->Iterations(100'000);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv, [] {
        g_replotPlots.reset();
        g_appendPlots.reset();
    });
}
