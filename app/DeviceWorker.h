#pragma once
// The one thread that talks to the GSM device. Operations run there one
// at a time, in the order they were queued; each one's completion runs
// back on the GUI thread. The GUI thread never waits for the device.

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

class CDeviceWorker : public QObject {
    Q_OBJECT

public:
    // Longest wait for a running operation at shut-down: a whole phone
    // book read is allowed 120 s.
    static constexpr int StopTimeoutMs = 130000;

    explicit CDeviceWorker(QObject* parent = nullptr);
    ~CDeviceWorker() override;  // stops the thread

    // Queues `work` for the device thread; `done` then runs on the thread
    // that owns this object. False after Stop().
    bool Run(std::function<void()> work, std::function<void()> done = {});
    // Operations queued or running.
    int Pending() const { return m_pending; }
    bool IsBusy() const { return m_pending > 0; }
    // Runs everything queued, then ends the thread; true when it ended
    // within the time-out. Completions not yet run are dropped: the owner
    // is going away.
    bool Stop(int timeoutMs = StopTimeoutMs);
    bool IsRunning() const { return m_thread.isRunning(); }
    bool IsWorkerThread() const { return QThread::currentThread() == &m_thread; }

signals:
    // The last pending operation completed (its `done` has run).
    void Idle();

private:
    QThread m_thread;
    std::unique_ptr<QObject> m_context;  // lives on m_thread
    int m_pending = 0;
    bool m_stopped = false;
};
