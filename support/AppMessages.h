#pragma once
// The application message dispatch: every part of the system shows its
// message boxes through here, so the core never depends on a GUI. The
// GUI installs the handler that really shows the box.

#include "support/RegistryRoot.h"

#include <QMutex>
#include <QString>

#include <memory>

class AppMessageHandler {
public:
    virtual ~AppMessageHandler() = default;
    // Shows `message` as a box of the given type (MessageBoxTypes.h) and
    // returns the button that closed it.
    virtual int ShowMessage(const QString& message, unsigned type, const QString& caption) = 0;
};

class CAppMessages {
public:
    static CAppMessages& Instance();

    // Hands the message to the installed handler and returns its answer;
    // without a handler the message is traced and 1 (OK) comes back.
    int ShowMessage(const QString& message, unsigned type = 0, const QString& caption = QString());

    // Takes ownership; the previous handler is released (once no thread
    // is still inside it).
    void SetMessageHandler(std::unique_ptr<AppMessageHandler> handler);
    bool HasMessageHandler() const;

    // The application's identity, set at start-up and read by others.
    QString m_Caption = QStringLiteral("<caption>");
    QString m_AppName = QStringLiteral("<appname>");
    QString m_RegistryKey;
    RegRoot m_RegistryRoot = RegRoot::None;

private:
    CAppMessages() = default;
    mutable QMutex m_lock;
    std::shared_ptr<AppMessageHandler> m_handler;
};
