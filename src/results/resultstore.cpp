#include "resultstore.h"

#include "results/runnaming.h"

#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd");
const QString timeFormat = QStringLiteral("HH:mm:ss.zzz");

const QString passText = QStringLiteral("Pass");
const QString noPassText = QStringLiteral("No Pass");

// Every column is quoted: "Order" is an SQL keyword, and Real, Max and Min are names of types
// and functions that a later engine might reserve.
const char* const schema[] = {
    R"(create table if not exists GoNGDateType ("Name" text, "CurrentDate" text, )"
    R"("CurrentTime" text, "Pass" text))",
    R"(create table if not exists GoNGRecorder ("Order" integer, "Name" text, "Channel" integer, )"
    R"("Setting" real, "Real" real, "Max" real, "Min" real, "Delay" real, "Pass" text, )"
    R"("CurrentDate" text, "CurrentTime" text))",
    // The triple serves the name filter, name and date together, and every lookup and delete of
    // a run; the date index serves the date and time filters without a name.
    R"(create index if not exists GoNGDateTypeRun on GoNGDateType ("Name", "CurrentDate", )"
    R"("CurrentTime"))",
    R"(create index if not exists GoNGDateTypeWhen on GoNGDateType ("CurrentDate", "CurrentTime"))",
    R"(create index if not exists GoNGRecorderRun on GoNGRecorder ("Name", "CurrentDate", )"
    R"("CurrentTime"))",
};

const QString runCondition =
    QStringLiteral("(Name=:Name) and (CurrentDate=:CurrentDate) and (CurrentTime=:CurrentTime)");

void bindRun(SqlStatement& statement, const RunKey& run, const QString& suffix)
{
    statement.parameters.append({QStringLiteral("Name") + suffix, run.Name});
    statement.parameters.append(
        {QStringLiteral("CurrentDate") + suffix, StoredDateText(run.CurrentDate)});
    statement.parameters.append(
        {QStringLiteral("CurrentTime") + suffix, StoredTimeText(run.CurrentTime)});
}

SqlStatement singleRunStatement(const QString& head, const RunKey& run)
{
    SqlStatement statement{head + QStringLiteral(" where ") + runCondition, {}};
    bindRun(statement, run, QString());
    return statement;
}

// The "All Lines" groups, numbered on from k = 0 across the batches so that each run keeps the
// parameter names it would have in one long statement.
QList<SqlStatement> groupedStatements(const QString& head, const QList<RunKey>& runs)
{
    QList<SqlStatement> statements;
    for (qsizetype first = 0; first < runs.size(); first += TriplesPerStatement) {
        const qsizetype end = std::min<qsizetype>(runs.size(), first + TriplesPerStatement);
        SqlStatement statement{head + QStringLiteral(" Where "), {}};
        statement.text.reserve(statement.text.size() + (end - first) * 96);
        statement.parameters.reserve((end - first) * 3);
        for (qsizetype k = first; k < end; ++k) {
            const QString n = QString::number(k);
            statement.text += k == first ? u"((Name=:Name" : u" Or ((Name=:Name";
            statement.text += n;
            statement.text += u") and (CurrentDate=:CurrentDate";
            statement.text += n;
            statement.text += u") and (CurrentTime=:CurrentTime";
            statement.text += n;
            statement.text += u"))";
            bindRun(statement, runs.at(k), n);
        }
        statements.append(statement);
    }
    return statements;
}

QList<SqlStatement> scopedStatements(const QString& head, RunScope scope, const QList<RunKey>& runs)
{
    if (runs.isEmpty())
        return {};
    if (scope == RunScope::CurrentLine)
        return {singleRunStatement(head, runs.first())};
    return groupedStatements(head, runs);
}

QSqlDatabase connection()
{
    return QSqlDatabase::database(QLatin1String(ResultsConnectionName), false);
}

[[noreturn]] void fail(const QString& databasePath, const QSqlError& error)
{
    QString reason = error.databaseText();
    if (reason.isEmpty())
        reason = error.text();
    if (reason.trimmed().isEmpty())
        reason = QStringLiteral("unknown database error");
    throw VoltarisError(QStringLiteral("Results database \"%1\": %2")
                            .arg(QDir::toNativeSeparators(databasePath), reason));
}

