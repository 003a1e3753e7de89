#include "mainform.h"

#include "charts/liveplot.h"
#include "link/instrumentlink.h"
#include "platform/clock.h"
#include "platform/decimal.h"
#include "platform/errors.h"
#include "platform/programfolder.h"
#include "settings/dlgconfigsys.h"
#include "settings/loadsource.h"
#include "sequencing/dlgfastkey.h"
#include "sequencing/dlgscanvoltage.h"
#include "sequencing/scanvoltage.h"
#include "widgets/knob.h"
#include "widgets/ledrectangle.h"
#include "widgets/sevensegmentdisplay.h"
#include "widgets/switchtoggle.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

template <typename T> T* named(T* object, const QString& name)
{
    object->setObjectName(name);
    return object;
}

QToolButton* speedButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = named(new QToolButton(parent), name);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setMinimumHeight(28);
    return button;
}

constexpr double designVoltageMax[3] = {31.0, 31.0, 6.0};
constexpr double designCurrentMax = 3.1;

} // namespace

TFormmain::TFormmain(MainFormDeps deps, QWidget* parent)
    : QMainWindow(parent), m_deps(std::move(deps)), m_clock(*m_deps.clock), m_link(*m_deps.link)
{
    setObjectName("TFormmain");
    if (!m_deps.showError)
        m_deps.showError = [this](const QString& message) {
            QMessageBox::critical(this, windowTitle(), message);
        };
    if (!m_deps.execConfigDialog)
        m_deps.execConfigDialog = [](TFormConfigSys& dialog) { return dialog.exec(); };
    if (!m_deps.chooseSaveFile)
        m_deps.chooseSaveFile = [this](const QString& folder, const QString& filter) {
            return QFileDialog::getSaveFileName(this, QString(), folder, filter, nullptr,
                                                QFileDialog::DontConfirmOverwrite);
        };
    if (!m_deps.chooseOpenFile)
        m_deps.chooseOpenFile = [this](const QString& folder, const QString& filter) {
            return QFileDialog::getOpenFileName(this, QString(), folder, filter);
        };
    if (!m_deps.confirmCloseUnsaved)
        m_deps.confirmCloseUnsaved = [this](const QString& message) {
            return QMessageBox::warning(this, windowTitle(),
                                        message + "\n\nClose without saving the parameters?",
                                        QMessageBox::Yes | QMessageBox::No,
                                        QMessageBox::No) == QMessageBox::Yes;
        };
    FormCreate();
}

TFormmain::~TFormmain()
{
    // FormDestroy: stop polling and close the link; the lists go with the members.
    TimerReadData->setEnabled(false);
    m_link.CloseLink();
}

void TFormmain::showError(const QString& message) const
{
    m_deps.showError(message);
}

QString TFormmain::text(int key) const
{
    return m_loadSource->GetText(key);
}

void TFormmain::FormCreate()
{
    TimerReadData = new Timer(m_clock, this);
    TimerReadData->setInterval(500);
    CommTimeOutTimer = new Timer(m_clock, this);
    CommTimeOutTimer->setInterval(10000);
    CommOverTime = new Timer(m_clock, this);
    CommOverTime->setInterval(5000);
    Ch1Timer = new Timer(m_clock, this);
    Ch1TestProgramTimer = new Timer(m_clock, this);
    Ch1GoNGTimer = new Timer(m_clock, this);
    connect(TimerReadData, &Timer::timeout, this, &TFormmain::TimerReadDataTimer);
    connect(CommTimeOutTimer, &Timer::timeout, this, &TFormmain::CommTimeOutTimerTimer);
    connect(CommOverTime, &Timer::timeout, this, &TFormmain::CommOverTimeTimer);
    connect(&m_link, &InstrumentLink::OnReceiveData, this, &TFormmain::AmperoOcx1ReceiveData);

    buildLayout();

    m_loadSource = std::make_unique<TLoadSource>();
    LanguageName = m_loadSource->LanguageName;
    try {
        m_loadSource->LoadTexts();
    } catch (const VoltarisError& error) {
        showError(error.message());
        m_loadSource->LoadBuiltInEnglish();
    }
    LanguageName = m_loadSource->LanguageName;
    ApplyLanguageTexts();
    buildSequencing();

    PowerTypeName.clear();
    ConfigSpareFlag = 1;
    DisplayPrecision = 0;
    LoadPowerTypes();
    LoadConfig();
    InitGridHeaders();
    ReadReady = false;
    TimerReadData->setEnabled(true);
    m_designFont = font();
    TeThemePageControl->setCurrentIndex(0);
    RunPanelOpen = false;
}

void TFormmain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFormmain::FormShow()
{
    m_link.PrepareLink(0);
    RecorderBaseName = TeThemeEdit1->text();
    EnableControls(false);
    ConnectTickCount = 10;
    Connected = false;
}

