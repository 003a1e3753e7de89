#include "replyqueue.h"

#include "platform/clock.h"

#include <utility>

ReplyQueue::ReplyQueue(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock)
{
}

void ReplyQueue::push(const QString& text)
{
    m_waiting.enqueue(text);
    // One delayed call per text keeps one announcement per reply even when a handler waits on
    // the clock inside ready().
    m_clock.callLater(0, this, [this, generation = m_generation] {
        if (generation != m_generation || m_waiting.isEmpty())
            return;
        m_current = m_waiting.dequeue();
        emit ready();
    });
}

QString ReplyQueue::take()
{
    return std::exchange(m_current, QString());
}

void ReplyQueue::clear()
{
    m_waiting.clear();
    m_current.clear();
    ++m_generation;
}
