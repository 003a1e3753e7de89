#include "results/gongreport.h"

#include "platform/errors.h"

#include "testsupport.h"

#include <QAction>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

GoNGStepRow row(const QString& name, int order, const QString& pass,
                QTime time = QTime(9, 0, 0, 123))
{
    GoNGStepRow r;
    r.Order = order;
    r.Name = name;
    r.Channel = 2;
    r.Setting = 5 + order;
    r.Real = 0.25;
    r.Max = 0.3;
    r.Min = 0.2;
    r.Delay = 1.5;
    r.Pass = pass;
    r.CurrentDate = QDate(2026, 1, 5);
    r.CurrentTime = time;
    return r;
}

} // namespace

class TestGoNGReport : public QObject
{
    Q_OBJECT
private slots:
    void groupsRowsByRunAndCounts()
    {
        // Two runs whose rows arrive interleaved: each run gathers its own rows, in the order
        // the runs first appear.
        const QList<GoNGStepRow> rows{row("B", 1, "Pass"), row("A", 1, "No Pass", QTime(8, 0)),
                                      row("B", 2, "No Pass"), row("A", 2, "No Pass", QTime(8, 0)),
                                      row("B", 3, "Pass")};
        const QString tmpl = "{{RunCount}}/{{StepCount}}/{{PassCount}}/{{FailCount}}/{{Verdict}}"
                             "{{#runs}};{{Name}}@{{CurrentTime}} ch{{Channel}} "
                             "{{PassCount}}of{{StepCount}} {{Verdict}}:"
                             "{{#steps}}{{Order}}{{#Passed}}+{{/Passed}}{{^Passed}}-{{/Passed}}"
                             "{{/steps}}{{/runs}}";
        QCOMPARE(RenderGoNGReport(tmpl, rows, "t"),
                 QString("2/5/2/3/No Pass;B@09:00:00.123 ch2 2of3 No Pass:1+2-3+"
                         ";A@08:00:00.000 ch2 0of2 No Pass:1-2-"));
    }

    void stepRowFieldsAsText()
    {
        GoNGStepRow r = row("Unit <7> & co", 4, "Pass");
        r.Setting = 12.345678901234567;
        r.Real = 0;
        const QString tmpl = "{{#rows}}{{Order}}|{{Name}}|{{Channel}}|{{Setting}}|{{Real}}|{{Max}}|"
                             "{{Min}}|{{Delay}}|{{Pass}}|{{CurrentDate}}|{{CurrentTime}}{{/rows}}"
                             "{{#AllPassed}} all passed{{/AllPassed}}";
        QCOMPARE(RenderGoNGReport(tmpl, {r}, "t"),
                 QString("4|Unit &lt;7&gt; &amp; co|2|12.3456789012346|0|0.3|0.2|1.5|Pass|"
                         "2026-01-05|09:00:00.123 all passed"));
    }

    void noRowsRendersTheEmptyBranch()
    {
        QCOMPARE(RenderGoNGReport("{{^HasRows}}none{{/HasRows}}{{#runs}}x{{/runs}}{{RunCount}}", {},
                                  "t"),
                 QString("none0"));
    }

    void shippedTemplateShowsRunsStepsAndSummary()
    {
        const QString path = QStringLiteral(VOLTARIS_SOURCE_DIR "/data/GoNGReport.frf");
        const QString html = RenderGoNGReport(
            LoadReportTemplate(path), {row("GoNG7", 1, "Pass"), row("GoNG7", 2, "No Pass")}, path);
        for (const char* expected :
             {"GO/NG Test Report", "<h2>GoNG7</h2>", "2026-01-05", "09:00:00.123", "Channel 2",
              "<td class=\"num\">7</td>", "1 of 2 step(s) passed, 1 failed", "No Pass"})
            QVERIFY2(html.contains(QLatin1String(expected)), expected);
        QVERIFY(!html.contains("{{"));
    }

    void brokenTemplateNamesTheFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("unclosed section") << "{{#rows}}{{Name}}";
        QTest::newRow("stray closing tag") << "{{/rows}}";
        QTest::newRow("unclosed tag") << "{{Name";
    }

    void brokenTemplateNamesTheFile()
    {
        QFETCH(QString, text);
        const QString error =
            errorOf([&] { RenderGoNGReport(text, {row("A", 1, "Pass")}, "/prog/GoNGReport.frf"); });
        QVERIFY2(error.contains("\"/prog/GoNGReport.frf\" is not valid"), qPrintable(error));
    }

    void loadingNamesAMissingOrUndecodableFile()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath("GoNGReport.frf");
        QVERIFY(errorOf([&] { LoadReportTemplate(missing); }).contains(missing));
        writeTestFile(missing, "<p>\xff\xfe</p>");
        QCOMPARE(errorOf([&] { LoadReportTemplate(missing); }),
                 "The report template \"" + missing + "\" is not UTF-8 text");
        writeTestFile(missing, "<p>\xc3\xa9{{Name}}</p>");
        QCOMPARE(LoadReportTemplate(missing), QString::fromUtf8("<p>\xc3\xa9{{Name}}</p>"));
    }

    void pdfReplacesTheFileWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("report.pdf");
        writeTestFile(path, "old");
        WriteReportPdf("<h1>Report</h1><p>GoNG7</p>", path);
        QVERIFY(contentsOf(path).startsWith("%PDF-"));

        const QString unreachable = dir.filePath("no/such/folder/report.pdf");
        QVERIFY(errorOf([&] { WriteReportPdf("<p>x</p>", unreachable); }).contains(unreachable));
        QVERIFY(!QFile::exists(unreachable));
    }

    void previewSavesAPdfFromItsToolBar()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("saved.pdf");
        QStringList errors;
        QPrinter printer;
        auto preview = CreateReportPreview(
            "<p>GoNG7</p>", printer, nullptr, [&] { return path; },
            [&](const QString& message) { errors << message; });
        auto* save = preview->findChild<QAction*>("actionSavePdf");
        QVERIFY(save);
        save->trigger();
        QVERIFY(errors.isEmpty());
        QVERIFY(contentsOf(path).startsWith("%PDF-"));
    }
};

QTEST_MAIN(TestGoNGReport)
#include "tst_gongreport.moc"
