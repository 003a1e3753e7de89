#include "gongrun.h"

#include "platform/clock.h"
#include "platform/decimal.h"
#include "platform/errors.h"

#include <exception>

GoNgRun::GoNgRun(Timer& timer, QObject* parent) : QObject(parent), m_timer(timer)
{
    connect(&m_timer, &Timer::timeout, this, &GoNgRun::tick);
}

bool GoNgRun::open(QList<GoNgStep>* steps)
{
    if (!steps || steps->isEmpty())
        return false;
    m_timer.setEnabled(false);
    m_steps = steps;
    for (GoNgStep& step : *steps) {
        step.Real = 0;
        step.Pass = 0;
    }
    m_view.allSteps = int(steps->size());
    m_view.currentStep = 1;
    m_view.panelShown = true;
    m_view.finishedShown = false;
    m_view.verdict = GoNgVerdict::Fail;
    m_view.runVisible = true;
    m_view.stepVisible = true;
    m_view.gridRow = 0;
    m_sent = 0;
    emit viewChanged();
    return true;
}

const GoNgStep& GoNgRun::stepAt(int index) const
{
    // N was fixed when the panel opened; a list that shrank since then has no such step.
    if (index < 0 || index >= m_steps->size())
        throw VoltarisError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_steps->at(index);
}

void GoNgRun::run()
{
    if (!m_view.panelShown || !m_view.runVisible)
        return;
    const GoNgStep first = stepAt(0);
    // Worked out before anything is sent, so a bad delay sends nothing.
    const int intervalMs = delayToIntervalMs(first.Delay);
    m_view.stepVisible = false;
    m_view.runVisible = false;
    m_view.finishedShown = false;
    emit applySetting(first.Setting);
    m_view.currentStep = 1;
    m_timer.setInterval(intervalMs);
    m_timer.setEnabled(true);
    m_sent = 1;
    emit viewChanged();
}

void GoNgRun::tick()
{
    if (!m_view.panelShown || !m_steps)
        return;
    try {
        const int n = m_sent;
        if (n < m_view.allSteps) {
            const GoNgStep next = stepAt(n);
            const int intervalMs = delayToIntervalMs(next.Delay);
            emit applySetting(next.Setting);
            m_sent = n + 1;
            m_view.currentStep = n + 1;
            m_timer.setInterval(intervalMs);
            m_view.gridRow = n + 1;
            emit viewChanged();
            return;
        }
        m_timer.setEnabled(false);
        // A recording that fails ends the tick here: the finished state is not shown and only
        // "Stop" is left, as the run was neither completed nor stored whole.
        emit timedRunCompleted();
        m_view.finishedShown = true;
        m_view.stepVisible = true;
        m_view.runVisible = true;
        emit viewChanged();
    } catch (const VoltarisError& error) {
        // A timer event has nobody above it to show the error.
        m_timer.setEnabled(false);
        emit viewChanged();
        emit failed(error.message());
    } catch (const std::exception& error) {
        m_timer.setEnabled(false);
        emit viewChanged();
        emit failed(QString::fromLocal8Bit(error.what()));
    }
}

void GoNgRun::step()
{
    if (!m_view.panelShown || !m_view.stepVisible)
        return;
    if (m_sent >= m_view.allSteps) {
        m_sent = 0;
        m_view.finishedShown = false;
    }
    try {
        emit applySetting(stepAt(m_sent).Setting);
    } catch (...) {
        emit viewChanged();
        throw;
    }
    ++m_sent;
    m_view.currentStep = m_sent;
    emit viewChanged();
}

void GoNgRun::stop()
{
    m_view.panelShown = false;
    m_view.runVisible = true;
    m_view.stepVisible = true;
    m_view.finishedShown = false;
    m_timer.setEnabled(false);
    emit viewChanged();
}

void GoNgRun::judge(double measuredCurrent)
{
    if (!m_view.panelShown || !m_steps)
        return;
    const int e = m_sent == 0 ? 1 : m_sent;
    // Reply handling has no error path: a step the list no longer holds is not judged.
    if (e > m_steps->size())
        return;
    GoNgStep& s = (*m_steps)[e - 1];
    s.Real = measuredCurrent;
    s.Pass = (s.Min <= s.Real && s.Real <= s.Max) ? 1 : 0;
    m_view.verdict = s.Pass ? GoNgVerdict::Pass : GoNgVerdict::Fail;
    m_view.gridRow = e;
    emit stepJudged(e - 1);
    emit viewChanged();
}
