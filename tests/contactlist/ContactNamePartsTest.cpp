// A contact's name line and its five parts, both ways.

#include "contactlist/ContactNameParts.h"

#include <gtest/gtest.h>

using P = ContactNameParts;

// A name line split into its five parts and joined again; an entry's
// name split at its first blank into first and last name.
TEST(ContactNameParts, SplitAndJoinByWordCount)
{
    const struct {
        const char* line;
        std::array<const char*, 5> parts;  // title, first, middle, last, suffix
        const char* joined;
        const char* entryFirst;
        const char* entryLast;
    } cases[] = {
        {"", {"", "", "", "", ""}, "", "", ""},
        {"Anna", {"", "Anna", "", "", ""}, "Anna", "Anna", ""},
        {"  Anna   Berg ", {"", "Anna", "", "Berg", ""}, "Anna Berg", "Anna", "Berg"},
        {"Anna Maria Berg", {"", "Anna", "Maria", "Berg", ""}, "Anna Maria Berg", "Anna", "Maria Berg"},
        {"Dr Anna Maria Berg", {"Dr", "Anna", "Maria", "Berg", ""}, "Dr Anna Maria Berg", "Dr", "Anna Maria Berg"},
        {"Dr Anna Maria Berg Jr", {"Dr", "Anna", "Maria", "Berg", "Jr"}, "Dr Anna Maria Berg Jr", "Dr", "Anna Maria Berg Jr"},
        {"Dr Anna Maria Berg Jr PhD", {"Dr", "Anna", "Maria", "Berg", "Jr PhD"}, "Dr Anna Maria Berg Jr PhD", "Dr",
         "Anna Maria Berg Jr PhD"},
    };
    for (const auto& c : cases) {
        const P name = P::Split(QString::fromUtf8(c.line));
        for (int i = 0; i < P::Count; ++i)
            EXPECT_EQ(name.parts[size_t(i)], QString::fromUtf8(c.parts[size_t(i)])) << c.line << " part " << i;
        EXPECT_EQ(name.Join(), QString::fromUtf8(c.joined)) << c.line;
        EXPECT_EQ(name.HasNoName(), !*c.joined) << c.line;
        QString first, last;
        SplitEntryName(QString::fromUtf8(c.line).trimmed(), first, last);
        EXPECT_EQ(first, QString::fromUtf8(c.entryFirst)) << c.line;
        EXPECT_EQ(last, QString::fromUtf8(c.entryLast)) << c.line;
    }
}

TEST(ContactNameParts, ResplitKeepsTheChosenPartsWhenTheWordCountFits)
{
    P held;
    held.parts[P::Title] = QStringLiteral("Dr");
    held.parts[P::Last] = QStringLiteral("Berg");
    // Two words, two parts held: they stay title and last name; another count: the plain split.
    EXPECT_EQ(P::Resplit(QStringLiteral("Prof Lind"), held).parts, (decltype(held.parts){"Prof", "", "", "Lind", ""}));
    EXPECT_EQ(P::Resplit(QStringLiteral("Anna Maria Berg"), held).parts, P::Split(QStringLiteral("Anna Maria Berg")).parts);
}
