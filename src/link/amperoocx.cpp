#include "amperoocx.h"

#include "link/linkbackend.h"
#include "link/porttable.h"
#include "link/replyqueue.h"
#include "link/simulatedsupply.h"

#include <QLocale>

#include <cmath>

AmperoOcx::AmperoOcx(Clock& clock, PortTable& ports, QObject* parent)
    : InstrumentLink(parent), m_clock(clock), m_ports(ports), m_replies(new ReplyQueue(clock, this))
{
    connect(m_replies, &ReplyQueue::ready, this, &InstrumentLink::OnReceiveData);
}

AmperoOcx::~AmperoOcx()
{
    closePort();
}

std::optional<double> AmperoOcx::parseNumber(const QString& text)
{
    QString normal = text.trimmed();
    normal.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(normal, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void AmperoOcx::PrepareLink(short)
{
    // Nothing to prepare: ports are opened on demand.
}

void AmperoOcx::ResetLink()
{
    closePort();
    m_replies->clear();
}

void AmperoOcx::SetPortNumber(short portNumber)
{
    m_portNumber = portNumber;
}

void AmperoOcx::SetBaudRate(int baudRate)
{
    m_baudRate = baudRate;
}

void AmperoOcx::OpenLink()
{
    LinkBackend* chosen = m_ports.backend(m_portNumber, m_clock);
    if (m_backend == chosen && chosen->isOpen())
        return;
    closePort();
    if (!chosen->open(m_baudRate))
        return;
    m_backend = chosen;
    connect(chosen, &LinkBackend::reply, m_replies, &ReplyQueue::push);
}

void AmperoOcx::CloseLink()
{
    closePort();
}

void AmperoOcx::closePort()
{
    if (!m_backend)
        return;
    disconnect(m_backend, nullptr, m_replies, nullptr);
    m_backend->close();
    m_backend = nullptr;
}

LinkBackend* AmperoOcx::openBackend() const
{
    return m_backend && m_backend->isOpen() ? m_backend.data() : nullptr;
}

bool AmperoOcx::isOpen() const
{
    return openBackend() != nullptr;
}

SimulatedSupply* AmperoOcx::simulatedSupply()
{
    return qobject_cast<SimulatedSupply*>(m_ports.backend(m_portNumber, m_clock));
}

void AmperoOcx::InitQuery1()
{
    if (LinkBackend* backend = openBackend())
        backend->queryIdentity();
}

void AmperoOcx::InitQuery2()
{
    if (LinkBackend* backend = openBackend())
        backend->querySelectedChannel();
}

void AmperoOcx::InitQuery3()
{
    if (LinkBackend* backend = openBackend())
        backend->querySetpoints();
}

void AmperoOcx::InitQuery4()
{
    if (LinkBackend* backend = openBackend())
        backend->queryOutputState();
}

void AmperoOcx::PollQuery1()
{
    if (LinkBackend* backend = openBackend())
        backend->beginPoll();
}

void AmperoOcx::PollQuery2()
{
    if (LinkBackend* backend = openBackend())
        backend->endPoll();
}

QString AmperoOcx::GetReceivedText()
{
    return m_replies->take();
}

void AmperoOcx::SetOutputState(const QString& state)
{
    LinkBackend* backend = openBackend();
    const QString text = state.trimmed();
    if (backend && (text == QLatin1String("1") || text == QLatin1String("0")))
        backend->setOutputState(text == QLatin1String("1"));
}

void AmperoOcx::SelectChannel(const QString& channel)
{
    LinkBackend* backend = openBackend();
    bool ok = false;
    const int n = channel.trimmed().toInt(&ok);
    if (backend && ok)
        backend->selectChannel(n);
}

void AmperoOcx::SetVoltage(double volts)
{
    if (LinkBackend* backend = openBackend())
        backend->setVoltage(volts);
}

void AmperoOcx::SetCurrent(double amperes)
{
    if (LinkBackend* backend = openBackend())
        backend->setCurrent(amperes);
}

void AmperoOcx::SetVoltageText(const QString& volts)
{
    LinkBackend* backend = openBackend();
    const std::optional<double> value = parseNumber(volts);
    if (backend && value)
        backend->setVoltage(*value);
}

void AmperoOcx::SetVoltageCurrentText(const QString& volts, const QString& amperes)
{
    LinkBackend* backend = openBackend();
    const std::optional<double> v = parseNumber(volts);
    const std::optional<double> a = parseNumber(amperes);
    if (backend && v && a)
        backend->setVoltageCurrent(*v, *a);
}
