#pragma once

#include <QDialog>

#include <array>
#include <functional>

class AnalogOutput;
class PortProbe;
class TLoadSource;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// What the configuration dialog shows when it opens.
struct ConfigDialogValues
{
    QString baudRateText;
    QString portText;
    std::array<double, 3> voltageSteps{};  // V: arrow keys, Page Up/Down, mouse wheel
    std::array<double, 3> currentSteps{};  // A: arrow keys, Page Up/Down, mouse wheel
    bool reloadLastParam = false;
};

// The settings the operator confirmed with "Ok"; port and baud rate are known to be numbers.
struct ConfigDialogResult
{
    quint8 commPortIndex = 0;  // 0 is COM1
    qint32 baudRate = 0;
    std::array<double, 3> voltageSteps{};
    std::array<double, 3> currentSteps{};
    bool reloadLastParam = false;
};

// The "Config" dialog: serial port, baud rate, knob step sizes and the reload flag.
class TFormConfigSys : public QDialog
{
    Q_OBJECT
public:
    explicit TFormConfigSys(const TLoadSource& texts, QWidget* parent = nullptr);

    // Lists COM1 to COM36 where the port exists and can be opened right now.
    void FillPortList(const PortProbe& ports);
    void setValues(const ConfigDialogValues& values);
    ConfigDialogValues values() const;
    // Valid after the dialog was accepted.
    ConfigDialogResult confirmedSettings() const { return m_confirmed; }
    // Where a port or baud-rate text that is not a whole number is reported; defaults to a
    // message box over the dialog.
    void setErrorHandler(std::function<void(const QString&)> handler);

    void accept() override;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* TeThemeComboBoxRaudRate = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* TeThemeComboBoxComm = nullptr;
    QCheckBox* TeThemeCheckBoxLastParam = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    std::array<QLabel*, 6> StaticText{};      // StaticText1 to StaticText6
    std::array<AnalogOutput*, 3> voltageStepFields{};  // iAnalogOutputKA1, KP1, MW1
    std::array<AnalogOutput*, 3> currentStepFields{};  // iAnalogOutputKA2, KP2, MW2
    QPushButton* TeThemeButton2 = nullptr;  // "Ok"
    QPushButton* TeThemeButton1 = nullptr;  // "Cancel"

private:
    void ApplyLanguageTexts(const TLoadSource& texts);

    ConfigDialogResult m_confirmed;
    std::function<void(const QString&)> m_showError;
};
