#include "gongreport.h"

#include "platform/atomicfile.h"
#include "platform/decimal.h"
#include "platform/errors.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolBar>

#include <kainjow/mustache.hpp>

namespace mustache = kainjow::mustache;

namespace {

std::string utf8(const QString& text)
{
    return text.toStdString();
}

mustache::data stepData(const GoNGStepRow& row)
{
    mustache::data step;
    step.set("Order", utf8(QString::number(row.Order)));
    step.set("Name", utf8(row.Name));
    step.set("Channel", utf8(QString::number(row.Channel)));
    step.set("Setting", utf8(formatNumber(row.Setting)));
    step.set("Real", utf8(formatNumber(row.Real)));
    step.set("Max", utf8(formatNumber(row.Max)));
    step.set("Min", utf8(formatNumber(row.Min)));
    step.set("Delay", utf8(formatNumber(row.Delay)));
    step.set("Pass", utf8(row.Pass));
    step.set("Passed", mustache::data(row.Pass == QLatin1String("Pass")));
    step.set("CurrentDate", utf8(StoredDateText(row.CurrentDate)));
    step.set("CurrentTime", utf8(StoredTimeText(row.CurrentTime)));
    return step;
}

void setCounts(mustache::data& target, int steps, int passed)
{
    target.set("StepCount", utf8(QString::number(steps)));
    target.set("PassCount", utf8(QString::number(passed)));
    target.set("FailCount", utf8(QString::number(steps - passed)));
    target.set("AllPassed", mustache::data(passed == steps));
    target.set("Verdict", passed == steps ? "Pass" : "No Pass");
}

struct RunGroup
{
    GoNGStepRow first;
    QList<const GoNGStepRow*> steps;
    int passed = 0;
};

} // namespace

QString LoadReportTemplate(const QString& path)
{
    const QByteArray bytes = readWholeFile(path);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        throw VoltarisError(QStringLiteral("The report template \"%1\" is not UTF-8 text")
                                .arg(QDir::toNativeSeparators(path)));
    return text;
}

QString RenderGoNGReport(const QString& templateText, const QList<GoNGStepRow>& rows,
                         const QString& templateName)
{
    mustache::mustache tmpl(utf8(templateText));
    auto broken = [&](const std::string& reason) {
        return VoltarisError(
            QStringLiteral("The report template \"%1\" is not valid: %2")
                .arg(QDir::toNativeSeparators(templateName), QString::fromStdString(reason)));
    };
    if (!tmpl.is_valid())
        throw broken(tmpl.error_message());

    QList<RunGroup> groups;
    QHash<QString, qsizetype> groupOf;
    mustache::list flat;
    int passed = 0;
    for (const GoNGStepRow& row : rows) {
        const QString key = row.Name + QChar(0) + StoredDateText(row.CurrentDate) + QChar(0) +
                            StoredTimeText(row.CurrentTime);
        auto found = groupOf.constFind(key);
        if (found == groupOf.constEnd()) {
            found = groupOf.insert(key, groups.size());
            groups.append({row, {}, 0});
        }
        RunGroup& group = groups[*found];
        group.steps.append(&row);
        const bool ok = row.Pass == QLatin1String("Pass");
        group.passed += ok;
        passed += ok;
        flat.push_back(stepData(row));
    }

    mustache::list runs;
    for (const RunGroup& group : groups) {
        mustache::data run;
        run.set("Name", utf8(group.first.Name));
        run.set("CurrentDate", utf8(StoredDateText(group.first.CurrentDate)));
        run.set("CurrentTime", utf8(StoredTimeText(group.first.CurrentTime)));
        run.set("Channel", utf8(QString::number(group.first.Channel)));
        setCounts(run, int(group.steps.size()), group.passed);
        mustache::list steps;
        for (const GoNGStepRow* step : group.steps)
            steps.push_back(stepData(*step));
        run.set("steps", steps);
        runs.push_back(run);
    }

    mustache::data context;
    context.set("RunCount", utf8(QString::number(groups.size())));
    setCounts(context, int(rows.size()), passed);
    context.set("HasRows", mustache::data(!rows.isEmpty()));
    context.set("rows", flat);
    context.set("runs", runs);

    const std::string html = tmpl.render(context);
    if (!tmpl.is_valid())
        throw broken(tmpl.error_message());
    return QString::fromStdString(html);
}

void PrintReport(const QString& html, QPrinter& printer)
{
    QTextDocument document;
    document.setHtml(html);
    document.print(&printer);
}

void WriteReportPdf(const QString& html, const QString& path)
{
    // QPrinter writes straight into its output file, so it prints into a scratch folder and the
    // finished bytes replace the operator's file in one rename.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw VoltarisError(QStringLiteral("Cannot write the report \"%1\": no temporary folder")
                                .arg(QDir::toNativeSeparators(path)));
    const QString aside = scratch.filePath(QStringLiteral("report.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(aside);
    PrintReport(html, printer);
    if (!QFile::exists(aside))
        throw VoltarisError(
            QStringLiteral("Cannot write the report \"%1\"").arg(QDir::toNativeSeparators(path)));
    writeFileAtomically(path, readWholeFile(aside));
}

std::unique_ptr<QPrintPreviewDialog>
CreateReportPreview(const QString& html, QPrinter& printer, QWidget* parent,
                    std::function<QString()> chooseFile,
                    std::function<void(const QString&)> showError)
{
    auto dialog = std::make_unique<QPrintPreviewDialog>(&printer, parent);
    dialog->setObjectName("ReportPreview");
    dialog->setWindowTitle(QStringLiteral("GO/NG Report"));
    // The dialog's own size shows a page too small to read; take most of the screen instead.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        dialog->resize(area.width() * 4 / 5, area.height() * 9 / 10);
    }
    QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
                     [html](QPrinter* target) { PrintReport(html, *target); });
    if (auto* toolBar = dialog->findChild<QToolBar*>()) {
        toolBar->addSeparator();
        QAction* save = toolBar->addAction(QStringLiteral("Save PDF"));
        save->setObjectName("actionSavePdf");
        QObject::connect(save, &QAction::triggered, dialog.get(), [html, chooseFile, showError] {
            const QString path = chooseFile();
            if (path.isEmpty())
                return;
            try {
                WriteReportPdf(html, path);
            } catch (const VoltarisError& error) {
                showError(error.message());
            }
        });
    }
    return dialog;
}
