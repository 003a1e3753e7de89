// Set-points, the output switch and the channel tabs.
#include "mainform.h"

#include "link/instrumentlink.h"
#include "widgets/knob.h"
#include "widgets/ledrectangle.h"
#include "widgets/sevensegmentdisplay.h"
#include "widgets/switchtoggle.h"

#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

void TFormmain::knobVoltagePositionChange(int channel)
{
    channels[channel].presetVoltage->setValue(channels[channel].knobVoltage->position());
}

void TFormmain::knobCurrentPositionChange(int channel)
{
    channels[channel].presetCurrent->setValue(channels[channel].knobCurrent->position());
}

void TFormmain::knobVoltagePositionChangeFinished(int channel)
{
    m_link.SetVoltage(channels[channel].knobVoltage->position());
}

void TFormmain::knobCurrentPositionChangeFinished(int channel)
{
    m_link.SetCurrent(channels[channel].knobCurrent->position());
}

void TFormmain::iSwitchToggleRunMouseUp(Qt::MouseButton)
{
    toggleTx();
    m_link.SetOutputState(iSwitchToggleRun->isOn() ? "1" : "0");
}

void TFormmain::channelTabChanged(int)
{
    if (!m_shown)
        return;
    // A change reported by the instrument does not store the grids of the channel left.
    if (!m_channelChangeByInstrument)
        channelTabChanging();
    channelTabChange();
}

void TFormmain::channelTabChanging()
{
    TakeProgramGrid();
    TakeGoNgGrid();
}

void TFormmain::channelTabChange()
{
    const int c = selectedChannel();
    TeThemeGroupBoxScan->setTitle(text(29 + c));
    TeThemeGroupBoxList->setTitle(text(43 + c));
    TeThemeGroupBoxGoNg->setTitle(text(43 + c));
    setOutputLabelsForChannel(c);
    showScanSettings();
    ShowProgramList();
    ShowGoNgList();
    m_link.SelectChannel(QString::number(c + 1));
}

void TFormmain::setOutputLabelsForChannel(int channel)
{
    TeThemeLabelOutputOn->setText(text(136 + 2 * channel));
    TeThemeLabelOutputOff->setText(text(137 + 2 * channel));
}
