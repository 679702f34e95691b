// The reply parsers fed the device lines of tests/data/link/reply-lines.txt:
// a row names the parser, the line in and what it must give.

#include "gsmcore/link/DeviceModels.h"
#include "gsmcore/link/KeystrokeDialling.h"
#include "gsmcore/link/ReplyLine.h"
#include "gsmcore/link/UnsolicitedCodes.h"
#include "tests/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

// In the order of their values.
const QByteArrayList kCodes = {"none",      "call",         "message-index", "message",      "report",
                               "registration", "gprs-registration", "indicator", "supplementary", "maker"};

TEST(ReplyParsing, EveryParserGivesWhatTheLineSays)
{
    const auto rows = TestDataRows(QStringLiteral("link/reply-lines.txt"));
    ASSERT_EQ(rows.size(), 67);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.join(" | ").toStdString());
        const QString in = QString::fromLatin1(row[1]);
        const QString out = QString::fromLatin1(row.value(2));
        QString key, rest, reference;
        if (row[0] == "split") {
            EXPECT_EQ(SplitReplyLine(in, key, rest), row.size() > 2);
            EXPECT_TRUE(row.size() == 2 || (key == out && rest == QString::fromLatin1(row.value(3))));
        } else if (row[0] == "registration") {
            EXPECT_EQ(RegistrationStatus(in), out.toInt());
        } else if (row[0] == "submit") {
            EXPECT_EQ(SubmitReference(in, reference), row.size() > 2);
            EXPECT_EQ(reference, out);
        } else if (row[0] == "unsolicited") {
            EXPECT_EQ(int(ClassifyUnsolicited(in)), kCodes.indexOf(row[2]));
        } else if (row[0] == "model") {
            const DeviceModelRule* rule = MatchDeviceModel(in.split(u'\n', Qt::SkipEmptyParts));
            EXPECT_EQ(rule ? rule->type : 0, out.toInt());
        } else if (row[0] == "shown") {
            EXPECT_EQ(ModelLine(in.split(u'\n')), out);
        } else {
            ASSERT_EQ(row[0], "pause");
            EXPECT_EQ(KeystrokePauseFor(in.section(u' ', 0, 0).toInt(), in.section(u' ', 1).toInt()), out.toInt());
        }
    }
    EXPECT_EQ(ReplyNumber(QStringLiteral(" 15 ")), 15);
    EXPECT_EQ(ReplyNumber(QStringLiteral("1a")), -1);
    EXPECT_EQ(ReplyNumber(QString(), 7), 7);
}

}  // namespace
