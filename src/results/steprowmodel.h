#pragma once

#include "results/resultstore.h"

#include <QAbstractTableModel>
#include <QList>

// Read-only model of selected step rows for the hidden export grid: one column per column of
// GoNGRecorder in table order, titled with the column name, cells as display text.
class StepRowModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit StepRowModel(QList<GoNGStepRow> rows, QObject* parent = nullptr);

    static const QStringList& columnNames();
    const QList<GoNGStepRow>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<GoNGStepRow> m_rows;
};
