#pragma once
// The queue of received lines between the reader thread and the command
// layer. An abort releases every waiting reader at once when the link goes
// down, after the lines that came before it: a reader first gets those, so
// a cut reply still counts every line that arrived. The abort stays until
// the link is resumed or started again; each abort also counts, so a wait
// that began before it ends even when the link was resumed meanwhile.

#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>

class CLineQueue {
public:
    // Beyond this many lines nobody takes, the oldest unsolicited code
    // goes; a reply line (a final result, or a line that is no code) is
    // never dropped, it is what a reader waits for.
    static constexpr int MaxLines = 1000;

    virtual ~CLineQueue();

    void append(const QString& line);
    // Waits up to `timeoutMs` for a line. False on time-out and on an
    // abort once the lines queued before it are taken.
    bool take(QString& line, int timeoutMs);
    void clear();

    // Releases every waiting reader; stays set until resume() or reset().
    void abort();
    // The link is back after an abort that did not end it.
    void resume();
    // A new link: the abort flag is cleared and old lines are dropped.
    void reset();
    bool isaborted() const;
    // Counts every abort: a wait compares it with the count at its start.
    unsigned aborts() const;
    int count() const;

private:
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<QString> m_lines;
    bool m_abort = false;
    unsigned m_aborts = 0;
};
