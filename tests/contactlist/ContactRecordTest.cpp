// The compact contact record: its layout byte by byte, its limits and the
// checks a record from outside must pass.

#include "contactlist/ContactRecord.h"
#include "contactlist/FilteredList.h"
#include "tests/contactlist/ContactListTestData.h"

#include <QByteArray>

#include <gtest/gtest.h>

TEST(ContactRecord, LayoutOfAContactWithAMobileNumberAndAnEmailAddress)
{
    RecordPtr record(MakeRecord(QStringLiteral("Ann"), {{FIELD_MOBILE_TEL, "+4670"}, {FIELD_EMAIL, "a@b"}}, 0x01020304));
    ASSERT_NE(record, nullptr);
    // 40 + 2*(3+1) + 2*(5+1) + 2*(3+1) = 68
    const int size = 68;
    ASSERT_EQ(record->wSize, size);
    const QByteArray bytes(reinterpret_cast<const char*>(record.get()), size);
    // Size, name offset, the twelve field offsets (m after "Ann\0", e after
    // "+4670\0", the others absent), default field m, reserved, oid, mask;
    // then the strings in UTF-16.
    const QByteArray expected = QByteArray::fromHex("4400 0000 ffff 0400 ffffffffffffffffffffffffffff 0a00 ffff ffff"
                                                    "0100 0000 04030201 02020000") +
                                QByteArray(reinterpret_cast<const char*>(u"Ann\0+4670\0a@b"), 28);
    ASSERT_EQ(expected.size(), size);
    EXPECT_EQ(bytes.toHex(' '), expected.toHex(' '));

    EXPECT_EQ(ContactField(record.get(), FIELD_EMAIL), QStringLiteral("a@b"));
    EXPECT_TRUE(ContactField(record.get(), FIELD_WORK_TEL).isEmpty());
    EXPECT_TRUE(ContactField(record.get(), 12).isEmpty());
    EXPECT_EQ(ContactTelephoneNumbers(record.get()), (QMap<QString, QString>{{"m", "+4670"}}));
    EXPECT_TRUE(IsValidContactRecord(record.get(), size));
}

TEST(ContactRecord, SizeLimit)
{
    std::array<QString, ContactFieldCount> fields;
    // 40 + 2*(n+1) <= 32767 holds up to n = 16362.
    EXPECT_EQ(ContactRecordSize(QString(16362, QLatin1Char('x')), fields), 32766);
    EXPECT_EQ(ContactRecordSize(QString(16363, QLatin1Char('x')), fields), -1);
    fields[FIELD_EMAIL] = QString(20000, QLatin1Char('y'));
    EXPECT_EQ(ContactRecordSize(QStringLiteral("n"), fields), -1);
    EXPECT_EQ(AllocateContactRecord(QStringLiteral("n"), fields, 9, 1), nullptr);
    EXPECT_EQ(AllocateContactBlock(39), nullptr);
    EXPECT_EQ(AllocateContactBlock(32768), nullptr);
}

TEST(ContactRecord, ValidationRejectsInconsistentBlocks)
{
    struct Case {
        const char* what;
        void (*spoil)(tagCONTACT*);
    } cases[] = {
        {"size word differs", [](tagCONTACT* r) { r->wSize = 66; }},
        {"name offset not 0", [](tagCONTACT* r) { r->nNameOffset = 2; }},
        {"field offset past the end", [](tagCONTACT* r) { r->nFieldOffset[FIELD_EMAIL] = 14; }},
        {"negative offset other than -1", [](tagCONTACT* r) { r->nFieldOffset[FIELD_WORK_TEL] = -2; }},
        {"mask disagrees", [](tagCONTACT* r) { r->dwFieldMask = 0x2; }},
        {"no field at all", [](tagCONTACT* r) {
             r->dwFieldMask = 0;
             r->nFieldOffset[FIELD_MOBILE_TEL] = r->nFieldOffset[FIELD_EMAIL] = -1;
         }},
        {"default out of range", [](tagCONTACT* r) { r->nDefaultField = 12; }},
        {"last string unterminated", [](tagCONTACT* r) {
             char16_t* area = const_cast<char16_t*>(ContactStringArea(r));
             area[13] = u'x';
         }},
    };
    for (const Case& c : cases) {
        RecordPtr record(MakeRecord(QStringLiteral("Ann"), {{FIELD_MOBILE_TEL, "+4670"}, {FIELD_EMAIL, "a@b"}}));
        c.spoil(record.get());
        EXPECT_FALSE(IsValidContactRecord(record.get(), 68)) << c.what;
    }
}

TEST(FilteredList, FiltersShareTheRecordsOfTheListOfAllContacts)
{
    auto all = MakeAllList({MakeRecord(QStringLiteral("Mail only"), {{FIELD_EMAIL, "m@x"}}),
                            MakeRecord(QStringLiteral("Mobile"), {{FIELD_MOBILE_TEL, "1"}}),
                            MakeRecord(QStringLiteral("Both"), {{FIELD_WORK_TEL, "2"}, {FIELD_EMAIL2, "b@x"}})});
    EXPECT_EQ(all->m_Contacts[0]->nDefaultField, FIELD_EMAIL);
    struct Case {
        int filter;
        std::vector<int> members;
    } cases[] = {
        {0x1FF, {1, 2}},      // telephones
        {0x200, {0}},         // first e-mail
        {0xE00, {0, 2}},      // any e-mail
        {0x002, {1}},
        {0x000, {}},
        {0xFFF, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<CFilteredList> list = BuildFilteredList(*all, c.filter);
        ASSERT_EQ(list->Count(), int(c.members.size())) << c.filter;
        EXPECT_FALSE(list->OwnsRecords());
        for (size_t i = 0; i < c.members.size(); ++i)
            EXPECT_EQ(list->m_Contacts[i], all->m_Contacts[size_t(c.members[i])]) << c.filter;
    }
}
