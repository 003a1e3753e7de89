#pragma once

// What the configuration dialog asks about serial ports: which exist and which can be opened
// right now. Port numbers are 1-based (1 is COM1).
class PortProbe
{
public:
    virtual ~PortProbe() = default;
    virtual bool portExists(int portNumber) const = 0;
    // True when the port could be opened exclusively at this moment.
    virtual bool portIsFree(int portNumber) const = 0;
};
