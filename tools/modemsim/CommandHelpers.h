#pragma once
// Small helpers shared by the command handlers of the simulated modem.

#include "tools/modemsim/AtArguments.h"
#include "tools/modemsim/AtCommandLine.h"

#include <QByteArray>

#include <optional>

inline QByteArray Quoted(const QByteArray& text)
{
    return '"' + text + '"';
}

// The one number of a set command ("+CMGR=3"); nothing for anything else.
inline std::optional<int> SingleNumber(const AtCommand& command)
{
    const auto values = ParseArguments(SetArguments(command));
    if (!values || values->size() != 1)
        return std::nullopt;
    return values->front().number();
}
