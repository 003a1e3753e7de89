// Export of a large result set, 100,000 step rows of the eleven step-row columns, read through a
// query model over an in-memory SQLite table as the results browser reads them: text file with
// and without the progress window, and .xlsx workbook.
#include "platform/ansicodec.h"
#include "results/dbgridexport.h"

#include "benchmain.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int StepRows = 100'000;

struct StepTable
{
    QSqlQueryModel model;
    QTableView view;
};

std::unique_ptr<StepTable> g_table;

StepTable& stepTable()
{
    if (g_table)
        return *g_table;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (!db.open())
        std::fprintf(stderr, "%s\n", qPrintable(db.lastError().text()));
    QSqlQuery query(db);
    query.exec("create table GoNGRecorder (\"Order\" integer, Name text, Channel integer, "
               "Setting double, Real double, Max double, Min double, Delay double, Pass text, "
               "CurrentDate date, CurrentTime time)");
    db.transaction();
    query.prepare("insert into GoNGRecorder values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int row = 0; row < StepRows; ++row) {
        const int step = row % 50;
        query.addBindValue(step + 1);
        query.addBindValue(QStringLiteral("GoNG%1").arg(row / 50));
        query.addBindValue(1);
        query.addBindValue(0.5 * step);
        query.addBindValue(0.123 + step * 0.001);
        query.addBindValue(0.2);
        query.addBindValue(0.1);
        query.addBindValue(1.5);
        query.addBindValue(step % 7 == 0 ? QStringLiteral("No Pass") : QStringLiteral("Pass"));
        query.addBindValue(QStringLiteral("2024-03-%1").arg(1 + row / 5000, 2, 10, QChar(u'0')));
        query.addBindValue(QStringLiteral("10:%1:00.000").arg(row % 60, 2, 10, QChar(u'0')));
        query.exec();
    }
    db.commit();

    g_table = std::make_unique<StepTable>();
    g_table->model.setQuery(QStringLiteral("select * from GoNGRecorder"), db);
    g_table->view.setModel(&g_table->model);
    while (g_table->model.canFetchMore())
        g_table->model.fetchMore();
    return *g_table;
}

void BM_ExportText(benchmark::State& state)
{
    StepTable& table = stepTable();
    QTemporaryDir dir;
    TDBGridExport exporter;
    exporter.Show_Progress = state.range(0) != 0;
    exporter.TxtFileName = dir.filePath(QStringLiteral("steps.txt"));
    for (auto _ : state)
        exporter.ExportToText(&table.view, false);
    state.counters["rows"] = StepRows;
}
BENCHMARK(BM_ExportText)->ArgName("progress")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ExportWorkbook(benchmark::State& state)
{
    StepTable& table = stepTable();
    QTemporaryDir dir;
    TDBGridExport exporter;
    exporter.Show_Progress = state.range(0) != 0;
    const QString path = dir.filePath(QStringLiteral("steps.xlsx"));
    exporter.chooseWorkbookFile = [&] { return path; };
    exporter.openWorkbook = [](const QString&) {};
    for (auto _ : state)
        exporter.ExportToExcel(&table.view);
    state.counters["rows"] = StepRows;
}
BENCHMARK(BM_ExportWorkbook)->ArgName("progress")->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    Ansi::setCodePage(QStringLiteral("windows-1252"));
    return runBenchmarks(argc, argv, [] {
        g_table.reset();
        QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    });
}
