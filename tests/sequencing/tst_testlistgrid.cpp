#include "platform/errors.h"
#include "sequencing/dlgfixedselect.h"
#include "sequencing/testlistgrid.h"
#include "settings/loadsource.h"
#include "widgets/analogoutput.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Kind = TestListGrid::Kind;
using Command = TestListGrid::Command;

Q_DECLARE_METATYPE(TestListGrid::Kind)

namespace {

const TLoadSource& english()
{
    static const TLoadSource texts = [] {
        TLoadSource source;
        source.LoadBuiltInEnglish();
        return source;
    }();
    return texts;
}

ProgramStep programStep(double voltage, double current, double delay)
{
    ProgramStep step;
    step.Voltage = voltage;
    step.Current = current;
    step.Delay = delay;
    return step;
}

GoNgStep goNgStep(double setting, double max, double min, double delay, double real = 0,
                  quint8 pass = 0)
{
    GoNgStep step;
    step.Setting = setting;
    step.Max = max;
    step.Min = min;
    step.Delay = delay;
    step.Real = real;
    step.Pass = pass;
    return step;
}

// A grid as the main window builds it (hidden Qt headers, header texts in row 0), shown
// offscreen, bound to one channel's lists with 32 V / 3 A limits.
struct GridFixture
{
    QTableWidget table;
    TestListGrid grid;
    QList<ProgramStep> program;
    QList<GoNgStep> goNg;

    explicit GridFixture(Kind kind)
        : table(1, kind == Kind::Program ? 4 : 7), grid(kind, &table, english())
    {
        table.horizontalHeader()->hide();
        table.verticalHeader()->hide();
        const QList<int> keys = kind == Kind::Program ? QList<int>{111, 7, 8, 12}
                                                      : QList<int>{53, 54, 55, 56, 57, 58, 59};
        for (int column = 0; column < keys.size(); ++column)
            table.setItem(0, column, new QTableWidgetItem(english().GetText(keys[column])));
        grid.setList(&program);
        grid.setList(&goNg);
        grid.setLimits(32, 3);
        table.resize(700, 400);
        table.show();
    }

    QString cell(int row, int column) const
    {
        const QTableWidgetItem* item = table.item(row, column);
        return item ? item->text() : QStringLiteral("<none>");
    }
    void setCell(int row, int column, const QString& text)
    {
        table.item(row, column)->setText(text);
    }
    void select(int left, int top, int right, int bottom)
    {
        table.setCurrentCell(top, left);
        table.clearSelection();
        table.setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
    }

    // Types text into a cell through the grid's own editor, ended with Return.
    void typeInto(int row, int column, const QString& text)
    {
        table.setCurrentCell(row, column);
        table.editItem(table.item(row, column));
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (!editor)
            editor = table.viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits a Return through a queued call.
        QCoreApplication::processEvents();
    }

    QStringList visibleActions() const
    {
        QStringList names;
        for (int i = 0; i < TestListGrid::CommandCount; ++i) {
            if (grid.action(Command(i))->isVisible())
                names.append(grid.action(Command(i))->text());
        }
        return names;
    }
};

QList<double> voltages(const QList<ProgramStep>& steps)
{
    QList<double> values;
    for (const ProgramStep& step : steps)
        values.append(step.Voltage);
    return values;
}

} // namespace

class TestTestListGrid : public QObject
{
    Q_OBJECT
private slots:
    void refillProgram();
    void refillGoNg();
    void emptyListOffersOnlyAppend();
    void takeProgram_data();
    void takeProgram();
    void takeGoNgNeverReadsRealOrPass();
    void takeGuardKeepsList_data();
    void takeGuardKeepsList();
    void unreadableCellLeavesListWhole();
    void editingChecks_data();
    void editingChecks();
    void menuVisibility_data();
    void menuVisibility();
    void menuFollowsSelection();
    void insertLineOnFirstRow();
    void deleteLine();
    void commandsTakeBeforeShow();
    void appendSelect();
    void fill_data();
    void fill();
    void fillCancelledOrRepeated();
    void fillOnGoNgRealChangesOnlyCells();
    void copyPasteRoundTrip();
    void pasteFromSpreadsheetKeepsOutOfLimitValues();
    void goNgPressRule_data();
    void goNgPressRule();
    void gridHtmlAndPrint();
    void setCurrentRow();
    void fillDialog();
};

