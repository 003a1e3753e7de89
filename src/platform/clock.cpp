#include "clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QTimer>

Clock& Clock::system()
{
    static SystemClock clock;
    return clock;
}

Timer::Timer(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

Timer::~Timer()
{
    if (m_enabled)
        m_clock.disarm(this);
}

void Timer::setInterval(int intervalMs)
{
    m_intervalMs = intervalMs;
    if (m_enabled) {
        m_clock.disarm(this);
        m_clock.arm(this);
    }
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled)
        m_clock.arm(this);
    else
        m_clock.disarm(this);
}

void Timer::fire()
{
    if (m_enabled)
        emit timeout();
}

struct SystemClock::Private
{
    QElapsedTimer elapsed;
    QHash<Timer*, QTimer*> timers;
};

SystemClock::SystemClock() : d(std::make_unique<Private>())
{
    d->elapsed.start();
}

SystemClock::~SystemClock() = default;

qint64 SystemClock::elapsedMs() const
{
    return d->elapsed.elapsed();
}

QDateTime SystemClock::currentDateTime() const
{
    return QDateTime::currentDateTime();
}

void SystemClock::wait(qint64 ms)
{
    const qint64 start = elapsedMs();
    while (elapsedMs() - start < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void SystemClock::callLater(int ms, QObject* context, std::function<void()> fn)
{
    QTimer::singleShot(ms, context, std::move(fn));
}

void SystemClock::arm(Timer* timer)
{
    QTimer*& qt = d->timers[timer];
    if (!qt) {
        qt = new QTimer(timer);
        qt->setTimerType(Qt::PreciseTimer);
        QObject::connect(qt, &QTimer::timeout, timer, &Timer::fire);
        QObject::connect(timer, &QObject::destroyed, this, [this, timer] { d->timers.remove(timer); });
    }
    qt->start(qMax(0, timer->interval()));
}

void SystemClock::disarm(Timer* timer)
{
    if (QTimer* qt = d->timers.value(timer))
        qt->stop();
}

VirtualClock::VirtualClock(QDateTime start) : m_start(std::move(start)) {}

void VirtualClock::callLater(int ms, QObject* context, std::function<void()> fn)
{
    m_queue.emplace(std::pair(m_nowMs + qMax(0, ms), m_sequence++),
                    Entry{context, nullptr, std::move(fn)});
}

void VirtualClock::arm(Timer* timer)
{
    m_queue.emplace(std::pair(m_nowMs + qMax(1, timer->interval()), m_sequence++),
                    Entry{timer, timer, {}});
}

void VirtualClock::disarm(Timer* timer)
{
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (it->second.timer == timer)
            it = m_queue.erase(it);
        else
            ++it;
    }
}

void VirtualClock::processEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void VirtualClock::advance(qint64 ms)
{
    const qint64 target = m_nowMs + qMax<qint64>(0, ms);
    processEvents();
    while (!m_queue.empty() && m_queue.begin()->first.first <= target) {
        auto node = m_queue.extract(m_queue.begin());
        m_nowMs = qMax(m_nowMs, node.key().first);
        Entry& entry = node.mapped();
        if (!entry.context)
            continue;
        if (Timer* timer = entry.timer) {
            arm(timer);  // the next period counts from this firing
            timer->fire();
        } else {
            entry.fn();
        }
        processEvents();
    }
    m_nowMs = qMax(m_nowMs, target);
    processEvents();
}
