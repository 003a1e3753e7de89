#include "porttable.h"

#include "link/silentport.h"
#include "link/simulatedsupply.h"

PortTable::PortTable()
{
    setPort(1, simulatedSupply());
    setPort(2, noInstrument());
}

PortTable::~PortTable() = default;

PortTable::BackendFactory PortTable::simulatedSupply()
{
    return [](Clock& clock) { return std::make_unique<SimulatedSupply>(clock); };
}

PortTable::BackendFactory PortTable::noInstrument()
{
    return [](Clock&) { return std::make_unique<SilentPort>(); };
}

void PortTable::setPort(int portNumber, BackendFactory factory)
{
    m_factories[portNumber] = std::move(factory);
    m_backends.erase(portNumber);
}

void PortTable::clear()
{
    m_factories.clear();
    m_backends.clear();
}

bool PortTable::portExists(int portNumber) const
{
    return portNumber >= FirstPort && portNumber <= LastPort && m_factories.contains(portNumber);
}

bool PortTable::portIsFree(int portNumber) const
{
    if (!portExists(portNumber))
        return false;
    const auto it = m_backends.find(portNumber);
    return it == m_backends.end() || !it->second->isOpen();
}

LinkBackend* PortTable::backend(int portNumber, Clock& clock)
{
    std::unique_ptr<LinkBackend>& slot = m_backends[portNumber];
    if (!slot) {
        const auto it = m_factories.find(portNumber);
        if (it != m_factories.end() && it->second)
            slot = it->second(clock);
        if (!slot)
            slot = noInstrument()(clock);
    }
    return slot.get();
}