void TestTestListGrid::refillProgram()
{
    GridFixture f(Kind::Program);
    f.program = {programStep(12.5, 1.25, 1), programStep(0.1 + 0.2, 3, 2.5)};
    f.grid.show();

    QCOMPARE(f.table.rowCount(), 3);
    const QStringList expected[] = {{"No.", "Voltage(V)", "Current(A)", "Time(S)"},
                                    {"1", "12.5", "1.25", "1"},
                                    {"2", "0.3", "3", "2.5"}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            QCOMPARE(f.cell(row, column), expected[row][column]);

    QCOMPARE(f.table.item(0, 1)->flags() & Qt::ItemIsEditable, Qt::NoItemFlags);
    QCOMPARE(f.table.item(2, 0)->flags() & Qt::ItemIsEditable, Qt::NoItemFlags);
    QVERIFY(f.table.item(1, 1)->flags() & Qt::ItemIsEditable);
    QVERIFY(f.table.editTriggers() & QAbstractItemView::AnyKeyPressed);
    QCOMPARE(f.table.selectionMode(), QAbstractItemView::ContiguousSelection);
    QVERIFY(f.table.tabKeyNavigation());

    // A shorter list drops the rows beyond it.
    f.program.removeLast();
    f.grid.show();
    QCOMPARE(f.table.rowCount(), 2);
    QCOMPARE(f.cell(1, 1), "12.5");
}

void TestTestListGrid::refillGoNg()
{
    GridFixture f(Kind::GoNg);
    f.goNg = {goNgStep(5, 1.5, 0.5, 2, 0.75, 1), goNgStep(10, 0.2, 0.1, 1, 0, 0)};
    f.grid.show();

    const QStringList expected[] = {
        {"No.", "Setting(V)", "Real(A)", "Max(A)", "Min(A)", "Delay(S)", "Pass"},
        {"1", "5", "0.75", "1.5", "0.5", "2", "Pass"},
        {"2", "10", "0", "0.2", "0.1", "1", "No Pass"}};
    QCOMPARE(f.table.rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 7; ++column)
            QCOMPARE(f.cell(row, column), expected[row][column]);
}

void TestTestListGrid::emptyListOffersOnlyAppend()
{
    GridFixture f(Kind::GoNg);
    f.goNg = {goNgStep(5, 1, 0, 1)};
    f.grid.show();
    f.goNg.clear();
    f.grid.show();

    QCOMPARE(f.table.rowCount(), 1);
    QCOMPARE(f.cell(0, 1), "Setting(V)");
    QCOMPARE(f.table.editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(f.table.selectionMode(), QAbstractItemView::SingleSelection);
    f.grid.prepareMenu();
    QCOMPARE(f.visibleActions(), QStringList{"AppendLine"});

    // InsertLine and DeleteLine have nothing to act on.
    f.grid.insertLine();
    f.grid.deleteLine();
    QVERIFY(f.goNg.isEmpty());
    f.grid.appendLine();
    QCOMPARE(f.goNg.size(), 1);
    QCOMPARE(f.goNg[0].Delay, 1.0);
    QCOMPARE(f.cell(1, 5), "1");
}

void TestTestListGrid::takeProgram_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("voltage point") << 1 << "12.5" << 12.5;
    QTest::newRow("voltage comma") << 1 << "12,5" << 12.5;
    QTest::newRow("voltage no sign") << 1 << "-2" << 0.2;
    QTest::newRow("current two separators") << 2 << "1.2.3" << 1.23;
    QTest::newRow("current no digit") << 2 << "abc" << 0.0;
    QTest::newRow("delay empty") << 3 << "" << 0.0;
    QTest::newRow("delay six fraction digits") << 3 << "1.23456789" << 1.234567;
}

void TestTestListGrid::takeProgram()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(double, expected);

    GridFixture f(Kind::Program);
    f.program = {programStep(5, 1, 2), programStep(6, 2, 3)};
    f.program[1].Reserved = 7;
    f.grid.show();
    f.setCell(2, column, text);
    f.grid.take();

    const double read[] = {0, f.program[1].Voltage, f.program[1].Current, f.program[1].Delay};
    QCOMPARE(read[column], expected);
    QCOMPARE(f.program[1].Reserved, quint8(0));
    QCOMPARE(voltages(f.program).first(), 5.0);
}

