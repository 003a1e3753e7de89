#pragma once

#include "platform/portprobe.h"

#include <QtGlobal>

#include <functional>
#include <map>
#include <memory>

class Clock;
class LinkBackend;

// The serial ports of this machine and what is attached to each. Each port's backend is made
// once, on first use, and lives as long as the table, as an instrument stays on its cable while
// the link closes and opens again. A port is busy while its backend is open. The table must
// outlive every AmperoOcx that uses it.
class PortTable : public PortProbe
{
public:
    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 36;

    using BackendFactory = std::function<std::unique_ptr<LinkBackend>(Clock& clock)>;

    // The machine as shipped: COM1 carries the simulated supply, COM2 exists with nothing on it.
    PortTable();
    ~PortTable() override;
    Q_DISABLE_COPY_MOVE(PortTable)

    static BackendFactory simulatedSupply();
    static BackendFactory noInstrument();

    // Makes port n (1 to 36) exist with what factory makes; numbers outside that range can be
    // opened by number but never exist. Replaces a backend already made for n.
    void setPort(int portNumber, BackendFactory factory);
    void clear();

    bool portExists(int portNumber) const override;
    bool portIsFree(int portNumber) const override;

    // The backend on port n, made now if needed; a port the table does not list has nothing on it.
    LinkBackend* backend(int portNumber, Clock& clock);

private:
    std::map<int, BackendFactory> m_factories;
    std::map<int, std::unique_ptr<LinkBackend>> m_backends;
};
