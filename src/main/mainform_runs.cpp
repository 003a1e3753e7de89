// The test-list grids, the three run panels and the hotkeys.
#include "mainform.h"

#include "link/instrumentlink.h"
#include "platform/clock.h"
#include "platform/decimal.h"
#include "platform/errors.h"
#include "sequencing/dlgfastkey.h"
#include "sequencing/dlgfixedselect.h"
#include "sequencing/dlgscanvoltage.h"
#include "sequencing/gongrun.h"
#include "sequencing/programrun.h"
#include "sequencing/scanrun.h"
#include "sequencing/scanvoltage.h"
#include "sequencing/testlistgrid.h"
#include "settings/loadsource.h"
#include "widgets/knob.h"
#include "widgets/ledrectangle.h"
#include "widgets/sevensegmentdisplay.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

void TFormmain::buildSequencing()
{
    m_programGrid = new TestListGrid(TestListGrid::Kind::Program, TeThemeStringGridList,
                                     *m_loadSource, this);
    m_goNgGrid = new TestListGrid(TestListGrid::Kind::GoNg, TeThemeStringGridGoNg, *m_loadSource,
                                  this);
    for (TestListGrid* grid : {m_programGrid, m_goNgGrid})
        connect(grid, &TestListGrid::failed, this, [this](const QString& m) { showError(m); });

    for (int c = 0; c < 3; ++c) {
        m_scanVoltages[c] = std::make_unique<TScanVoltage>();
        ScanVoltages[c] = m_scanVoltages[c].get();
    }

    m_programRun = new ProgramRun(*Ch1TestProgramTimer, this);
    m_programRun->runTimesMode = [this] {
        for (int i = 0; i < 3; ++i)
            if (runTimesItems[i]->isChecked())
                return i;
        return 0;
    };
    m_programRun->customCount = [this] { return TeThemeSpinEdit->value(); };
    connect(m_programRun, &ProgramRun::applyStep, this, &TFormmain::applyProgramStep);
    connect(m_programRun, &ProgramRun::viewChanged, this, &TFormmain::showProgramView);
    connect(PanelProgram.run, &QToolButton::clicked, m_programRun, &ProgramRun::run);
    connect(PanelProgram.step, &QToolButton::clicked, m_programRun, &ProgramRun::step);
    connect(PanelProgram.stop, &QToolButton::clicked, this, [this] {
        m_programRun->stop();
        closeRunPanel(PanelProgram);
    });
    connect(TeThemeSpeedButton5, &QToolButton::clicked, this, &TFormmain::TeThemeSpeedButton5Click);

    m_scanRun = new ScanRun(*Ch1Timer, this);
    connect(m_scanRun, &ScanRun::applyVoltage, this, &TFormmain::applyScanVoltage);
    connect(m_scanRun, &ScanRun::viewChanged, this, &TFormmain::showScanView);
    connect(PanelScan.run, &QToolButton::clicked, m_scanRun, &ScanRun::run);
    connect(PanelScan.step, &QToolButton::clicked, m_scanRun, &ScanRun::step);
    connect(PanelScan.stop, &QToolButton::clicked, this, [this] {
        m_scanRun->stop();
        closeRunPanel(PanelScan);
    });
    connect(TeThemeSpeedButton4, &QToolButton::clicked, this, &TFormmain::TeThemeSpeedButton4Click);
    sbScanPlot = new QToolButton(PanelScan.frame);
    sbScanPlot->setObjectName("sbScanPlot");
    sbScanPlot->setText(text(41));
    sbScanPlot->setToolButtonStyle(Qt::ToolButtonTextOnly);
    static_cast<QGridLayout*>(PanelScan.frame->layout())->addWidget(sbScanPlot, 2, 0, 1, 3);
    connect(sbScanPlot, &QToolButton::clicked, this, [this] {
        if (m_scanPlot) {
            m_scanPlot->show();
            m_scanPlot->raise();
        }
    });
    const std::array<QLineEdit*, 4> entries{iAnalogOutputStart, iAnalogOutputEnd,
                                            iAnalogOutputStep, iAnalogOutputtime};
    for (int tag = 0; tag < 4; ++tag)
        connect(entries[tag], &QLineEdit::textChanged, this,
                [this, tag] { iAnalogOutputStartChange(tag); });

    m_goNgRun = new GoNgRun(*Ch1GoNGTimer, this);
    connect(m_goNgRun, &GoNgRun::timedRunCompleted, this, &TFormmain::RecordGoNGRun);
    connect(m_goNgRun, &GoNgRun::failed, this, [this](const QString& m) { showError(m); });
    connect(m_programRun, &ProgramRun::failed, this, [this](const QString& m) { showError(m); });
    connect(m_goNgRun, &GoNgRun::applySetting, this, &TFormmain::applyGoNgSetting);
    connect(m_goNgRun, &GoNgRun::viewChanged, this, &TFormmain::showGoNgView);
    connect(m_goNgRun, &GoNgRun::stepJudged, this, [this](int index) {
        ShowGoNgList();
        m_goNgGrid->setCurrentRow(index + 1);
    });
    connect(PanelGoNG.run, &QToolButton::clicked, m_goNgRun, &GoNgRun::run);
    connect(PanelGoNG.step, &QToolButton::clicked, m_goNgRun, &GoNgRun::step);
    connect(PanelGoNG.stop, &QToolButton::clicked, this, [this] {
        m_goNgRun->stop();
        closeRunPanel(PanelGoNG);
    });
    connect(TeThemeSpeedButton8, &QToolButton::clicked, this, &TFormmain::TeThemeSpeedButton8Click);

    auto* runTimesGroup = runTimesItems[0]->group();
    disconnect(runTimesGroup, nullptr, this, nullptr);
    connect(runTimesGroup, &QButtonGroup::idClicked, this, &TFormmain::TeThemeRadioGroupRunClick);

    PopupMenuFastKey = new QMenu(this);
    PopupMenuFastKey->setObjectName("PopupMenuFastKey");
    MenuItemFastKey = PopupMenuFastKey->addAction(text(73));
    MenuItemFastKey->setObjectName("MenuItemFastKey");
    connect(MenuItemFastKey, &QAction::triggered, this, &TFormmain::MenuItemFastKeyClick);
    buildRecorder();
    for (int i = 0; i < 10; ++i) {
        tbFastKey[i]->installEventFilter(this);
        connect(tbFastKey[i], &QToolButton::clicked, this, [this, i] { tbFastKey1Click(i); });
    }
}

