// The GO/NG result store at the sizes it must stay quick at: recording a 100-step run, a search
// with name and date filters over 1,000,000 header rows, and "All Lines" delete and step-row
// selection over 100,000 listed runs of five steps each. One database file in a temporary
// program folder for the whole process; each benchmark puts the tables in the state it needs.
#include "results/resultstore.h"

#include "benchmain.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

struct Bench
{
    QTemporaryDir dir;
    ResultStore store{dir.path()};
    int filledRuns = -1; // header rows the bulk fill left, -1 when the tables hold anything else
    qint64 recorded = 0;
};

std::unique_ptr<Bench> g_bench;

Bench& bench()
{
    if (!g_bench) {
        g_bench = std::make_unique<Bench>();
        g_bench->store.OpenResultsDatabase();
    }
    return *g_bench;
}

void run(const QString& sql)
{
    QSqlQuery query(QSqlDatabase::database(QLatin1String(ResultsConnectionName)));
    if (!query.exec(sql))
        std::fprintf(stderr, "%s\n%s\n", qPrintable(query.lastError().text()), qPrintable(sql));
}

// Replaces the tables' rows with runs headers named Run0 to Run999 over 365 days, each with
// stepsPerRun step rows, in one transaction generated inside the engine.
void fill(int runs, int stepsPerRun)
{
    Bench& b = bench();
    if (b.filledRuns == runs)
        return;
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(ResultsConnectionName));
    db.transaction();
    run("delete from GoNGRecorder");
    run("delete from GoNGDateType");
    run(QStringLiteral(
            "with recursive n(i) as (select 0 union all select i + 1 from n where i < %1) "
            "insert into GoNGDateType select 'Run' || (i % 1000), "
            "date('2026-01-01', '+' || (i % 365) || ' days'), "
            "printf('%02d:%02d:%02d.%03d', (i / 3600000) % 24, (i / 60000) % 60, "
            "(i / 1000) % 60, i % 1000), "
            "case when i % 7 = 0 then 'No Pass' else 'Pass' end from n")
            .arg(runs - 1));
    if (stepsPerRun > 0)
        run(QStringLiteral(
                "with recursive s(j) as (select 1 union all select j + 1 from s where j < %1) "
                "insert into GoNGRecorder select s.j, h.Name, 1, s.j * 1.0, 0.25, 0.5, 0.1, 1.0, "
                "h.Pass, h.CurrentDate, h.CurrentTime from GoNGDateType h, s order by h.rowid, s.j")
                .arg(stepsPerRun));
    db.commit();
    b.filledRuns = runs;
}

void BM_RecordRun100Steps(benchmark::State& state)
{
    Bench& b = bench();
    b.filledRuns = -1;
    QList<GoNgStep> steps(100);
    for (int i = 0; i < steps.size(); ++i) {
        steps[i].Setting = i * 0.1;
        steps[i].Real = 0.2;
        steps[i].Max = 0.3;
        steps[i].Min = 0.1;
        steps[i].Pass = 1;
    }
    const QDateTime start(QDate(2026, 1, 5), QTime(9, 0));
    for (auto _ : state)
        b.store.RecordGoNGRun("GoNG", steps, start.addMSecs(++b.recorded), 1);
}
BENCHMARK(BM_RecordRun100Steps)->Unit(benchmark::kMillisecond);

void BM_SearchNameAndDateOverAMillionRuns(benchmark::State& state)
{
    fill(1'000'000, 0);
    SearchFilters filters;
    filters.byName = true;
    filters.name = "Run42";
    filters.byDate = true;
    filters.oldDate = QDate(2026, 2, 1);
    filters.newDate = QDate(2026, 3, 2);
    const SqlStatement search = BuildSearchStatement(filters);
    qsizetype found = 0;
    for (auto _ : state)
        found = bench().store.ListedRuns(search).size();
    state.counters["runs_found"] = double(found);
}
BENCHMARK(BM_SearchNameAndDateOverAMillionRuns)->Unit(benchmark::kMillisecond);

void BM_AllLinesStepRowsOfAHundredThousandRuns(benchmark::State& state)
{
    fill(100'000, 5);
    const SqlStatement all = BuildSearchStatement({});
    qsizetype rows = 0;
    for (auto _ : state) {
        ResultStore& store = bench().store;
        rows = store.StepRows(RunScope::AllLines, store.ListedRuns(all)).size();
    }
    state.counters["step_rows"] = double(rows);
}
BENCHMARK(BM_AllLinesStepRowsOfAHundredThousandRuns)->Unit(benchmark::kMillisecond);

void BM_AllLinesDeleteOfAHundredThousandRuns(benchmark::State& state)
{
    const SqlStatement all = BuildSearchStatement({});
    for (auto _ : state) {
        state.PauseTiming();
        bench().filledRuns = -1;
        fill(100'000, 5);
        state.ResumeTiming();
        ResultStore& store = bench().store;
        store.DeleteRuns(RunScope::AllLines, store.ListedRuns(all));
    }
    bench().filledRuns = -1;
}
BENCHMARK(BM_AllLinesDeleteOfAHundredThousandRuns)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv, [] { g_bench.reset(); });
}
