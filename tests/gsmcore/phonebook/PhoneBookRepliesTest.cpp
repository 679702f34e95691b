// The phone book parsers and the checks before a write, fed the answers
// and entries of tests/data/phonebook/replies.txt.

#include "gsmcore/phonebook/DialNumberCheck.h"
#include "gsmcore/phonebook/PhoneBookReplies.h"
#include "tests/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(PhoneBookReplies, EveryParserGivesWhatTheRowSays)
{
    const auto rows = TestDataRows(QStringLiteral("phonebook/replies.txt"));
    ASSERT_EQ(rows.size(), 48);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.join(" | ").toStdString());
        const QString in = QString::fromUtf8(row[1]);
        const QString out = QString::fromUtf8(row.value(2));
        if (row[0] == "limits") {
            const PhoneBookLimits l = ParsePhoneBookLimits(in);
            EXPECT_EQ(u"%1 %2 %3 %4%5"_qs.arg(l.first).arg(l.last).arg(l.maxNumber).arg(l.maxName).arg(l.sizesRead ? " sizes" : ""), out);
        } else if (row[0] == "entry") {
            PhoneBookLine entry;
            EXPECT_EQ(ParsePhoneBookLine(in, entry), row.size() > 2);
            EXPECT_TRUE(row.size() == 2 || (u"%1 | %2 | %3"_qs.arg(entry.location).arg(entry.number, entry.rawName)
                                            == QString::fromUtf8(row.mid(2).join(" | "))));
        } else if (row[0] == "storages") {
            EXPECT_EQ(ParseStorageList(in), row.size() > 2 ? out.split(u'\n') : QStringList());
        } else if (row[0] == "name") {
            EXPECT_EQ(IsWritableName(in), out == u"writable");
        } else {
            ASSERT_EQ(row[0], "number");
            const bool refused = out == u"refused";
            EXPECT_EQ(IsWritableNumber(in), !refused);
            EXPECT_EQ(RefusedNumberMessage(in).isEmpty(), !refused);
            EXPECT_TRUE(RefusedNumberMessage(in).contains(refused ? QString::fromUtf8(row[3]) : QString()));
            EXPECT_TRUE(refused || (FilterNumber(in) == out && GetNumberType(out) == row[3].toInt()));
        }
    }
}

}  // namespace
