// A contact's name line and its five parts, both ways.

#include "contactlist/ContactNameParts.h"

#include <gtest/gtest.h>

namespace {

using P = ContactNameParts;

TEST(ContactNameParts, SplitAndJoinByWordCount)
{
    const struct {
        const char* line;
        std::array<const char*, 5> parts;  // title, first, middle, last, suffix
        const char* joined;
    } cases[] = {
        {"", {"", "", "", "", ""}, ""},
        {"Anna", {"", "Anna", "", "", ""}, "Anna"},
        {"  Anna   Berg ", {"", "Anna", "", "Berg", ""}, "Anna Berg"},
        {"Anna Maria Berg", {"", "Anna", "Maria", "Berg", ""}, "Anna Maria Berg"},
        {"Dr Anna Maria Berg", {"Dr", "Anna", "Maria", "Berg", ""}, "Dr Anna Maria Berg"},
        {"Dr Anna Maria Berg Jr", {"Dr", "Anna", "Maria", "Berg", "Jr"}, "Dr Anna Maria Berg Jr"},
        {"Dr Anna Maria Berg Jr PhD", {"Dr", "Anna", "Maria", "Berg", "Jr PhD"}, "Dr Anna Maria Berg Jr PhD"},
    };
    for (const auto& c : cases) {
        const P name = P::Split(QString::fromUtf8(c.line));
        for (int i = 0; i < P::Count; ++i)
            EXPECT_EQ(name.parts[size_t(i)], QString::fromUtf8(c.parts[size_t(i)])) << c.line << " part " << i;
        EXPECT_EQ(name.Join(), QString::fromUtf8(c.joined)) << c.line;
    }
    EXPECT_TRUE(P::Split(QString()).HasNoName());
    EXPECT_FALSE(P::Split(QStringLiteral("Anna")).HasNoName());
}

TEST(ContactNameParts, ResplitKeepsTheChosenPartsWhenTheWordCountFits)
{
    P held;
    held.parts[P::Title] = QStringLiteral("Dr");
    held.parts[P::Last] = QStringLiteral("Berg");
    // Two words, two parts held: they stay title and last name.
    P name = P::Resplit(QStringLiteral("Prof Lind"), held);
    EXPECT_EQ(name.parts[P::Title], QStringLiteral("Prof"));
    EXPECT_EQ(name.parts[P::Last], QStringLiteral("Lind"));
    EXPECT_TRUE(name.parts[P::First].isEmpty());
    // Another count: the plain split.
    name = P::Resplit(QStringLiteral("Anna Maria Berg"), held);
    EXPECT_EQ(name.parts[P::Middle], QStringLiteral("Maria"));
    EXPECT_TRUE(name.parts[P::Title].isEmpty());
}

TEST(SplitEntryName, FirstBlankSeparatesFirstFromLastName)
{
    const struct {
        const char* name;
        const char* first;
        const char* last;
    } cases[] = {
        {"First  Last", "First", "Last"}, {"Solo", "Solo", ""}, {"Anna Maria Berg", "Anna", "Maria Berg"}, {"", "", ""},
    };
    for (const auto& c : cases) {
        QString first, last;
        SplitEntryName(QString::fromUtf8(c.name), first, last);
        EXPECT_EQ(first, QString::fromUtf8(c.first)) << c.name;
        EXPECT_EQ(last, QString::fromUtf8(c.last)) << c.name;
    }
}

}  // namespace
