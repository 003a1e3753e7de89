#include "scanrun.h"

#include "platform/clock.h"
#include "platform/decimal.h"
#include "platform/errors.h"
#include "sequencing/scanvoltage.h"
#include "sequencing/steps.h"

ScanRun::ScanRun(Timer& timer, QObject* parent) : QObject(parent), m_timer(timer)
{
    connect(&m_timer, &Timer::timeout, this, &ScanRun::tick);
}

bool ScanRun::open(ScanSetting& setting, TScanVoltage& points)
{
    if (setting.ScanStep == 0)
        return false;
    // Built on a copy so that a scan that cannot be built leaves the channel's points alone.
    TScanVoltage built = points;
    built.start = setting.ScanStart;
    built.stop = setting.ScanStop;
    built.step = setting.ScanStep;
    const int count = built.BuildScanPoints();
    points = std::move(built);

    m_timer.setEnabled(false);
    m_setting = &setting;
    m_points = &points;
    m_view.allSteps = count;
    m_view.currentStep = 1;
    m_sent = 0;
    // Only the stored setting is raised; the entry keeps the text the operator typed.
    if (setting.ScanDelay < 1)
        setting.ScanDelay = 1.0;
    m_view.panelShown = true;
    emit viewChanged();
    return true;
}

double ScanRun::pointAt(int index) const
{
    if (index < 0 || index >= m_points->Points.size())
        throw VoltarisError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_points->Points.at(index);
}

void ScanRun::run()
{
    if (!m_view.panelShown || !m_view.runVisible)
        return;
    m_view.runDown = !m_view.runDown;
    int intervalMs = 0;
    try {
        intervalMs = delayToIntervalMs(m_setting->ScanDelay);
    } catch (...) {
        emit viewChanged();
        throw;
    }
    m_view.runVisible = false;
    m_view.stepVisible = false;
    m_view.finishedShown = false;
    emit applyVoltage(pointAt(0));
    m_view.currentStep = 1;
    // One interval for the whole sweep; the timer keeps its rhythm from here on.
    m_timer.setInterval(intervalMs);
    m_sent = 1;
    m_timer.setEnabled(true);
    emit viewChanged();
}

void ScanRun::tick()
{
    if (!m_view.panelShown || !m_points)
        return;
    const int n = m_sent;
    if (n < m_view.allSteps && n < m_points->Points.size()) {
        emit applyVoltage(m_points->Points.at(n));
        m_sent = n + 1;
        m_view.currentStep = n + 1;
    } else {
        m_timer.setEnabled(false);
        m_view.runVisible = true;
        m_view.stepVisible = true;
        m_sent = 0;
        m_view.finishedShown = true;
    }
    emit viewChanged();
}

void ScanRun::step()
{
    if (!m_view.panelShown || !m_view.stepVisible)
        return;
    if (m_sent >= m_view.allSteps) {
        m_sent = 0;
        m_view.finishedShown = false;
    }
    emit applyVoltage(pointAt(m_sent));
    ++m_sent;
    m_view.currentStep = m_sent;
    emit viewChanged();
}

void ScanRun::stop()
{
    m_view.panelShown = false;
    m_view.runDown = false;
    m_view.runVisible = true;
    m_view.stepVisible = true;
    m_timer.setEnabled(false);
    emit viewChanged();
}
