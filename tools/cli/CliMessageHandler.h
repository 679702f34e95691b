#pragma once
// Message boxes of the core become lines on standard error; every box is
// answered with its first button.

#include "support/AppMessages.h"

#include <QString>

class CliMessageHandler : public AppMessageHandler {
public:
    explicit CliMessageHandler(QString& err) : m_err(err) {}
    int ShowMessage(const QString& message, unsigned type, const QString& caption) override;

private:
    QString& m_err;
};