void TestTestListGrid::takeGoNgNeverReadsRealOrPass()
{
    GridFixture f(Kind::GoNg);
    f.goNg = {goNgStep(5, 1.5, 0.5, 2, 0.75, 1)};
    f.grid.show();
    const QStringList typed = {"1", "6", "9", "2.5", "0.25", "3", "No Pass"};
    for (int column = 1; column < 7; ++column)
        f.setCell(1, column, typed[column]);
    f.grid.take();

    const GoNgStep& step = f.goNg[0];
    QCOMPARE(step.Setting, 6.0);
    QCOMPARE(step.Max, 2.5);
    QCOMPARE(step.Min, 0.25);
    QCOMPARE(step.Delay, 3.0);
    QCOMPARE(step.Real, 0.75);
    QCOMPARE(step.Pass, quint8(1));
}

void TestTestListGrid::takeGuardKeepsList_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("firstCell");
    QTest::addColumn<bool>("read");

    QTest::newRow("program zero") << Kind::Program << "0" << false;
    QTest::newRow("program below 0.001") << Kind::Program << "0.0009" << false;
    QTest::newRow("program no digit") << Kind::Program << "x" << false;
    QTest::newRow("program exactly 0.001") << Kind::Program << "0.001" << true;
    QTest::newRow("GO/NG below 0.001") << Kind::GoNg << "0,0001" << false;
    QTest::newRow("GO/NG exactly 0.001") << Kind::GoNg << "0.001" << true;
}

void TestTestListGrid::takeGuardKeepsList()
{
    QFETCH(Kind, kind);
    QFETCH(QString, firstCell);
    QFETCH(bool, read);

    GridFixture f(kind);
    f.program = {programStep(5, 1, 2), programStep(6, 2, 3)};
    f.goNg = {goNgStep(5, 1, 0.5, 2), goNgStep(6, 2, 1, 3)};
    f.grid.show();
    f.setCell(1, 1, firstCell);
    f.setCell(2, kind == Kind::Program ? 3 : 5, "9");
    f.grid.take();

    const double secondDelay = kind == Kind::Program ? f.program[1].Delay : f.goNg[1].Delay;
    QCOMPARE(secondDelay, read ? 9.0 : 3.0);
    if (!read) {
        f.grid.show();
        QCOMPARE(f.cell(1, 1), "5");
        QCOMPARE(f.cell(2, kind == Kind::Program ? 3 : 5), "3");
    }
}

void TestTestListGrid::unreadableCellLeavesListWhole()
{
    GridFixture f(Kind::Program);
    f.program = {programStep(5, 1, 2), programStep(6, 2, 3)};
    f.grid.show();
    f.setCell(1, 1, "7");
    f.setCell(2, 2, "99999999999");

    QVERIFY_THROWS_EXCEPTION(VoltarisError, f.grid.take());
    QCOMPARE(voltages(f.program), (QList<double>{5, 6}));

    // Through the menu the failure is reported and the command does nothing.
    QSignalSpy failed(&f.grid, &TestListGrid::failed);
    f.grid.action(Command::AppendLine)->trigger();
    QCOMPARE(failed.size(), 1);
    QVERIFY(failed.first().first().toString().contains("99999999999"));
    QCOMPARE(f.program.size(), 2);
}

