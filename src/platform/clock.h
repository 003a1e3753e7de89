#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

class Timer;

// The one source of time for the program: timers, the status-bar clock, plot time bases and
// busy waits all read it, so a test can swap in a VirtualClock and advance time by hand.
// Everything runs on the UI thread.
class Clock : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Clock() override = default;

    // Milliseconds since the clock was created; never goes back.
    virtual qint64 elapsedMs() const = 0;
    virtual QDateTime currentDateTime() const = 0;

    // Returns after at least ms milliseconds, handling timer and window events meanwhile.
    virtual void wait(qint64 ms) = 0;

    // Runs fn once, ms milliseconds from now, unless context is destroyed first.
    virtual void callLater(int ms, QObject* context, std::function<void()> fn) = 0;

    // The wall clock, for widgets and objects that were given no clock of their own.
    static Clock& system();

protected:
    friend class Timer;
    virtual void arm(Timer* timer) = 0;
    virtual void disarm(Timer* timer) = 0;
};

// A periodic timer on a Clock. Enabling an enabled timer does not restart it; setting the
// interval of an enabled timer restarts its count.
class Timer : public QObject
{
    Q_OBJECT
public:
    explicit Timer(Clock& clock, QObject* parent = nullptr);
    ~Timer() override;

    int interval() const { return m_intervalMs; }
    void setInterval(int intervalMs);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    Clock& clock() const { return m_clock; }

signals:
    void timeout();

private:
    friend class SystemClock;
    friend class VirtualClock;
    void fire();

    Clock& m_clock;
    int m_intervalMs = 1000;
    bool m_enabled = false;
};

// The real time of the machine, on Qt's event loop.
class SystemClock : public Clock
{
    Q_OBJECT
public:
    SystemClock();
    ~SystemClock() override;
    qint64 elapsedMs() const override;
    QDateTime currentDateTime() const override;
    void wait(qint64 ms) override;
    void callLater(int ms, QObject* context, std::function<void()> fn) override;

protected:
    void arm(Timer* timer) override;
    void disarm(Timer* timer) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Time that moves only when advance() is called; timers and delayed calls fire in time order,
// and posted events are delivered after each of them, as an event loop would.
class VirtualClock : public Clock
{
    Q_OBJECT
public:
    explicit VirtualClock(QDateTime start = QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
    qint64 elapsedMs() const override { return m_nowMs; }
    QDateTime currentDateTime() const override { return m_start.addMSecs(m_nowMs); }
    void wait(qint64 ms) override { advance(ms); }
    void callLater(int ms, QObject* context, std::function<void()> fn) override;

    // Moves time forward by ms, firing everything that falls due on the way.
    void advance(qint64 ms);
    // Delivers posted events (queued signals, deferred deletes) without moving time.
    static void processEvents();

protected:
    void arm(Timer* timer) override;
    void disarm(Timer* timer) override;

private:
    struct Entry
    {
        QPointer<QObject> context;
        Timer* timer = nullptr;  // null for a delayed call
        std::function<void()> fn;
    };
    // Keyed by (due time, sequence): entries due together fire in the order they were scheduled.
    std::map<std::pair<qint64, quint64>, Entry> m_queue;
    quint64 m_sequence = 0;
    qint64 m_nowMs = 0;
    QDateTime m_start;
};
