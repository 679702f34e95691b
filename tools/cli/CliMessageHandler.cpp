#include "tools/cli/CliMessageHandler.h"

#include "support/MessageBoxTypes.h"

int CliMessageHandler::ShowMessage(const QString& message, unsigned type, const QString&)
{
    m_err += QStringLiteral("tessaly-cli: ") + message.trimmed() + QLatin1Char('\n');
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case MB_RETRYCANCEL: return IDCANCEL;
    default: return IDOK;
    }
}