void TFormmain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    placeRunPanels();
    // Fonts follow the window size, between 8 and 48 points, as the controls stretch.
    const double scale = qMin(double(width()) / m_designSize.width(),
                              double(height()) / m_designSize.height());
    if (m_designFont.pointSizeF() > 0) {
        QFont scaled = m_designFont;
        scaled.setPointSizeF(qBound(8.0, m_designFont.pointSizeF() * qMax(1.0, scale), 48.0));
        if (scaled.pointSizeF() != centralWidget()->font().pointSizeF())
            centralWidget()->setFont(scaled);
    }
}

void TFormmain::buildLayout()
{
    resize(m_designSize);
    setWindowTitle("Voltaris");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* central = new QWidget(this);
    central->setObjectName("ClientArea");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    addToolBar(static_cast<QToolBar*>(buildToolBar()));
    column->addWidget(buildPlots(), 3);
    column->addWidget(buildReadouts(), 0);

    auto* bottom = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildChannelTabs(), 1);
    left->addWidget(buildOutputGroup(), 0);
    bottom->addLayout(left, 3);
    bottom->addWidget(buildModeTabs(), 2);
    column->addLayout(bottom, 4);
    setCentralWidget(central);

    buildRunPanels();
    buildStatusBar();
}

QWidget* TFormmain::buildToolBar()
{
    auto* bar = named(new QToolBar(this), "ToolBar");
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto add = [bar](const QString& name, const QString& caption, QStyle::StandardPixmap icon) {
        auto* button = named(new QToolButton(bar), name);
        button->setText(caption);
        button->setIcon(bar->style()->standardIcon(icon));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        bar->addWidget(button);
        return button;
    };
    tbConfig = add("tbConfig", "Config", QStyle::SP_FileDialogDetailedView);
    tbSave = add("tbSave", "Save", QStyle::SP_DialogSaveButton);
    tbOpen = add("tbOpen", "Open", QStyle::SP_DialogOpenButton);
    tbHelp = add("tbHelp", "Help", QStyle::SP_DialogHelpButton);
    MenuHelp = named(new QMenu(tbHelp), "MenuHelp");
    MenuItemContext = named(MenuHelp->addAction("Context"), "MenuItemContext");
    MenuItemAbout = named(MenuHelp->addAction("About..."), "MenuItemAbout");
    tbHelp->setMenu(MenuHelp);
    tbHelp->setPopupMode(QToolButton::InstantPopup);
    connect(tbConfig, &QToolButton::clicked, this, &TFormmain::tbConfigClick);
    connect(tbSave, &QToolButton::clicked, this, &TFormmain::tbSaveClick);
    connect(tbOpen, &QToolButton::clicked, this, &TFormmain::tbOpenClick);
    return bar;
}

QWidget* TFormmain::buildPlots()
{
    auto* box = named(new QWidget, "PanelPlots");
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    iPlotVoltage = named(new LivePlot(m_clock, box), "iPlotVoltage");
    iPlotCurrent = named(new LivePlot(m_clock, box), "iPlotCurrent");
    iPlotVoltage->setYRange(0, 100);
    iPlotVoltage->setYDecimals(3);
    iPlotCurrent->setYRange(0, 10);
    iPlotCurrent->setYDecimals(2);
    iPlotVoltage->setMinimumHeight(180);
    iPlotCurrent->setMinimumHeight(180);
    iPlotVoltage->autoScaleAction()->setObjectName("pmVoltageAutoScale");
    iPlotVoltage->largePlotAction()->setObjectName("pmVoltageLargePlot");
    iPlotCurrent->autoScaleAction()->setObjectName("pmCurrentAutoScale");
    iPlotCurrent->largePlotAction()->setObjectName("pmCurrentLargePlot");
    row->addWidget(iPlotVoltage);
    row->addWidget(iPlotCurrent);
    return box;
}

QWidget* TFormmain::buildReadouts()
{
    auto* box = named(new QWidget, "PanelReadouts");
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    for (int c = 0; c < 3; ++c) {
        const QString n = QString::number(c + 1);
        ChannelControls& ch = channels[c];
        ch.readoutGroup = named(new QGroupBox("Channel " + n, box), "TeThemeGroupBoxCH" + n);
        auto* grid = new QHBoxLayout(ch.readoutGroup);
        ch.summaryVoltage = named(new SevenSegmentDisplay(ch.readoutGroup), "CH" + n + "_Voltage");
        ch.summaryCurrent = named(new SevenSegmentDisplay(ch.readoutGroup), "CH" + n + "_Current");
        grid->addWidget(ch.summaryVoltage);
        grid->addWidget(new QLabel("V", ch.readoutGroup));
        grid->addWidget(ch.summaryCurrent);
        grid->addWidget(new QLabel("A", ch.readoutGroup));
        row->addWidget(ch.readoutGroup);
    }
    return box;
}

