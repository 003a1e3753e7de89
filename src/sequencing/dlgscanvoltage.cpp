#include "dlgscanvoltage.h"

#include "charts/liveplot.h"
#include "settings/loadsource.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

TFormScanVoltage::TFormScanVoltage(Clock& clock, const TLoadSource& texts, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("TFormScanVoltage");
    setWindowTitle("Plot");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinMaxButtonsHint);
    setModal(false);
    resize(640, 420);

    auto* column = new QVBoxLayout(this);
    toolBar = new QToolBar(this);
    toolBar->setObjectName("toolBar");
    autoScaleAction = toolBar->addAction("Auto scale");
    autoScaleAction->setObjectName("autoScaleAction");
    column->addWidget(toolBar);

    iPlotScanVoltage = new LivePlot(clock, this);
    iPlotScanVoltage->setObjectName("iPlotScanVoltage");
    iPlotScanVoltage->setTitle("Voltage(V)");
    iPlotScanVoltage->setXAxisTitle("Time");
    iPlotScanVoltage->setChannelTitles({"Channel 1", "Channel 2", "Channel 3"});
    // This window is itself the large view of the scan.
    iPlotScanVoltage->largePlotAction()->setVisible(false);
    column->addWidget(iPlotScanVoltage, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cancelButton = new QPushButton("Cancel", this);
    cancelButton->setObjectName("cancelButton");
    cancelButton->setAutoDefault(false);
    buttons->addWidget(cancelButton);
    column->addLayout(buttons);

    connect(autoScaleAction, &QAction::triggered, iPlotScanVoltage, &LivePlot::autoScale);
    connect(cancelButton, &QPushButton::clicked, this, &TFormScanVoltage::close);

    ApplyLanguageTexts(texts);
}

void TFormScanVoltage::ApplyLanguageTexts(const TLoadSource& texts)
{
    setWindowTitle(texts.GetText(41));
    iPlotScanVoltage->setTitle(texts.GetText(7));
    const QString autoScale = texts.GetText(96);
    autoScaleAction->setText(autoScale);
    autoScaleAction->setToolTip(autoScale);
    cancelButton->setText(texts.GetText(72));
}

void TFormScanVoltage::addVoltages(double v1, double v2, double v3)
{
    iPlotScanVoltage->addPoints(v1, v2, v3);
}

void TFormScanVoltage::setYSpan(double volts)
{
    iPlotScanVoltage->setYSpan(volts);
}
