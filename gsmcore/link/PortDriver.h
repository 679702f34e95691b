#pragma once
// The control interface of a multiplexed port driver, one that lets several
// programs share a device's port and can take it away for a data call.
// Ordinary serial devices have no such driver: the default one refuses
// every control code and never reports a disconnect.

#include <QByteArray>
#include <QtGlobal>

#include <functional>

// The driver's control codes.
constexpr quint32 IOCTL_PORT_STATUS = 0x1B2008;
constexpr quint32 IOCTL_REGISTER_NOTIFY = 0x1B200C;
constexpr quint32 IOCTL_UNREGISTER_NOTIFY = 0x1B2010;
constexpr quint32 IOCTL_ACK_DISCONNECT = 0x1B2014;
constexpr quint32 IOCTL_OWNER_NAME = 0x1B201C;

class CPortDriver {
public:
    virtual ~CPortDriver() = default;

    // One control call; `output` receives what the driver answers.
    virtual bool control(quint32 code, const QByteArray& input, QByteArray& output) = 0;

    // Extra event bits (EV_DISCONNECT) raised since the last call; the
    // bits are handed out once.
    virtual quint32 takeevents() = 0;

    // The port installs this to be woken when the driver raises an event
    // while the event wait blocks. Called with an empty function on close.
    virtual void setwakeup(std::function<void()> wake) = 0;
};

class CDefaultPortDriver final : public CPortDriver {
public:
    bool control(quint32, const QByteArray&, QByteArray&) override { return false; }
    quint32 takeevents() override { return 0; }
    void setwakeup(std::function<void()>) override {}
};