QWidget* TFormmain::buildChannelTabs()
{
    TeThemePageControl1 = named(new QTabWidget, "TeThemePageControl1");
    for (int c = 0; c < 3; ++c) {
        const QString n = QString::number(c + 1);
        ChannelControls& ch = channels[c];
        auto* page = named(new QWidget, "TabSheetCH" + n);
        auto* row = new QHBoxLayout(page);
        auto settingGroup = [&](bool voltage) {
            const QString kind = voltage ? "Voltage" : "Current";
            auto* group = named(new QGroupBox(voltage ? "Voltage Setting" : "Current Setting", page),
                                "TeThemeGroupBox" + kind + n);
            auto* grid = new QGridLayout(group);
            auto* knob = named(new Knob(group), "iKnob" + kind + "_" + n);
            knob->setClock(&m_clock);
            knob->setPositionMin(0);
            knob->setPositionMax(voltage ? designVoltageMax[c] : designCurrentMax);
            knob->setKeyArrowStepSize(0.1);
            knob->setKeyPageStepSize(1.0);
            knob->setMouseWheelStepSize(0.1);
            knob->setDecimals(2);
            knob->setUnit(voltage ? "V" : "A");
            auto* measured = named(new SevenSegmentDisplay(group),
                                   "iSevenSegmentAnalog" + kind + "_" + n);
            auto* preset = named(new SevenSegmentDisplay(group), QString("iSevenSegmentAnalogPreset") +
                                                                     (voltage ? "V_" : "A_") + n);
            auto* present = new QLabel("Present Value", group);
            auto* setup = new QLabel("Setup Value", group);
            auto* hint = new QLabel(
                "You can use the Mouse wheel ,Arrow or Page Up/Down key to change the setup value.",
                group);
            hint->setWordWrap(true);
            grid->addWidget(knob, 0, 0, 4, 1);
            grid->addWidget(present, 0, 1);
            grid->addWidget(measured, 1, 1);
            grid->addWidget(new QLabel(voltage ? "V" : "A", group), 1, 2);
            grid->addWidget(setup, 2, 1);
            grid->addWidget(preset, 3, 1);
            grid->addWidget(new QLabel(voltage ? "V" : "A", group), 3, 2);
            grid->addWidget(hint, 4, 0, 1, 3);
            grid->setColumnStretch(0, 1);
            ch.presentLabels << present;
            ch.setupLabels << setup;
            ch.hintLabels << hint;
            if (voltage) {
                ch.voltageGroup = group;
                ch.knobVoltage = knob;
                ch.measuredVoltage = measured;
                ch.presetVoltage = preset;
                connect(knob, &Knob::OnPositionChange, this, [this, c] { knobVoltagePositionChange(c); });
                connect(knob, &Knob::OnPositionChangeFinished, this,
                        [this, c] { knobVoltagePositionChangeFinished(c); });
            } else {
                ch.currentGroup = group;
                ch.knobCurrent = knob;
                ch.measuredCurrent = measured;
                ch.presetCurrent = preset;
                connect(knob, &Knob::OnPositionChange, this, [this, c] { knobCurrentPositionChange(c); });
                connect(knob, &Knob::OnPositionChangeFinished, this,
                        [this, c] { knobCurrentPositionChangeFinished(c); });
            }
            row->addWidget(group);
        };
        settingGroup(true);
        settingGroup(false);
        TeThemePageControl1->addTab(page, "Channel " + n);
    }
    connect(TeThemePageControl1, &QTabWidget::currentChanged, this, &TFormmain::channelTabChanged);
    return TeThemePageControl1;
}