void TestTestListGrid::editingChecks_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cell");

    QTest::newRow("program voltage above max") << Kind::Program << 1 << "40"
                                               << "32";
    QTest::newRow("program voltage at max") << Kind::Program << 1 << "32"
                                            << "32";
    QTest::newRow("program voltage below max") << Kind::Program << 1 << "31.5"
                                               << "31.5";
    QTest::newRow("program current above max") << Kind::Program << 2 << "3.5"
                                               << "3";
    QTest::newRow("program delay below 1") << Kind::Program << 3 << "0.5"
                                           << "1";
    QTest::newRow("program delay no digit") << Kind::Program << 3 << "abc"
                                            << "1";
    QTest::newRow("program delay above 1") << Kind::Program << 3 << "2,5"
                                           << "2,5";
    QTest::newRow("GO/NG setting above max") << Kind::GoNg << 1 << "40"
                                             << "32";
    QTest::newRow("GO/NG real no rule") << Kind::GoNg << 2 << "99"
                                        << "99";
    QTest::newRow("GO/NG max above max current") << Kind::GoNg << 3 << "9"
                                                 << "3";
    QTest::newRow("GO/NG min above max current") << Kind::GoNg << 4 << "4"
                                                 << "3";
    QTest::newRow("GO/NG min above Max accepted") << Kind::GoNg << 4 << "2"
                                                  << "2";
    QTest::newRow("GO/NG delay below 1") << Kind::GoNg << 5 << "0.5"
                                         << "1";
    QTest::newRow("GO/NG pass no rule") << Kind::GoNg << 6 << "0"
                                        << "0";
}

void TestTestListGrid::editingChecks()
{
    QFETCH(Kind, kind);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, cell);

    GridFixture f(kind);
    f.program = {programStep(5, 1, 2)};
    f.goNg = {goNgStep(5, 1, 0.5, 2)};
    f.grid.show();
    f.typeInto(1, column, typed);

    QCOMPARE(f.cell(1, column), cell);
    // The rule changes the cell only.
    QCOMPARE(f.program[0].Voltage, 5.0);
    QCOMPARE(f.goNg[0].Setting, 5.0);
    QCOMPARE(f.goNg[0].Delay, 2.0);
}

void TestTestListGrid::menuVisibility_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QList<int>>("rect"); // left, top, right, bottom
    QTest::addColumn<int>("rows");
    // Initials of the commands shown, in Command order: Append, Insert, Delete, Copy, Paste,
    // appendSelect (s), Fill, Print.
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty list") << Kind::GoNg << QList<int>{1, 1, 1, 1} << 1 << "A";
    QTest::newRow("one cell") << Kind::GoNg << QList<int>{2, 3, 2, 3} << 5 << "AIDP";
    QTest::newRow("one row, several columns")
        << Kind::Program << QList<int>{1, 2, 3, 2} << 5 << "AIDsP";
    QTest::newRow("one column, several rows")
        << Kind::GoNg << QList<int>{3, 1, 3, 4} << 5 << "CPFP";
    QTest::newRow("several columns and rows") << Kind::GoNg << QList<int>{2, 1, 3, 4} << 5 << "CPP";
    QTest::newRow("GO/NG Setting to Min") << Kind::GoNg << QList<int>{1, 2, 4, 3} << 5 << "CPsP";
    QTest::newRow("GO/NG Setting to Pass") << Kind::GoNg << QList<int>{1, 2, 6, 3} << 5 << "CPP";
    QTest::newRow("program all value columns")
        << Kind::Program << QList<int>{1, 2, 3, 3} << 5 << "CPsP";
    QTest::newRow("program from column 2") << Kind::Program << QList<int>{2, 2, 3, 3} << 5 << "CPP";
}

void TestTestListGrid::menuVisibility()
{
    QFETCH(Kind, kind);
    QFETCH(QList<int>, rect);
    QFETCH(int, rows);
    QFETCH(QString, shown);

    const TestListGrid::MenuVisibility visible =
        TestListGrid::menuVisibility(kind, rect[0], rect[1], rect[2], rect[3], rows);
    const char initials[] = "AIDCPsFP";
    QString got;
    for (int i = 0; i < TestListGrid::CommandCount; ++i) {
        if (visible[i])
            got += QLatin1Char(initials[i]);
    }
    QCOMPARE(got, shown);
}

