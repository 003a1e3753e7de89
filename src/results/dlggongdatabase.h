#pragma once

#include "results/resultstore.h"

#include <QDialog>

#include <functional>
#include <memory>

class StepRowModel;
class TDBGridExport;
class TLoadSource;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSqlQueryModel;
class QTableView;
class QTimeEdit;

// The results browser "GoNGDatabaseOperation": lists the recorded GO/NG runs, filters them by
// name, verdict, date range and time range, and reports, deletes or exports the step rows of the
// run under the cursor or of every listed run. Created once at start and kept, so its controls
// keep their values between openings. UI thread only.
class TFormGoNGDatabase : public QDialog
{
    Q_OBJECT
public:
    TFormGoNGDatabase(const TLoadSource& texts, ResultStore& store, QWidget* parent = nullptr);
    ~TFormGoNGDatabase() override;

    // "Report Operation": opens the database, lists every run, fills the name list with the
    // distinct names when there is a run, and shows the window modally through runModal. An
    // error opening the database or listing the runs goes to showError and the window stays
    // closed.
    void OpenResultsBrowser();

    // The operator's actions; errors go to showError and the window stays open.
    void SearchClick();
    void ReportClick();
    void DeleteClick();
    void ExportClick();

    // The filters as the controls stand.
    SearchFilters filters() const;
    // The run under the grid's cursor (the first row when no row is current).
    RunKey currentRun() const;
    // The statement behind the rows the grid lists, which "All Lines" walks.
    SqlStatement listedStatement() const { return m_listedStatement; }

    QSqlQueryModel* headerModel() const { return m_headerModel; }
    // The hidden grid of the last export and its step rows; null before the first export.
    QTableView* exportView() const { return m_exportView.get(); }

    // Injectable for tests; the defaults use exec(), message boxes and the print preview.
    std::function<int(QDialog&)> runModal;
    std::function<void(const QString&)> showError;
    // Asks the delete question; true for Yes.
    std::function<bool(const QString& question)> confirmDelete;
    // Shows the rendered report.
    std::function<void(const QString& html)> showReport;
    // Called on each new exporter before it exports, so a test can choose its file.
    std::function<void(TDBGridExport&)> prepareExport;

    QGroupBox* GroupBoxQuery = nullptr;
    QCheckBox* TeThemeCheckBox1 = nullptr; // "Name"
    QComboBox* TeThemeComboBox1 = nullptr;
    QCheckBox* TeThemeCheckBox2 = nullptr;       // "Pass"
    QRadioButton* TeThemeRadioButton1 = nullptr; // "Pass"
    QRadioButton* TeThemeRadioButton2 = nullptr; // "Not Pass"
    QCheckBox* TeThemeCheckBox3 = nullptr;       // "Date"
    QDateEdit* DateTimePicker1 = nullptr;
    QLabel* LabelDateTo = nullptr;
    QDateEdit* DateTimePicker2 = nullptr;
    QCheckBox* TeThemeCheckBox4 = nullptr; // "Time"
    QTimeEdit* DateTimePicker3 = nullptr;
    QLabel* LabelTimeTo = nullptr;
    QTimeEdit* DateTimePicker4 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QPushButton* ButtonSearch = nullptr;
    QPushButton* ButtonReport = nullptr;
    QPushButton* ButtonDelete = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QGroupBox* RadioGroupExportTo = nullptr;
    QRadioButton* RadioButtonExcel = nullptr;
    QRadioButton* RadioButtonTxt = nullptr;
    QGroupBox* RadioGroupExportContent = nullptr;
    QRadioButton* RadioButtonCurrentLine = nullptr;
    QRadioButton* RadioButtonAllLines = nullptr;
    QPushButton* ButtonExport = nullptr;

private:
    void ApplyLanguageTexts(const TLoadSource& texts);
    void ListRuns(const SqlStatement& statement);
    RunScope scope() const;
    QList<RunKey> runsInScope();
    QList<GoNGStepRow> stepRowsInScope();
    void guarded(const std::function<void()>& action);
    void showReportPreview(const QString& html);

    ResultStore& m_store;
    QSqlQueryModel* m_headerModel = nullptr;
    SqlStatement m_listedStatement;
    QString m_deleteQuestion;
    // The hidden grid of the last export outlives the call, as the exporter's output may refer
    // to it; the model is declared first so the view lets go of it before it goes.
    std::unique_ptr<StepRowModel> m_exportModel;
    std::unique_ptr<QTableView> m_exportView;
    std::unique_ptr<TDBGridExport> m_exporter;
};