QWidget* TFormmain::buildOutputGroup()
{
    TeThemeGroupBoxCtrl = named(new QGroupBox, "TeThemeGroupBoxCtrl");
    auto* grid = new QGridLayout(TeThemeGroupBoxCtrl);
    TeThemeLabelOutputOn = named(new QLabel("Channel 1 Output On"), "TeThemeLabelOutputOn");
    TeThemeLabelOutputOff = named(new QLabel("Channel 1 Output Off"), "TeThemeLabelOutputOff");
    iSwitchToggleRun = named(new SwitchToggle, "iSwitchToggleRun");
    iSwitchToggleRun->setOn(false);
    TeThemeLabelLocalEnable = named(new QLabel("Local Enable"), "TeThemeLabelLocalEnable");
    TeThemeLabelLocalDisable = named(new QLabel("Local Disable"), "TeThemeLabelLocalDisable");
    iSwitchToggleLocal = named(new SwitchToggle, "iSwitchToggleLocal");
    iSwitchToggleLocal->setOn(true);
    TeThemeLabelPcControl =
        named(new QLabel("All Control Operation Must Be On PC Control Mode"), "TeThemeLabelPcControl");
    TeThemeLabelPcControl->setWordWrap(true);
    iLedRectangleRx = named(new LedRectangle, "iLedRectangleRx");
    iLedRectangleTx = named(new LedRectangle, "iLedRectangleTx");
    grid->addWidget(TeThemeLabelOutputOn, 0, 0, Qt::AlignCenter);
    grid->addWidget(iSwitchToggleRun, 1, 0, Qt::AlignCenter);
    grid->addWidget(TeThemeLabelOutputOff, 2, 0, Qt::AlignCenter);
    grid->addWidget(TeThemeLabelLocalEnable, 0, 1, Qt::AlignCenter);
    grid->addWidget(iSwitchToggleLocal, 1, 1, Qt::AlignCenter);
    grid->addWidget(TeThemeLabelLocalDisable, 2, 1, Qt::AlignCenter);
    grid->addWidget(TeThemeLabelPcControl, 0, 2, 2, 2);
    grid->addWidget(new QLabel("RX"), 2, 2, Qt::AlignRight);
    grid->addWidget(iLedRectangleRx, 2, 3);
    grid->addWidget(new QLabel("TX"), 3, 2, Qt::AlignRight);
    grid->addWidget(iLedRectangleTx, 3, 3);
    connect(iSwitchToggleRun, &SwitchToggle::released, this, &TFormmain::iSwitchToggleRunMouseUp);
    return TeThemeGroupBoxCtrl;
}

QWidget* TFormmain::buildModeTabs()
{
    TeThemePageControl = named(new QTabWidget, "TeThemePageControl");
    TeThemePageControl->addTab(buildQuickSetPage(), "QuickSet");
    TeThemePageControl->addTab(buildProgramPage(), "Program");
    TeThemePageControl->addTab(buildGoNgPage(), "GO/NG");
    connect(TeThemePageControl, &QTabWidget::currentChanged, this, &TFormmain::modeTabChanged);
    return TeThemePageControl;
}

QWidget* TFormmain::buildQuickSetPage()
{
    auto* page = named(new QWidget, "TabSheetQuickSet");
    auto* column = new QVBoxLayout(page);

    TeThemeGroupBoxFastKey = named(new QGroupBox("HotKey", page), "TeThemeGroupBoxFastKey");
    auto* keys = new QGridLayout(TeThemeGroupBoxFastKey);
    fastKeyGroup = new QButtonGroup(this);
    fastKeyGroup->setExclusive(true);
    for (int i = 0; i < 10; ++i) {
        auto* button = speedButton("tbFastKey" + QString::number(i + 1), "0", TeThemeGroupBoxFastKey);
        button->setCheckable(true);
        button->setProperty("tag", i);
        fastKeyGroup->addButton(button, i);
        keys->addWidget(button, i / 2, i % 2);
        tbFastKey[i] = button;
    }
    column->addWidget(TeThemeGroupBoxFastKey);

    TeThemeGroupBoxScan = named(new QGroupBox("Voltage Scan  (CH1)", page), "TeThemeGroupBoxScan");
    auto* scan = new QGridLayout(TeThemeGroupBoxScan);
    const QStringList captions{"StartValue", "StopValue", "VoltageStep", "Delay"};
    const QStringList names{"iAnalogOutputStart", "iAnalogOutputEnd", "iAnalogOutputStep",
                            "iAnalogOutputtime"};
    const QStringList units{"V", "V", "V", "S"};
    std::array<QLineEdit*, 4> entries{};
    for (int i = 0; i < 4; ++i) {
        scanLabels[i] = new QLabel(captions[i], TeThemeGroupBoxScan);
        entries[i] = named(new QLineEdit("0", TeThemeGroupBoxScan), names[i]);
        entries[i]->setProperty("tag", i);
        scan->addWidget(scanLabels[i], i / 2, (i % 2) * 3);
        scan->addWidget(entries[i], i / 2, (i % 2) * 3 + 1);
        scan->addWidget(new QLabel(units[i], TeThemeGroupBoxScan), i / 2, (i % 2) * 3 + 2);
    }
    iAnalogOutputStart = entries[0];
    iAnalogOutputEnd = entries[1];
    iAnalogOutputStep = entries[2];
    iAnalogOutputtime = entries[3];
    column->addWidget(TeThemeGroupBoxScan);

    TeThemeGroupBoxScanStart =
        named(new QGroupBox("Voltage Scan Start", page), "TeThemeGroupBoxScanStart");
    auto* start = new QHBoxLayout(TeThemeGroupBoxScanStart);
    TeThemeSpeedButton4 = speedButton("TeThemeSpeedButton4", "View Scan Panel", TeThemeGroupBoxScanStart);
    start->addWidget(TeThemeSpeedButton4);
    column->addWidget(TeThemeGroupBoxScanStart);
    column->addStretch(1);
    return page;
}