void TestTestListGrid::menuFollowsSelection()
{
    GridFixture f(Kind::Program);
    QCOMPARE(f.grid.action(Command::AppendLine)->objectName(), "MenuListItemAppend");
    QCOMPARE(f.grid.action(Command::PasteSelect)->objectName(), "MenuItemListItemPaustSel");
    QCOMPARE(f.grid.action(Command::Fill)->objectName(), "MenuListItemFixedby");
    QStringList layout;
    for (QAction* action : f.grid.menu()->actions())
        layout.append(action->isSeparator() ? "-" : action->text());
    QCOMPARE(layout, (QStringList{"AppendLine", "InsertLine", "DeleteLine", "-", "CopySelect",
                                  "PasteSelect", "AppendSelect", "-", "Fill...", "-", "Print"}));

    f.program = {programStep(1, 1, 1), programStep(2, 1, 1), programStep(3, 1, 1)};
    f.grid.show();
    f.select(2, 1, 2, 3);
    f.grid.prepareMenu();
    QCOMPARE(f.visibleActions(), (QStringList{"CopySelect", "PasteSelect", "Fill...", "Print"}));
    // A drag that starts on the number column selects from column 1.
    f.select(0, 2, 3, 2);
    f.grid.prepareMenu();
    QCOMPARE(f.visibleActions(),
             (QStringList{"AppendLine", "InsertLine", "DeleteLine", "AppendSelect", "Print"}));

    GridFixture goNg(Kind::GoNg);
    QCOMPARE(goNg.grid.action(Command::Fill)->objectName(), "MenuItemGoNgFixedBy");
    QCOMPARE(goNg.grid.action(Command::Print)->objectName(), "MenuItemGoNgPrint");
}

void TestTestListGrid::insertLineOnFirstRow()
{
    GridFixture f(Kind::Program);
    f.program = {programStep(1, 1, 2), programStep(2, 1, 2)};
    f.grid.show();
    f.table.setCurrentCell(1, 2);
    f.grid.insertLine();

    QCOMPARE(voltages(f.program), (QList<double>{0, 1, 2}));
    QCOMPARE(f.program[0].Delay, 1.0);
    QCOMPARE(f.table.rowCount(), 4);
    QCOMPARE(f.cell(3, 0), "3");
    QCOMPARE(f.cell(2, 1), "1");

    f.table.setCurrentCell(3, 1);
    f.grid.insertLine();
    QCOMPARE(voltages(f.program), (QList<double>{0, 1, 0, 2}));
}

void TestTestListGrid::deleteLine()
{
    GridFixture f(Kind::GoNg);
    f.goNg = {goNgStep(1, 1, 0, 1), goNgStep(2, 1, 0, 1), goNgStep(3, 1, 0, 1)};
    f.grid.show();
    QSignalSpy changed(&f.grid, &TestListGrid::listChanged);
    f.table.setCurrentCell(2, 1);
    f.grid.deleteLine();

    QCOMPARE(f.goNg.size(), 2);
    QCOMPARE(f.goNg[1].Setting, 3.0);
    QCOMPARE(f.cell(2, 1), "3");
    QCOMPARE(f.cell(2, 0), "2");
    QCOMPARE(changed.size(), 1);

    // Deleting the last row leaves the current cell on the new last row.
    f.table.setCurrentCell(2, 1);
    f.grid.deleteLine();
    QCOMPARE(f.goNg.size(), 1);
    QCOMPARE(f.table.currentRow(), 1);
}

void TestTestListGrid::commandsTakeBeforeShow()
{
    GridFixture f(Kind::Program);
    f.program = {programStep(1, 1, 2)};
    f.grid.show();
    f.typeInto(1, 1, "7.5");
    f.grid.appendLine();

    QCOMPARE(voltages(f.program), (QList<double>{7.5, 0}));
    QCOMPARE(f.cell(1, 1), "7.5");
    QCOMPARE(f.cell(2, 3), "1");
}

