#include "testlistgrid.h"

#include "platform/decimal.h"
#include "platform/errors.h"
#include "sequencing/dlgfixedselect.h"
#include "settings/loadsource.h"
#include "widgets/analogoutput.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTextDocument>

#include <algorithm>
#include <optional>

namespace {

constexpr int firstMenuTextKey = 74;
constexpr int passTextKey = 59;
constexpr int noPassTextKey = 60;
// Below this the first value cell counts as "not filled in", and the grid is not read.
constexpr double takeThreshold = 0.001;

const char* const programActionNames[TestListGrid::CommandCount] = {
    "MenuListItemAppend",      "MenuListItemInsert",       "MenuListItemDelete",
    "MenuItemListItemCopySel", "MenuItemListItemPaustSel", "MenuItemListItemAppendSel",
    "MenuListItemFixedby",     "MenuListItemPrint"};
const char* const goNgActionNames[TestListGrid::CommandCount] = {
    "MenuItemGoNgAppend",   "MenuItemGoNgInsert",    "MenuItemGoNgDelete",  "MenuItemGoNgCopySel",
    "MenuItemGoNgPaustSel", "MenuItemGoNgAppendSel", "MenuItemGoNgFixedBy", "MenuItemGoNgPrint"};

bool isFixedCell(int row, int column)
{
    return row == 0 || column == 0;
}

bool hasDigit(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Ends an edit by running the grid's editing checks on the cell just written, and draws the
// header row and number column as fixed cells (their items are disabled so that neither the
// keyboard nor the mouse can make them current).
class TestListGridDelegate : public QStyledItemDelegate
{
public:
    TestListGridDelegate(TestListGrid* owner, QObject* parent)
        : QStyledItemDelegate(parent), m_owner(owner)
    {
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        QStyledItemDelegate::setModelData(editor, model, index);
        if (m_owner)
            m_owner->editingDone(index.row(), index.column());
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!isFixedCell(index.row(), index.column()))
            return;
        option->backgroundBrush = option->palette.button();
        option->palette.setBrush(QPalette::Text, option->palette.buttonText());
        option->state |= QStyle::State_Enabled;
        option->displayAlignment = Qt::AlignCenter;
    }

private:
    QPointer<TestListGrid> m_owner;
};

} // namespace

TestListGrid::TestListGrid(Kind kind, QTableWidget* grid, const TLoadSource& texts, QObject* parent)
    : QObject(parent), m_kind(kind), m_grid(grid), m_texts(texts)
{
    m_passText = m_texts.GetText(passTextKey);
    m_noPassText = m_texts.GetText(noPassTextKey);
    if (m_grid->columnCount() != columnCount())
        m_grid->setColumnCount(columnCount());
    m_grid->setItemDelegate(new TestListGridDelegate(this, m_grid));
    m_grid->setSortingEnabled(false);
    m_grid->setWordWrap(false);
    if (m_kind == Kind::GoNg)
        m_grid->viewport()->installEventFilter(this);
    buildMenu();
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menu->popup(m_grid->viewport()->mapToGlobal(pos)); });
    applyEditOptions(false);
}

void TestListGrid::buildMenu()
{
    m_menu = new QMenu(m_grid);
    m_menu->setObjectName(m_kind == Kind::Program ? QStringLiteral("PopupMenuList")
                                                  : QStringLiteral("PopupMenuGoNg"));
    const char* const* names = m_kind == Kind::Program ? programActionNames : goNgActionNames;
    for (int i = 0; i < CommandCount; ++i) {
        auto* action = new QAction(m_texts.GetText(firstMenuTextKey + i), m_menu);
        action->setObjectName(QString::fromLatin1(names[i]));
        connect(action, &QAction::triggered, this, [this, i] { runCommand(Command(i)); });
        m_actions[i] = action;
        m_menu->addAction(action);
        const auto command = Command(i);
        if (command == Command::DeleteLine || command == Command::AppendSelect ||
            command == Command::Fill)
            m_menu->addSeparator();
    }
    connect(m_menu, &QMenu::aboutToShow, this, &TestListGrid::prepareMenu);
}

