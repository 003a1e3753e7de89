#include "programrun.h"

#include "platform/clock.h"
#include "platform/decimal.h"
#include "platform/errors.h"

ProgramRun::ProgramRun(Timer& timer, QObject* parent) : QObject(parent), m_timer(timer)
{
    connect(&m_timer, &Timer::timeout, this, &ProgramRun::tick);
}

bool ProgramRun::open(const QList<ProgramStep>* steps)
{
    if (!steps || steps->isEmpty())
        return false;
    m_timer.setEnabled(false);
    m_steps = steps;
    m_sent = 0;
    m_view.allSteps = int(steps->size());
    m_view.currentStep = 1;
    m_view.runTimes = 1;
    m_view.runEnabled = true;
    m_view.stepEnabled = true;
    m_view.gridRow = 0;
    m_view.panelShown = true;
    // The finished notice and the toggle's down state are left as the last run left them.
    emit viewChanged();
    return true;
}

const ProgramStep& ProgramRun::stepAt(int index) const
{
    // N was fixed when the panel opened; a list that shrank since then has no such step.
    if (index < 0 || index >= m_steps->size())
        throw VoltarisError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_steps->at(index);
}

int ProgramRun::choice() const
{
    return runTimesMode ? runTimesMode() : RunTimesOnce;
}

void ProgramRun::run()
{
    if (!m_view.panelShown || !m_view.runEnabled)
        return;
    m_view.runDown = !m_view.runDown;
    try {
        startPass();
    } catch (...) {
        emit viewChanged();
        throw;
    }
}

void ProgramRun::startPass()
{
    const ProgramStep first = stepAt(0);
    // Worked out before anything is sent, so a bad delay sends nothing.
    const int intervalMs = delayToIntervalMs(first.Delay);
    m_view.runEnabled = false;
    m_view.stepEnabled = false;
    m_view.finishedShown = false;
    emit applyStep(first);
    m_view.currentStep = 1;
    // Setting the interval restarts the count, so step 1 of a further pass gets its full delay.
    m_timer.setInterval(intervalMs);
    m_timer.setEnabled(true);
    m_sent = 1;
    m_view.gridRow = 1;
    emit viewChanged();
}

void ProgramRun::tick()
{
    if (!m_view.panelShown || !m_steps)
        return;
    try {
        const int n = m_sent;
        if (n < m_view.allSteps) {
            const ProgramStep next = stepAt(n);
            const int intervalMs = delayToIntervalMs(next.Delay);
            emit applyStep(next);
            m_sent = n + 1;
            m_view.currentStep = n + 1;
            m_timer.setInterval(intervalMs);
            m_view.gridRow = n + 1;
            emit viewChanged();
            return;
        }
        switch (choice()) {
        case RunTimesRepeat:
            ++m_view.runTimes;
            startPass();
            break;
        case RunTimesCustom:
            if (m_view.runTimes < (customCount ? customCount() : 0)) {
                ++m_view.runTimes;
                startPass();
            } else {
                m_view.runTimes = 1;
                finish();
            }
            break;
        default:
            finish();
            break;
        }
    } catch (const VoltarisError& error) {
        // A timer event has nobody above it to show the error, so the run halts here and
        // the operator gets Run and Step back.
        m_timer.setEnabled(false);
        m_view.runEnabled = true;
        m_view.stepEnabled = true;
        emit viewChanged();
        emit failed(error.message());
    }
}

void ProgramRun::finish()
{
    m_timer.setEnabled(false);
    m_view.runEnabled = true;
    m_view.stepEnabled = true;
    m_sent = 0;
    m_view.finishedShown = true;
    emit viewChanged();
}

void ProgramRun::step()
{
    if (!m_view.panelShown || !m_view.stepEnabled)
        return;
    if (m_sent >= m_view.allSteps) {
        m_sent = 0;
        m_view.finishedShown = false;
        ++m_view.runTimes;
    }
    try {
        emit applyStep(stepAt(m_sent));
    } catch (...) {
        emit viewChanged();
        throw;
    }
    ++m_sent;
    m_view.currentStep = m_sent;
    m_view.gridRow = m_sent;
    emit viewChanged();
}

void ProgramRun::stop()
{
    m_view.panelShown = false;
    m_timer.setEnabled(false);
    m_view.runDown = false;
    m_view.runEnabled = true;
    m_view.stepEnabled = true;
    emit viewChanged();
}
