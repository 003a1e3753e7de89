#include "results/resultstore.h"
#include "results/runnaming.h"

#include "platform/errors.h"

#include "testsupport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(SearchFilters)

namespace {

QSqlDatabase db()
{
    return QSqlDatabase::database(QLatin1String(ResultsConnectionName));
}

void exec(const QString& sql)
{
    QSqlQuery query(db());
    QVERIFY2(query.exec(sql), qPrintable(query.lastError().text() + " in " + sql));
}

// Every row of a table as its column texts joined by "|", in rowid order.
QStringList tableRows(const QString& table)
{
    QSqlQuery query(db());
    if (!query.exec("select * from " + table + " order by rowid"))
        return {"error: " + query.lastError().text()};
    QStringList rows;
    while (query.next()) {
        QStringList cells;
        for (int c = 0; c < query.record().count(); ++c)
            cells << query.value(c).toString();
        rows << cells.join('|');
    }
    return rows;
}

int count(const QString& table)
{
    QSqlQuery query(db());
    query.exec("select count(*) from " + table);
    query.next();
    return query.value(0).toInt();
}

QStringList columnsOf(const QString& table)
{
    QSqlQuery query(db());
    query.exec("pragma table_info(" + table + ")");
    QStringList names;
    while (query.next())
        names << query.value(1).toString();
    return names;
}

GoNgStep step(double setting, double real, quint8 pass)
{
    GoNgStep s;
    s.Setting = setting;
    s.Max = setting / 10 + 0.5;
    s.Min = setting / 10;
    s.Delay = 0.25;
    s.Real = real;
    s.Pass = pass;
    return s;
}

QDateTime at(int day, int h, int m, int s = 0, int ms = 0)
{
    return QDateTime(QDate(2026, 3, day), QTime(h, m, s, ms));
}

// "Name hh:mm:ss.zzz" for a header or step key, so that expected runs read at a glance.
QString label(const RunKey& key)
{
    return key.Name + ' ' + StoredTimeText(key.CurrentTime);
}

QStringList labels(const QList<RunKey>& keys)
{
    QStringList out;
    for (const RunKey& key : keys)
        out << label(key);
    out.sort();
    return out;
}

// A store in a fresh program folder, opened.
struct StoreFixture
{
    QTemporaryDir dir;
    std::unique_ptr<ResultStore> store;

    StoreFixture()
    {
        store = std::make_unique<ResultStore>(dir.path());
        store->OpenResultsDatabase();
    }

    // Runs whose filters are easy to tell apart: names, days, times and verdicts all vary, and
    // "alpha" differs from "Alpha" only in case.
    void recordKnownRuns()
    {
        store->RecordGoNGRun("Alpha", {step(1, 0.2, 1)}, at(1, 8, 30), 1);
        store->RecordGoNGRun("Alpha", {step(1, 0.2, 1), step(2, 0, 0)}, at(2, 13, 0), 1);
        store->RecordGoNGRun("Beta", {step(3, 0.4, 1)}, at(2, 10, 15, 0, 250), 2);
        store->RecordGoNGRun("Beta", {step(4, 9, 0)}, at(3, 7, 59, 59, 999), 2);
        store->RecordGoNGRun("Gamma", {step(5, 0.6, 1)}, at(4, 12, 0), 3);
        store->RecordGoNGRun("alpha", {step(6, 0.7, 1)}, at(3, 9, 0), 1);
    }
};

SearchFilters byName(const QString& name)
{
    SearchFilters f;
    f.byName = true;
    f.name = name;
    return f;
}

SearchFilters byPass(bool passed, SearchFilters f = {})
{
    f.byPass = true;
    f.passed = passed;
    return f;
}

SearchFilters byDate(int fromDay, int toDay, SearchFilters f = {})
{
    f.byDate = true;
    f.oldDate = QDate(2026, 3, fromDay);
    f.newDate = QDate(2026, 3, toDay);
    return f;
}

SearchFilters byTime(QTime from, QTime to, SearchFilters f = {})
{
    f.byTime = true;
    f.oldTime = from;
    f.newTime = to;
    return f;
}

} // namespace

