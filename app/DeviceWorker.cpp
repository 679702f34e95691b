#include "app/DeviceWorker.h"

#include "support/Trace.h"

#include <QMetaObject>
#include <QPointer>

CDeviceWorker::CDeviceWorker(QObject* parent) : QObject(parent), m_context(std::make_unique<QObject>())
{
    m_thread.setObjectName(QStringLiteral("DeviceWorker"));
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

CDeviceWorker::~CDeviceWorker()
{
    if (!Stop()) {
        // Destroying a running thread would crash the program: the work
        // still running was told to give up, so wait for it.
        TraceMessage(g_traceTessaly, TRACE_ERROR, "Device work did not end at shut-down; still waiting\n");
        m_thread.wait();
        m_context.reset();
    }
}

bool CDeviceWorker::Run(std::function<void()> work, std::function<void()> done)
{
    if (m_stopped)
        return false;
    ++m_pending;
    QPointer<CDeviceWorker> self(this);
    // The event queue of the context object runs one call at a time, in
    // order: that is the whole scheduler.
    QMetaObject::invokeMethod(
        m_context.get(),
        [self, work = std::move(work), done = std::move(done)]() mutable {
            if (work)
                work();
            if (!self)
                return;
            QMetaObject::invokeMethod(
                self.data(),
                [self, done = std::move(done)] {
                    // A stopped worker's owner is going away: no more completions.
                    if (!self || self->m_stopped)
                        return;
                    if (done)
                        done();
                    if (--self->m_pending == 0)
                        emit self->Idle();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return true;
}

bool CDeviceWorker::Stop(int timeoutMs)
{
    if (!m_thread.isRunning())
        return true;
    m_stopped = true;
    // The loop ends after everything queued before this call has run:
    // quit() from here would drop what is still waiting in the queue.
    QThread* thread = &m_thread;
    QMetaObject::invokeMethod(m_context.get(), [thread] { thread->quit(); }, Qt::QueuedConnection);
    const bool ended = m_thread.wait(QDeadlineTimer(timeoutMs));
    if (ended) {
        // Back to no thread so the unique_ptr may delete it from here.
        m_context.reset();
    }
    return ended;
}