void TestListGrid::setList(QList<ProgramStep>* steps)
{
    m_programSteps = steps;
}

void TestListGrid::setList(QList<GoNgStep>* steps)
{
    m_goNgSteps = steps;
}

void TestListGrid::setLimits(double maxVoltage, double maxCurrent)
{
    m_maxVoltage = maxVoltage;
    m_maxCurrent = maxCurrent;
}

void TestListGrid::setFillDialog(TFormFixedSelect* dialog,
                                 std::function<int(TFormFixedSelect&)> runner)
{
    m_fillDialog = dialog;
    m_fillRunner = std::move(runner);
}

void TestListGrid::setPrintDialogRunner(std::function<bool(QPrinter&)> runner)
{
    m_printRunner = std::move(runner);
}

int TestListGrid::stepCount() const
{
    if (m_kind == Kind::Program)
        return m_programSteps ? int(m_programSteps->size()) : 0;
    return m_goNgSteps ? int(m_goNgSteps->size()) : 0;
}

int TestListGrid::columnCount() const
{
    return m_kind == Kind::Program ? 4 : 7;
}

void TestListGrid::applyEditOptions(bool editing)
{
    const bool hasSteps = stepCount() > 0;
    m_grid->setSelectionMode(hasSteps ? QAbstractItemView::ContiguousSelection
                                      : QAbstractItemView::SingleSelection);
    m_grid->setTabKeyNavigation(hasSteps);
    m_grid->setEditTriggers(hasSteps && editing ? QAbstractItemView::DoubleClicked |
                                                      QAbstractItemView::SelectedClicked |
                                                      QAbstractItemView::EditKeyPressed |
                                                      QAbstractItemView::AnyKeyPressed
                                                : QAbstractItemView::NoEditTriggers);
}

QString TestListGrid::cellText(int row, int column) const
{
    const QTableWidgetItem* item = m_grid->item(row, column);
    return item ? item->text() : QString();
}

double TestListGrid::cellValue(int row, int column) const
{
    const QString text = cellText(row, column);
    return hasDigit(text) ? ParseDecimal(text) : 0.0;
}

void TestListGrid::setCellText(int row, int column, const QString& text)
{
    QTableWidgetItem* item = m_grid->item(row, column);
    if (item) {
        if (item->text() != text)
            item->setText(text);
        return;
    }
    item = new QTableWidgetItem(text);
    item->setFlags(isFixedCell(row, column)
                       ? Qt::NoItemFlags
                       : Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled);
    m_grid->setItem(row, column, item);
}

QStringList TestListGrid::rowTexts(int index) const
{
    const QString number = QString::number(index + 1);
    if (m_kind == Kind::Program) {
        const ProgramStep& step = m_programSteps->at(index);
        return {number, formatNumber(step.Voltage), formatNumber(step.Current),
                formatNumber(step.Delay)};
    }
    const GoNgStep& step = m_goNgSteps->at(index);
    return {number,
            formatNumber(step.Setting),
            formatNumber(step.Real),
            formatNumber(step.Max),
            formatNumber(step.Min),
            formatNumber(step.Delay),
            step.Pass == 1 ? m_passText : m_noPassText};
}

void TestListGrid::show()
{
    const int steps = stepCount();
    const int keptColumn = m_grid->currentColumn();
    const int keptRow = m_grid->currentRow();

    // One repaint at the end instead of one per cell; with thousands of steps the per-cell
    // updates would dominate.
    const bool updates = m_grid->updatesEnabled();
    m_grid->setUpdatesEnabled(false);
    m_grid->setRowCount(steps + 1);
    // The header row may have been written before this grid was taken over, as editable items.
    for (int column = 0; column < columnCount(); ++column) {
        if (QTableWidgetItem* header = m_grid->item(0, column))
            header->setFlags(Qt::NoItemFlags);
    }
    for (int row = 1; row <= steps; ++row) {
        const QStringList texts = rowTexts(row - 1);
        for (int column = 0; column < texts.size(); ++column)
            setCellText(row, column, texts.at(column));
    }
    applyEditOptions(true);
    if (steps > 0 && m_grid->currentRow() < 1) {
        // As in a grid whose current cell is never inside its fixed rows: the first step by
        // default, the last one when the kept row went away.
        m_grid->setCurrentCell(std::clamp(keptRow, 1, steps),
                               std::clamp(keptColumn, 1, columnCount() - 1));
    }
    m_grid->setUpdatesEnabled(updates);
}

