#include "steprowmodel.h"

#include "platform/decimal.h"

StepRowModel::StepRowModel(QList<GoNGStepRow> rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(std::move(rows))
{
}

const QStringList& StepRowModel::columnNames()
{
    static const QStringList names{"Order", "Name",  "Channel", "Setting",     "Real",       "Max",
                                   "Min",   "Delay", "Pass",    "CurrentDate", "CurrentTime"};
    return names;
}

int StepRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int StepRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columnNames().size());
}

QVariant StepRowModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.size())
        return {};
    const GoNGStepRow& row = m_rows.at(index.row());
    switch (index.column()) {
    case 0:
        return QString::number(row.Order);
    case 1:
        return row.Name;
    case 2:
        return QString::number(row.Channel);
    case 3:
        return formatNumber(row.Setting);
    case 4:
        return formatNumber(row.Real);
    case 5:
        return formatNumber(row.Max);
    case 6:
        return formatNumber(row.Min);
    case 7:
        return formatNumber(row.Delay);
    case 8:
        return row.Pass;
    case 9:
        return StoredDateText(row.CurrentDate);
    case 10:
        // Milliseconds are shown, as they are what tells two runs of one name apart.
        return StoredTimeText(row.CurrentTime);
    default:
        return {};
    }
}

QVariant StepRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= columnNames().size())
        return {};
    return columnNames().at(section);
}