void TestTestListGrid::appendSelect()
{
    GridFixture f(Kind::Program);
    f.program = {programStep(1, 0.1, 1), programStep(2, 0.2, 2), programStep(3, 0.3, 3)};
    f.grid.show();
    f.select(1, 2, 3, 3);
    QSignalSpy changed(&f.grid, &TestListGrid::listChanged);
    f.grid.action(Command::AppendSelect)->trigger();

    QCOMPARE(voltages(f.program), (QList<double>{1, 2, 3, 2, 3}));
    QCOMPARE(f.program[4].Delay, 3.0);
    QCOMPARE(f.table.rowCount(), 6);
    QCOMPARE(f.cell(5, 2), "0.3");
    QCOMPARE(changed.size(), 1);
}

void TestTestListGrid::fill_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("column");
    QTest::addColumn<double>("entered");
    QTest::addColumn<QString>("cell");

    QTest::newRow("program voltage bounded") << Kind::Program << 1 << 40.0 << "32";
    QTest::newRow("program current bounded") << Kind::Program << 2 << 5.0 << "3";
    QTest::newRow("program current inside") << Kind::Program << 2 << 1.2345 << "1.2345";
    QTest::newRow("program delay at least 1") << Kind::Program << 3 << 0.5 << "1";
    QTest::newRow("GO/NG setting bounded") << Kind::GoNg << 1 << 33.0 << "32";
    QTest::newRow("GO/NG min bounded") << Kind::GoNg << 4 << 3.5 << "3";
    QTest::newRow("GO/NG delay at least 1") << Kind::GoNg << 5 << 0.25 << "1";
    QTest::newRow("GO/NG pass not bounded") << Kind::GoNg << 6 << 40.0 << "40";
}

void TestTestListGrid::fill()
{
    QFETCH(Kind, kind);
    QFETCH(int, column);
    QFETCH(double, entered);
    QFETCH(QString, cell);

    GridFixture f(kind);
    f.program = {programStep(1, 1, 2), programStep(2, 1, 2), programStep(3, 1, 2)};
    f.goNg = {goNgStep(1, 1, 0, 2), goNgStep(2, 1, 0, 2), goNgStep(3, 1, 0, 2)};
    f.grid.show();
    TFormFixedSelect dialog(english());
    int shown = 0;
    f.grid.setFillDialog(&dialog, [&](TFormFixedSelect& d) {
        ++shown;
        d.iAnalogOutputFixed->setValue(entered);
        return int(QDialog::Accepted);
    });
    f.select(column, 2, column, 3);
    f.grid.action(Command::Fill)->trigger();

    QCOMPARE(shown, 1);
    QCOMPARE(dialog.iAnalogOutputFixed->precision(), 4);
    QCOMPARE(f.cell(2, column), cell);
    QCOMPARE(f.cell(3, column), cell);
    QVERIFY(f.cell(1, column) != cell);
    // The bounded value is what the entry offers next time.
    QCOMPARE(dialog.value(), cell.toDouble());
    // Only the grid changed.
    QCOMPARE(voltages(f.program), (QList<double>{1, 2, 3}));
    QCOMPARE(f.goNg[2].Delay, 2.0);
}

void TestTestListGrid::fillCancelledOrRepeated()
{
    GridFixture f(Kind::Program);
    f.program = {programStep(1, 1, 2), programStep(2, 1, 2)};
    f.grid.show();
    TFormFixedSelect dialog(english());
    QCOMPARE(dialog.value(), 0.0);
    int result = QDialog::Rejected;
    f.grid.setFillDialog(&dialog, [&](TFormFixedSelect&) { return result; });

    dialog.setValue(9);
    f.select(1, 1, 1, 2);
    f.grid.fill();
    QCOMPARE(f.cell(1, 1), "1");
    QCOMPARE(f.cell(2, 1), "2");

    // Accepting unchanged writes the value of the last use.
    result = QDialog::Accepted;
    f.select(2, 1, 2, 2);
    f.grid.fill();
    QCOMPARE(f.cell(1, 2), "3");
    QCOMPARE(f.cell(2, 2), "3");
}

