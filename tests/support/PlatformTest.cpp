#include "support/Platform.h"

#include <gtest/gtest.h>

namespace {

TEST(Platform, PlatformTypeFromTheSystemString)
{
    const struct {
        std::optional<QString> platform;
        int type;
        const char* name;
    } cases[] = {
        {QStringLiteral("PocketPC"), 2, "Pocket PC 2002"}, {QStringLiteral("Pocket_PC"), 2, "Pocket PC 2002"},
        {QStringLiteral("Palm PC2"), 1, "Pocket PC 2000"}, {QStringLiteral("linux"), 0, "Unknown"},
        {std::nullopt, 0, "Unknown"},
    };
    for (const auto& c : cases) {
        PlatformStrings strings;
        strings.platform = c.platform;
        SetPlatformStringsForTesting(&strings);
        QString name = QStringLiteral("stale");
        EXPECT_EQ(GetPlatformType(name), c.type);
        EXPECT_EQ(name, c.platform.value_or(QString()));
        EXPECT_EQ(GetPlatformName(c.type), QString::fromLatin1(c.name));
    }
    SetPlatformStringsForTesting(nullptr);
}

TEST(Platform, MakerFromTheBeginningOfTheOemString)
{
    const struct {
        std::optional<QString> oem;
        int maker;
    } cases[] = {
        {QStringLiteral("Compaq iPAQ H3600"), 1}, {QStringLiteral("HPiPAQ h5500"), 2}, {QStringLiteral("HP ProBook"), 2},
        {QStringLiteral("Pocket PC J710"), 3},    {QStringLiteral("Symbol PPT2800"), 4}, {QStringLiteral("TOSHIBA e740"), 5},
        {QStringLiteral("Toshiba"), 0},           {QStringLiteral("LENOVO"), 0},        {std::nullopt, 0},
        {QStringLiteral("H"), 0},
    };
    for (const auto& c : cases) {
        PlatformStrings strings;
        strings.oem = c.oem;
        SetPlatformStringsForTesting(&strings);
        QString name;
        EXPECT_EQ(GetOemType(name), c.maker) << c.oem.value_or(QStringLiteral("<none>")).toStdString();
    }
    SetPlatformStringsForTesting(nullptr);
}

TEST(Platform, VersionFromTheKernelRelease)
{
    PlatformStrings strings;
    strings.version = QStringLiteral("6.1.0-18-amd64");
    SetPlatformStringsForTesting(&strings);
    int major = -1, minor = -1, build = -1;
    ASSERT_TRUE(GetOSVersion(major, minor, build));
    EXPECT_EQ(major, 6);
    EXPECT_EQ(minor, 1);
    EXPECT_EQ(build, 0);
    strings.version = QStringLiteral("unknown");
    SetPlatformStringsForTesting(&strings);
    EXPECT_FALSE(GetOSVersion(major, minor, build));
    SetPlatformStringsForTesting(nullptr);
    EXPECT_TRUE(GetOSVersion(major, minor, build));  // this machine's own
}

}  // namespace