QWidget* TFormmain::buildProgramPage()
{
    auto* page = named(new QWidget, "TabSheetProgram");
    auto* column = new QVBoxLayout(page);

    TeThemeRadioGroupRun = named(new QGroupBox("RunTimes", page), "TeThemeRadioGroupRun");
    auto* runTimes = new QHBoxLayout(TeThemeRadioGroupRun);
    const QStringList items{"Once", "Repeat", "Custom"};
    auto* runTimesGroup = new QButtonGroup(TeThemeRadioGroupRun);
    for (int i = 0; i < 3; ++i) {
        runTimesItems[i] = named(new QRadioButton(items[i], TeThemeRadioGroupRun),
                                 "TeThemeRadioGroupRunItem" + QString::number(i));
        runTimesGroup->addButton(runTimesItems[i], i);
        runTimes->addWidget(runTimesItems[i]);
    }
    runTimesItems[0]->setChecked(true);
    TeThemeSpinEdit = named(new QSpinBox(TeThemeRadioGroupRun), "TeThemeSpinEdit");
    TeThemeSpinEdit->setRange(2, 10000);
    TeThemeSpinEdit->setValue(2);
    TeThemeSpinEdit->setVisible(false);
    runTimes->addWidget(TeThemeSpinEdit);
    connect(runTimesGroup, &QButtonGroup::idClicked, this,
            [this](int id) { TeThemeSpinEdit->setVisible(id == 2); });
    column->addWidget(TeThemeRadioGroupRun);

    TeThemeGroupBoxList = named(new QGroupBox("TestList (CH1) ", page), "TeThemeGroupBoxList");
    auto* listBox = new QVBoxLayout(TeThemeGroupBoxList);
    TeThemeStringGridList = named(new QTableWidget(1, 4, TeThemeGroupBoxList), "TeThemeStringGridList");
    TeThemeStringGridList->horizontalHeader()->hide();
    TeThemeStringGridList->verticalHeader()->hide();
    TeThemeStringGridList->verticalHeader()->setDefaultSectionSize(23);
    listBox->addWidget(TeThemeStringGridList);
    column->addWidget(TeThemeGroupBoxList, 1);

    TeThemeGroupBoxProgramStart =
        named(new QGroupBox("Test Program Start", page), "TeThemeGroupBoxProgramStart");
    auto* start = new QHBoxLayout(TeThemeGroupBoxProgramStart);
    TeThemeSpeedButton5 =
        speedButton("TeThemeSpeedButton5", "View Test Control Panel", TeThemeGroupBoxProgramStart);
    start->addWidget(TeThemeSpeedButton5);
    column->addWidget(TeThemeGroupBoxProgramStart);
    return page;
}

QWidget* TFormmain::buildGoNgPage()
{
    auto* page = named(new QWidget, "TabSheetGoNg");
    auto* column = new QVBoxLayout(page);

    TeThemeGroupBoxGoNg = named(new QGroupBox("TestList (CH1)", page), "TeThemeGroupBoxGoNg");
    auto* listBox = new QVBoxLayout(TeThemeGroupBoxGoNg);
    TeThemeStringGridGoNg = named(new QTableWidget(1, 7, TeThemeGroupBoxGoNg), "TeThemeStringGridGoNg");
    TeThemeStringGridGoNg->horizontalHeader()->hide();
    TeThemeStringGridGoNg->verticalHeader()->hide();
    TeThemeStringGridGoNg->horizontalHeader()->setDefaultSectionSize(80);
    TeThemeStringGridGoNg->verticalHeader()->setDefaultSectionSize(25);
    listBox->addWidget(TeThemeStringGridGoNg);
    column->addWidget(TeThemeGroupBoxGoNg, 1);

    TeThemeGroupBoxGoNgStart = named(new QGroupBox("Go/NG Start", page), "TeThemeGroupBoxGoNgStart");
    auto* start = new QHBoxLayout(TeThemeGroupBoxGoNgStart);
    TeThemeSpeedButton8 =
        speedButton("TeThemeSpeedButton8", "View Test Control Panel", TeThemeGroupBoxGoNgStart);
    start->addWidget(TeThemeSpeedButton8);
    column->addWidget(TeThemeGroupBoxGoNgStart);

    auto* recorder = named(new QWidget(page), "PanelRecorder");
    auto* grid = new QGridLayout(recorder);
    grid->setContentsMargins(0, 0, 0, 0);
    TeThemeLabelRecorder = named(new QLabel("Current GoNG Recorder Name:", recorder), "TeThemeLabelRecorder");
    TeThemeEdit1 = named(new QLineEdit("GoNG", recorder), "TeThemeEdit1");
    TeThemeRadioButton2 = named(new QRadioButton("Manu Name", recorder), "TeThemeRadioButton2");
    TeThemeRadioButton1 = named(new QRadioButton("Auto Name", recorder), "TeThemeRadioButton1");
    TeThemeRadioButton2->setChecked(true);
    TeThemeSpinEdit1 = named(new QSpinBox(recorder), "TeThemeSpinEdit1");
    TeThemeSpinEdit1->setRange(0, 999999);
    TeThemeSpinEdit1->setValue(0);
    TeThemeSpinEdit1->setEnabled(false);
    TeThemeSpeedButton6 = speedButton("TeThemeSpeedButton6", "Report Operation", recorder);
    grid->addWidget(TeThemeLabelRecorder, 0, 0, 1, 2);
    grid->addWidget(TeThemeEdit1, 1, 0, 1, 2);
    grid->addWidget(TeThemeRadioButton2, 2, 0);
    grid->addWidget(TeThemeRadioButton1, 2, 1);
    grid->addWidget(TeThemeSpinEdit1, 3, 0);
    grid->addWidget(TeThemeSpeedButton6, 3, 1);
    column->addWidget(recorder);
    return page;
}

