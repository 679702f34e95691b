#pragma once
// The queue of received lines between the reader thread and the command
// layer. The event is set while lines wait; the abort flag releases a
// waiting reader at once when the link goes down, and stays set until the
// link is started again, so that an abort raised between two takes is not
// lost with the lines still queued.

#include "support/Event.h"

#include <QString>

#include <atomic>
#include <deque>
#include <mutex>

class CLineQueue {
public:
    // Lines nobody takes (unsolicited codes while no command runs) are
    // kept up to this many; the oldest go first.
    static constexpr int MaxLines = 1000;

    virtual ~CLineQueue();

    void append(const QString& line);
    // Waits up to `timeoutMs` for a line. False on time-out, on abort and
    // when woken with nothing queued: an empty take is never a line.
    bool take(QString& line, int timeoutMs);
    void clear();

    // Sets the abort flag and wakes a waiting reader.
    void abort();
    // The link is back after an abort that did not end it.
    void resume() { m_abort.store(false); }
    // A new link: the abort flag is cleared and old lines are dropped.
    void reset();
    bool isaborted() const { return m_abort.load(); }
    int count() const;

private:
    mutable std::mutex m_lock;
    std::deque<QString> m_lines;
    CEvent m_available{true, false};
    std::atomic<bool> m_abort{false};
};
