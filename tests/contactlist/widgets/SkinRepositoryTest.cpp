#include "platform/gui/SkinRepository.h"

#include "platform/gui/SkinButton.h"
#include "platform/gui/SkinInterface.h"
#include "platform/gui/SkinScrollList.h"
#include "tests/TestEnvironment.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct FakeSkinned : CSkinInterface {
    QWidget widget;
    int unloads = 0;
    int updates = 0;
    int onUpdates = 0;
    void Unload() override { ++unloads; }
    void Update() override { ++updates; }
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

TEST(SkinRepository, ComponentsGetTheSheetAndAreUnloadedWithTheRepository)
{
    FakeSkinned a;
    FakeSkinned b;
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
        EXPECT_EQ(b.onUpdates, 2);

        EXPECT_TRUE(repository.RemoveComponent(&b));
        EXPECT_FALSE(repository.RemoveComponent(&b));
        EXPECT_EQ(repository.ComponentCount(), 1);
    }
    EXPECT_EQ(CSkinRepository::GetSkinRepository(), nullptr);
    EXPECT_EQ(a.unloads, 1);
    EXPECT_EQ(b.unloads, 0);  // it had left already
}

TEST(SkinRepository, SkinnedButtonsTakeTheSheetOfTheirWindow)
{
    CSkinRepository repository;
    FakeSkinned window;
    window.widget.resize(100, 40);
    CSkinButton button;
    ASSERT_FALSE(button.Create(nullptr, QStringLiteral("AddressBook"), 301, &repository));
    ASSERT_TRUE(button.Create(&window.widget, QStringLiteral("AddressBook"), 301, &repository));
    EXPECT_EQ(button.objectName(), QStringLiteral("AddressBook301"));
    EXPECT_EQ(button.Id(), 301);
    button.setText(QStringLiteral("cde"));
    button.setGeometry(0, 0, 100, 40);
    repository.SetStyleSheet(QStringLiteral(
        "QPushButton[skinComponent=\"AddressBook\"] { background: rgb(0, 128, 0); border: none; }"));
    repository.AddComponent(&window);
    const QImage image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 2), QColor(0, 128, 0));
    repository.RemoveComponent(&window);

    QSignalSpy command(&button, &CSkinButton::Command);
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_EQ(command.count(), 1);
    EXPECT_EQ(command.front().front().toInt(), 301);
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
}