class TestResultStore : public QObject
{
    Q_OBJECT
private slots:
    void createsBothTablesWithTheirColumnsInOrder()
    {
        StoreFixture f;
        QVERIFY(QFile::exists(f.dir.filePath("GoNGRecorder.db")));
        QCOMPARE(columnsOf("GoNGDateType"),
                 QStringList({"Name", "CurrentDate", "CurrentTime", "Pass"}));
        QCOMPARE(columnsOf("GoNGRecorder"),
                 QStringList({"Order", "Name", "Channel", "Setting", "Real", "Max", "Min", "Delay",
                              "Pass", "CurrentDate", "CurrentTime"}));
        QSqlQuery mode(db());
        QVERIFY(mode.exec("pragma journal_mode"));
        QVERIFY(mode.next());
        QCOMPARE(mode.value(0).toString(), QString("wal"));
    }

    void keepsRowsAcrossReopening()
    {
        QTemporaryDir dir;
        {
            ResultStore store(dir.path());
            store.RecordGoNGRun("GoNG", {step(1, 0.2, 1)}, at(1, 8, 0), 1);
        }
        ResultStore store(dir.path());
        store.OpenResultsDatabase();
        QCOMPARE(count("GoNGDateType"), 1);
        QCOMPARE(count("GoNGRecorder"), 1);
    }

    void anUnusableFolderNamesTheDatabaseFile()
    {
        QTemporaryDir dir;
        const QString notAFolder = dir.filePath("plain");
        QFile file(notAFolder);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        ResultStore store(notAFolder);
        const QString error = errorOf([&] { store.OpenResultsDatabase(); });
        QVERIFY2(error.contains(notAFolder + "/GoNGRecorder.db"), qPrintable(error));
    }

    void recordsTheHeaderAndOneRowPerStepWithOneTriple()
    {
        StoreFixture f;
        GoNgStep unmeasured = step(12.5, 0, 0);
        // Recorded one millisecond before midnight: every row still carries the same day.
        f.store->RecordGoNGRun(" \t GoNG7  \x01",
                               {step(5, 0.75, 1), unmeasured, step(0.5, 0.06, 1)},
                               QDateTime(QDate(2026, 1, 5), QTime(23, 59, 59, 999)), 2);
        QCOMPARE(tableRows("GoNGRecorder"),
                 QStringList({"1|GoNG7|2|5|0.75|1|0.5|0.25|Pass|2026-01-05|23:59:59.999",
                              "2|GoNG7|2|12.5|0|1.75|1.25|0.25|No Pass|2026-01-05|23:59:59.999",
                              "3|GoNG7|2|0.5|0.06|0.55|0.05|0.25|Pass|2026-01-05|23:59:59.999"}));
        QCOMPARE(tableRows("GoNGDateType"), QStringList({"GoNG7|2026-01-05|23:59:59.999|No Pass"}));
    }

    void headerVerdict_data()
    {
        QTest::addColumn<QList<quint8>>("passFlags");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("every step passed") << QList<quint8>{1, 1, 1} << "Pass";
        QTest::newRow("one step failed") << QList<quint8>{1, 0, 1} << "No Pass";
        QTest::newRow("only flag 1 passes") << QList<quint8>{1, 2} << "No Pass";
    }

    void headerVerdict()
    {
        QFETCH(QList<quint8>, passFlags);
        QFETCH(QString, verdict);
        StoreFixture f;
        QList<GoNgStep> steps;
        for (quint8 flag : passFlags)
            steps << step(1, 0.2, flag);
        f.store->RecordGoNGRun("Run", steps, at(1, 9, 0), 1);
        QCOMPARE(tableRows("GoNGDateType"),
                 QStringList({"Run|2026-03-01|09:00:00.000|" + verdict}));
    }

