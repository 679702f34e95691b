#include "app/DeviceWorker.h"

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
    Stop();
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
                    if (!self)
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
    // quit() is handled after the operations already queued.
    m_thread.quit();
    const bool ended = m_thread.wait(QDeadlineTimer(timeoutMs));
    if (ended) {
        // Back to no thread so the unique_ptr may delete it from here.
        m_context.reset();
    }
    return ended;
}
