#pragma once

#include "sequencing/steps.h"
#include "settings/powertypes.h"

#include <QList>
#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class AnalogOutput;
class Clock;
class InstrumentLink;
class Knob;
class LedRectangle;
class LivePlot;
class PortProbe;
class SevenSegmentDisplay;
class SwitchToggle;
class GoNgRun;
class ProgramRun;
class ScanRun;
class ResultStore;
class TFormConfigSys;
class TFormGoNGDatabase;
class TFormFastKey;
class TFormFixedSelect;
class TFormScanVoltage;
class TScanVoltage;
class TestListGrid;
class TLoadSource;
class Timer;

class QAction;
class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;
class QToolButton;

// What the main window needs from outside: the clock, the instrument link, the port table and
// where to report errors. Tests pass fakes; main.cpp passes the real ones.
struct MainFormDeps
{
    Clock* clock = nullptr;
    InstrumentLink* link = nullptr;
    const PortProbe* ports = nullptr;
    // Shows an error message to the operator; defaults to a message box.
    std::function<void(const QString&)> showError;
    // Runs the configuration dialog modally and returns its QDialog result; defaults to exec().
    std::function<int(TFormConfigSys&)> execConfigDialog;
    // Ask for a parameter file to save or open in the given folder; empty means cancelled.
    std::function<QString(const QString& folder, const QString& filter)> chooseSaveFile;
    std::function<QString(const QString& folder, const QString& filter)> chooseOpenFile;
    // Asks whether to close although the parameters could not be saved; true closes.
    std::function<bool(const QString& message)> confirmCloseUnsaved;
    // Runs the hotkey dialog and the fill dialog modally; default exec().
    std::function<int(TFormFastKey&)> execFastKeyDialog;
    std::function<int(TFormFixedSelect&)> execFillDialog;
};