void TestTestListGrid::fillOnGoNgRealChangesOnlyCells()
{
    GridFixture f(Kind::GoNg);
    f.goNg = {goNgStep(1, 1, 0, 2, 0.5, 1), goNgStep(2, 1, 0, 2, 0.6, 0)};
    f.grid.show();
    TFormFixedSelect dialog(english());
    f.grid.setFillDialog(&dialog, [](TFormFixedSelect& d) {
        d.setValue(7);
        return int(QDialog::Accepted);
    });
    f.select(2, 1, 2, 2);
    f.grid.fill();
    QCOMPARE(f.cell(1, 2), "7");
    QCOMPARE(f.cell(2, 2), "7");

    f.grid.take();
    f.grid.show();
    QCOMPARE(f.cell(1, 2), "0.5");
    QCOMPARE(f.cell(2, 2), "0.6");
    QCOMPARE(f.cell(1, 6), "Pass");
}

void TestTestListGrid::copyPasteRoundTrip()
{
    GridFixture f(Kind::Program);
    f.program = {programStep(1, 0.5, 2), programStep(2, 1.5, 3), programStep(3, 1, 1),
                 programStep(4, 1, 1), programStep(5, 1, 1)};
    f.grid.show();
    f.select(1, 1, 3, 2);
    f.grid.action(Command::CopySelect)->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), "1\t0.5\t2\n2\t1.5\t3");

    // Pasted into a selection from its top-left; what lies outside the selection stays.
    f.select(1, 3, 3, 4);
    f.grid.action(Command::PasteSelect)->trigger();
    QCOMPARE(f.cell(3, 1), "1");
    QCOMPARE(f.cell(3, 2), "0.5");
    QCOMPARE(f.cell(4, 3), "3");
    QCOMPARE(f.cell(5, 1), "5");

    // A narrower selection takes only its part of the block.
    f.select(2, 4, 2, 5);
    f.grid.pasteSelect();
    QCOMPARE(f.cell(4, 2), "1");
    QCOMPARE(f.cell(5, 2), "2");
    QCOMPARE(f.cell(4, 3), "3");

    // Paste only changes cells; the list has them at the next take.
    QCOMPARE(voltages(f.program), (QList<double>{1, 2, 3, 4, 5}));
    f.grid.take();
    QCOMPARE(voltages(f.program), (QList<double>{1, 2, 1, 2, 5}));
    QCOMPARE(f.program[4].Current, 2.0);
}

void TestTestListGrid::pasteFromSpreadsheetKeepsOutOfLimitValues()
{
    GridFixture f(Kind::GoNg);
    f.goNg = {goNgStep(1, 1, 0, 2), goNgStep(2, 1, 0, 2)};
    f.grid.show();
    QGuiApplication::clipboard()->setText("40\tx\t9\t8\r\n41\ty\t7\t6\r\n");
    f.select(1, 1, 4, 2);
    f.grid.pasteSelect();
    f.grid.take();

    QCOMPARE(f.goNg[0].Setting, 40.0);
    QCOMPARE(f.goNg[0].Max, 9.0);
    QCOMPARE(f.goNg[1].Min, 6.0);
    QCOMPARE(f.goNg[0].Real, 0.0);
}

void TestTestListGrid::goNgPressRule_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("editing");

    QTest::newRow("GO/NG Setting") << Kind::GoNg << 1 << true;
    QTest::newRow("GO/NG Min") << Kind::GoNg << 4 << true;
    QTest::newRow("GO/NG Delay") << Kind::GoNg << 5 << false;
    QTest::newRow("GO/NG Pass") << Kind::GoNg << 6 << false;
    QTest::newRow("program Delay") << Kind::Program << 3 << true;
}

