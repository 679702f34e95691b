#include "support/Version.h"
#include "tests/tools/cli/CliRun.h"
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

// What every command does with its command line before it touches a device.
TEST(CliArguments, UsageOfEveryCommand)
{
    const QString version = QStringLiteral("tessaly-cli %1\n").arg(QLatin1String(TessalyVersion()));
    const struct {
        QStringList arguments;
        int status;
        QString out;  // the start of standard output
        QString err;  // a part of standard error
    } cases[] = {
        {{"--version"}, 0, version, ""},
        {{"phonebook", "list", "--version"}, 0, version, ""},
        {{"--help"}, 0, "Usage: tessaly-cli", ""},
        {{"-h"}, 0, "Usage: tessaly-cli", ""},
        {{"identify", "-h"}, 0, "Usage: tessaly-cli [--port PATH] [--speed N] identify", ""},
        {{}, 2, "Usage: tessaly-cli", ""},
        {{"phonebook", "list", "--jsno"}, 2, "", "unknown option --jsno"},
        {{"--jsno"}, 2, "", "unknown option --jsno"},
        {{"watch", "--memory", "SM"}, 2, "", "unknown option --memory"},
        {{"contacts", "list", "--port=99", "--index", "3"}, 2, "", "unknown option --index"},
        {{"frobnicate"}, 2, "", "unknown command 'frobnicate'"},
        {{"--port", "99", "phonebook", "frobnicate"}, 2, "",
         "info, list, get, add, modify, delete, move, detect-sizes, to-contacts, export, import"},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.out.left(c.out.size()), c.out) << c.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains(c.err)) << run.err.toStdString();
    }
}

}  // namespace