// The main window: owns the link connection, the polling timers, the per-channel state and
// every operator control. Runs on the UI thread only.
class TFormmain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFormmain(MainFormDeps deps, QWidget* parent = nullptr);
    ~TFormmain() override;

    // Windows created after the main window register here so the main window can reach them.
    void setConfigDialog(TFormConfigSys* dialog) { m_configDialog = dialog; }
    void setFastKeyDialog(TFormFastKey* dialog);
    void setScanPlotWindow(TFormScanVoltage* window);
    void setFillDialog(TFormFixedSelect* dialog);
    void setResults(ResultStore* store, TFormGoNGDatabase* browser);

    // --- state fields shared with the rest of the program, in their documented order ---
    QString TextPowerTypeUnknown;
    QString TextPowerTypePrefix;
    QString TextCommOk;
    QString TextCommLost;
    quint8 ConfigSpareByte = 0;
    qint32 BaudRate = 0;
    quint8 CommPortIndex = 0;
    qint32 ConfigSpareInt = 0;
    quint8 ConfigSpareFlag = 0;
    QString PowerTypeName;
    quint8 ReloadLastParam = 0;
    QList<TPowerType> PowerTypes;
    QToolButton* FastKeySender = nullptr;
    quint8 ConnectTickCount = 0;
    std::array<FastKey, 10> FastKeys{};
    std::array<ScanSetting, 3> ScanSettings{};
    quint8 RunTimesMode = 0;
    std::array<quint8, 3> RunTimesPadding{};
    qint32 RunTimesCount = 0;
    std::array<quint8, 16> Reserved{};
    std::array<QList<ProgramStep>, 3> ProgramLists;
    std::array<QList<GoNgStep>, 3> GoNgLists;
    std::array<TScanVoltage*, 3> ScanVoltages{};
    std::array<double, 3> MaxVoltage{};
    std::array<double, 3> MaxCurrent{};
    quint8 DisplayPrecision = 0;
    bool ReadReady = false;
    qint32 CurrentStep = 0;
    bool Connected = false;
    bool RunPanelOpen = false;
    QString LanguageName;
    QString RecorderBaseName;

    // --- operations used across the program ---
    void ApplyPowerType();
    void ApplyHotKeyLimits();
    void EnableControls(bool enable);
    void WaitWithMessages(quint32 ms);
    void InitGridHeaders();
    void LoadChannelSettings();
    void ReStartReadTimer();
    void StopReadTimer();
    void LoadAllParamFromFile(const QString& path);
    void SaveAllParamToFile(const QString& path);
    void ShowProgramList();
    void ShowGoNgList();
    void TakeProgramGrid();
    void TakeGoNgGrid();

    // Index 0..2 of the channel tab shown, which is the selected channel of the whole program.
    int selectedChannel() const;
    const TLoadSource& loadSource() const { return *m_loadSource; }

    // --- handlers, public so tests and the composition root can drive them ---
    void TimerReadDataTimer();
    void CommTimeOutTimerTimer();
    void CommOverTimeTimer();
    void AmperoOcx1ReceiveData();
    void tbConfigClick();
    void tbSaveClick();
    void tbOpenClick();
    void iSwitchToggleRunMouseUp(Qt::MouseButton button);
    void tbFastKey1Click(int index);
    void MenuItemFastKeyClick();
    void TeThemeSpeedButton4Click();
    void TeThemeSpeedButton5Click();
    void TeThemeSpeedButton8Click();
    void TeThemeRadioGroupRunClick(int item);
    void iAnalogOutputStartChange(int tag);
    void RecordGoNGRun();
    void OpenResultsBrowser();

    Timer* TimerReadData = nullptr;
    Timer* CommTimeOutTimer = nullptr;
    Timer* CommOverTime = nullptr;
    Timer* Ch1Timer = nullptr;
    Timer* Ch1TestProgramTimer = nullptr;
    Timer* Ch1GoNGTimer = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct ChannelControls
    {
        QGroupBox* readoutGroup = nullptr;
        SevenSegmentDisplay* summaryVoltage = nullptr;  // CHn_Voltage
        SevenSegmentDisplay* summaryCurrent = nullptr;  // CHn_Current
        SevenSegmentDisplay* measuredVoltage = nullptr; // iSevenSegmentAnalogVoltage_n
        SevenSegmentDisplay* measuredCurrent = nullptr; // iSevenSegmentAnalogCurrent_n
        SevenSegmentDisplay* presetVoltage = nullptr;   // iSevenSegmentAnalogPresetV_n
        SevenSegmentDisplay* presetCurrent = nullptr;   // iSevenSegmentAnalogPresetA_n
        Knob* knobVoltage = nullptr;
        Knob* knobCurrent = nullptr;
        QGroupBox* voltageGroup = nullptr;
        QGroupBox* currentGroup = nullptr;
        QList<QLabel*> presentLabels, setupLabels, hintLabels;
    };
    struct RunPanel
    {
        QFrame* frame = nullptr;
        QLabel* allStepsCaption = nullptr;
        QLabel* allStepsValue = nullptr;
        QLabel* currentStepCaption = nullptr;
        QLabel* currentStepValue = nullptr;
        QLabel* finished = nullptr;
        QToolButton* run = nullptr;
        QToolButton* step = nullptr;
        QToolButton* stop = nullptr;
    };

    void FormCreate();
    void FormShow();
    void buildLayout();
    QWidget* buildToolBar();
    QWidget* buildPlots();
    QWidget* buildReadouts();
    QWidget* buildChannelTabs();
    QWidget* buildOutputGroup();
    QWidget* buildModeTabs();
    QWidget* buildQuickSetPage();
    QWidget* buildProgramPage();
    QWidget* buildGoNgPage();
    void buildRunPanels();
    RunPanel buildRunPanel(const QString& name, const QString& allName, const QString& allValueName,
                           const QString& currentName, const QString& currentValueName,
                           const QString& finishedName, const QString& runName,
                           const QString& stepName, const QString& stopName);
    void buildStatusBar();
    void placeRunPanels();

    void ApplyLanguageTexts();
    QString text(int key) const;
    void LoadPowerTypes();
    void LoadConfig();
    void SaveConfig();
    void showError(const QString& message) const;

    void toggleTx();
    void toggleRx();
    void setStatusPanel(int panel, const QString& text);

    void ParseCurrentSetpoint(const QString& value);
    void ParseVoltageSetpoint(const QString& value);
    void ParseIdentity(const QString& value);
    void ParseVoltages(const QString& value);
    void ParseCurrents(const QString& value);
    void ParseReadings(const QString& value);
    void handleChannelReply(const QString& value);

    void knobVoltagePositionChange(int channel);
    void knobCurrentPositionChange(int channel);
    void knobVoltagePositionChangeFinished(int channel);
    void knobCurrentPositionChangeFinished(int channel);
    void channelTabChanged(int index);
    void channelTabChanging();
    void channelTabChange();
    void modeTabChanged(int index);
    void setOutputLabelsForChannel(int channel);
    void showScanSettings();
    void setScanEntryText(QLineEdit* entry, double value);
    void buildSequencing();
    void buildRecorder();
    void ComposeRecorderName();
    void openRunPanel(RunPanel& panel);
    void closeRunPanel(RunPanel& panel);
    void showProgramView();
    void showScanView();
    void showGoNgView();
    void applyProgramStep(const ProgramStep& step);
    void applyScanVoltage(double volts);
    void applyGoNgSetting(double volts);

    MainFormDeps m_deps;
    Clock& m_clock;
    InstrumentLink& m_link;
    std::unique_ptr<TLoadSource> m_loadSource;
    TFormConfigSys* m_configDialog = nullptr;
    bool m_shown = false;
    // The channel whose lists the grids show; it lags the tab during a change so that the grids
    // can be read back into the channel being left.
    int m_gridChannel = 0;
    int m_modeTab = 0;
    bool m_channelChangeByInstrument = false;
    QSize m_designSize{968, 629};
    TestListGrid* m_programGrid = nullptr;
    TestListGrid* m_goNgGrid = nullptr;
    ProgramRun* m_programRun = nullptr;
    ScanRun* m_scanRun = nullptr;
    GoNgRun* m_goNgRun = nullptr;
    std::array<std::unique_ptr<TScanVoltage>, 3> m_scanVoltages;
    TFormFastKey* m_fastKeyDialog = nullptr;
    TFormScanVoltage* m_scanPlot = nullptr;
    ResultStore* m_resultStore = nullptr;
    TFormGoNGDatabase* m_resultsBrowser = nullptr;
    QFont m_designFont;

