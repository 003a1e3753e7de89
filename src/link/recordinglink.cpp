#include "recordinglink.h"

#include "link/replyqueue.h"
#include "platform/clock.h"

#include <QLocale>

namespace {

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

RecordingLink::RecordingLink(Clock& clock, QObject* parent)
    : InstrumentLink(parent), m_clock(clock), m_replies(new ReplyQueue(clock, this))
{
    connect(m_replies, &ReplyQueue::ready, this, &InstrumentLink::OnReceiveData);
}

QStringList RecordingLink::callTexts() const
{
    QStringList texts;
    for (const Call& call : m_calls)
        texts << call.text;
    return texts;
}

void RecordingLink::deliver(const QString& reply)
{
    m_replies->push(reply);
}

void RecordingLink::record(const QString& operation, const QStringList& arguments)
{
    m_calls.append({m_clock.elapsedMs(), operation + QLatin1Char('(') +
                                             arguments.join(QLatin1Char(',')) + QLatin1Char(')')});
}

void RecordingLink::PrepareLink(short mode)
{
    record(QStringLiteral("PrepareLink"), {QString::number(mode)});
}

void RecordingLink::ResetLink()
{
    record(QStringLiteral("ResetLink"));
}

void RecordingLink::SetPortNumber(short portNumber)
{
    record(QStringLiteral("SetPortNumber"), {QString::number(portNumber)});
}

void RecordingLink::SetBaudRate(int baudRate)
{
    record(QStringLiteral("SetBaudRate"), {QString::number(baudRate)});
}

void RecordingLink::OpenLink()
{
    record(QStringLiteral("OpenLink"));
}

void RecordingLink::InitQuery1()
{
    record(QStringLiteral("InitQuery1"));
}

void RecordingLink::InitQuery2()
{
    record(QStringLiteral("InitQuery2"));
}

void RecordingLink::InitQuery3()
{
    record(QStringLiteral("InitQuery3"));
}

void RecordingLink::InitQuery4()
{
    record(QStringLiteral("InitQuery4"));
}

void RecordingLink::PollQuery1()
{
    record(QStringLiteral("PollQuery1"));
}

void RecordingLink::PollQuery2()
{
    record(QStringLiteral("PollQuery2"));
}

void RecordingLink::CloseLink()
{
    record(QStringLiteral("CloseLink"));
}

QString RecordingLink::GetReceivedText()
{
    return m_replies->take();
}

void RecordingLink::SetOutputState(const QString& state)
{
    record(QStringLiteral("SetOutputState"), {state});
}

void RecordingLink::SelectChannel(const QString& channel)
{
    record(QStringLiteral("SelectChannel"), {channel});
}

void RecordingLink::SetVoltage(double volts)
{
    record(QStringLiteral("SetVoltage"), {number(volts)});
}

void RecordingLink::SetCurrent(double amperes)
{
    record(QStringLiteral("SetCurrent"), {number(amperes)});
}

void RecordingLink::SetVoltageText(const QString& volts)
{
    record(QStringLiteral("SetVoltageText"), {volts});
}

void RecordingLink::SetVoltageCurrentText(const QString& volts, const QString& amperes)
{
    record(QStringLiteral("SetVoltageCurrentText"), {volts, amperes});
}