void TestListGrid::take()
{
    const int steps = stepCount();
    if (steps == 0)
        return;
    if (cellValue(1, 1) < takeThreshold)
        return;
    const int rows = std::min(steps, m_grid->rowCount() - 1);
    // Read into a copy first: a cell that cannot be read leaves the whole list as it was.
    if (m_kind == Kind::Program) {
        QList<ProgramStep> read = *m_programSteps;
        for (int row = 1; row <= rows; ++row) {
            ProgramStep& step = read[row - 1];
            step.Voltage = cellValue(row, ProgramVoltageColumn);
            step.Current = cellValue(row, ProgramCurrentColumn);
            step.Delay = cellValue(row, ProgramDelayColumn);
            step.Reserved = 0;
        }
        *m_programSteps = std::move(read);
    } else {
        QList<GoNgStep> read = *m_goNgSteps;
        for (int row = 1; row <= rows; ++row) {
            GoNgStep& step = read[row - 1];
            step.Setting = cellValue(row, GoNgSettingColumn);
            step.Max = cellValue(row, GoNgMaxColumn);
            step.Min = cellValue(row, GoNgMinColumn);
            step.Delay = cellValue(row, GoNgDelayColumn);
        }
        *m_goNgSteps = std::move(read);
    }
}

namespace {

// The channel limit that applies to a value in a column, shared by the editing checks and
// "Fill...": nullopt where the column has no rule.
std::optional<double> boundedToColumn(TestListGrid::Kind kind, int column, double value,
                                      double maxVoltage, double maxCurrent)
{
    enum Rule
    {
        None,
        AtMostVoltage,
        AtMostCurrent,
        AtLeastOneSecond
    };
    Rule rule = None;
    if (kind == TestListGrid::Kind::Program) {
        if (column == TestListGrid::ProgramVoltageColumn)
            rule = AtMostVoltage;
        else if (column == TestListGrid::ProgramCurrentColumn)
            rule = AtMostCurrent;
        else if (column == TestListGrid::ProgramDelayColumn)
            rule = AtLeastOneSecond;
    } else {
        if (column == TestListGrid::GoNgSettingColumn)
            rule = AtMostVoltage;
        else if (column == TestListGrid::GoNgMaxColumn || column == TestListGrid::GoNgMinColumn)
            rule = AtMostCurrent;
        else if (column == TestListGrid::GoNgDelayColumn)
            rule = AtLeastOneSecond;
    }
    switch (rule) {
    case AtMostVoltage:
        return std::min(value, maxVoltage);
    case AtMostCurrent:
        return std::min(value, maxCurrent);
    case AtLeastOneSecond:
        return std::max(value, 1.0);
    case None:
        break;
    }
    return std::nullopt;
}

} // namespace

void TestListGrid::editingDone(int row, int column)
{
    if (row < 1 || row >= m_grid->rowCount() || column < 1 || column >= columnCount())
        return;
    try {
        const double value = cellValue(row, column);
        const std::optional<double> bounded =
            boundedToColumn(m_kind, column, value, m_maxVoltage, m_maxCurrent);
        if (bounded && *bounded != value)
            setCellText(row, column, formatNumber(*bounded));
    } catch (const VoltarisError& error) {
        emit failed(error.message());
    }
}

