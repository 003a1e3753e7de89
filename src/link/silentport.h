#pragma once

#include "link/linkbackend.h"

// A port with no instrument on it: it opens and closes, takes every request and never answers.
class SilentPort : public LinkBackend
{
    Q_OBJECT
public:
    using LinkBackend::LinkBackend;

    bool open(int baudRate) override;
    void close() override;
    bool isOpen() const override { return m_open; }

    void queryIdentity() override {}
    void querySelectedChannel() override {}
    void querySetpoints() override {}
    void queryOutputState() override {}
    void beginPoll() override {}
    void endPoll() override {}
    void setOutputState(bool) override {}
    void selectChannel(int) override {}
    void setVoltage(double) override {}
    void setCurrent(double) override {}
    void setVoltageCurrent(double, double) override {}

private:
    bool m_open = false;
};