TFormmain::RunPanel TFormmain::buildRunPanel(const QString& name, const QString& allName,
                                             const QString& allValueName, const QString& currentName,
                                             const QString& currentValueName,
                                             const QString& finishedName, const QString& runName,
                                             const QString& stepName, const QString& stopName)
{
    RunPanel panel;
    panel.frame = named(new QFrame(centralWidget()), name);
    panel.frame->setFrameShape(QFrame::StyledPanel);
    panel.frame->setFrameShadow(QFrame::Raised);
    panel.frame->setAutoFillBackground(true);
    auto* grid = new QGridLayout(panel.frame);
    panel.allStepsCaption = named(new QLabel("All steps", panel.frame), allName);
    panel.allStepsValue = named(new QLabel("0", panel.frame), allValueName);
    panel.currentStepCaption = named(new QLabel("Current step", panel.frame), currentName);
    panel.currentStepValue = named(new QLabel("0", panel.frame), currentValueName);
    for (QLabel* value : {panel.allStepsValue, panel.currentStepValue}) {
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        value->setMinimumWidth(60);
    }
    panel.finished = named(new QLabel("All Step Run Finished", panel.frame), finishedName);
    panel.finished->setVisible(false);
    panel.run = speedButton(runName, "Run", panel.frame);
    panel.step = speedButton(stepName, "Step", panel.frame);
    panel.stop = speedButton(stopName, "Stop", panel.frame);
    grid->addWidget(panel.allStepsCaption, 0, 0);
    grid->addWidget(panel.allStepsValue, 0, 1);
    grid->addWidget(panel.currentStepCaption, 1, 0);
    grid->addWidget(panel.currentStepValue, 1, 1);
    grid->addWidget(panel.finished, 3, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(panel.run);
    buttons->addWidget(panel.step);
    buttons->addWidget(panel.stop);
    grid->addLayout(buttons, 4, 0, 1, 3);
    panel.frame->setVisible(false);
    return panel;
}

void TFormmain::buildRunPanels()
{
    PanelScan = buildRunPanel("PanelScan", "StaticText9", "StaticText10", "StaticText15",
                              "StaticText16", "StaticText1", "sbRunOption", "sbStepOption",
                              "TeThemeSpeedButton1");
    PanelScan.run->setCheckable(true);
    PanelProgram = buildRunPanel("PanelProgram", "StaticText39", "StaticText40", "StaticText41",
                                 "StaticText42", "StaticText2", "sbRunProgram", "sbStepProgram",
                                 "sbStop");
    PanelProgram.run->setCheckable(true);
    auto* grid = static_cast<QGridLayout*>(PanelProgram.frame->layout());
    StaticText55 = named(new QLabel("Run Times", PanelProgram.frame), "StaticText55");
    StaticText56 = named(new QLabel("0", PanelProgram.frame), "StaticText56");
    StaticText56->setFrameShape(QFrame::Panel);
    StaticText56->setFrameShadow(QFrame::Sunken);
    grid->addWidget(StaticText55, 2, 0);
    grid->addWidget(StaticText56, 2, 1);
    PanelGoNG = buildRunPanel("PanelGoNG", "StaticText11", "StaticText22", "StaticText23",
                              "StaticText24", "StaticText66", "sbRunGoNg", "sbStepGoNg",
                              "TeThemeSpeedButton3");
    grid = static_cast<QGridLayout*>(PanelGoNG.frame->layout());
    StaticText64 = named(new QLabel("No Pass", PanelGoNG.frame), "StaticText64");
    QFont big = StaticText64->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.8);
    StaticText64->setFont(big);
    StaticText64->setStyleSheet("color: rgb(255, 0, 0)");
    grid->addWidget(StaticText64, 2, 0, 1, 3, Qt::AlignCenter);
    placeRunPanels();
}

