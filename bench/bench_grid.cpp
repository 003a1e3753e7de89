#include "sequencing/testlistgrid.h"
#include "settings/loadsource.h"

#include "benchmain.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int StepCount = 10'000;

// A GO/NG grid as the main window sets it up, shown at a typical size, bound to a list of
// 10,000 steps with varied values (so the cell texts are of realistic length).
struct GoNgGrid
{
    TLoadSource texts;
    QTableWidget table{1, 7};
    std::unique_ptr<TestListGrid> grid;
    QList<GoNgStep> steps;

    GoNgGrid()
    {
        texts.LoadBuiltInEnglish();
        table.horizontalHeader()->hide();
        table.verticalHeader()->hide();
        table.horizontalHeader()->setDefaultSectionSize(80);
        table.verticalHeader()->setDefaultSectionSize(25);
        for (int column = 0; column < 7; ++column)
            table.setItem(0, column, new QTableWidgetItem(texts.GetText(53 + column)));
        grid = std::make_unique<TestListGrid>(TestListGrid::Kind::GoNg, &table, texts);
        for (int i = 0; i < StepCount; ++i) {
            GoNgStep step;
            step.Setting = 0.5 + (i % 640) * 0.05;
            step.Max = 1.25 + (i % 7) * 0.1;
            step.Min = 0.125;
            step.Delay = 1 + (i % 3);
            step.Real = (i % 11) * 0.0375;
            step.Pass = i % 2;
            steps.append(step);
        }
        grid->setList(&steps);
        grid->setLimits(32, 3);
        table.resize(640, 480);
        table.show();
        QApplication::processEvents();
    }
};

// Widgets must go before the QApplication does, so main() releases this.
std::unique_ptr<GoNgGrid> g_grid;

GoNgGrid& held()
{
    if (!g_grid)
        g_grid = std::make_unique<GoNgGrid>();
    return *g_grid;
}

// From an empty grid each time: the refill after a parameter file is opened or the channel
// changes, which creates every cell.
void BM_RefillGrid10000(benchmark::State& state)
{
    GoNgGrid& g = held();
    const QList<GoNgStep> all = g.steps;
    for (auto _ : state) {
        state.PauseTiming();
        g.steps.clear();
        g.grid->show();
        g.steps = all;
        QApplication::processEvents();
        state.ResumeTiming();
        g.grid->show();
        QApplication::processEvents();
    }
    state.counters["steps"] = StepCount;
}
BENCHMARK(BM_RefillGrid10000)->Unit(benchmark::kMillisecond);

// Over a grid that already shows the list: the refill after an editing command.
void BM_RefillFilledGrid10000(benchmark::State& state)
{
    GoNgGrid& g = held();
    g.grid->show();
    for (auto _ : state) {
        g.grid->show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_RefillFilledGrid10000)->Unit(benchmark::kMillisecond);

void BM_TakeGrid10000(benchmark::State& state)
{
    GoNgGrid& g = held();
    g.grid->show();
    for (auto _ : state)
        g.grid->take();
    state.counters["steps"] = StepCount;
}
BENCHMARK(BM_TakeGrid10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv, [] { g_grid.reset(); });
}
