#include "xlsxworkbook.h"

#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path nativePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace

XlsxWorkbook::XlsxWorkbook(const QString& path, const QString& title, const QString& sheetName)
    : m_path(path)
{
    // The aside name lies beside the target, so the rename at the end stays on one file system;
    // an empty file holds the name while the rows are written.
    const QFileInfo target(path);
    QTemporaryFile aside(
        target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    aside.setAutoRemove(false);
    if (!aside.open())
        fail(aside.errorString());
    // An unnamed temporary file gets its name only here, and that can still fail.
    m_asideName = aside.fileName();
    if (m_asideName.isEmpty())
        fail(QStringLiteral("No file can be created beside it"));
    aside.close();

    try {
        open(title, sheetName);
    } catch (...) {
        release();
        throw;
    }
}

void XlsxWorkbook::open(const QString& title, const QString& sheetName)
{
    // Constant memory mode writes each finished row out and keeps its strings inline, so a large
    // grid needs neither a shared-string table nor the whole sheet in memory.
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    const QByteArray asideName = QFile::encodeName(m_asideName);
    m_workbook = workbook_new_opt(asideName.constData(), &options);
    if (!m_workbook)
        fail(QStringLiteral("The workbook could not be created"));

    if (!title.isEmpty()) {
        QByteArray titleUtf8 = title.toUtf8();
        lxw_doc_properties properties = {};
        properties.title = titleUtf8.data();
        if (const lxw_error error = workbook_set_properties(m_workbook, &properties))
            fail(QString::fromUtf8(lxw_strerror(error)));
    }

    const QByteArray sheetUtf8 = sheetName.toUtf8();
    m_sheet = workbook_add_worksheet(m_workbook, sheetName.isEmpty() ? nullptr : sheetUtf8.data());
    if (!m_sheet)
        fail(QStringLiteral("The worksheet could not be added"));
}

XlsxWorkbook::~XlsxWorkbook()
{
    release();
}

void XlsxWorkbook::release()
{
    if (m_workbook)
        lxw_workbook_free(m_workbook);
    m_workbook = nullptr;
    m_sheet = nullptr;
    if (!m_committed)
        QFile::remove(m_asideName);
}

bool XlsxWorkbook::isValidSheetName(const QString& name)
{
    if (name.trimmed().isEmpty() || name.toUcs4().size() > 31)
        return false;
    for (const QChar c : name) {
        if (QStringView(u"[]:*?/\\").contains(c))
            return false;
    }
    if (name.startsWith(u'\'') || name.endsWith(u'\''))
        return false;
    return name.compare(QLatin1String("History"), Qt::CaseInsensitive) != 0;
}

void XlsxWorkbook::setColumnWidth(int column, double widthChars)
{
    if (const lxw_error error = worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column),
                                                     widthChars, nullptr))
        fail(QString::fromUtf8(lxw_strerror(error)));
}

void XlsxWorkbook::writeText(int row, int column, const QString& text)
{
    if (const lxw_error error = worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column),
                                                       text.toUtf8().constData(), nullptr))
        fail(QStringLiteral("Row %1, column %2: %3")
                 .arg(row + 1)
                 .arg(column + 1)
                 .arg(QString::fromUtf8(lxw_strerror(error))));
}

void XlsxWorkbook::commit()
{
    // The placeholder was made private to its owner; the workbook gets the permissions a new file
    // gets, or those of the file it replaces.
    QFile::remove(m_asideName);
    // workbook_close frees the workbook whatever it returns.
    const lxw_error error = workbook_close(m_workbook);
    m_workbook = nullptr;
    m_sheet = nullptr;
    if (error)
        fail(QString::fromUtf8(lxw_strerror(error)));
    if (QFileInfo::exists(m_path))
        QFile::setPermissions(m_asideName, QFile::permissions(m_path));
    std::error_code renameError;
    std::filesystem::rename(nativePath(m_asideName), nativePath(m_path), renameError);
    if (renameError)
        fail(QString::fromStdString(renameError.message()));
    m_committed = true;
}

void XlsxWorkbook::fail(const QString& reason) const
{
    throw VoltarisError(QStringLiteral("Cannot write workbook \"%1\". %2")
                            .arg(QDir::toNativeSeparators(m_path), reason));
}
