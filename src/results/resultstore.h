#pragma once

#include "sequencing/steps.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <utility>

// The identity of one recorded run: its header row and all of its step rows carry the same
// triple. Names alone are not unique; the millisecond time separates runs of one name.
struct RunKey
{
    QString Name;
    QDate CurrentDate;
    QTime CurrentTime; // millisecond resolution

    bool operator==(const RunKey&) const = default;
};

// One row of the step table GoNGRecorder, in the table's column order.
struct GoNGStepRow
{
    int Order = 0; // 1-based position of the step in the GO/NG list
    QString Name;
    int Channel = 1;    // 1 to 3
    double Setting = 0; // V
    double Real = 0;    // A, 0 when no measurement arrived
    double Max = 0;     // A
    double Min = 0;     // A
    double Delay = 0;   // s
    QString Pass;       // "Pass" or "No Pass"
    QDate CurrentDate;
    QTime CurrentTime;

    RunKey key() const { return {Name, CurrentDate, CurrentTime}; }
    bool operator==(const GoNGStepRow&) const = default;
};

// SQL text with its named parameters (":Name" is bound as "Name"), in the order they appear.
struct SqlStatement
{
    QString text;
    QList<std::pair<QString, QVariant>> parameters;
};

// The four filters of the results browser; a filter that is not ticked is ignored.
struct SearchFilters
{
    bool byName = false;
    QString name;
    bool byPass = false;
    bool passed = true; // true looks for "Pass", false for "No Pass"
    bool byDate = false;
    QDate oldDate;
    QDate newDate;
    bool byTime = false;
    QTime oldTime;
    QTime newTime;
};

// What Report, Delete and Export act on: the run under the grid's cursor or every listed run.
enum class RunScope
{
    CurrentLine,
    AllLines
};

inline constexpr const char* ResultsConnectionName = "GoNGRecorder";
inline constexpr const char* ResultsDatabaseFileName = "GoNGRecorder.db";

// The stored forms of dates and times: fixed-width text, so that text comparison in SQL is
// chronological and the statements compare them as they stand.
QString StoredDateText(const QDate& date); // yyyy-MM-dd
QString StoredTimeText(const QTime& time); // HH:mm:ss.zzz
QDate DateFromStoredText(const QString& text);
QTime TimeFromStoredText(const QString& text);

// The header search of the results browser: the ticked filters in the order Name, Pass, Date,
// Time, each a parenthesised condition joined with " and "; no filter lists every run.
SqlStatement BuildSearchStatement(const SearchFilters& filters);

// "All Lines" groups more runs into one statement than the engine takes (three parameters per
// run, and each " Or " nests the expression one level deeper, which SQLite stops at 1000), so the
// groups are split into statements of at most this many runs, run inside one transaction. The
// engine looks named parameters up one by one, so preparing a batch costs the square of its
// size; a hundred keeps that small beside the work of the statement itself.
inline constexpr int TriplesPerStatement = 100;

// The step-row selection for Report and Export. CurrentLine takes the first run only and gives
// the single-run statement; AllLines gives the OR'ed groups, k counting on across the batches.
QList<SqlStatement> BuildStepRowStatements(RunScope scope, const QList<RunKey>& runs);
// The deletes of the runs: every step-row statement before every header statement.
QList<SqlStatement> BuildDeleteStatements(RunScope scope, const QList<RunKey>& runs);

// The GO/NG results database: one SQLite file in the program folder holding the header table
// GoNGDateType and the step table GoNGRecorder, on the connection "GoNGRecorder". Every write is
// one transaction, so a run or a delete is stored whole or not at all. Failures throw
// VoltarisError naming the database file and carrying the engine's message. UI thread only; one
// store per process, as the connection name is fixed.
class ResultStore
{
public:
    explicit ResultStore(QString folder);
    ~ResultStore();
    ResultStore(const ResultStore&) = delete;
    ResultStore& operator=(const ResultStore&) = delete;

    QString folder() const { return m_folder; }
    QString databasePath() const;

    // Opens the connection unless it is already open on the file, and creates the tables and
    // their indexes when they are missing. An open connection is kept so that the queries of an
    // open results browser stay valid across a recording.
    void OpenResultsDatabase();

    // Stores one completed run: a step row per step in list order (Order from 1) and the header
    // row, all with the date and time of now and the trimmed name. The header says "Pass" when
    // every step's Pass flag is 1. Channel is the channel the run was made on, 1 to 3.
    void RecordGoNGRun(const QString& nameBoxText, const QList<GoNgStep>& steps,
                       const QDateTime& now, int channel);

    // Executes a header statement and returns the active, scrollable query for a grid's model.
    QSqlQuery Execute(const SqlStatement& statement);
    // The runs a header statement lists, in its order.
    QList<RunKey> ListedRuns(const SqlStatement& search);
    // The distinct run names of the header table in the order of their first appearance,
    // compared exactly (case-sensitive).
    QStringList DistinctRunNames();

    QList<GoNGStepRow> StepRows(RunScope scope, const QList<RunKey>& runs);
    // Deletes the runs' step rows and header rows in one transaction.
    void DeleteRuns(RunScope scope, const QList<RunKey>& runs);

private:
    QString m_folder;
};
