#include "dbgridexport.h"

#include "exportprogress.h"
#include "xlsxworkbook.h"

#include "platform/ansicodec.h"
#include "platform/atomicfile.h"
#include "platform/errors.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableView>
#include <QUrl>

#include <memory>
#include <vector>

namespace {

const QString FileDialogTitle = QStringLiteral("Input File Name,Please");

// What the export needs of one shown column.
struct GridColumn
{
    int section = 0;
    QString title;
    int widthPx = 0;
};

// The grid's visible columns in the order the operator sees them; a model without rows yet
// fetched (a query model fetches in chunks) is fetched to the end first, so every row is written.
std::vector<GridColumn> prepareColumns(const QTableView& grid)
{
    QAbstractItemModel* model = grid.model();
    std::vector<GridColumn> columns;
    if (!model)
        return columns;
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());
    const QHeaderView* header = grid.horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int section = header->logicalIndex(visual);
        if (section < 0 || grid.isColumnHidden(section))
            continue;
        columns.push_back({section, model->headerData(section, Qt::Horizontal).toString(),
                           grid.columnWidth(section)});
    }
    return columns;
}

int rowCountOf(const QTableView& grid)
{
    return grid.model() ? grid.model()->rowCount() : 0;
}

QString cellText(const QAbstractItemModel& model, int row, int section)
{
    return model.data(model.index(row, section)).toString();
}

// Only the program's own save dialog refuses a read-only file; the atomic write would replace it.
QString askForSavePath(const QString& suffix, const QString& filter)
{
    QFileDialog dialog(QApplication::activeWindow(), FileDialogTitle);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.setNameFilter(filter);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setSizeGripEnabled(true);
    while (dialog.exec() == QDialog::Accepted) {
        const QString path = dialog.selectedFiles().value(0);
        const QFileInfo info(path);
        if (!info.exists() || info.isWritable())
            return path;
        QMessageBox::warning(&dialog, FileDialogTitle,
                             QStringLiteral("\"%1\" is read-only. Choose another file.")
                                 .arg(QDir::toNativeSeparators(path)));
    }
    return QString();
}

} // namespace

TDBGridExport::TDBGridExport(QObject* parent) : QObject(parent)
{
    SetSpaceMark(csTab);
    chooseTextFile = [] {
        return askForSavePath(QStringLiteral("txt"), QStringLiteral("Text(*.Txt) (*.txt)"));
    };
    chooseWorkbookFile = [] {
        return askForSavePath(QStringLiteral("xlsx"), QStringLiteral("Excel Workbook (*.xlsx)"));
    };
    openWorkbook = [](const QString& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
}

TSpaceMark TDBGridExport::SpaceMark() const
{
    return m_spaceMark;
}

void TDBGridExport::SetSpaceMark(TSpaceMark mark)
{
    m_spaceMark = mark;
    switch (mark) {
    case csComma:
        m_separatorChar = u',';
        break;
    case csSemicolon:
        m_separatorChar = u';';
        break;
    case csTab:
        m_separatorChar = u'\t';
        break;
    case csBlank:
        m_separatorChar = u' ';
        break;
    case csEnter:
        m_separatorChar = u'\r';
        break;
    }
}

bool TDBGridExport::ExportToText(QTableView* grid, bool askForFile)
{
    DB_Grid = grid;
    if (askForFile)
        TxtFileName.clear();
    if (TxtFileName.isEmpty() && chooseTextFile)
        TxtFileName = chooseTextFile();
    if (TxtFileName.isEmpty())
        return false;
    if (!DB_Grid)
        throw VoltarisError(QStringLiteral("Input DBGrid Name,Please"));

    std::unique_ptr<ExportProgress> progress;
    if (Show_Progress)
        progress = std::make_unique<ExportProgress>(ExportProgress::Writing);

    const std::vector<GridColumn> columns = prepareColumns(*DB_Grid);
    QString text;
    for (size_t c = 0; c < columns.size(); ++c) {
        if (c > 0)
            text += m_separatorChar;
        text += columns[c].title;
    }
    text += QLatin1String("\r\n");

    const int rows = rowCountOf(*DB_Grid);
    if (progress)
        progress->start(rows);
    if (const QAbstractItemModel* model = DB_Grid->model()) {
        for (int row = 0; row < rows; ++row) {
            if (progress)
                progress->setPosition(row, row == rows - 1);
            for (size_t c = 0; c < columns.size(); ++c) {
                if (c > 0)
                    text += m_separatorChar;
                text += cellText(*model, row, columns[c].section);
            }
            text += QLatin1String("\r\n");
        }
    }

    writeFileAtomically(TxtFileName, Ansi::encode(text));
    return true;
}

bool TDBGridExport::ExportToExcel(QTableView* grid)
{
    DB_Grid = grid;
    if (!DB_Grid)
        throw VoltarisError(QStringLiteral("Input DBGrid Name"));
    // One new workbook has one sheet, so a name can only repeat once more sheets are added.
    if (!SheetName.isEmpty() && !XlsxWorkbook::isValidSheetName(SheetName))
        throw VoltarisError(QStringLiteral("WorkSheet Name Error!"));

    const QString path = chooseWorkbookFile ? chooseWorkbookFile() : QString();
    if (path.isEmpty())
        return false;

    std::unique_ptr<XlsxWorkbook> workbook;
    {
        std::unique_ptr<ExportProgress> connecting;
        if (Show_Progress)
            connecting = std::make_unique<ExportProgress>(ExportProgress::Connecting);
        workbook = std::make_unique<XlsxWorkbook>(path, Title, SheetName);
    }

    {
        std::unique_ptr<ExportProgress> progress;
        if (Show_Progress)
            progress = std::make_unique<ExportProgress>(ExportProgress::Writing);

        const std::vector<GridColumn> columns = prepareColumns(*DB_Grid);
        for (size_t c = 0; c < columns.size(); ++c) {
            workbook->writeText(0, int(c), columns[c].title);
            workbook->setColumnWidth(int(c), columns[c].widthPx / 6);
        }

        const int rows = rowCountOf(*DB_Grid);
        if (progress)
            progress->start(rows);
        if (const QAbstractItemModel* model = DB_Grid->model()) {
            for (int row = 0; row < rows; ++row) {
                // Sheet rows count from 1 and the header takes the first.
                if (progress)
                    progress->setPosition(row + 2, row == rows - 1);
                for (size_t c = 0; c < columns.size(); ++c)
                    workbook->writeText(row + 1, int(c), cellText(*model, row, columns[c].section));
            }
        }
        workbook->commit();
    }

    if (openWorkbook)
        openWorkbook(path);
    return true;
}
