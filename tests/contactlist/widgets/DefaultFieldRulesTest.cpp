#include "contactlist/widgets/DefaultFieldRules.h"

#include "tests/contactlist/ContactListTestData.h"

#include <gtest/gtest.h>

TEST(DefaultFieldRules, DefaultMovesIntoTheFilter)
{
    struct Case { const char* what; int defaultField; int filter; int expected; bool changed; };
    // The contact has work, mobile and a second e-mail address.
    const Case cases[] = {
        {"e-mail default, telephone list", FIELD_EMAIL2, 0x1FF, FIELD_WORK_TEL, true},
        {"e-mail default, mobile only", FIELD_EMAIL2, int(ContactFieldMask(FIELD_MOBILE_TEL)), FIELD_MOBILE_TEL, true},
        {"mobile default, e-mail list", FIELD_MOBILE_TEL, 0xE00, FIELD_EMAIL2, true},
        {"default already shown", FIELD_MOBILE_TEL, 0x1FF, FIELD_MOBILE_TEL, false},
        {"all contacts", FIELD_EMAIL2, 0xFFF, FIELD_EMAIL2, false},
        {"nothing the filter shows", FIELD_MOBILE_TEL, int(ContactFieldMask(FIELD_CAR_TEL)), FIELD_MOBILE_TEL, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordPtr record(MakeRecord(
            "Kim", {{FIELD_WORK_TEL, "+4681111"}, {FIELD_MOBILE_TEL, "+46702222"}, {FIELD_EMAIL2, "kim@example.org"}},
            7, c.defaultField));
        ASSERT_TRUE(record);
        EXPECT_EQ(AdjustDefaultField(*record, c.filter), c.changed);
        EXPECT_EQ(record->nDefaultField, c.expected);
    }
}

TEST(DefaultFieldRules, TagsAndTexts)
{
    RecordPtr record(MakeRecord("Kim", {{FIELD_MOBILE_TEL, "+46702222"}, {FIELD_EMAIL, "kim@example.org"}}, 7));
    EXPECT_EQ(PresentFieldOfTag(*record, QStringLiteral("E")), FIELD_EMAIL);  // ignoring case
    EXPECT_EQ(DefaultFieldText(*record), u"+46702222");

    // A default that points at an absent field (a damaged cache) gives no
    // tag's field and no text, until the default moves to one present.
    record->nDefaultField = FIELD_HOME_TEL;
    EXPECT_EQ(PresentFieldOfTag(*record, ContactDefaultTag(record.get())), -1);
    EXPECT_TRUE(DefaultFieldText(*record).isEmpty());
    EXPECT_TRUE(AdjustDefaultField(*record, 0xFFF));
    EXPECT_EQ(record->nDefaultField, FIELD_MOBILE_TEL);
}
