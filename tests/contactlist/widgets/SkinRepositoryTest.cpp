#include "platform/gui/SkinRepository.h"

#include "platform/gui/SkinButton.h"
#include "platform/gui/SkinInterface.h"
#include "tests/TestEnvironment.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

struct FakeSkinned : CSkinInterface {
    QWidget widget;
    int unloads = 0;
    int onUpdates = 0;
    void Unload() override { ++unloads; }
    void Update() override {}
    void OnUpdate() override { ++onUpdates; }
    QWidget* SkinWidget() override { return &widget; }
};

QString SkinsFolder()
{
    return TestDataPath(QStringLiteral("contactsui/skins"));
}

}  // namespace

TEST(SkinRepository, LoadSkinFindsStyleSheetsByPattern)
{
    const QString shipped = TestDataPath(QStringLiteral("../../share/tessaly/skins"));
    const QString missing = TestTempDir() + QStringLiteral("/no-skins-here");
    const struct { QString folder; const char* name; bool found; QStringList matches; const char* marker; } cases[] = {
        {SkinsFolder(), "default?.sdf", true, {"default.qss", "default2.qss"}, "rgb(1, 2, 3)"},
        {SkinsFolder(), "DEFAULT?.SDF", true, {"default.qss", "default2.qss"}, "rgb(1, 2, 3)"},
        {SkinsFolder(), "night.qss", true, {"night.qss"}, "rgb(4, 5, 6)"},
        {SkinsFolder(), "night.sdf", true, {"night.qss"}, "rgb(4, 5, 6)"},
        {SkinsFolder(), "*.txt", true, {"notes.txt"}, "not a skin"},
        {SkinsFolder(), "missing?.sdf", false, {}, nullptr},
        {SkinsFolder(), "", false, {}, nullptr},
        {SkinsFolder(), "default", false, {}, nullptr},  // no extension, no file of that name
        {shipped, "default?.sdf", true, {"default.qss"}, "skinComponent=\"AddressBook\""},
        {missing, "default?.sdf", false, {}, nullptr},
        {QString(), "default?.sdf", false, {}, nullptr},  // no folder set
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.toStdString() + ": " + c.name);
        CSkinRepository repository;
        EXPECT_EQ(!c.folder.isNull() && repository.SetSkinsFolder(c.folder), !c.folder.isNull() && c.folder != missing);
        QStringList matches;
        EXPECT_EQ(repository.LoadSkin(QString::fromUtf8(c.name), &matches, false, false), c.found);
        EXPECT_EQ(matches, c.matches);
        EXPECT_EQ(repository.StyleSheet().contains(QString::fromUtf8(c.marker ? c.marker : "\x01")), c.marker != nullptr);
        EXPECT_EQ(repository.StyleSheet().isEmpty(), c.marker == nullptr);
    }
}

// Components get the sheet, and so do the skinned buttons inside them;
// the repository unloads those still there when it goes.
TEST(SkinRepository, ComponentsGetTheSheetAndAreUnloadedWithTheRepository)
{
    FakeSkinned a;
    FakeSkinned b;
    CSkinButton button;
    EXPECT_FALSE(button.Create(nullptr, QStringLiteral("AddressBook"), 301, nullptr));
    ASSERT_TRUE(button.Create(&b.widget, QStringLiteral("AddressBook"), 301, nullptr));
    button.setGeometry(0, 0, 100, 40);
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus) << "a letter press leaves the keys to the list";
    EXPECT_EQ(CSkinRepository::GetSkinRepository(), nullptr);
    {
        CSkinRepository repository;
        CSkinRepository second;
        EXPECT_EQ(CSkinRepository::GetSkinRepository(), &repository) << "the first is the process's one";
        repository.SetStyleSheet(QStringLiteral("QWidget { color: red; }"));
        repository.AddComponent(&a);
        repository.AddComponent(&a);  // once only
        repository.AddComponent(nullptr);
        repository.AddComponent(&b);
        EXPECT_EQ(repository.ComponentCount(), 2);
        EXPECT_EQ(a.widget.styleSheet(), QStringLiteral("QWidget { color: red; }"));
        EXPECT_EQ(a.onUpdates, 1);

        ASSERT_TRUE(repository.SetSkinsFolder(SkinsFolder()));
        ASSERT_TRUE(repository.LoadSkin(QStringLiteral("night.qss")));
        EXPECT_TRUE(b.widget.styleSheet().contains(QStringLiteral("rgb(4, 5, 6)")));
        EXPECT_EQ(button.grab().toImage().pixelColor(2, 2), QColor(0, 128, 0));
        EXPECT_EQ(b.onUpdates, 2);

        EXPECT_TRUE(repository.RemoveComponent(&b));
        EXPECT_FALSE(repository.RemoveComponent(&b));
        EXPECT_EQ(repository.ComponentCount(), 1);
    }
    EXPECT_EQ(CSkinRepository::GetSkinRepository(), nullptr);
    EXPECT_EQ(a.unloads, 1);
    EXPECT_EQ(b.unloads, 0);  // it had left already
}