TestListGrid::Selection TestListGrid::selection() const
{
    Selection s;
    const QList<QTableWidgetSelectionRange> ranges = m_grid->selectedRanges();
    if (!ranges.isEmpty()) {
        s = {ranges.first().leftColumn(), ranges.first().topRow(), ranges.first().rightColumn(),
             ranges.first().bottomRow()};
        for (const QTableWidgetSelectionRange& range : ranges) {
            s.left = std::min(s.left, range.leftColumn());
            s.top = std::min(s.top, range.topRow());
            s.right = std::max(s.right, range.rightColumn());
            s.bottom = std::max(s.bottom, range.bottomRow());
        }
    } else if (m_grid->currentRow() >= 1 && m_grid->currentColumn() >= 1) {
        s = {m_grid->currentColumn(), m_grid->currentRow(), m_grid->currentColumn(),
             m_grid->currentRow()};
    }
    // A drag that starts on the number column or the header still selects only value cells.
    s.left = std::max(s.left, 1);
    s.top = std::max(s.top, 1);
    s.right = std::max(s.right, s.left);
    s.bottom = std::max(s.bottom, s.top);
    return s;
}

TestListGrid::MenuVisibility TestListGrid::menuVisibility(Kind kind, int left, int top, int right,
                                                          int bottom, int rowCount)
{
    const bool oneRow = top == bottom;
    const bool hasSteps = rowCount > 1;
    const int lastAppendColumn = kind == Kind::Program ? ProgramDelayColumn : GoNgMinColumn;
    MenuVisibility shown{};
    shown[int(Command::InsertLine)] = oneRow && hasSteps;
    shown[int(Command::AppendLine)] = oneRow;
    shown[int(Command::DeleteLine)] = oneRow && hasSteps;
    shown[int(Command::Fill)] = left == right && hasSteps && !oneRow;
    shown[int(Command::CopySelect)] = !oneRow;
    shown[int(Command::PasteSelect)] = !oneRow;
    shown[int(Command::AppendSelect)] = left == 1 && right == lastAppendColumn && hasSteps;
    shown[int(Command::Print)] = hasSteps;
    return shown;
}

void TestListGrid::prepareMenu()
{
    const Selection s = selection();
    const MenuVisibility shown =
        menuVisibility(m_kind, s.left, s.top, s.right, s.bottom, m_grid->rowCount());
    for (int i = 0; i < CommandCount; ++i)
        m_actions[i]->setVisible(shown[i]);
}

void TestListGrid::runCommand(Command command)
{
    try {
        switch (command) {
        case Command::AppendLine:
            appendLine();
            break;
        case Command::InsertLine:
            insertLine();
            break;
        case Command::DeleteLine:
            deleteLine();
            break;
        case Command::CopySelect:
            copySelect();
            break;
        case Command::PasteSelect:
            pasteSelect();
            break;
        case Command::AppendSelect:
            appendSelect();
            break;
        case Command::Fill:
            fill();
            break;
        case Command::Print:
            print();
            break;
        }
    } catch (const VoltarisError& error) {
        emit failed(error.message());
    }
}

void TestListGrid::appendLine()
{
    if (m_kind == Kind::Program ? !m_programSteps : !m_goNgSteps)
        return;
    take();
    if (m_kind == Kind::Program)
        m_programSteps->append(ProgramStep{});
    else
        m_goNgSteps->append(GoNgStep{});
    show();
    emit listChanged();
}

void TestListGrid::insertLine()
{
    const int steps = stepCount();
    if (steps == 0)
        return;
    take();
    const int index = std::clamp(m_grid->currentRow() - 1, 0, steps);
    if (m_kind == Kind::Program)
        m_programSteps->insert(index, ProgramStep{});
    else
        m_goNgSteps->insert(index, GoNgStep{});
    show();
    emit listChanged();
}

void TestListGrid::deleteLine()
{
    const int steps = stepCount();
    if (steps == 0)
        return;
    take();
    const int index = m_grid->currentRow() - 1;
    if (index >= 0 && index < steps) {
        if (m_kind == Kind::Program)
            m_programSteps->removeAt(index);
        else
            m_goNgSteps->removeAt(index);
    }
    show();
    emit listChanged();
}

void TestListGrid::appendCopy(int index)
{
    take();
    if (index >= 0 && index < stepCount()) {
        if (m_kind == Kind::Program)
            m_programSteps->append(ProgramStep(m_programSteps->at(index)));
        else
            m_goNgSteps->append(GoNgStep(m_goNgSteps->at(index)));
    }
    show();
}

