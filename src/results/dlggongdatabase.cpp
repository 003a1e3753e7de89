#include "dlggongdatabase.h"

#include "results/dbgridexport.h"
#include "results/gongreport.h"
#include "results/steprowmodel.h"

#include "platform/errors.h"
#include "settings/loadsource.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableView>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TFormGoNGDatabase::TFormGoNGDatabase(const TLoadSource& texts, ResultStore& store, QWidget* parent)
    : QDialog(parent), m_store(store)
{
    setObjectName("TFormGoNGDatabase");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(640, 480);

    runModal = [](QDialog& dialog) { return dialog.exec(); };
    showError = [this](const QString& message) {
        QMessageBox::critical(this, windowTitle(), message);
    };
    confirmDelete = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    showReport = [this](const QString& html) { showReportPreview(html); };

    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;

    GroupBoxQuery = named(new QGroupBox("Query", this), "GroupBoxQuery");
    auto* query = new QGridLayout(GroupBoxQuery);
    TeThemeCheckBox1 = named(new QCheckBox("Name", GroupBoxQuery), "TeThemeCheckBox1");
    TeThemeComboBox1 = named(new QComboBox(GroupBoxQuery), "TeThemeComboBox1");
    TeThemeComboBox1->setEditable(false);
    TeThemeComboBox1->setMaxVisibleItems(4);
    TeThemeComboBox1->setEnabled(false);
    query->addWidget(TeThemeCheckBox1, 0, 0);
    query->addWidget(TeThemeComboBox1, 0, 1, 1, 3);

    TeThemeCheckBox2 = named(new QCheckBox("Pass", GroupBoxQuery), "TeThemeCheckBox2");
    TeThemeRadioButton1 = named(new QRadioButton("Pass", GroupBoxQuery), "TeThemeRadioButton1");
    TeThemeRadioButton2 = named(new QRadioButton("Not Pass", GroupBoxQuery), "TeThemeRadioButton2");
    auto* verdicts = new QButtonGroup(this);
    verdicts->addButton(TeThemeRadioButton1);
    verdicts->addButton(TeThemeRadioButton2);
    TeThemeRadioButton1->setChecked(true);
    TeThemeRadioButton1->setEnabled(false);
    TeThemeRadioButton2->setEnabled(false);
    query->addWidget(TeThemeCheckBox2, 1, 0);
    query->addWidget(TeThemeRadioButton1, 1, 1);
    query->addWidget(TeThemeRadioButton2, 1, 3);

    const QDate designDate(2005, 10, 17);
    const QTime designTime(10, 0, 18);
    TeThemeCheckBox3 = named(new QCheckBox("Date", GroupBoxQuery), "TeThemeCheckBox3");
    DateTimePicker1 = named(new QDateEdit(designDate, GroupBoxQuery), "DateTimePicker1");
    LabelDateTo = named(new QLabel("To", GroupBoxQuery), "LabelDateTo");
    DateTimePicker2 = named(new QDateEdit(designDate, GroupBoxQuery), "DateTimePicker2");
    for (QDateEdit* picker : {DateTimePicker1, DateTimePicker2}) {
        picker->setCalendarPopup(true);
        picker->setEnabled(false);
    }
    query->addWidget(TeThemeCheckBox3, 2, 0);
    query->addWidget(DateTimePicker1, 2, 1);
    query->addWidget(LabelDateTo, 2, 2);
    query->addWidget(DateTimePicker2, 2, 3);

    TeThemeCheckBox4 = named(new QCheckBox("Time", GroupBoxQuery), "TeThemeCheckBox4");
    DateTimePicker3 = named(new QTimeEdit(designTime, GroupBoxQuery), "DateTimePicker3");
    LabelTimeTo = named(new QLabel("To", GroupBoxQuery), "LabelTimeTo");
    DateTimePicker4 = named(new QTimeEdit(designTime, GroupBoxQuery), "DateTimePicker4");
    for (QTimeEdit* picker : {DateTimePicker3, DateTimePicker4}) {
        picker->setDisplayFormat("HH:mm:ss");
        picker->setEnabled(false);
    }
    query->addWidget(TeThemeCheckBox4, 3, 0);
    query->addWidget(DateTimePicker3, 3, 1);
    query->addWidget(LabelTimeTo, 3, 2);
    query->addWidget(DateTimePicker4, 3, 3);
    top->addWidget(GroupBoxQuery, 1);

    auto* buttons = new QVBoxLayout;
    ButtonSearch = named(new QPushButton("Search", this), "ButtonSearch");
    ButtonReport = named(new QPushButton("Report", this), "ButtonReport");
    ButtonDelete = named(new QPushButton("Delete", this), "ButtonDelete");
    ButtonCancel = named(new QPushButton("Cancel", this), "ButtonCancel");
    for (QPushButton* button : {ButtonSearch, ButtonReport, ButtonDelete, ButtonCancel}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    top->addLayout(buttons);
    column->addLayout(top);

    DBGrid1 = named(new QTableView(this), "DBGrid1");
    m_headerModel = new QSqlQueryModel(this);
    DBGrid1->setModel(m_headerModel);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    column->addWidget(DBGrid1, 1);

    auto* bottom = new QHBoxLayout;
    RadioGroupExportTo = named(new QGroupBox("Export To ", this), "RadioGroupExportTo");
    auto* kinds = new QHBoxLayout(RadioGroupExportTo);
    RadioButtonExcel = named(new QRadioButton("Excel", RadioGroupExportTo), "RadioButtonExcel");
    RadioButtonTxt = named(new QRadioButton("Txt", RadioGroupExportTo), "RadioButtonTxt");
    RadioButtonExcel->setChecked(true);
    kinds->addWidget(RadioButtonExcel);
    kinds->addWidget(RadioButtonTxt);
    bottom->addWidget(RadioGroupExportTo);

    RadioGroupExportContent =
        named(new QGroupBox("Export Data Content", this), "RadioGroupExportContent");
    auto* scopes = new QHBoxLayout(RadioGroupExportContent);
    RadioButtonCurrentLine =
        named(new QRadioButton("Current Line", RadioGroupExportContent), "RadioButtonCurrentLine");
    RadioButtonAllLines =
        named(new QRadioButton("All Lines", RadioGroupExportContent), "RadioButtonAllLines");
    RadioButtonCurrentLine->setChecked(true);
    scopes->addWidget(RadioButtonCurrentLine);
    scopes->addWidget(RadioButtonAllLines);
    bottom->addWidget(RadioGroupExportContent);

    ButtonExport = named(new QPushButton("Export", this), "ButtonExport");
    ButtonExport->setAutoDefault(false);
    bottom->addWidget(ButtonExport);
    column->addLayout(bottom);

    connect(TeThemeCheckBox1, &QCheckBox::toggled, TeThemeComboBox1, &QWidget::setEnabled);
    for (QRadioButton* option : {TeThemeRadioButton1, TeThemeRadioButton2})
        connect(TeThemeCheckBox2, &QCheckBox::toggled, option, &QWidget::setEnabled);
    for (QWidget* picker : {DateTimePicker1, DateTimePicker2})
        connect(TeThemeCheckBox3, &QCheckBox::toggled, picker, &QWidget::setEnabled);
    for (QWidget* picker : {DateTimePicker3, DateTimePicker4})
        connect(TeThemeCheckBox4, &QCheckBox::toggled, picker, &QWidget::setEnabled);
    connect(ButtonSearch, &QPushButton::clicked, this, &TFormGoNGDatabase::SearchClick);
    connect(ButtonReport, &QPushButton::clicked, this, &TFormGoNGDatabase::ReportClick);
    connect(ButtonDelete, &QPushButton::clicked, this, &TFormGoNGDatabase::DeleteClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonExport, &QPushButton::clicked, this, &TFormGoNGDatabase::ExportClick);
    connect(DBGrid1, &QTableView::doubleClicked, this, &TFormGoNGDatabase::ReportClick);

    ApplyLanguageTexts(texts);
}

TFormGoNGDatabase::~TFormGoNGDatabase() = default;

void TFormGoNGDatabase::ApplyLanguageTexts(const TLoadSource& texts)
{
    setWindowTitle(texts.GetText(152));
    GroupBoxQuery->setTitle(texts.GetText(120));
    TeThemeCheckBox1->setText(texts.GetText(121));
    TeThemeCheckBox2->setText(texts.GetText(59));
    TeThemeRadioButton1->setText(texts.GetText(59));
    TeThemeRadioButton2->setText(texts.GetText(60));
    TeThemeCheckBox3->setText(texts.GetText(122));
    TeThemeCheckBox4->setText(texts.GetText(123));
    ButtonSearch->setText(texts.GetText(124));
    ButtonReport->setText(texts.GetText(125));
    ButtonDelete->setText(texts.GetText(126));
    ButtonCancel->setText(texts.GetText(72));
    RadioGroupExportTo->setTitle(texts.GetText(127));
    RadioGroupExportContent->setTitle(texts.GetText(128));
    RadioButtonCurrentLine->setText(texts.GetText(129));
    RadioButtonAllLines->setText(texts.GetText(130));
    ButtonExport->setText(texts.GetText(131));
    m_deleteQuestion = texts.GetText(151);
}

void TFormGoNGDatabase::OpenResultsBrowser()
{
    try {
        m_store.OpenResultsDatabase();
        ListRuns(BuildSearchStatement({}));
        if (m_headerModel->rowCount() > 0) {
            const QStringList names = m_store.DistinctRunNames();
            TeThemeComboBox1->clear();
            TeThemeComboBox1->addItems(names);
            TeThemeComboBox1->setCurrentIndex(names.isEmpty() ? -1 : 0);
        }
    } catch (const VoltarisError& error) {
        showError(error.message());
        return;
    }
    runModal(*this);
}

SearchFilters TFormGoNGDatabase::filters() const
{
    SearchFilters f;
    f.byName = TeThemeCheckBox1->isChecked();
    f.name = TeThemeComboBox1->currentText();
    f.byPass = TeThemeCheckBox2->isChecked();
    f.passed = TeThemeRadioButton1->isChecked();
    f.byDate = TeThemeCheckBox3->isChecked();
    f.oldDate = DateTimePicker1->date();
    f.newDate = DateTimePicker2->date();
    f.byTime = TeThemeCheckBox4->isChecked();
    f.oldTime = DateTimePicker3->time();
    f.newTime = DateTimePicker4->time();
    return f;
}

void TFormGoNGDatabase::ListRuns(const SqlStatement& statement)
{
    m_headerModel->clear();
    m_headerModel->setQuery(m_store.Execute(statement));
    if (m_headerModel->lastError().isValid())
        throw VoltarisError(QStringLiteral("Results database \"%1\": %2")
                                .arg(QDir::toNativeSeparators(m_store.databasePath()),
                                     m_headerModel->lastError().text()));
    m_listedStatement = statement;
    if (m_headerModel->rowCount() > 0)
        DBGrid1->setCurrentIndex(m_headerModel->index(0, 0));
}

RunKey TFormGoNGDatabase::currentRun() const
{
    const QModelIndex current = DBGrid1->currentIndex();
    const QSqlRecord record = m_headerModel->record(current.isValid() ? current.row() : 0);
    return {record.value(0).toString(), DateFromStoredText(record.value(1).toString()),
            TimeFromStoredText(record.value(2).toString())};
}

RunScope TFormGoNGDatabase::scope() const
{
    return RadioButtonAllLines->isChecked() ? RunScope::AllLines : RunScope::CurrentLine;
}

QList<RunKey> TFormGoNGDatabase::runsInScope()
{
    // The grid fetches its rows lazily, so "All Lines" walks the listed statement itself.
    if (scope() == RunScope::CurrentLine)
        return {currentRun()};
    return m_store.ListedRuns(m_listedStatement);
}

QList<GoNGStepRow> TFormGoNGDatabase::stepRowsInScope()
{
    return m_store.StepRows(scope(), runsInScope());
}

void TFormGoNGDatabase::guarded(const std::function<void()>& action)
{
    try {
        action();
    } catch (const VoltarisError& error) {
        showError(error.message());
    }
}

void TFormGoNGDatabase::SearchClick()
{
    guarded([this] { ListRuns(BuildSearchStatement(filters())); });
}

void TFormGoNGDatabase::ReportClick()
{
    guarded([this] {
        if (m_headerModel->rowCount() == 0)
            return;
        const QList<GoNGStepRow> rows = stepRowsInScope();
        const QString path = QDir(m_store.folder()).filePath(QLatin1String(ReportTemplateFileName));
        showReport(RenderGoNGReport(LoadReportTemplate(path), rows, path));
    });
}

void TFormGoNGDatabase::DeleteClick()
{
    guarded([this] {
        if (m_headerModel->rowCount() == 0)
            return;
        if (!confirmDelete(m_deleteQuestion))
            return;
        const RunScope chosen = scope();
        const QList<RunKey> runs = runsInScope();
        // The grid's pending read is let go before the rows under it are deleted.
        m_headerModel->clear();
        try {
            m_store.DeleteRuns(chosen, runs);
        } catch (const VoltarisError&) {
            ListRuns(m_listedStatement);
            throw;
        }
        ListRuns(BuildSearchStatement({}));
    });
}

void TFormGoNGDatabase::ExportClick()
{
    guarded([this] {
        if (m_headerModel->rowCount() == 0)
            return;
        QList<GoNGStepRow> rows = stepRowsInScope();
        m_exporter.reset();
        m_exportView.reset();
        m_exportModel = std::make_unique<StepRowModel>(std::move(rows));
        m_exportView = std::make_unique<QTableView>();
        m_exportView->setObjectName("ExportGrid");
        m_exportView->setModel(m_exportModel.get());
        if (m_exportModel->rowCount() == 0)
            return;
        // Wide enough for each column's title and its texts, as the sheet's widths follow it.
        m_exportView->resizeColumnsToContents();
        m_exporter = std::make_unique<TDBGridExport>();
        if (prepareExport)
            prepareExport(*m_exporter);
        if (RadioButtonExcel->isChecked())
            m_exporter->ExportToExcel(m_exportView.get());
        else
            m_exporter->ExportToText(m_exportView.get(), true);
    });
}

void TFormGoNGDatabase::showReportPreview(const QString& html)
{
    QPrinter printer(QPrinter::HighResolution);
    auto chooseFile = [this] {
        QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save PDF"), QString(),
                                                    QStringLiteral("PDF (*.pdf)"));
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".pdf");
        return path;
    };
    std::unique_ptr<QPrintPreviewDialog> preview =
        CreateReportPreview(html, printer, this, chooseFile, showError);
    runModal(*preview);
}
