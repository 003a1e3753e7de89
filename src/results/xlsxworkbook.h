#pragma once

#include <QString>

struct lxw_workbook;
struct lxw_worksheet;

// A new .xlsx workbook with one worksheet, written by libxlsxwriter row by row (rows must come in
// ascending order) to a name beside the target. commit() renames it over the target; a workbook
// dropped without commit leaves the target as it was. Errors are VoltarisError naming the target.
class XlsxWorkbook
{
public:
    // An empty title sets no document title; an empty sheet name gives the default "Sheet1".
    XlsxWorkbook(const QString& path, const QString& title, const QString& sheetName);
    ~XlsxWorkbook();
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    // The sheet-name rules of the format: 1 to 31 characters, none of []:*?/\, no apostrophe at
    // either end, not blank and not the reserved name "History".
    static bool isValidSheetName(const QString& name);

    // Column and row are 0-based; width in the format's character units.
    void setColumnWidth(int column, double widthChars);
    // Always a text cell; an empty text leaves the cell empty.
    void writeText(int row, int column, const QString& text);
    void commit();

private:
    void open(const QString& title, const QString& sheetName);
    // Drops an unfinished workbook and its aside file.
    void release();
    [[noreturn]] void fail(const QString& reason) const;

    QString m_path;
    QString m_asideName;
    bool m_committed = false;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
};