void TestListGrid::appendSelect()
{
    if (stepCount() == 0)
        return;
    const Selection s = selection();
    for (int row = s.top; row <= s.bottom; ++row)
        appendCopy(row - 1);
    emit listChanged();
}

void TestListGrid::copySelect() const
{
    const Selection s = selection();
    const int lastRow = std::min(s.bottom, m_grid->rowCount() - 1);
    const int lastColumn = std::min(s.right, columnCount() - 1);
    QStringList rows;
    for (int row = s.top; row <= lastRow; ++row) {
        QStringList cells;
        for (int column = s.left; column <= lastColumn; ++column)
            cells.append(cellText(row, column));
        rows.append(cells.join(u'\t'));
    }
    QGuiApplication::clipboard()->setText(rows.join(u'\n'));
}

void TestListGrid::pasteSelect()
{
    QString text = QGuiApplication::clipboard()->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Spreadsheets end the last row with a line break too.
    if (text.endsWith(u'\n'))
        text.chop(1);
    if (text.isEmpty())
        return;
    const Selection s = selection();
    const int lastRow = std::min(s.bottom, m_grid->rowCount() - 1);
    const int lastColumn = std::min(s.right, columnCount() - 1);
    const QStringList rows = text.split(u'\n');
    for (int i = 0; i < rows.size() && s.top + i <= lastRow; ++i) {
        const QStringList cells = rows.at(i).split(u'\t');
        for (int j = 0; j < cells.size() && s.left + j <= lastColumn; ++j)
            setCellText(s.top + i, s.left + j, cells.at(j));
    }
}

void TestListGrid::fill()
{
    if (!m_fillDialog || stepCount() == 0)
        return;
    const Selection s = selection();
    m_fillDialog->iAnalogOutputFixed->setPrecision(4);
    const int result = m_fillRunner ? m_fillRunner(*m_fillDialog) : m_fillDialog->exec();
    if (result != QDialog::Accepted)
        return;
    double value = m_fillDialog->value();
    if (const std::optional<double> bounded =
            boundedToColumn(m_kind, s.left, value, m_maxVoltage, m_maxCurrent)) {
        value = *bounded;
        m_fillDialog->setValue(value);
    }
    const QString text = formatNumber(value);
    const int lastRow = std::min(s.bottom, m_grid->rowCount() - 1);
    for (int row = s.top; row <= lastRow; ++row)
        setCellText(row, s.left, text);
}

QString TestListGrid::gridHtml() const
{
    QString html =
        QStringLiteral("<html><body><table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n");
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < columnCount(); ++column) {
            const QString cell = cellText(row, column).toHtmlEscaped();
            html += row == 0 ? QStringLiteral("<th>%1</th>").arg(cell)
                             : QStringLiteral("<td>%1</td>").arg(cell);
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table></body></html>\n");
    return html;
}

void TestListGrid::print()
{
    QPrinter printer;
    const bool accepted = m_printRunner ? m_printRunner(printer) : [&] {
        QPrintDialog dialog(&printer, m_grid);
        return dialog.exec() == QDialog::Accepted;
    }();
    if (!accepted)
        return;
    QTextDocument document;
    document.setHtml(gridHtml());
    document.print(&printer);
}

void TestListGrid::setCurrentRow(int row)
{
    if (row < 1 || row >= m_grid->rowCount())
        return;
    const int column = std::clamp(m_grid->currentColumn(), 1, columnCount() - 1);
    m_grid->setCurrentCell(row, column);
}

bool TestListGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonPress &&
        stepCount() > 0) {
        // The press has not moved the current cell yet; the column it lands on is the one the
        // grid will have when the click's edit trigger is judged.
        const auto* press = static_cast<QMouseEvent*>(event);
        int column = m_grid->indexAt(press->position().toPoint()).column();
        if (column < 1)
            column = m_grid->currentColumn();
        applyEditOptions(column < GoNgDelayColumn);
    }
    return QObject::eventFilter(watched, event);
}
