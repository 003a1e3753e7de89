#pragma once

#include "results/resultstore.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QPrintPreviewDialog;
class QTextDocument;
class QWidget;

// The GO/NG report: the template GoNGReport.frf of the program folder is a Mustache HTML
// template rendered over the selected step rows and shown in a print preview.
//
// Names the template can use:
//   RunCount, StepCount, PassCount, FailCount, Verdict ("Pass" when every row passed, else
//   "No Pass"), AllPassed and HasRows (sections), rows (every step row, in the order selected)
//   and runs (the rows grouped by run, in order of first appearance), where a run has Name,
//   CurrentDate, CurrentTime, Channel, StepCount, PassCount, FailCount, Verdict, AllPassed and
//   steps. A step row has Order, Name, Channel, Setting, Real, Max, Min, Delay, Pass, Passed
//   (section), CurrentDate and CurrentTime; numbers in the program's number text form, dates
//   yyyy-MM-dd and times HH:mm:ss.zzz.
inline constexpr const char* ReportTemplateFileName = "GoNGReport.frf";

// Reads a template file as UTF-8. Throws VoltarisError naming the file when it is missing,
// unreadable or not UTF-8 text.
QString LoadReportTemplate(const QString& path);

// The report's HTML. Throws VoltarisError naming templateName with the template's fault (an
// unclosed section, a stray closing tag) when it is not a valid template.
QString RenderGoNGReport(const QString& templateText, const QList<GoNGStepRow>& rows,
                         const QString& templateName);

// The report laid out on the printer's pages.
void PrintReport(const QString& html, QPrinter& printer);

// Prints the report to a PDF file through a QPrinter, written aside and renamed over the file.
// Throws VoltarisError naming the file when it cannot be written.
void WriteReportPdf(const QString& html, const QString& path);

// The preview window of a report: zoom, page set-up and print from its tool bar, plus "Save PDF"
// which asks for a file through chooseFile (empty for cancel) and reports failures to showError.
std::unique_ptr<QPrintPreviewDialog>
CreateReportPreview(const QString& html, QPrinter& printer, QWidget* parent,
                    std::function<QString()> chooseFile,
                    std::function<void(const QString&)> showError);