void TestTestListGrid::goNgPressRule()
{
    QFETCH(Kind, kind);
    QFETCH(int, column);
    QFETCH(bool, editing);

    GridFixture f(kind);
    f.program = {programStep(1, 1, 2), programStep(2, 1, 2)};
    f.goNg = {goNgStep(1, 1, 0, 2), goNgStep(2, 1, 0, 2)};
    f.grid.show();
    const QPoint at = f.table.visualItemRect(f.table.item(2, column)).center();
    QTest::mouseClick(f.table.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(f.table.currentColumn(), column);
    QCOMPARE(f.table.editTriggers() != QAbstractItemView::NoEditTriggers, editing);
    QCOMPARE(f.table.selectionMode(), QAbstractItemView::ContiguousSelection);

    // A press on the number column keeps the current column's rule.
    const QPoint number = f.table.visualItemRect(f.table.item(1, 0)).center();
    QTest::mouseClick(f.table.viewport(), Qt::LeftButton, {}, number);
    QCOMPARE(f.table.editTriggers() != QAbstractItemView::NoEditTriggers, editing);
}

void TestTestListGrid::gridHtmlAndPrint()
{
    GridFixture f(Kind::GoNg);
    f.goNg = {goNgStep(5, 1.5, 0.5, 2, 0.75, 1), goNgStep(10, 0.2, 0.1, 1)};
    f.grid.show();
    const QString html = f.grid.gridHtml();
    QVERIFY(html.contains("<tr><th>No.</th><th>Setting(V)</th><th>Real(A)</th><th>Max(A)</th>"
                          "<th>Min(A)</th><th>Delay(S)</th><th>Pass</th></tr>"));
    QVERIFY(html.contains("<tr><td>1</td><td>5</td><td>0.75</td><td>1.5</td><td>0.5</td>"
                          "<td>2</td><td>Pass</td></tr>"));
    QVERIFY(html.contains("<tr><td>2</td><td>10</td><td>0</td><td>0.2</td><td>0.1</td>"
                          "<td>1</td><td>No Pass</td></tr>"));
    QCOMPARE(html.count("<tr>"), 3);

    QTemporaryDir dir;
    const QString pdf = dir.filePath("grid.pdf");
    bool accept = false;
    f.grid.setPrintDialogRunner([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return accept;
    });
    f.grid.print();
    QVERIFY(!QFile::exists(pdf));
    accept = true;
    f.grid.action(Command::Print)->trigger();
    QVERIFY(QFileInfo(pdf).size() > 0);
}

void TestTestListGrid::setCurrentRow()
{
    GridFixture f(Kind::GoNg);
    f.goNg = {goNgStep(1, 1, 0, 2), goNgStep(2, 1, 0, 2), goNgStep(3, 1, 0, 2)};
    f.grid.show();
    f.grid.setCurrentRow(3);
    QCOMPARE(f.table.currentRow(), 3);
    QVERIFY(f.table.item(3, f.table.currentColumn())->isSelected());
    f.grid.setCurrentRow(4);
    f.grid.setCurrentRow(0);
    QCOMPARE(f.table.currentRow(), 3);
}

void TestTestListGrid::fillDialog()
{
    TFormFixedSelect dialog(english());
    QCOMPARE(dialog.windowTitle(), "Fill...");
    auto* label = dialog.findChild<QLabel*>("TeThemeLabelFillValue");
    QVERIFY(label);
    QCOMPARE(label->text(), "FillValue");
    auto* ok = dialog.findChild<QPushButton*>("tbOk");
    QVERIFY(ok);
    QCOMPARE(ok->text(), "Ok");
    QVERIFY(ok->isDefault());
    QVERIFY(dialog.findChild<AnalogOutput*>("iAnalogOutputFixed"));
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint));

    // Return in the entry takes the typed value and presses "Ok".
    dialog.show();
    auto* edit = dialog.iAnalogOutputFixed->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, "12,34567");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.value(), 12.3457);

    // Closing the window is no "Ok".
    dialog.show();
    dialog.close();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestTestListGrid)
#include "tst_testlistgrid.moc"