void TFormmain::setFastKeyDialog(TFormFastKey* dialog)
{
    m_fastKeyDialog = dialog;
    if (m_fastKeyDialog)
        m_fastKeyDialog->setPrecision(4);
}

void TFormmain::setResults(ResultStore* store, TFormGoNGDatabase* browser)
{
    m_resultStore = store;
    m_resultsBrowser = browser;
}

void TFormmain::setScanPlotWindow(TFormScanVoltage* window)
{
    m_scanPlot = window;
}

void TFormmain::setFillDialog(TFormFixedSelect* dialog)
{
    for (TestListGrid* grid : {m_programGrid, m_goNgGrid})
        grid->setFillDialog(dialog, m_deps.execFillDialog);
}

void TFormmain::ShowProgramList()
{
    if (!m_shown)
        return;
    const int c = selectedChannel();
    m_programGrid->setList(&ProgramLists[c]);
    m_programGrid->setLimits(MaxVoltage[c], MaxCurrent[c]);
    m_programGrid->show();
}

void TFormmain::ShowGoNgList()
{
    const int c = selectedChannel();
    m_goNgGrid->setList(&GoNgLists[c]);
    m_goNgGrid->setLimits(MaxVoltage[c], MaxCurrent[c]);
    m_goNgGrid->show();
}

// The grids stay bound to the list they last showed, so a read-back during a channel change
// goes to the channel being left.
void TFormmain::TakeProgramGrid()
{
    if (!m_shown)
        return;
    try {
        m_programGrid->take();
    } catch (const VoltarisError& error) {
        showError(error.message());  // the list keeps what it held
    }
}

void TFormmain::TakeGoNgGrid()
{
    try {
        m_goNgGrid->take();
    } catch (const VoltarisError& error) {
        showError(error.message());
    }
}

void TFormmain::openRunPanel(RunPanel& panel)
{
    placeRunPanels();
    panel.frame->show();
    panel.frame->raise();
    EnableControls(false);
    TeThemePageControl->setEnabled(false);
    RunPanelOpen = true;
}

void TFormmain::closeRunPanel(RunPanel& panel)
{
    panel.frame->hide();
    TeThemePageControl->setEnabled(true);
    EnableControls(true);
    RunPanelOpen = false;
}

void TFormmain::TeThemeSpeedButton5Click()
{
    const int c = selectedChannel();
    if (ProgramLists[c].isEmpty())
        return;
    TakeProgramGrid();
    if (!m_programRun->open(&ProgramLists[c]))
        return;
    openRunPanel(PanelProgram);
    showProgramView();
}

void TFormmain::showProgramView()
{
    const ProgramRunView& view = m_programRun->view();
    PanelProgram.allStepsValue->setText(QString::number(view.allSteps));
    PanelProgram.currentStepValue->setText(QString::number(view.currentStep));
    StaticText56->setText(QString::number(view.runTimes));
    PanelProgram.finished->setVisible(view.finishedShown);
    PanelProgram.run->setEnabled(view.runEnabled);
    PanelProgram.step->setEnabled(view.stepEnabled);
    PanelProgram.run->setChecked(view.runDown);
    if (view.gridRow > 0)
        m_programGrid->setCurrentRow(view.gridRow);
}

void TFormmain::applyProgramStep(const ProgramStep& step)
{
    ChannelControls& ch = channels[selectedChannel()];
    ch.knobVoltage->setPosition(step.Voltage);
    ch.knobCurrent->setPosition(step.Current);
    ch.presetVoltage->setValue(step.Voltage);
    ch.presetCurrent->setValue(step.Current);
    m_link.SetVoltageCurrentText(formatNumber(step.Voltage), formatNumber(step.Current));
}

