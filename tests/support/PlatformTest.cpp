#include "support/Platform.h"

#include <gtest/gtest.h>

namespace {

// The platform from the system's string, the maker from the start of the
// OEM string, the version from the kernel release; nullopt: none given.
TEST(Platform, TypesFromTheSystemStrings)
{
    using Text = std::optional<QString>;
    const struct {
        Text platform, oem, version;
        int type;
        const char* name;
        int maker;
        std::vector<int> numbers;  // major, minor, build; empty: unreadable
    } cases[] = {
        {u"PocketPC"_qs, u"Compaq iPAQ H3600"_qs, u"6.1.0-18-amd64"_qs, 2, "Pocket PC 2002", 1, {6, 1, 0}},
        {u"Pocket_PC"_qs, u"HPiPAQ h5500"_qs, u"unknown"_qs, 2, "Pocket PC 2002", 2, {}},
        {u"Palm PC2"_qs, u"HP ProBook"_qs, u"5.10"_qs, 1, "Pocket PC 2000", 2, {5, 10, 0}},
        {u"linux"_qs, u"Pocket PC J710"_qs, std::nullopt, 0, "Unknown", 3, {}},
        {std::nullopt, u"Symbol PPT2800"_qs, {}, 0, "Unknown", 4, {}},
        {{}, u"TOSHIBA e740"_qs, {}, 0, "Unknown", 5, {}},
        {{}, u"Toshiba"_qs, {}, 0, "Unknown", 0, {}},
        {{}, u"LENOVO"_qs, {}, 0, "Unknown", 0, {}},
        {{}, u"H"_qs, {}, 0, "Unknown", 0, {}},
        {{}, std::nullopt, {}, 0, "Unknown", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oem.value_or(u"<none>"_qs).toStdString());
        const PlatformStrings strings{c.platform, c.oem, c.version};
        SetPlatformStringsForTesting(&strings);
        QString name = u"stale"_qs;
        EXPECT_EQ(GetPlatformType(name), c.type);
        EXPECT_EQ(name, c.platform.value_or(QString()));
        EXPECT_EQ(GetPlatformName(c.type), QString::fromLatin1(c.name));
        EXPECT_EQ(GetOemType(name), c.maker);
        int major = -1, minor = -1, build = -1;
        EXPECT_EQ(GetOSVersion(major, minor, build), !c.numbers.empty());
        EXPECT_TRUE(c.numbers.empty() || (std::vector{major, minor, build}) == c.numbers);
    }
    SetPlatformStringsForTesting(nullptr);
    int major, minor, build;
    EXPECT_TRUE(GetOSVersion(major, minor, build));  // this machine's own
}

}  // namespace
