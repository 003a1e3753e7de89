#pragma once

#include "sequencing/steps.h"

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QAction;
class QMenu;
class QPrinter;
class QTableWidget;
class TFormFixedSelect;
class TLoadSource;

// The view and editing commands of one test-list grid (program or GO/NG) over the selected
// channel's step list. The grid is a plain QTableWidget owned by the window: row 0 is the
// header row and column 0 the step numbers, both fixed; row k shows step k - 1. The grid is a
// view only: cell edits reach the list at take(), and show() refills the grid from the list.
class TestListGrid : public QObject
{
    Q_OBJECT
public:
    enum class Kind
    {
        Program,
        GoNg
    };

    // The context menu's items in menu order; the index is also the text key offset from 74.
    enum class Command
    {
        AppendLine,
        InsertLine,
        DeleteLine,
        CopySelect,
        PasteSelect,
        AppendSelect,
        Fill,
        Print
    };
    static constexpr int CommandCount = 8;

    // Which menu items are offered for a selection; indexed by Command.
    using MenuVisibility = std::array<bool, CommandCount>;

    // Columns of the program grid.
    static constexpr int ProgramVoltageColumn = 1;
    static constexpr int ProgramCurrentColumn = 2;
    static constexpr int ProgramDelayColumn = 3;
    // Columns of the GO/NG grid.
    static constexpr int GoNgSettingColumn = 1;
    static constexpr int GoNgRealColumn = 2;
    static constexpr int GoNgMaxColumn = 3;
    static constexpr int GoNgMinColumn = 4;
    static constexpr int GoNgDelayColumn = 5;
    static constexpr int GoNgPassColumn = 6;

    // Takes over the grid's behaviour (delegate, selection, context menu); the header row that
    // the window wrote stays as it is. texts must outlive this object.
    TestListGrid(Kind kind, QTableWidget* grid, const TLoadSource& texts,
                 QObject* parent = nullptr);

    Kind kind() const { return m_kind; }
    QTableWidget* grid() const { return m_grid; }

    // The selected channel's list, not owned; the one matching kind() is used. nullptr detaches.
    void setList(QList<ProgramStep>* steps);
    void setList(QList<GoNgStep>* steps);
    // The selected channel's limits: V and A.
    void setLimits(double maxVoltage, double maxCurrent);

    // The "Fill..." dialog, not owned, and how it is shown; runner returns the dialog's result
    // (QDialog::Accepted for "Ok"). An empty runner shows the dialog modally with exec().
    void setFillDialog(TFormFixedSelect* dialog,
                       std::function<int(TFormFixedSelect&)> runner = nullptr);
    // How "Print" asks for the printer; returns false when the operator cancels. An empty runner
    // shows the platform's print dialog.
    void setPrintDialogRunner(std::function<bool(QPrinter&)> runner);

    // Refill the grid from the list (ShowProgramList / ShowGoNgList).
    void show();
    // Read the grid back into the list (TakeProgramGrid / TakeGoNgGrid). Nothing is read when
    // the first value cell reads below 0.001. Throws VoltarisError quoting the cell text when a
    // cell's integer part is too large; the list is then left as it was.
    void take();

    // The selection as Left, Top, Right, Bottom in grid coordinates, never inside the fixed
    // header row or number column; the current cell when nothing is selected.
    struct Selection
    {
        int left = 1;
        int top = 1;
        int right = 1;
        int bottom = 1;
    };
    Selection selection() const;

    // Which items the context menu offers; rowCount counts the header row. The program grid
    // offers "AppendSelect" for a selection spanning all its value columns (1 to 3), the GO/NG
    // grid for one from Setting to Min (1 to 4).
    static MenuVisibility menuVisibility(Kind kind, int left, int top, int right, int bottom,
                                         int rowCount);

    QMenu* menu() const { return m_menu; }
    QAction* action(Command command) const { return m_actions[int(command)]; }
    // Shows and hides the menu items for the present selection; runs each time the menu opens.
    void prepareMenu();

    // The editing commands. Each that changes the list takes the grid before and shows it
    // after, and throws VoltarisError as take() does.
    void appendLine();
    void insertLine();
    void deleteLine();
    void appendSelect();
    // These change cells only; the list receives them at the next take().
    void copySelect() const;
    void pasteSelect();
    void fill();
    void print();

    // The whole grid as an HTML table, header row and number column included: what "Print"
    // prints.
    QString gridHtml() const;

    // The run panels mark the step being run: row k (1-based step number).
    void setCurrentRow(int row);

    // Editing checks for a cell whose edit just ended; the delegate calls it. Changes only the
    // cell, bounding it to the channel's limits.
    void editingDone(int row, int column);

signals:
    // The list was changed by an editing command.
    void listChanged();
    // A command could not complete; message is meant for the error box as it stands.
    void failed(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    void runCommand(Command command);
    void applyEditOptions(bool editing);
    int stepCount() const;
    int columnCount() const;
    double cellValue(int row, int column) const;
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);
    QStringList rowTexts(int index) const;
    void appendCopy(int index);

    Kind m_kind;
    QTableWidget* m_grid = nullptr;
    const TLoadSource& m_texts;
    QList<ProgramStep>* m_programSteps = nullptr;
    QList<GoNgStep>* m_goNgSteps = nullptr;
    double m_maxVoltage = 0; // V
    double m_maxCurrent = 0; // A
    TFormFixedSelect* m_fillDialog = nullptr;
    std::function<int(TFormFixedSelect&)> m_fillRunner;
    std::function<bool(QPrinter&)> m_printRunner;
    QMenu* m_menu = nullptr;
    std::array<QAction*, CommandCount> m_actions{};
    QString m_passText;
    QString m_noPassText;
};