void TFormmain::TeThemeRadioGroupRunClick(int item)
{
    TeThemeSpinEdit->setVisible(item == 2);
    RunTimesMode = quint8(item);
    RunTimesCount = TeThemeSpinEdit->value();
}

void TFormmain::TeThemeSpeedButton4Click()
{
    const int c = selectedChannel();
    if (!m_scanRun->open(ScanSettings[c], *m_scanVoltages[c]))
        return;
    openRunPanel(PanelScan);
    showScanView();
}

void TFormmain::showScanView()
{
    const ScanRunView& view = m_scanRun->view();
    PanelScan.allStepsValue->setText(QString::number(view.allSteps));
    PanelScan.currentStepValue->setText(QString::number(view.currentStep));
    PanelScan.finished->setVisible(view.finishedShown);
    PanelScan.run->setVisible(view.runVisible);
    PanelScan.step->setVisible(view.stepVisible);
    PanelScan.run->setChecked(view.runDown);
}

void TFormmain::applyScanVoltage(double volts)
{
    ChannelControls& ch = channels[selectedChannel()];
    ch.presetVoltage->setValue(volts);
    ch.knobVoltage->setPosition(ch.presetVoltage->value());
    m_link.SetVoltageText(formatNumber(volts));
}

void TFormmain::iAnalogOutputStartChange(int tag)
{
    const std::array<QLineEdit*, 4> entries{iAnalogOutputStart, iAnalogOutputEnd,
                                            iAnalogOutputStep, iAnalogOutputtime};
    const int c = selectedChannel();
    try {
        const ScanEntryResult result = scanEntryChanged(tag, entries[tag]->text(), MaxVoltage[c]);
        if (result.ignore)
            return;
        if (!result.replacementText.isEmpty()) {
            entries[tag]->setText(result.replacementText);  // handled again with the new text
            return;
        }
        storeScanEntry(ScanSettings[c], tag, result.storedValue);
    } catch (const VoltarisError& error) {
        showError(error.message());
    }
}

void TFormmain::TeThemeSpeedButton8Click()
{
    const int c = selectedChannel();
    if (GoNgLists[c].isEmpty())
        return;
    ComposeRecorderName();
    TakeGoNgGrid();
    if (!m_goNgRun->open(&GoNgLists[c]))
        return;
    openRunPanel(PanelGoNG);
    ShowGoNgList();
    showGoNgView();
}

void TFormmain::showGoNgView()
{
    const GoNgRunView& view = m_goNgRun->view();
    PanelGoNG.allStepsValue->setText(QString::number(view.allSteps));
    PanelGoNG.currentStepValue->setText(QString::number(view.currentStep));
    PanelGoNG.finished->setVisible(view.finishedShown);
    PanelGoNG.run->setVisible(view.runVisible);
    PanelGoNG.step->setVisible(view.stepVisible);
    const bool passed = view.verdict == GoNgVerdict::Pass;
    StaticText64->setText(text(passed ? 59 : 60));
    StaticText64->setStyleSheet(passed ? "color: rgb(0, 255, 0)" : "color: rgb(255, 0, 0)");
    if (view.gridRow > 0)
        m_goNgGrid->setCurrentRow(view.gridRow);
}

void TFormmain::applyGoNgSetting(double volts)
{
    ChannelControls& ch = channels[selectedChannel()];
    ch.knobVoltage->setPosition(volts);
    ch.presetVoltage->setValue(volts);
    m_link.SetVoltageText(formatNumber(volts));
}

void TFormmain::tbFastKey1Click(int index)
{
    toggleTx();
    ChannelControls& ch = channels[selectedChannel()];
    const FastKey& key = FastKeys[index];
    ch.presetVoltage->setValue(key.Voltage);
    ch.knobVoltage->setPosition(ch.presetVoltage->value());
    ch.presetCurrent->setValue(key.Current);
    ch.knobCurrent->setPosition(ch.presetCurrent->value());
    m_link.SetVoltageCurrentText(formatNumber(key.Voltage), formatNumber(key.Current));
}

bool TFormmain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && watched == TeThemeEdit1)
        RecorderBaseName = TeThemeEdit1->text();
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* button = qobject_cast<QToolButton*>(watched);
        if (button && std::find(tbFastKey.begin(), tbFastKey.end(), button) != tbFastKey.end()) {
            FastKeySender = button;
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton)
                PopupMenuFastKey->popup(mouse->globalPosition().toPoint());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormmain::MenuItemFastKeyClick()
{
    if (!FastKeySender || !m_fastKeyDialog)
        return;
    m_fastKeyDialog->loadCaption(FastKeySender->text());
    const int result = m_deps.execFastKeyDialog ? m_deps.execFastKeyDialog(*m_fastKeyDialog)
                                                : m_fastKeyDialog->exec();
    if (result != QDialog::Accepted)
        return;
    FastKeySender->setText(m_fastKeyDialog->caption());
    FastKeys[FastKeySender->property("tag").toInt()] = m_fastKeyDialog->pair();
}
