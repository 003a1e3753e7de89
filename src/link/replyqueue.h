#pragma once

#include <QObject>
#include <QQueue>
#include <QString>

class Clock;

// The reply side of a link: texts handed in are announced one at a time, each through the clock so
// that no announcement happens inside the call that handed it in, and in the order they came.
// At each announcement its text becomes current; take() returns it once.
class ReplyQueue : public QObject
{
    Q_OBJECT
public:
    explicit ReplyQueue(Clock& clock, QObject* parent = nullptr);

    void push(const QString& text);
    // The text of the latest announcement, once; empty when it was taken or none came yet.
    QString take();
    // Forgets what is waiting and the current text; announcements already scheduled do not come.
    void clear();
    qsizetype waiting() const { return m_waiting.size(); }

signals:
    void ready();

private:
    Clock& m_clock;
    QQueue<QString> m_waiting;
    QString m_current;
    quint64 m_generation = 0;
};
