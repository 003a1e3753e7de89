#include "results/dbgridexport.h"
#include "results/dlggongdatabase.h"
#include "results/resultstore.h"

#include "platform/errors.h"
#include "settings/loadsource.h"

#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>

#include <memory>

namespace {

GoNgStep step(double setting, quint8 pass)
{
    GoNgStep s;
    s.Setting = setting;
    s.Max = 0.5;
    s.Min = 0.1;
    s.Delay = 1;
    s.Real = pass ? 0.3 : 0;
    s.Pass = pass;
    return s;
}

QDateTime at(int day, int h, int m)
{
    return QDateTime(QDate(2026, 3, day), QTime(h, m));
}

// The browser over a store in a fresh program folder, with every dialog and box replaced by a
// recorder: the report template lists "Name@time/Order" per step row.
struct BrowserFixture
{
    QTemporaryDir dir;
    TLoadSource texts;
    std::unique_ptr<ResultStore> store;
    std::unique_ptr<TFormGoNGDatabase> browser;
    int shown = 0;
    QStringList errors;
    QStringList questions;
    bool answer = true;
    QStringList reports;
    int exports = 0;
    QString exportFile;

    explicit BrowserFixture(const QString& folder = QString())
    {
        texts.LoadBuiltInEnglish();
        store = std::make_unique<ResultStore>(folder.isEmpty() ? dir.path() : folder);
        browser = std::make_unique<TFormGoNGDatabase>(texts, *store);
        browser->runModal = [this](QDialog&) {
            ++shown;
            return 0;
        };
        browser->showError = [this](const QString& message) { errors << message; };
        browser->confirmDelete = [this](const QString& question) {
            questions << question;
            return answer;
        };
        browser->showReport = [this](const QString& html) { reports << html; };
        exportFile = dir.filePath("steps.txt");
        browser->prepareExport = [this](TDBGridExport& exporter) {
            ++exports;
            exporter.Show_Progress = false;
            exporter.chooseTextFile = [this] { return exportFile; };
            exporter.chooseWorkbookFile = [this] { return dir.filePath("steps.xlsx"); };
            exporter.openWorkbook = [this](const QString& path) { exportFile = path; };
        };
        writeTestFile(dir.filePath("GoNGReport.frf"),
                      "{{#rows}}{{Name}}@{{CurrentTime}}/{{Order}};{{/rows}}");
    }

    // Two runs named Beta and one Alpha between them; the second Beta failed a step.
    void recordRuns()
    {
        store->RecordGoNGRun("Beta", {step(1, 1), step(2, 1)}, at(1, 8, 0), 1);
        store->RecordGoNGRun("Alpha", {step(3, 1)}, at(1, 9, 0), 1);
        store->RecordGoNGRun("Beta", {step(4, 0)}, at(2, 10, 0), 1);
    }

    QStringList listedNames() const
    {
        QStringList names;
        QSqlQueryModel* model = browser->headerModel();
        while (model->canFetchMore())
            model->fetchMore();
        for (int r = 0; r < model->rowCount(); ++r)
            names << model->record(r).value(0).toString() + "@" +
                         model->record(r).value(2).toString().left(5);
        return names;
    }

    void search(const QString& name)
    {
        browser->TeThemeCheckBox1->setChecked(true);
        browser->TeThemeComboBox1->setCurrentText(name);
        QTest::mouseClick(browser->ButtonSearch, Qt::LeftButton);
    }

