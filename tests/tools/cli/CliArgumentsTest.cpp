#include "tools/cli/CliArguments.h"

#include <gtest/gtest.h>

namespace {

TEST(CliArguments, WordsOptionsAndValuesInAnyOrder)
{
    CliArguments args;
    QString error;
    ASSERT_TRUE(args.Parse({"--port", "/dev/ttyUSB0", "phonebook", "add", "--name=--odd", "--json", "--index", "7"},
                           {"--port", "--name", "--index"}, error));
    EXPECT_EQ(args.Words(), (QStringList{"phonebook", "add"}));
    EXPECT_EQ(args.Value("--port"), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(args.Value("--name"), QStringLiteral("--odd"));
    EXPECT_TRUE(args.Has("--json"));
    int index = -1;
    EXPECT_TRUE(args.IntValue("--index", index));
    EXPECT_EQ(index, 7);
}

TEST(CliArguments, Mistakes)
{
    const struct {
        QStringList arguments;
        const char* error;
    } cases[] = {
        {{"identify", "--port"}, "option --port needs a value"},
        {{"--json=yes"}, "option --json takes no value"},
    };
    for (const auto& c : cases) {
        CliArguments args;
        QString error;
        EXPECT_FALSE(args.Parse(c.arguments, {"--port"}, error));
        EXPECT_EQ(error, QString::fromLatin1(c.error));
    }
    CliArguments args;
    QString error;
    ASSERT_TRUE(args.Parse({"--index", "seven"}, {"--index"}, error));
    int index = 3;
    EXPECT_FALSE(args.IntValue("--index", index));
    EXPECT_EQ(index, 3);
}

}  // namespace