// Rolls back unless committed, so that an exception anywhere leaves the tables as they were.
class Transaction
{
public:
    Transaction(QSqlDatabase db, QString path) : m_db(std::move(db)), m_path(std::move(path))
    {
        if (!m_db.transaction())
            fail(m_path, m_db.lastError());
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction()
    {
        if (!m_done)
            m_db.rollback();
    }
    void commit()
    {
        if (!m_db.commit())
            fail(m_path, m_db.lastError());
        m_done = true;
    }

private:
    QSqlDatabase m_db;
    QString m_path;
    bool m_done = false;
};

void prepareAndBind(QSqlQuery& query, const SqlStatement& statement, const QString& path)
{
    if (!query.prepare(statement.text))
        fail(path, query.lastError());
    // Each name appears once, in the order of the list, so binding by position is exact and
    // spares the name lookups that make an "All Lines" batch quadratic.
    for (qsizetype i = 0; i < statement.parameters.size(); ++i)
        query.bindValue(int(i), statement.parameters.at(i).second);
}

void execute(QSqlQuery& query, const SqlStatement& statement, const QString& path)
{
    prepareAndBind(query, statement, path);
    if (!query.exec())
        fail(path, query.lastError());
}

} // namespace

// The stored forms are written and read by hand: QDate::toString and fromString parse their
// format on every call, which dominates the walk over a hundred thousand listed runs.
namespace {

void putDigits(QChar*& out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = QChar(u'0' + value % 10);
        value /= 10;
    }
    out += width;
}