    void chooseAllLines() { browser->RadioButtonAllLines->setChecked(true); }
};

QStringList comboItems(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

class TestGoNGDatabaseBrowser : public QObject
{
    Q_OBJECT
private slots:
    void initialStatesAndCaptions()
    {
        BrowserFixture f;
        TFormGoNGDatabase& b = *f.browser;
        QCOMPARE(b.windowTitle(), QString("GoNGDatabaseOperation"));
        QCOMPARE(b.GroupBoxQuery->title(), QString("Query"));
        for (QCheckBox* box :
             {b.TeThemeCheckBox1, b.TeThemeCheckBox2, b.TeThemeCheckBox3, b.TeThemeCheckBox4})
            QVERIFY(!box->isChecked());
        QCOMPARE(b.TeThemeCheckBox1->text(), QString("Name"));
        QCOMPARE(b.TeThemeCheckBox2->text(), QString("Pass"));
        QCOMPARE(b.TeThemeCheckBox3->text(), QString("Date"));
        QCOMPARE(b.TeThemeCheckBox4->text(), QString("Time"));
        QVERIFY(!b.TeThemeComboBox1->isEnabled());
        QVERIFY(!b.TeThemeComboBox1->isEditable());
        QCOMPARE(b.TeThemeComboBox1->count(), 0);
        QCOMPARE(b.TeThemeComboBox1->maxVisibleItems(), 4);
        QVERIFY(b.TeThemeRadioButton1->isChecked());
        QVERIFY(!b.TeThemeRadioButton1->isEnabled());
        QVERIFY(!b.TeThemeRadioButton2->isEnabled());
        QCOMPARE(b.TeThemeRadioButton2->text(), QString("No Pass"));
        for (QDateEdit* picker : {b.DateTimePicker1, b.DateTimePicker2}) {
            QVERIFY(!picker->isEnabled());
            QCOMPARE(picker->date(), QDate(2005, 10, 17));
            QVERIFY(picker->calendarPopup());
        }
        for (QTimeEdit* picker : {b.DateTimePicker3, b.DateTimePicker4}) {
            QVERIFY(!picker->isEnabled());
            QCOMPARE(picker->time(), QTime(10, 0, 18));
        }
        QCOMPARE(b.LabelDateTo->text(), QString("To"));
        QCOMPARE(b.ButtonSearch->text(), QString("Search"));
        QCOMPARE(b.ButtonReport->text(), QString("Report"));
        QCOMPARE(b.ButtonDelete->text(), QString("Delete"));
        QCOMPARE(b.ButtonCancel->text(), QString("Cancel"));
        QCOMPARE(b.ButtonExport->text(), QString("Export"));
        QCOMPARE(b.RadioGroupExportTo->title(), QString("Export To "));
        QVERIFY(b.RadioButtonExcel->isChecked());
        QCOMPARE(b.RadioButtonTxt->text(), QString("Txt"));
        QCOMPARE(b.RadioGroupExportContent->title(), QString("Export Data Content"));
        QVERIFY(b.RadioButtonCurrentLine->isChecked());
        QCOMPARE(b.RadioButtonCurrentLine->text(), QString("Current Line"));
        QCOMPARE(b.RadioButtonAllLines->text(), QString("All Lines"));
        QCOMPARE(b.DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(b.findChild<QTableView*>("DBGrid1"));
    }

    void filterBoxesEnableTheirControlsAndKeepValues()
    {
        BrowserFixture f;
        TFormGoNGDatabase& b = *f.browser;
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        // On the indicator: a wide check box does not take clicks right of its text.
        const auto click = [](QCheckBox* box) {
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        };
        click(b.TeThemeCheckBox1);
        QVERIFY(b.TeThemeComboBox1->isEnabled());
        click(b.TeThemeCheckBox2);
        QVERIFY(b.TeThemeRadioButton1->isEnabled() && b.TeThemeRadioButton2->isEnabled());
        click(b.TeThemeCheckBox3);
        QVERIFY(b.DateTimePicker1->isEnabled() && b.DateTimePicker2->isEnabled());
        click(b.TeThemeCheckBox4);
        QVERIFY(b.DateTimePicker3->isEnabled() && b.DateTimePicker4->isEnabled());

        b.DateTimePicker2->setDate(QDate(2026, 3, 2));
        b.TeThemeRadioButton2->setChecked(true);
        click(b.TeThemeCheckBox3);
        click(b.TeThemeCheckBox2);
        QVERIFY(!b.DateTimePicker1->isEnabled() && !b.DateTimePicker2->isEnabled());
        QVERIFY(!b.TeThemeRadioButton1->isEnabled() && !b.TeThemeRadioButton2->isEnabled());
        QCOMPARE(b.DateTimePicker2->date(), QDate(2026, 3, 2));
        QVERIFY(b.TeThemeRadioButton2->isChecked());
        const SearchFilters filters = b.filters();
        QVERIFY(filters.byName && !filters.byPass && !filters.byDate && filters.byTime);
        QVERIFY(!filters.passed);
    }

    void openingListsEveryRunAndTheDistinctNames()
    {
        BrowserFixture f;
        f.recordRuns();
        f.browser->OpenResultsBrowser();
        QCOMPARE(f.shown, 1);
        QVERIFY(f.errors.isEmpty());
        QCOMPARE(f.listedNames(), QStringList({"Beta@08:00", "Alpha@09:00", "Beta@10:00"}));
        QCOMPARE(f.browser->headerModel()->headerData(3, Qt::Horizontal).toString(),
                 QString("Pass"));
        QCOMPARE(comboItems(f.browser->TeThemeComboBox1), QStringList({"Beta", "Alpha"}));
        QCOMPARE(f.browser->TeThemeComboBox1->currentText(), QString("Beta"));

        // An empty header table keeps the names of the earlier opening.
        f.store->DeleteRuns(RunScope::AllLines, f.store->ListedRuns(BuildSearchStatement({})));
        f.browser->OpenResultsBrowser();
        QCOMPARE(f.shown, 2);
        QCOMPARE(f.listedNames(), QStringList());
        QCOMPARE(comboItems(f.browser->TeThemeComboBox1), QStringList({"Beta", "Alpha"}));
    }

    void anUnopenableDatabaseIsReportedAndTheWindowStaysClosed()
    {
        QTemporaryDir dir;
        const QString plain = dir.filePath("plain");
        writeTestFile(plain, "x");
        BrowserFixture f(plain);
        f.browser->OpenResultsBrowser();
        QCOMPARE(f.shown, 0);
        QCOMPARE(f.errors.size(), 1);
        QVERIFY2(f.errors[0].contains(plain + "/GoNGRecorder.db"), qPrintable(f.errors[0]));
    }

    void searchListsTheRunsOfTheTickedFilters()
    {
        BrowserFixture f;
        f.recordRuns();
        // Ticked before any opening filled the list: an empty name lists nothing.
        f.store->OpenResultsDatabase();
        f.search(QString());
        QCOMPARE(f.listedNames(), QStringList());

        f.browser->OpenResultsBrowser();
        f.search("Alpha");
        QCOMPARE(f.listedNames(), QStringList({"Alpha@09:00"}));
        f.browser->TeThemeCheckBox1->setChecked(false);
        f.browser->TeThemeCheckBox2->setChecked(true);
        f.browser->TeThemeRadioButton2->setChecked(true);
        QTest::mouseClick(f.browser->ButtonSearch, Qt::LeftButton);
        QCOMPARE(f.listedNames(), QStringList({"Beta@10:00"}));
        QCOMPARE(f.browser->listedStatement().text,
                 QString("select * from GoNGDateType where (Pass=:passed)"));
    }

    void reportOfTheCurrentRunOrOfAllListedRuns()
    {
        BrowserFixture f;
        f.recordRuns();
        f.browser->OpenResultsBrowser();
        f.search("Beta");
        TFormGoNGDatabase& b = *f.browser;
        b.DBGrid1->setCurrentIndex(b.headerModel()->index(1, 0));
        QTest::mouseClick(b.ButtonReport, Qt::LeftButton);
        QCOMPARE(f.reports, QStringList({"Beta@10:00:00.000/1;"}));

        f.chooseAllLines();
        QTest::mouseClick(b.ButtonReport, Qt::LeftButton);
        QCOMPARE(f.reports.last(),
                 QString("Beta@08:00:00.000/1;Beta@08:00:00.000/2;Beta@10:00:00.000/1;"));

        // A double-click on a run acts like "Report".
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        const QRect cell = b.DBGrid1->visualRect(b.headerModel()->index(0, 0));
        QTest::mouseClick(b.DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(b.DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(f.reports.size(), 3);
        QCOMPARE(f.reports.last(), f.reports.at(1));
        QVERIFY(f.errors.isEmpty());
    }

    void aMissingTemplateIsNamedAndNothingIsShown()
    {
        BrowserFixture f;
        f.recordRuns();
        f.browser->OpenResultsBrowser();
        QVERIFY(QFile::remove(f.dir.filePath("GoNGReport.frf")));
        f.browser->ReportClick();
        QVERIFY(f.reports.isEmpty());
        QCOMPARE(f.errors.size(), 1);
        QVERIFY2(f.errors[0].contains(f.dir.filePath("GoNGReport.frf")), qPrintable(f.errors[0]));
    }

    void anEmptyListReportsDeletesAndExportsNothing()
    {
        BrowserFixture f;
        f.browser->OpenResultsBrowser();
        f.browser->ReportClick();
        f.browser->DeleteClick();
        f.browser->ExportClick();
        QVERIFY(f.reports.isEmpty());
        QVERIFY(f.questions.isEmpty());
        QCOMPARE(f.exports, 0);
        QVERIFY(f.errors.isEmpty());
    }

    void deleteAsksThenRemovesTheRunAndListsAllThatRemain()
    {
        BrowserFixture f;
        f.recordRuns();
        f.browser->OpenResultsBrowser();
        f.search("Beta");
        f.answer = false;
        f.browser->DeleteClick();
        QCOMPARE(f.questions, QStringList({"Delete the selected records?"}));
        QCOMPARE(f.listedNames(), QStringList({"Beta@08:00", "Beta@10:00"}));

        f.answer = true;
        f.browser->DeleteClick();
        // The Name filter is still ticked, yet every remaining run is listed.
        QCOMPARE(f.listedNames(), QStringList({"Alpha@09:00", "Beta@10:00"}));
        QCOMPARE(
            f.store->StepRows(RunScope::CurrentLine, {{"Beta", QDate(2026, 3, 1), QTime(8, 0)}})
                .size(),
            0);
        QCOMPARE(
            f.store->StepRows(RunScope::CurrentLine, {{"Beta", QDate(2026, 3, 2), QTime(10, 0)}})
                .size(),
            1);
        QVERIFY(f.browser->TeThemeCheckBox1->isChecked());
    }

    void deleteAllListedRuns()
    {
        BrowserFixture f;
        f.recordRuns();
        f.browser->OpenResultsBrowser();
        f.search("Beta");
        f.chooseAllLines();
        f.browser->DeleteClick();
        QCOMPARE(f.listedNames(), QStringList({"Alpha@09:00"}));
        QCOMPARE(
            f.store->StepRows(RunScope::AllLines, f.store->ListedRuns(BuildSearchStatement({})))
                .size(),
            1);
    }

    void exportWritesTheStepRowsOfTheListedRuns()
    {
        BrowserFixture f;
        f.recordRuns();
        f.browser->OpenResultsBrowser();
        f.search("Beta");
        f.chooseAllLines();
        f.browser->RadioButtonTxt->setChecked(true);
        QTest::mouseClick(f.browser->ButtonExport, Qt::LeftButton);
        QVERIFY(f.errors.isEmpty());
        QCOMPARE(f.exports, 1);
        QFile file(f.exportFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(
            file.readAll(),
            QByteArray("Order\tName\tChannel\tSetting\tReal\tMax\tMin\tDelay\tPass\t"
                       "CurrentDate\tCurrentTime\r\n"
                       "1\tBeta\t1\t1\t0.3\t0.5\t0.1\t1\tPass\t2026-03-01\t08:00:00.000\r\n"
                       "2\tBeta\t1\t2\t0.3\t0.5\t0.1\t1\tPass\t2026-03-01\t08:00:00.000\r\n"
                       "1\tBeta\t1\t4\t0\t0.5\t0.1\t1\tNo Pass\t2026-03-02\t10:00:00.000\r\n"));
        QVERIFY(!f.browser->exportView()->isVisible());

        f.browser->RadioButtonExcel->setChecked(true);
        f.browser->RadioButtonCurrentLine->setChecked(true);
        f.browser->ExportClick();
        QVERIFY(f.errors.isEmpty());
        QCOMPARE(f.exportFile, f.dir.filePath("steps.xlsx"));
        QVERIFY(QFile::exists(f.exportFile));
        QCOMPARE(f.browser->exportView()->model()->rowCount(), 2);
    }

    void aRunWithoutStepRowsExportsNothing()
    {
        BrowserFixture f;
        f.store->RecordGoNGRun("Empty", {}, at(1, 8, 0), 1);
        f.browser->OpenResultsBrowser();
        f.browser->RadioButtonTxt->setChecked(true);
        f.browser->ExportClick();
        QCOMPARE(f.exports, 0);
        QVERIFY(!QFile::exists(f.exportFile));
        QVERIFY(f.errors.isEmpty());
    }
};

QTEST_MAIN(TestGoNGDatabaseBrowser)
#include "tst_dlggongdatabase.moc"