void TFormmain::placeRunPanels()
{
    if (!PanelScan.frame || !TeThemePageControl)
        return;
    // The panels float over the mode tabs, where the operator's attention already is.
    const QRect area(TeThemePageControl->mapTo(centralWidget(), QPoint(0, 0)),
                     TeThemePageControl->size());
    for (RunPanel* panel : {&PanelScan, &PanelProgram, &PanelGoNG}) {
        const QSize size = panel->frame->sizeHint().expandedTo(QSize(260, 170));
        panel->frame->setGeometry(QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size));
        panel->frame->raise();
    }
}

void TFormmain::buildStatusBar()
{
    const int widths[4] = {400, 0, 400, 250};
    for (int i = 0; i < 4; ++i) {
        auto* panel = named(new QLabel(statusBar()), "StatusPanel" + QString::number(i));
        panel->setFixedWidth(widths[i]);
        panel->setVisible(widths[i] > 0);
        statusBar()->addWidget(panel);
        statusPanels[i] = panel;
    }
    statusBar()->setSizeGripEnabled(false);
}

void TFormmain::setStatusPanel(int panel, const QString& text)
{
    statusPanels[panel]->setText(text);
}

void TFormmain::ApplyLanguageTexts()
{
    setWindowTitle(text(0));
    tbConfig->setText(text(1));
    tbSave->setText(text(2));
    tbOpen->setText(text(3));
    tbHelp->setText(text(4));
    MenuItemContext->setText(text(5));
    MenuItemAbout->setText(text(6));
    iPlotVoltage->setTitle(text(7));
    iPlotCurrent->setTitle(text(8));
    const QStringList channelNames{text(9), text(10), text(11)};
    iPlotVoltage->setChannelTitles(channelNames);
    iPlotCurrent->setChannelTitles(channelNames);
    iPlotVoltage->setXAxisTitle(text(12));
    iPlotCurrent->setXAxisTitle(text(12));
    for (int c = 0; c < 3; ++c) {
        ChannelControls& ch = channels[c];
        ch.readoutGroup->setTitle(channelNames[c]);
        TeThemePageControl1->setTabText(c, channelNames[c]);
        ch.voltageGroup->setTitle(text(13));
        ch.currentGroup->setTitle(text(17));
        for (QLabel* label : ch.presentLabels)
            label->setText(text(14));
        for (QLabel* label : ch.setupLabels)
            label->setText(text(15));
        for (QLabel* label : ch.hintLabels)
            label->setText(text(16));
    }
    TeThemeLabelOutputOn->setText(text(20));
    TeThemeLabelOutputOff->setText(text(21));
    TeThemeLabelLocalEnable->setText(text(22));
    TeThemeLabelLocalDisable->setText(text(23));
    TeThemeLabelPcControl->setText(text(24));
    setStatusPanel(0, text(25));
    setStatusPanel(2, text(26));
    iPlotVoltage->autoScaleAction()->setText(text(96));
    iPlotVoltage->largePlotAction()->setText(text(148));
    iPlotCurrent->autoScaleAction()->setText(text(96));
    iPlotCurrent->largePlotAction()->setText(text(147));
    TeThemePageControl->setTabText(0, text(27));
    TeThemePageControl->setTabText(1, text(42));
    TeThemeGroupBoxFastKey->setTitle(text(28));
    TeThemeGroupBoxScan->setTitle(text(29));
    for (int i = 0; i < 4; ++i)
        scanLabels[i]->setText(text(32 + i));
    TeThemeGroupBoxScanStart->setTitle(text(36));
    TeThemeSpeedButton4->setText(text(40));
    TeThemeGroupBoxList->setTitle(text(43));
    TeThemeGroupBoxGoNg->setTitle(text(43));
    TeThemeRadioGroupRun->setTitle(text(47));
    for (int i = 0; i < 3; ++i)
        runTimesItems[i]->setText(text(48 + i));
    TeThemeGroupBoxProgramStart->setTitle(text(51));
    TeThemeSpeedButton5->setText(text(52));
    TeThemeSpeedButton8->setText(text(52));
    TeThemeGroupBoxGoNgStart->setTitle(text(61));
    for (RunPanel* panel : {&PanelScan, &PanelProgram, &PanelGoNG}) {
        panel->allStepsCaption->setText(text(107));
        panel->currentStepCaption->setText(text(108));
        panel->run->setText(text(113));
        panel->step->setText(text(114));
        panel->stop->setText(text(115));
        panel->finished->setText(text(135));
    }
    StaticText55->setText(text(47));
    StaticText64->setText(text(60));
    TeThemeLabelRecorder->setText(text(116));
    TeThemeRadioButton2->setText(text(117));
    TeThemeRadioButton1->setText(text(118));
    TeThemeSpeedButton6->setText(text(119));

    TextPowerTypePrefix = text(25);
    TextPowerTypeUnknown = text(146);
    TextCommOk = text(132);
    TextCommLost = text(133);
    setStatusPanel(2, TextCommLost);
}

