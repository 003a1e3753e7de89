// Parameter files with long step lists: the save at every close and the load at start must not
// be felt by the operator.
#include "settings/parameterfile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int stepsPerList = 10'000;

ParameterSet largeSet()
{
    ParameterSet set;
    for (int c = 0; c < 3; ++c) {
        set.programLists[c].reserve(stepsPerList);
        set.goNgLists[c].reserve(stepsPerList);
        for (int k = 0; k < stepsPerList; ++k) {
            set.programLists[c].append({k * 0.001, 0.5, 1.0, 0});
            set.goNgLists[c].append({k * 0.001, 0.6, 0.1, 1.0, 0.0, 0});
        }
    }
    return set;
}

void BM_ParameterFileRoundTrip(benchmark::State& state)
{
    const ParameterSet set = largeSet();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("AllParam.Par"));
    for (auto _ : state) {
        saveParameterFile(path, set);
        ParameterSet loaded = loadParameterFile(path);
        benchmark::DoNotOptimize(loaded);
    }
    state.SetItemsProcessed(state.iterations() * 6 * stepsPerList);
}
BENCHMARK(BM_ParameterFileRoundTrip)->Unit(benchmark::kMillisecond);

void BM_ParameterFileEncodeDecode(benchmark::State& state)
{
    const ParameterSet set = largeSet();
    const QString fileName = QStringLiteral("AllParam.Par");
    for (auto _ : state) {
        const QByteArray bytes = writeParameterFile(set);
        ParameterSet decoded = readParameterFile(bytes, fileName);
        benchmark::DoNotOptimize(decoded);
    }
    state.SetItemsProcessed(state.iterations() * 6 * stepsPerList);
}
BENCHMARK(BM_ParameterFileEncodeDecode)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
