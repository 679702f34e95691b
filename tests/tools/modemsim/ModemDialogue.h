#pragma once
// The command layer driven line by line without a terminal: each line as
// the terminal sends it (without the CR), and all it answers after the echo.

#include "tools/modemsim/ModemCommandProcessor.h"

#include <gtest/gtest.h>

struct Exchange {
    QByteArray line;
    QByteArray reply;
};

inline void RunDialogue(ModemCommandProcessor& modem, const std::vector<Exchange>& dialogue)
{
    for (const Exchange& step : dialogue)
        EXPECT_EQ(modem.handleLine(step.line).reply, step.reply) << step.line.constData();
}