void TFormmain::InitGridHeaders()
{
    auto setCell = [](QTableWidget* grid, int row, int column, const QString& value) {
        auto* item = grid->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            grid->setItem(row, column, item);
        }
        item->setText(value);
    };
    TeThemeStringGridGoNg->setColumnWidth(0, 40);
    for (int column = 0; column < 7; ++column)
        setCell(TeThemeStringGridGoNg, 0, column, text(53 + column));
    const int listKeys[4] = {111, 7, 8, 12};
    for (int column = 0; column < 4; ++column)
        setCell(TeThemeStringGridList, 0, column, text(listKeys[column]));
    for (QTableWidget* grid : {TeThemeStringGridGoNg, TeThemeStringGridList})
        for (int row = 1; row < grid->rowCount(); ++row)
            setCell(grid, row, 0, QString::number(row));
}

void TFormmain::LoadPowerTypes()
{
    try {
        PowerTypes = loadPowerTypes(programFile("PowerType.dat"));
    } catch (const VoltarisError& error) {
        PowerTypes.clear();
        showError(error.message());
    }
}

int TFormmain::selectedChannel() const
{
    return TeThemePageControl1->currentIndex();
}

void TFormmain::EnableControls(bool enable)
{
    TeThemePageControl1->setEnabled(enable);
    TeThemeGroupBoxCtrl->setEnabled(enable);
    TeThemeGroupBoxFastKey->setEnabled(enable);
    TeThemeSpeedButton4->setEnabled(enable);
    TeThemeSpeedButton5->setEnabled(enable);
    TeThemeSpeedButton8->setEnabled(enable);
}

void TFormmain::WaitWithMessages(quint32 ms)
{
    m_clock.wait(ms);
}

void TFormmain::ApplyPowerType()
{
    const QString wanted = PowerTypeName.trimmed();
    const TPowerType* match = nullptr;
    for (const TPowerType& row : PowerTypes) {
        if (row.Name.trimmed() == wanted) {
            match = &row;
            break;
        }
    }
    if (!match) {
        setStatusPanel(0, TextPowerTypeUnknown);
        return;
    }
    for (int c = 0; c < 3; ++c) {
        MaxVoltage[c] = match->maxima[2 * c];
        MaxCurrent[c] = match->maxima[2 * c + 1];
    }
    DisplayPrecision = match->Precision;
    iPlotVoltage->setYSpan(*std::max_element(MaxVoltage.begin(), MaxVoltage.end()) + 1.0);
    iPlotCurrent->setYSpan(*std::max_element(MaxCurrent.begin(), MaxCurrent.end()) + 0.5);
    for (int c = 0; c < 3; ++c) {
        channels[c].knobVoltage->setPositionMax(MaxVoltage[c]);
        channels[c].knobCurrent->setPositionMax(MaxCurrent[c]);
    }
    if (m_fastKeyDialog)
        m_fastKeyDialog->setPrecision(DisplayPrecision);
    const QString channel = QString::number(selectedChannel() + 1);
    TeThemeLabelOutputOn->setText(text(142) + " " + channel + "  " + text(143));
    TeThemeLabelOutputOff->setText(text(142) + " " + channel + "  " + text(144));
    ApplyHotKeyLimits();
    setStatusPanel(0, TextPowerTypePrefix + PowerTypeName + text(134));
}

void TFormmain::ApplyHotKeyLimits()
{
    if (m_fastKeyDialog)
        m_fastKeyDialog->setLimits(MaxVoltage[0], MaxCurrent[0]);
    if (m_scanPlot)
        m_scanPlot->setYSpan(MaxVoltage[0]);
}

void TFormmain::LoadChannelSettings()
{
    showScanSettings();
    runTimesItems[qBound(0, int(RunTimesMode), 2)]->setChecked(RunTimesMode <= 2);
    TeThemeSpinEdit->setValue(RunTimesCount);
    TeThemeSpinEdit->setVisible(RunTimesMode == 2);
    ShowProgramList();
    ShowGoNgList();
}

void TFormmain::showScanSettings()
{
    const ScanSetting& scan = ScanSettings[selectedChannel()];
    setScanEntryText(iAnalogOutputStart, scan.ScanStart);
    setScanEntryText(iAnalogOutputEnd, scan.ScanStop);
    setScanEntryText(iAnalogOutputStep, scan.ScanStep);
    setScanEntryText(iAnalogOutputtime, scan.ScanDelay);
}

void TFormmain::setScanEntryText(QLineEdit* entry, double value)
{
    const QString text = formatNumber(value);
    if (entry->text() != text)
        entry->setText(text);
}

void TFormmain::modeTabChanged(int index)
{
    if (!m_shown || index == m_modeTab) {
        m_modeTab = index;
        return;
    }
    m_modeTab = index;
    if (index == 1) {
        ShowProgramList();
        TakeGoNgGrid();
    } else {
        TakeProgramGrid();
        ShowGoNgList();
    }
}
