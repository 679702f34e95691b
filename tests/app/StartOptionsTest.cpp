#include "app/StartOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(StartOptionsTest, CommandLines)
{
    const struct {
        QStringList arguments; bool demo, hasPort; const char* port; int speed; const char* screenshot; bool error;
    } cases[] = {
        {{}, false, false, "", 0, "", false},
        {{"--demo"}, true, false, "", 0, "", false},
        {{"--port", "/dev/ttyUSB0", "--speed", "115200"}, false, true, "/dev/ttyUSB0", 115200, "", false},
        {{"--port", "99"}, false, true, "99", 0, "", false},
        {{"--demo", "--screenshot", "shot.png"}, true, false, "", 0, "shot.png", false},
        {{"--port"}, false, false, "", 0, "", true},
        {{"--speed", "fast"}, false, false, "", 0, "", true},
        {{"--speed", "-9600"}, false, false, "", 0, "", true},
        {{"--screenshot", ""}, false, false, "", 0, "", true},
        {{"--colour"}, false, false, "", 0, "", true},
        {{"stray"}, false, false, "", 0, "", true},
    };
    for (const auto& c : cases) {
        const StartOptions options = ParseStartOptions(c.arguments);
        const std::string line = c.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(!options.error.isEmpty(), c.error) << line;
        if (c.error)
            continue;
        EXPECT_EQ(options.demo, c.demo) << line;
        EXPECT_EQ(options.hasPort, c.hasPort) << line;
        EXPECT_EQ(options.port, QString::fromLatin1(c.port)) << line;
        EXPECT_EQ(options.speed, c.speed) << line;
        EXPECT_EQ(options.screenshot, QString::fromLatin1(c.screenshot)) << line;
    }
}

}  // namespace