    void aRefusedInsertLeavesNoRowOfTheRun_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("third step") << "create trigger refuse before insert on GoNGRecorder "
                                       "when new.\"Order\" = 3 begin select raise(abort, "
                                       "'insert refused'); end";
        QTest::newRow("header") << "create trigger refuse before insert on GoNGDateType "
                                   "begin select raise(abort, 'insert refused'); end";
    }

    void aRefusedInsertLeavesNoRowOfTheRun()
    {
        QFETCH(QString, trigger);
        StoreFixture f;
        f.store->RecordGoNGRun("Earlier", {step(1, 0.2, 1)}, at(1, 8, 0), 1);
        exec(trigger);
        const QString error = errorOf([&] {
            f.store->RecordGoNGRun("Later", {step(1, 0.2, 1), step(2, 0.3, 1), step(3, 0.4, 1)},
                                   at(1, 9, 0), 1);
        });
        QVERIFY2(error.contains("insert refused"), qPrintable(error));
        QVERIFY2(error.contains("GoNGRecorder.db"), qPrintable(error));
        QCOMPARE(tableRows("GoNGDateType"), QStringList({"Earlier|2026-03-01|08:00:00.000|Pass"}));
        QCOMPARE(count("GoNGRecorder"), 1);
        exec("drop trigger refuse");
        f.store->RecordGoNGRun("Later", {step(1, 0.2, 1)}, at(1, 9, 0), 1);
        QCOMPARE(count("GoNGDateType"), 2);
    }

    void rejectsAChannelOutsideOneToThree()
    {
        StoreFixture f;
        QVERIFY(!errorOf([&] {
                     f.store->RecordGoNGRun("Run", {step(1, 0, 0)}, at(1, 9, 0), 4);
                 }).isEmpty());
        QCOMPARE(count("GoNGDateType"), 0);
    }

    // --- naming ---

    void composeRunName_data()
    {
        QTest::addColumn<bool>("autoName");
        QTest::addColumn<QString>("base");
        QTest::addColumn<int>("counter");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("expected");
        QTest::newRow("auto, counter 0") << true << "GoNG" << 0 << "GoNG"
                                         << "GoNG0";
        QTest::newRow("auto, no separator") << true << "Board" << 12 << "x"
                                            << "Board12";
        QTest::newRow("auto after GoNG0 became the base") << true << "GoNG0" << 1 << "GoNG0"
                                                          << "GoNG01";
        QTest::newRow("auto keeps the base's blanks") << true << " A " << 2 << ""
                                                      << " A 2";
        QTest::newRow("manual leaves the box alone") << false << "GoNG" << 5 << "  mine "
                                                     << "  mine ";
    }

    void composeRunName()
    {
        QFETCH(bool, autoName);
        QFETCH(QString, base);
        QFETCH(int, counter);
        QFETCH(QString, current);
        QFETCH(QString, expected);
        QCOMPARE(ComposeRunName(autoName, base, counter, current), expected);
    }

    void trimRunName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks around") << "   GoNG  "
                                       << "GoNG";
        QTest::newRow("control characters") << "\t\r\n\x1fGoNG\x01"
                                            << "GoNG";
        QTest::newRow("inner blanks stay") << " a  b "
                                           << "a  b";
        QTest::newRow("only blanks") << "  \t "
                                     << "";
        QTest::newRow("no-break space is text")
            << QString(QChar(0xa0)) + "x" << QString(QChar(0xa0)) + "x";
    }

    void trimRunName()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(TrimRunName(text), expected);
    }

    void counterNeverGoesBelowZeroAndAdvancesByOne()
    {
        QCOMPARE(ClampRunCounter(-7), 0);
        QCOMPARE(ClampRunCounter(0), 0);
        QCOMPARE(ClampRunCounter(9), 9);
        QCOMPARE(NextRunCounter("0"), 1);
        QCOMPARE(NextRunCounter(" 41 "), 42);
        QCOMPARE(errorOf([] { NextRunCounter("4x"); }),
                 QString("'4x' is not a valid integer value"));
        QVERIFY(!errorOf([] { NextRunCounter("2147483647"); }).isEmpty());
    }

    // The recorder's round in "Auto Name" mode: the name is composed when the panel opens, each
    // recorded run advances the counter, and runs from one open panel share their name.
    void autoNamedRunsFromOnePanelShareTheNameAndSkipNumbers()
    {
        StoreFixture f;
        int counter = 0;
        const QString base = "GoNG";
        QString nameBox = ComposeRunName(true, base, counter, "GoNG");
        QCOMPARE(nameBox, QString("GoNG0"));
        f.store->RecordGoNGRun(nameBox, {step(1, 0.2, 1)}, at(1, 9, 0), 1);
        counter = NextRunCounter(QString::number(counter));
        f.store->RecordGoNGRun(nameBox, {step(1, 0.2, 1)}, at(1, 9, 5), 1);
        counter = NextRunCounter(QString::number(counter));
        QCOMPARE(counter, 2);
        QCOMPARE(tableRows("GoNGDateType"), QStringList({"GoNG0|2026-03-01|09:00:00.000|Pass",
                                                         "GoNG0|2026-03-01|09:05:00.000|Pass"}));
        QCOMPARE(ComposeRunName(true, base, counter, nameBox), QString("GoNG2"));
    }

    // --- the browser's searches ---

    void searchStatement_data()
    {
        QTest::addColumn<SearchFilters>("filters");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        const QString all = "select * from GoNGDateType";
        const QString name = "(Name=:Name)";
        const QString pass = "(Pass=:passed)";
        const QString date = "(CurrentDate>=:OldDate And CurrentDate<=:NewDate)";
        const QString time = "(CurrentTime>=:OldTime And CurrentTime<=:NewTime)";
        const QTime eight(8, 0), noon(12, 0);
        QTest::newRow("no filter lists every run")
            << SearchFilters{} << all
            << QStringList{"Alpha 08:30:00.000", "Alpha 13:00:00.000", "Beta 10:15:00.250",
                           "Beta 07:59:59.999",  "Gamma 12:00:00.000", "alpha 09:00:00.000"};
        QTest::newRow("name, case-sensitive")
            << byName("Alpha") << all + " where " + name
            << QStringList{"Alpha 08:30:00.000", "Alpha 13:00:00.000"};
        QTest::newRow("empty name finds nothing")
            << byName("") << all + " where " + name << QStringList{};
        QTest::newRow("Pass") << byPass(true) << all + " where " + pass
                              << QStringList{"Alpha 08:30:00.000", "Beta 10:15:00.250",
                                             "Gamma 12:00:00.000", "alpha 09:00:00.000"};
        QTest::newRow("Not Pass is stored No Pass")
            << byPass(false) << all + " where " + pass
            << QStringList{"Alpha 13:00:00.000", "Beta 07:59:59.999"};
        QTest::newRow("date range") << byDate(2, 3) << all + " where " + date
                                    << QStringList{"Alpha 13:00:00.000", "Beta 10:15:00.250",
                                                   "Beta 07:59:59.999", "alpha 09:00:00.000"};
        QTest::newRow("one-day range") << byDate(2, 2) << all + " where " + date
                                       << QStringList{"Alpha 13:00:00.000", "Beta 10:15:00.250"};
        QTest::newRow("reversed range finds nothing")
            << byDate(3, 2) << all + " where " + date << QStringList{};
        QTest::newRow("time range, bounds inclusive")
            << byTime(eight, noon) << all + " where " + time
            << QStringList{"Alpha 08:30:00.000", "Beta 10:15:00.250", "Gamma 12:00:00.000",
                           "alpha 09:00:00.000"};
        QTest::newRow("mornings of three days")
            << byTime(eight, noon, byDate(1, 3)) << all + " where " + date + " and " + time
            << QStringList{"Alpha 08:30:00.000", "Beta 10:15:00.250", "alpha 09:00:00.000"};
        QTest::newRow("name and verdict")
            << byPass(false, byName("Alpha")) << all + " where " + name + " and " + pass
            << QStringList{"Alpha 13:00:00.000"};
        QTest::newRow("verdict, date and time")
            << byTime(QTime(7, 0), noon, byDate(2, 4, byPass(false)))
            << all + " where " + pass + " and " + date + " and " + time
            << QStringList{"Beta 07:59:59.999"};
        QTest::newRow("all four") << byTime(eight, noon, byDate(1, 4, byPass(true, byName("Beta"))))
                                  << all + " where " + name + " and " + pass + " and " + date +
                                         " and " + time
                                  << QStringList{"Beta 10:15:00.250"};
    }

    void searchStatement()
    {
        QFETCH(SearchFilters, filters);
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        StoreFixture f;
        f.recordKnownRuns();
        const SqlStatement statement = BuildSearchStatement(filters);
        QCOMPARE(statement.text, text);
        // No order is asked for, so the runs are compared as a set.
        found.sort();
        QCOMPARE(labels(f.store->ListedRuns(statement)), found);
    }

    void searchBindsStoredTexts()
    {
        const SqlStatement statement =
            BuildSearchStatement(byTime(QTime(8, 0), QTime(12, 0, 5), byDate(1, 3, byPass(false))));
        const QList<std::pair<QString, QVariant>> expected{{"passed", "No Pass"},
                                                           {"OldDate", "2026-03-01"},
                                                           {"NewDate", "2026-03-03"},
                                                           {"OldTime", "08:00:00.000"},
                                                           {"NewTime", "12:00:05.000"}};
        QCOMPARE(statement.parameters, expected);
    }

    void distinctNamesInOrderOfFirstAppearance()
    {
        StoreFixture f;
        f.store->RecordGoNGRun("Beta", {}, at(1, 8, 0), 1);
        f.store->RecordGoNGRun("Alpha", {}, at(1, 9, 0), 1);
        f.store->RecordGoNGRun("Beta", {}, at(1, 10, 0), 1);
        f.store->RecordGoNGRun("alpha", {}, at(1, 11, 0), 1);
        QCOMPARE(f.store->DistinctRunNames(), QStringList({"Beta", "Alpha", "alpha"}));
    }

    // --- step rows and deletes ---

    void stepRowStatementsAsTheBrowserBuildsThem()
    {
        const RunKey first{"A", QDate(2026, 3, 1), QTime(8, 0, 0, 5)};
        const RunKey second{"B", QDate(2026, 3, 2), QTime(9, 0)};
        const QList<SqlStatement> current =
            BuildStepRowStatements(RunScope::CurrentLine, {first, second});
        QCOMPARE(current.size(), 1);
        QCOMPARE(current[0].text,
                 QString("select * from GoNGRecorder where (Name=:Name) and "
                         "(CurrentDate=:CurrentDate) and (CurrentTime=:CurrentTime)"));
        const QList<std::pair<QString, QVariant>> currentParameters{
            {"Name", "A"}, {"CurrentDate", "2026-03-01"}, {"CurrentTime", "08:00:00.005"}};
        QCOMPARE(current[0].parameters, currentParameters);

        const QList<SqlStatement> all = BuildStepRowStatements(RunScope::AllLines, {first, second});
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].text,
                 QString("select * from GoNGRecorder Where ((Name=:Name0) and "
                         "(CurrentDate=:CurrentDate0) and (CurrentTime=:CurrentTime0)) Or "
                         "((Name=:Name1) and (CurrentDate=:CurrentDate1) and "
                         "(CurrentTime=:CurrentTime1))"));
        QCOMPARE(all[0].parameters.size(), 6);
        QCOMPARE(all[0].parameters[3], std::make_pair(QString("Name1"), QVariant("B")));

        QVERIFY(BuildStepRowStatements(RunScope::AllLines, {}).isEmpty());
    }

    void allLinesSplitsIntoBatchesThatNumberOn()
    {
        QList<RunKey> runs;
        for (int i = 0; i < TriplesPerStatement + 1; ++i)
            runs.append({"R", QDate(2026, 3, 1), QTime(0, 0).addMSecs(i)});
        const QList<SqlStatement> select = BuildStepRowStatements(RunScope::AllLines, runs);
        QCOMPARE(select.size(), 2);
        QCOMPARE(select[0].parameters.size(), 3 * TriplesPerStatement);
        const QString k = QString::number(TriplesPerStatement);
        QCOMPARE(select[1].text, "select * from GoNGRecorder Where ((Name=:Name" + k +
                                     ") and (CurrentDate=:CurrentDate" + k +
                                     ") and (CurrentTime=:CurrentTime" + k + "))");

        const QList<SqlStatement> deletes = BuildDeleteStatements(RunScope::AllLines, runs);
        QCOMPARE(deletes.size(), 4);
        QVERIFY(deletes[0].text.startsWith("delete from GoNGRecorder Where ((Name=:Name0)"));
        QVERIFY(deletes[1].text.startsWith("delete from GoNGRecorder Where ((Name=:Name" + k));
        QVERIFY(deletes[2].text.startsWith("delete from GoNGDateType Where ((Name=:Name0)"));
        QVERIFY(deletes[3].text.startsWith("delete from GoNGDateType Where ((Name=:Name" + k));

        const QList<SqlStatement> single = BuildDeleteStatements(RunScope::CurrentLine, runs);
        QCOMPARE(single.size(), 2);
        QCOMPARE(single[0].text,
                 QString("delete from GoNGRecorder where (Name=:Name) and "
                         "(CurrentDate=:CurrentDate) and (CurrentTime=:CurrentTime)"));
        QCOMPARE(single[1].text,
                 QString("delete from GoNGDateType where (Name=:Name) and "
                         "(CurrentDate=:CurrentDate) and (CurrentTime=:CurrentTime)"));
    }

    void stepRowsOfTheCurrentRunOrOfTheListedRuns()
    {
        StoreFixture f;
        f.recordKnownRuns();
        const RunKey later{"Alpha", QDate(2026, 3, 2), QTime(13, 0)};
        const QList<GoNGStepRow> current = f.store->StepRows(RunScope::CurrentLine, {later});
        QCOMPARE(current.size(), 2);
        QCOMPARE(current[0].Order, 1);
        QCOMPARE(current[1].Order, 2);
        QCOMPARE(current[1].Setting, 2.0);
        QCOMPARE(current[1].Pass, QString("No Pass"));
        QCOMPARE(current[1].key(), later);

        // A search that lists three runs, one of them with two steps.
        const QList<RunKey> listed = f.store->ListedRuns(BuildSearchStatement(byDate(1, 2)));
        QCOMPARE(listed.size(), 3);
        QList<RunKey> stepKeys;
        for (const GoNGStepRow& row : f.store->StepRows(RunScope::AllLines, listed))
            stepKeys.append(row.key());
        QCOMPARE(labels(stepKeys), QStringList({"Alpha 08:30:00.000", "Alpha 13:00:00.000",
                                                "Alpha 13:00:00.000", "Beta 10:15:00.250"}));
    }

    void deleteTheCurrentRunKeepsOtherRunsOfItsName()
    {
        StoreFixture f;
        f.recordKnownRuns();
        f.store->DeleteRuns(RunScope::CurrentLine, {{"Alpha", QDate(2026, 3, 2), QTime(13, 0)}});
        QCOMPARE(labels(f.store->ListedRuns(BuildSearchStatement(byName("Alpha")))),
                 QStringList({"Alpha 08:30:00.000"}));
        QCOMPARE(count("GoNGDateType"), 5);
        QCOMPARE(count("GoNGRecorder"), 5);
    }

    void deleteAllListedRunsFromBothTables()
    {
        StoreFixture f;
        f.recordKnownRuns();
        const QList<RunKey> listed = f.store->ListedRuns(BuildSearchStatement(byDate(2, 3)));
        f.store->DeleteRuns(RunScope::AllLines, listed);
        QCOMPARE(labels(f.store->ListedRuns(BuildSearchStatement({}))),
                 QStringList({"Alpha 08:30:00.000", "Gamma 12:00:00.000"}));
        QCOMPARE(count("GoNGRecorder"), 2);
    }

    void aRefusedHeaderDeleteKeepsTheStepRows()
    {
        StoreFixture f;
        f.recordKnownRuns();
        exec("create trigger keep before delete on GoNGDateType begin "
             "select raise(abort, 'delete refused'); end");
        const QString error = errorOf([&] {
            f.store->DeleteRuns(RunScope::AllLines, f.store->ListedRuns(BuildSearchStatement({})));
        });
        QVERIFY2(error.contains("delete refused"), qPrintable(error));
        QCOMPARE(count("GoNGRecorder"), 7);
        QCOMPARE(count("GoNGDateType"), 6);
    }

    // More listed runs than the engine binds parameters in one statement: report and delete
    // still see every run.
    void allLinesBeyondTheEnginesParameterLimit()
    {
        StoreFixture f;
        const QVariant handle = db().driver()->handle();
        QCOMPARE(handle.typeName(), "sqlite3*");
        sqlite3* raw = *static_cast<sqlite3* const*>(handle.constData());
        const int limit = sqlite3_limit(raw, SQLITE_LIMIT_VARIABLE_NUMBER, -1);
        const int runs = limit / 3 + 1;

        QVERIFY(db().transaction());
        QSqlQuery header(db());
        header.prepare("insert into GoNGDateType values (?, ?, ?, ?)");
        QSqlQuery row(db());
        row.prepare("insert into GoNGRecorder values (1, ?, 1, 1, 0.1, 0.2, 0, 1, 'Pass', ?, ?)");
        for (int i = 0; i < runs; ++i) {
            const QString name = "R" + QString::number(i % 97);
            const QString date = StoredDateText(QDate(2026, 1, 1).addDays(i % 300));
            const QString time = StoredTimeText(QTime(0, 0).addMSecs(i));
            header.addBindValue(name);
            header.addBindValue(date);
            header.addBindValue(time);
            header.addBindValue("Pass");
            QVERIFY(header.exec());
            row.addBindValue(name);
            row.addBindValue(date);
            row.addBindValue(time);
            QVERIFY(row.exec());
        }
        QVERIFY(db().commit());

        const QList<RunKey> listed = f.store->ListedRuns(BuildSearchStatement({}));
        QCOMPARE(listed.size(), runs);
        QVERIFY(3 * listed.size() > limit);
        QCOMPARE(f.store->StepRows(RunScope::AllLines, listed).size(), runs);
        f.store->DeleteRuns(RunScope::AllLines, listed);
        QCOMPARE(count("GoNGDateType"), 0);
        QCOMPARE(count("GoNGRecorder"), 0);
    }
};

QTEST_GUILESS_MAIN(TestResultStore)
#include "tst_resultstore.moc"
