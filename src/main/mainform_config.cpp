// The configuration file and dialog.
#include "mainform.h"

#include "charts/liveplot.h"
#include "link/instrumentlink.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/programfolder.h"
#include "settings/configfile.h"
#include "settings/dlgconfigsys.h"
#include "widgets/knob.h"
#include "widgets/ledrectangle.h"

#include <QDialog>
#include <QFile>

void TFormmain::LoadConfig()
{
    std::optional<ConfigData> config;
    try {
        config = loadConfigFile(programFile("Config.dat"));
    } catch (const VoltarisError& error) {
        showError(error.message());
        return;
    }
    if (!config)
        return;
    ConfigSpareByte = config->spareByte;
    CommPortIndex = config->commPortIndex;
    BaudRate = config->baudRate;
    for (ChannelControls& ch : channels) {
        ch.knobVoltage->setKeyArrowStepSize(config->voltageArrowStep);
        ch.knobVoltage->setKeyPageStepSize(config->voltagePageStep);
        ch.knobVoltage->setMouseWheelStepSize(config->voltageWheelStep);
        ch.knobCurrent->setKeyArrowStepSize(config->currentArrowStep);
        ch.knobCurrent->setKeyPageStepSize(config->currentPageStep);
        ch.knobCurrent->setMouseWheelStepSize(config->currentWheelStep);
    }
    ConfigSpareInt = config->spareInt;
    ConfigSpareFlag = config->spareFlag;
    ReloadLastParam = config->reloadLastParam;
    const QString lastParameters = programFile("AllParam.Par");
    if (ReloadLastParam && QFile::exists(lastParameters)) {
        try {
            LoadAllParamFromFile(lastParameters);
        } catch (const VoltarisError& error) {
            showError(error.message());
        }
    }
}

void TFormmain::SaveConfig()
{
    ConfigData config;
    config.spareByte = ConfigSpareByte;
    config.commPortIndex = CommPortIndex;
    config.baudRate = BaudRate;
    const Knob* voltage = channels[0].knobVoltage;
    const Knob* current = channels[0].knobCurrent;
    config.voltageArrowStep = voltage->keyArrowStepSize();
    config.voltagePageStep = voltage->keyPageStepSize();
    config.voltageWheelStep = voltage->mouseWheelStepSize();
    config.currentArrowStep = current->keyArrowStepSize();
    config.currentPageStep = current->keyPageStepSize();
    config.currentWheelStep = current->mouseWheelStepSize();
    config.spareInt = ConfigSpareInt;
    config.spareFlag = ConfigSpareFlag;
    config.reloadLastParam = ReloadLastParam ? 1 : 0;
    saveConfigFile(programFile("Config.dat"), config);
}

void TFormmain::tbConfigClick()
{
    if (!m_configDialog)
        return;
    TFormConfigSys& dialog = *m_configDialog;
    iLedRectangleRx->setActive(false);
    ConfigDialogValues shown;
    shown.baudRateText = QString::number(BaudRate);
    dialog.FillPortList(*m_deps.ports);
    shown.portText = "COM" + QString::number(CommPortIndex + 1);
    const Knob* voltage = channels[0].knobVoltage;
    const Knob* current = channels[0].knobCurrent;
    shown.voltageSteps = {voltage->keyArrowStepSize(), voltage->keyPageStepSize(),
                          voltage->mouseWheelStepSize()};
    shown.currentSteps = {current->keyArrowStepSize(), current->keyPageStepSize(),
                          current->mouseWheelStepSize()};
    shown.reloadLastParam = ReloadLastParam != 0;
    dialog.setValues(shown);

    if (m_deps.execConfigDialog(dialog) == QDialog::Accepted) {
        // The dialog only accepts whole numbers for port and baud rate, so from here on
        // nothing can fail half-way through the reconnection.
        const ConfigDialogResult chosen = dialog.confirmedSettings();
        TimerReadData->setEnabled(false);
        CommTimeOutTimer->setEnabled(false);
        CommOverTime->setEnabled(false);
        WaitWithMessages(500);
        Connected = false;
        m_link.CloseLink();
        CommPortIndex = chosen.commPortIndex;
        BaudRate = chosen.baudRate;
        for (ChannelControls& ch : channels) {
            ch.knobVoltage->setKeyArrowStepSize(chosen.voltageSteps[0]);
            ch.knobVoltage->setKeyPageStepSize(chosen.voltageSteps[1]);
            ch.knobVoltage->setMouseWheelStepSize(chosen.voltageSteps[2]);
            ch.knobCurrent->setKeyArrowStepSize(chosen.currentSteps[0]);
            ch.knobCurrent->setKeyPageStepSize(chosen.currentSteps[1]);
            ch.knobCurrent->setMouseWheelStepSize(chosen.currentSteps[2]);
        }
        ReloadLastParam = chosen.reloadLastParam ? 1 : 0;
        try {
            SaveConfig();
        } catch (const VoltarisError& error) {
            showError(error.message());
        }
        TimerReadData->setEnabled(true);
        ConnectTickCount = 10;
    }
    iPlotVoltage->setFocus();
}