public:
    // Components, named as their objectName.
    QToolButton* tbConfig = nullptr;
    QToolButton* tbSave = nullptr;
    QToolButton* tbOpen = nullptr;
    QToolButton* tbHelp = nullptr;
    QMenu* MenuHelp = nullptr;
    QAction* MenuItemContext = nullptr;
    QAction* MenuItemAbout = nullptr;
    LivePlot* iPlotVoltage = nullptr;
    LivePlot* iPlotCurrent = nullptr;
    std::array<ChannelControls, 3> channels;
    QTabWidget* TeThemePageControl1 = nullptr;
    QGroupBox* TeThemeGroupBoxCtrl = nullptr;
    SwitchToggle* iSwitchToggleRun = nullptr;
    SwitchToggle* iSwitchToggleLocal = nullptr;
    QLabel* TeThemeLabelOutputOn = nullptr;
    QLabel* TeThemeLabelOutputOff = nullptr;
    QLabel* TeThemeLabelLocalEnable = nullptr;
    QLabel* TeThemeLabelLocalDisable = nullptr;
    QLabel* TeThemeLabelPcControl = nullptr;
    LedRectangle* iLedRectangleRx = nullptr;
    LedRectangle* iLedRectangleTx = nullptr;
    QTabWidget* TeThemePageControl = nullptr;
    QGroupBox* TeThemeGroupBoxFastKey = nullptr;
    std::array<QToolButton*, 10> tbFastKey{};
    QButtonGroup* fastKeyGroup = nullptr;
    QGroupBox* TeThemeGroupBoxScan = nullptr;
    QLineEdit* iAnalogOutputStart = nullptr;
    QLineEdit* iAnalogOutputEnd = nullptr;
    QLineEdit* iAnalogOutputStep = nullptr;
    QLineEdit* iAnalogOutputtime = nullptr;
    std::array<QLabel*, 4> scanLabels{};
    QGroupBox* TeThemeGroupBoxScanStart = nullptr;
    QToolButton* TeThemeSpeedButton4 = nullptr;
    QGroupBox* TeThemeRadioGroupRun = nullptr;
    std::array<QRadioButton*, 3> runTimesItems{};
    QSpinBox* TeThemeSpinEdit = nullptr;
    QGroupBox* TeThemeGroupBoxList = nullptr;
    QTableWidget* TeThemeStringGridList = nullptr;
    QGroupBox* TeThemeGroupBoxProgramStart = nullptr;
    QToolButton* TeThemeSpeedButton5 = nullptr;
    QGroupBox* TeThemeGroupBoxGoNg = nullptr;
    QTableWidget* TeThemeStringGridGoNg = nullptr;
    QGroupBox* TeThemeGroupBoxGoNgStart = nullptr;
    QToolButton* TeThemeSpeedButton8 = nullptr;
    QLabel* TeThemeLabelRecorder = nullptr;
    QLineEdit* TeThemeEdit1 = nullptr;
    QRadioButton* TeThemeRadioButton2 = nullptr;
    QRadioButton* TeThemeRadioButton1 = nullptr;
    QSpinBox* TeThemeSpinEdit1 = nullptr;
    QToolButton* TeThemeSpeedButton6 = nullptr;
    RunPanel PanelScan;
    RunPanel PanelProgram;
    RunPanel PanelGoNG;
    QMenu* PopupMenuFastKey = nullptr;
    QAction* MenuItemFastKey = nullptr;
    QToolButton* sbScanPlot = nullptr;
    QLabel* StaticText55 = nullptr;
    QLabel* StaticText56 = nullptr;
    QLabel* StaticText64 = nullptr;
    std::array<QLabel*, 4> statusPanels{};
};
