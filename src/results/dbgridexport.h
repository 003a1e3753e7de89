#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QTableView;

// Separator between the cells of one line of the text export.
enum TSpaceMark
{
    csComma,
    csSemicolon,
    csTab,
    csBlank,
    csEnter
};

// Writes what a grid shows (its visible columns in view order with their titles, and every row of
// its model as display text) to a delimited text file or to a new .xlsx workbook. Knows nothing
// of the tables behind the grid. Errors are thrown as VoltarisError with the text for the error
// box; the operator's file is replaced only by a complete export.
class TDBGridExport : public QObject
{
    Q_OBJECT
public:
    explicit TDBGridExport(QObject* parent = nullptr);

    QTableView* DB_Grid = nullptr;
    bool Show_Progress = true;
    // Kept between exports, so a second text export without asking writes the same file.
    QString TxtFileName;
    // Document title of the workbook, if not empty.
    QString Title;
    // Name of the workbook's sheet; empty gives the default "Sheet1".
    QString SheetName;

    TSpaceMark SpaceMark() const;
    void SetSpaceMark(TSpaceMark mark);

    // False when the operator cancels the file dialog; then nothing is written. With askForFile
    // the dialog is always shown, otherwise only while TxtFileName is empty.
    bool ExportToText(QTableView* grid, bool askForFile);
    // False when the operator cancels the file dialog. On success the workbook is handed to
    // openWorkbook.
    bool ExportToExcel(QTableView* grid);

    // Injectable for tests: file choosers return the chosen path or empty for cancel; the opener
    // hands a written workbook to the desktop (default QDesktopServices::openUrl).
    std::function<QString()> chooseTextFile;
    std::function<QString()> chooseWorkbookFile;
    std::function<void(const QString&)> openWorkbook;

private:
    TSpaceMark m_spaceMark = csTab;
    QChar m_separatorChar = u'\t';
};
