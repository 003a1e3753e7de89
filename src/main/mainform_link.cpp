// Polling the instrument and handling its replies.
#include "mainform.h"

#include "charts/liveplot.h"
#include "link/instrumentlink.h"
#include "link/replyrecord.h"
#include "sequencing/dlgscanvoltage.h"
#include "sequencing/gongrun.h"
#include "platform/clock.h"
#include "widgets/knob.h"
#include "widgets/ledrectangle.h"
#include "widgets/sevensegmentdisplay.h"
#include "widgets/switchtoggle.h"

#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>

void TFormmain::toggleTx()
{
    iLedRectangleTx->toggle();
}

void TFormmain::toggleRx()
{
    iLedRectangleRx->toggle();
}

void TFormmain::ReStartReadTimer()
{
    CommTimeOutTimer->setEnabled(false);
    ReadReady = true;
    TimerReadData->setEnabled(true);
}

void TFormmain::StopReadTimer()
{
    ReadReady = false;
    CommTimeOutTimer->setEnabled(true);
}

void TFormmain::TimerReadDataTimer()
{
    setStatusPanel(3, "   " + QLocale::system().toString(m_clock.currentDateTime(),
                                                           "dddd, MM dd, yyyy  HH:mm:ss"));
    CommOverTime->setEnabled(true);
    if (!Connected) {
        if (ConnectTickCount < 10) {
            ++ConnectTickCount;
            return;
        }
        TeThemePageControl1->setEnabled(false);
        m_link.ResetLink();
        ConnectTickCount = 0;
        m_link.SetPortNumber(short(CommPortIndex + 1));
        m_link.SetBaudRate(BaudRate);
        m_link.OpenLink();
        m_link.InitQuery1();
        m_link.InitQuery2();
        m_link.InitQuery3();
        m_link.InitQuery4();
        m_link.PollQuery1();
        toggleTx();
    } else if (ReadReady) {
        toggleTx();
        StopReadTimer();
        m_link.PollQuery1();
        m_link.PollQuery2();
    }
}

void TFormmain::CommTimeOutTimerTimer()
{
    if (ReadReady)
        CommTimeOutTimer->setEnabled(false);
    else
        ReStartReadTimer();
}

void TFormmain::CommOverTimeTimer()
{
    setStatusPanel(2, TextCommLost);
    EnableControls(false);
}

void TFormmain::AmperoOcx1ReceiveData()
{
    CommOverTime->setEnabled(false);
    if (!RunPanelOpen)
        EnableControls(true);
    // A reply that does not convert is dropped where it fails, silently; what it already
    // updated stays.
    try {
        toggleRx();
        setStatusPanel(2, TextCommOk);
        const std::optional<ReplyRecord> record = splitReply(m_link.GetReceivedText());
        if (!record)
            return;
        switch (record->code) {
        case ReplyCurrentSetpoint:
            ParseCurrentSetpoint(record->value);
            break;
        case ReplyVoltageSetpoint:
            ParseVoltageSetpoint(record->value);
            break;
        case ReplyIdentity:
            ParseIdentity(record->value);
            break;
        case ReplyOutputState:
            iSwitchToggleRun->setOn(replyInteger(record->value) == 1);
            break;
        case ReplyChannel:
            handleChannelReply(record->value);
            break;
        case ReplyVoltages:
            ParseVoltages(record->value);
            break;
        case ReplyCurrents:
            ParseCurrents(record->value);
            break;
        case ReplyReadings:
            ParseReadings(record->value);
            break;
        default:
            break;
        }
    } catch (const std::exception&) {
    }
}

void TFormmain::handleChannelReply(const QString& value)
{
    const int n = replyInteger(value);
    if (n >= 1 && n <= 3 && n - 1 != selectedChannel()) {
        m_channelChangeByInstrument = true;
        TeThemePageControl1->setCurrentIndex(n - 1);
        m_channelChangeByInstrument = false;
    }
    LoadChannelSettings();
    EnableControls(true);
}

void TFormmain::ParseVoltages(const QString& value)
{
    const std::array<QString, 3> fields = splitThree(value);
    std::array<double, 3> volts{};
    for (int c = 0; c < 3; ++c) {
        volts[c] = replyNumber(fields[c]);
        channels[c].measuredVoltage->setValue(volts[c]);
        channels[c].summaryVoltage->setValue(volts[c]);
        iPlotVoltage->addPoint(c, volts[c]);
    }
    if (m_scanPlot && m_scanPlot->isVisible())
        m_scanPlot->addVoltages(volts[0], volts[1], volts[2]);
}

void TFormmain::ParseCurrents(const QString& value)
{
    const std::array<QString, 3> fields = splitThree(value);
    std::array<double, 3> amperes{};
    for (int c = 0; c < 3; ++c) {
        amperes[c] = replyNumber(fields[c]);
        channels[c].measuredCurrent->setValue(amperes[c]);
        channels[c].summaryCurrent->setValue(amperes[c]);
        iPlotCurrent->addPoint(c, amperes[c]);
    }
    CommTimeOutTimer->setEnabled(false);
    ReadReady = true;
    if (m_goNgRun->view().panelShown)
        m_goNgRun->judge(amperes[selectedChannel()]);
}

void TFormmain::ParseReadings(const QString& value)
{
    const qsizetype lineFeed = value.indexOf(QLatin1Char('\n'));
    if (lineFeed < 0)
        throw ReplyFormatError("readings without a line feed");
    ParseVoltages(value.left(lineFeed));
    ParseCurrents(value.mid(lineFeed + 1));
}

void TFormmain::ParseVoltageSetpoint(const QString& value)
{
    const double volts = replyNumber(value);
    ChannelControls& ch = channels[selectedChannel()];
    ch.presetVoltage->setValue(volts);
    ch.knobVoltage->setPosition(ch.presetVoltage->value());
}

void TFormmain::ParseCurrentSetpoint(const QString& value)
{
    const double amperes = replyNumber(value);
    ChannelControls& ch = channels[selectedChannel()];
    ch.presetCurrent->setValue(amperes);
    ch.knobCurrent->setPosition(ch.presetCurrent->value());
}

void TFormmain::ParseIdentity(const QString& value)
{
    const qsizetype first = value.indexOf(QLatin1Char(','));
    const qsizetype second = first < 0 ? -1 : value.indexOf(QLatin1Char(','), first + 1);
    PowerTypeName = second < 0 ? QString() : value.mid(first + 1, second - first - 1);
    ApplyPowerType();
    Connected = true;
    ReadReady = true;
}