// Reads width digits at text[at]; -1 when one of them is not a digit.
int digitsAt(const QString& text, qsizetype at, int width)
{
    int value = 0;
    for (int i = 0; i < width; ++i) {
        const char16_t c = text.at(at + i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

QString StoredDateText(const QDate& date)
{
    if (!date.isValid() || date.year() < 0 || date.year() > 9999)
        return date.toString(dateFormat);
    QString text(10, Qt::Uninitialized);
    QChar* out = text.data();
    putDigits(out, date.year(), 4);
    *out++ = u'-';
    putDigits(out, date.month(), 2);
    *out++ = u'-';
    putDigits(out, date.day(), 2);
    return text;
}

QString StoredTimeText(const QTime& time)
{
    if (!time.isValid())
        return time.toString(timeFormat);
    QString text(12, Qt::Uninitialized);
    QChar* out = text.data();
    putDigits(out, time.hour(), 2);
    *out++ = u':';
    putDigits(out, time.minute(), 2);
    *out++ = u':';
    putDigits(out, time.second(), 2);
    *out++ = u'.';
    putDigits(out, time.msec(), 3);
    return text;
}

QDate DateFromStoredText(const QString& text)
{
    if (text.size() != 10 || text.at(4) != u'-' || text.at(7) != u'-')
        return {};
    const int year = digitsAt(text, 0, 4);
    const int month = digitsAt(text, 5, 2);
    const int day = digitsAt(text, 8, 2);
    if (year < 0 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day);
}

QTime TimeFromStoredText(const QString& text)
{
    if (text.size() != 12 || text.at(2) != u':' || text.at(5) != u':' || text.at(8) != u'.')
        return {};
    const int hour = digitsAt(text, 0, 2);
    const int minute = digitsAt(text, 3, 2);
    const int second = digitsAt(text, 6, 2);
    const int ms = digitsAt(text, 9, 3);
    if (hour < 0 || minute < 0 || second < 0 || ms < 0)
        return {};
    return QTime(hour, minute, second, ms);
}

SqlStatement BuildSearchStatement(const SearchFilters& filters)
{
    SqlStatement statement{QStringLiteral("select * from GoNGDateType"), {}};
    bool first = true;
    auto add = [&](const QString& condition) {
        statement.text += (first ? QStringLiteral(" where ") : QStringLiteral(" and ")) + condition;
        first = false;
    };
    if (filters.byName) {
        add(QStringLiteral("(Name=:Name)"));
        statement.parameters.append({QStringLiteral("Name"), filters.name});
    }
    if (filters.byPass) {
        add(QStringLiteral("(Pass=:passed)"));
        statement.parameters.append(
            {QStringLiteral("passed"), filters.passed ? passText : noPassText});
    }
    if (filters.byDate) {
        add(QStringLiteral("(CurrentDate>=:OldDate And CurrentDate<=:NewDate)"));
        statement.parameters.append({QStringLiteral("OldDate"), StoredDateText(filters.oldDate)});
        statement.parameters.append({QStringLiteral("NewDate"), StoredDateText(filters.newDate)});
    }
    if (filters.byTime) {
        add(QStringLiteral("(CurrentTime>=:OldTime And CurrentTime<=:NewTime)"));
        statement.parameters.append({QStringLiteral("OldTime"), StoredTimeText(filters.oldTime)});
        statement.parameters.append({QStringLiteral("NewTime"), StoredTimeText(filters.newTime)});
    }
    return statement;
}

QList<SqlStatement> BuildStepRowStatements(RunScope scope, const QList<RunKey>& runs)
{
    return scopedStatements(QStringLiteral("select * from GoNGRecorder"), scope, runs);
}

QList<SqlStatement> BuildDeleteStatements(RunScope scope, const QList<RunKey>& runs)
{
    QList<SqlStatement> statements =
        scopedStatements(QStringLiteral("delete from GoNGRecorder"), scope, runs);
    statements += scopedStatements(QStringLiteral("delete from GoNGDateType"), scope, runs);
    return statements;
}

ResultStore::ResultStore(QString folder) : m_folder(std::move(folder))
{
}

ResultStore::~ResultStore()
{
    if (!QSqlDatabase::contains(QLatin1String(ResultsConnectionName)))
        return;
    connection().close();
    QSqlDatabase::removeDatabase(QLatin1String(ResultsConnectionName));
}

QString ResultStore::databasePath() const
{
    return QDir(m_folder).filePath(QLatin1String(ResultsDatabaseFileName));
}

void ResultStore::OpenResultsDatabase()
{
    const QString path = databasePath();
    const QString name = QLatin1String(ResultsConnectionName);
    QSqlDatabase db =
        QSqlDatabase::contains(name) ? connection() : QSqlDatabase::addDatabase("QSQLITE", name);
    if (!db.isValid())
        fail(path, db.lastError());
    // A file deleted or replaced behind the program's back is opened afresh.
    if (db.isOpen() && db.databaseName() == path && QFileInfo::exists(path))
        return;
    db.close();
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open())
        fail(path, db.lastError());

    QSqlQuery query(db);
    // WAL keeps the file consistent through a crash and lets a search read while a run is
    // recorded; it is a property of the file, so it cannot be set inside the transaction.
    if (!query.exec(QStringLiteral("pragma journal_mode=WAL")))
        fail(path, query.lastError());
    // A delete of many runs touches pages all over both tables and their indexes; with the
    // default 2 MB cache it spills to the file several times over.
    if (!query.exec(QStringLiteral("pragma cache_size=-32768")))
        fail(path, query.lastError());
    Transaction transaction(db, path);
    for (const char* statement : schema) {
        if (!query.exec(QLatin1String(statement)))
            fail(path, query.lastError());
    }
    transaction.commit();
}

void ResultStore::RecordGoNGRun(const QString& nameBoxText, const QList<GoNgStep>& steps,
                                const QDateTime& now, int channel)
{
    if (channel < 1 || channel > 3)
        throw VoltarisError(QStringLiteral("Channel %1 is not one of 1, 2 and 3").arg(channel));
    OpenResultsDatabase();
    const QString path = databasePath();
    const QString name = TrimRunName(nameBoxText);
    // Read once, so that every row of the run carries the same triple even across midnight.
    const QString date = StoredDateText(now.date());
    const QString time = StoredTimeText(now.time());

    QSqlDatabase db = connection();
    Transaction transaction(db, path);
    QSqlQuery step(db);
    if (!step.prepare(QStringLiteral(
            R"(insert into GoNGRecorder ("Order", "Name", "Channel", "Setting", "Real", "Max", )"
            R"("Min", "Delay", "Pass", "CurrentDate", "CurrentTime") )"
            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
        fail(path, step.lastError());
    bool allPassed = true;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const GoNgStep& s = steps.at(i);
        const bool passed = s.Pass == 1;
        allPassed = allPassed && passed;
        step.bindValue(0, int(i + 1));
        step.bindValue(1, name);
        step.bindValue(2, channel);
        step.bindValue(3, s.Setting);
        step.bindValue(4, s.Real);
        step.bindValue(5, s.Max);
        step.bindValue(6, s.Min);
        step.bindValue(7, s.Delay);
        step.bindValue(8, passed ? passText : noPassText);
        step.bindValue(9, date);
        step.bindValue(10, time);
        if (!step.exec())
            fail(path, step.lastError());
    }
    QSqlQuery header(db);
    if (!header.prepare(QStringLiteral(R"(insert into GoNGDateType ("Name", "CurrentDate", )"
                                       R"("CurrentTime", "Pass") values (?, ?, ?, ?))")))
        fail(path, header.lastError());
    header.bindValue(0, name);
    header.bindValue(1, date);
    header.bindValue(2, time);
    header.bindValue(3, allPassed ? passText : noPassText);
    if (!header.exec())
        fail(path, header.lastError());
    transaction.commit();
}

QSqlQuery ResultStore::Execute(const SqlStatement& statement)
{
    QSqlQuery query(connection());
    execute(query, statement, databasePath());
    return query;
}

QList<RunKey> ResultStore::ListedRuns(const SqlStatement& search)
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    execute(query, search, databasePath());
    QList<RunKey> runs;
    while (query.next()) {
        runs.append({query.value(0).toString(), DateFromStoredText(query.value(1).toString()),
                     TimeFromStoredText(query.value(2).toString())});
    }
    if (query.lastError().isValid())
        fail(databasePath(), query.lastError());
    return runs;
}

QStringList ResultStore::DistinctRunNames()
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    // Rowid order is the order in which a plain "select *" walks the table.
    execute(query,
            {QStringLiteral("select Name from GoNGDateType group by Name order by min(rowid)"), {}},
            databasePath());
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    if (query.lastError().isValid())
        fail(databasePath(), query.lastError());
    return names;
}

QList<GoNGStepRow> ResultStore::StepRows(RunScope scope, const QList<RunKey>& runs)
{
    const QString path = databasePath();
    QSqlDatabase db = connection();
    // One read transaction, so the batches of "All Lines" see one state of the tables.
    Transaction transaction(db, path);
    QList<GoNGStepRow> rows;
    for (const SqlStatement& statement : BuildStepRowStatements(scope, runs)) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        execute(query, statement, path);
        while (query.next()) {
            GoNGStepRow row;
            row.Order = query.value(0).toInt();
            row.Name = query.value(1).toString();
            row.Channel = query.value(2).toInt();
            row.Setting = query.value(3).toDouble();
            row.Real = query.value(4).toDouble();
            row.Max = query.value(5).toDouble();
            row.Min = query.value(6).toDouble();
            row.Delay = query.value(7).toDouble();
            row.Pass = query.value(8).toString();
            row.CurrentDate = DateFromStoredText(query.value(9).toString());
            row.CurrentTime = TimeFromStoredText(query.value(10).toString());
            rows.append(row);
        }
        if (query.lastError().isValid())
            fail(path, query.lastError());
    }
    transaction.commit();
    return rows;
}

void ResultStore::DeleteRuns(RunScope scope, const QList<RunKey>& runs)
{
    const QString path = databasePath();
    QSqlDatabase db = connection();
    Transaction transaction(db, path);
    for (const SqlStatement& statement : BuildDeleteStatements(scope, runs)) {
        QSqlQuery query(db);
        execute(query, statement, path);
    }
    transaction.commit();
}
