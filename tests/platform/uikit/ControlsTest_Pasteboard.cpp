#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "foundation/AppSandbox.h"
#include "foundation/NSPropertyListSerialization.h"
#include "graphics/UIGraphics.h"
#include "tests/support/AppFixture.h"
#include "tests/support/TempSandbox.h"
#include "uikit/DeviceStorage.h"
#include "uikit/UIApplicationDelegate.h"
#include "uikit/UIImageWriteToSavedPhotosAlbum.h"
#include "uikit/UIPasteboard.h"

namespace {

class PasteboardTest : public AppFixture {
protected:
    ~PasteboardTest() override { DeviceStorage::setFolder(""); }
};

TEST_F(PasteboardTest, WritesReplaceAllItemsAndCountChanges) {
    auto general = UIPasteboard::generalPasteboard();
    EXPECT_EQ(general->string(), std::nullopt);
    EXPECT_EQ(general->changeCount(), 0);
    general->setStrings({"one", "two"});
    EXPECT_EQ(general->numberOfItems(), 2u);
    EXPECT_EQ(general->string(), "one");
    general->setString("https://example.com/h5?id=7");
    EXPECT_EQ(general->strings(), (std::vector<std::string>{"https://example.com/h5?id=7"}));
    EXPECT_EQ(general->dataForPasteboardType(UIPasteboardTypeUTF8PlainText), NSData::fromString("https://example.com/h5?id=7"));

    general->setData(NSData::fromString("\x01\x02"), "content");
    EXPECT_EQ(general->string(), std::nullopt);
    EXPECT_EQ(general->pasteboardTypes(), (std::vector<std::string>{"content"}));
    EXPECT_EQ(general->dataForPasteboardType("content"), NSData::fromString("\x01\x02"));
    EXPECT_EQ(general->dataForPasteboardType("other"), std::nullopt);
    EXPECT_EQ(general->changeCount(), 3);

    general->setString(std::nullopt);
    EXPECT_EQ(general->numberOfItems(), 0u);
}

TEST_F(PasteboardTest, SettingNoDataRemovesOnlyThatType) {
    auto general = UIPasteboard::generalPasteboard();
    general->setItems({Dictionary{{"a", NSData::fromString("1")}, {"b", "text"}}, Dictionary{{"a", NSData()}},
                       Value("not an item")});
    EXPECT_EQ(general->numberOfItems(), 2u);
    general->setData(std::nullopt, "a");
    Array left = general->items();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(*left[0].dictionary(), (Dictionary{{"b", "text"}}));
    // Values a property list cannot hold are left out of an item.
    general->setItems({Dictionary{{"ok", 1}, {"null", Value::null()}}});
    EXPECT_EQ(general->pasteboardTypes(), (std::vector<std::string>{"ok"}));
}

TEST_F(PasteboardTest, NamedPasteboardsAreOpenedCreatedAndRemoved) {
    EXPECT_EQ(UIPasteboard::pasteboardWithName("org.StableUDID.slot.0", false), nullptr);
    EXPECT_EQ(UIPasteboard::pasteboardWithName("", true), nullptr);
    auto slot = UIPasteboard::pasteboardWithName("org.StableUDID.slot.0", true);
    ASSERT_NE(slot, nullptr);
    EXPECT_FALSE(slot->isPersistent());
    slot->setPersistent(true);
    slot->setData(NSData::fromString("id"), "org.StableUDID");

    auto again = UIPasteboard::pasteboardWithName("org.StableUDID.slot.0", false);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isPersistent());
    EXPECT_EQ(again->dataForPasteboardType("org.StableUDID"), NSData::fromString("id"));
    // Named pasteboards do not share items with the general one.
    EXPECT_EQ(UIPasteboard::generalPasteboard()->dataForPasteboardType("org.StableUDID"), std::nullopt);

    UIPasteboard::removePasteboardWithName("org.StableUDID.slot.0");
    EXPECT_EQ(UIPasteboard::pasteboardWithName("org.StableUDID.slot.0", false), nullptr);
    // The general pasteboard cannot be removed.
    UIPasteboard::generalPasteboard()->setString("kept");
    UIPasteboard::removePasteboardWithName(UIPasteboardNameGeneral);
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "kept");
}

// The kits open their boards by name and mark them persistent at every use:
// only a change of the contents writes the board's file (a new file).
TEST_F(PasteboardTest, OnlyAChangeWritesTheBoard) {
    const std::string name = "org.example.registered";
    UIPasteboard::pasteboardWithName(name, true)->setPersistent(true);
    const auto fileNumber = [&] {
        struct stat status {};
        return ::stat((DeviceStorage::pasteboardFolder() + "/" + name + ".plist").c_str(), &status) == 0 ? status.st_ino : 0;
    };
    const auto written = fileNumber();
    UIPasteboard::pasteboardWithName(name, true)->setPersistent(true);
    EXPECT_EQ(fileNumber(), written);
    UIPasteboard::pasteboardWithName(name, true)->setData(NSData::fromString("app"), "record");
    EXPECT_NE(fileNumber(), written);
}

TEST_F(PasteboardTest, UniqueAndOddNamesStayApart) {
    auto first = UIPasteboard::pasteboardWithUniqueName(), second = UIPasteboard::pasteboardWithUniqueName();
    EXPECT_NE(first->name(), second->name());
    first->setString("first");
    EXPECT_EQ(UIPasteboard::pasteboardWithName(first->name(), false)->string(), "first");
    EXPECT_EQ(second->string(), std::nullopt);
    // Names that are not file names map to distinct files.
    auto slash = UIPasteboard::pasteboardWithName("a/b", true), dots = UIPasteboard::pasteboardWithName("..", true);
    auto escaped = UIPasteboard::pasteboardWithName("a%2Fb", true);
    slash->setString("slash");
    dots->setString("dots");
    escaped->setString("escaped");
    EXPECT_EQ(UIPasteboard::pasteboardWithName("a/b", false)->string(), "slash");
    EXPECT_EQ(UIPasteboard::pasteboardWithName("..", false)->string(), "dots");
    EXPECT_EQ(UIPasteboard::pasteboardWithName("a%2Fb", false)->string(), "escaped");
}

TEST_F(PasteboardTest, PersistsAcrossTwoAppInstancesOnOneSandbox) {
    UIApplication::launchForTesting(make<UIApplicationDelegate>());
    auto envelope = NSPropertyListSerialization::dataWithPropertyList(
        Dictionary{{"wx123", Dictionary{{"command", 1010}}}, {"old_text", "abc"}},
        NSPropertyListSerialization::Format::Binary);
    ASSERT_TRUE(envelope);
    auto data = UIPasteboard::pasteboardWithName("ripple_data", true);
    data->setPersistent(true);
    data->setData(*envelope, "content");
    UIPasteboard::generalPasteboard()->setString("复制成功");

    // The app ends; a new instance starts on the same sandbox.
    UIApplication::resetForTesting();
    UIApplication::launchForTesting(make<UIApplicationDelegate>());
    auto reopened = UIPasteboard::pasteboardWithName("ripple_data", false);
    ASSERT_NE(reopened, nullptr);
    auto read = reopened->dataForPasteboardType("content");
    ASSERT_TRUE(read);
    auto plist = NSPropertyListSerialization::propertyListWithData(*read);
    ASSERT_TRUE(plist);
    EXPECT_EQ((*plist)["wx123"]["command"].intValue(), 1010);
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "复制成功");
    EXPECT_EQ(reopened->changeCount(), 1);
}

TEST_F(PasteboardTest, PeerAppWithItsOwnSandboxSharesTheDeviceFolder) {
    const TempFolder device("velmaro-device");
    DeviceStorage::setFolder(device.path());
    UIPasteboard::pasteboardWithName("com.nimbus.mpal.api.registerAppPlugin", true)->setString("host");

    // The peer app runs with a sandbox of its own on the same device.
    std::string peerSandbox = sandbox.path() + "/peer";
    ASSERT_TRUE(AppSandbox::setRoot(peerSandbox));
    EXPECT_EQ(UIPasteboard::pasteboardWithName("com.nimbus.mpal.api.registerAppPlugin", false)->string(), "host");
    // Back on the default device folder (inside the peer's sandbox) it is not there.
    DeviceStorage::setFolder("");
    EXPECT_EQ(UIPasteboard::pasteboardWithName("com.nimbus.mpal.api.registerAppPlugin", false), nullptr);
}

TEST_F(PasteboardTest, UnreadableFileReadsAsAnEmptyPasteboard) {
    auto board = UIPasteboard::pasteboardWithName("broken", true);
    {
        std::FILE* file = std::fopen((DeviceStorage::pasteboardFolder() + "/broken.plist").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("not a property list", file);
        std::fclose(file);
    }
    EXPECT_EQ(board->numberOfItems(), 0u);
    EXPECT_EQ(board->string(), std::nullopt);
    board->setString("fresh");
    EXPECT_EQ(board->string(), "fresh");
}

TEST_F(PasteboardTest, SavedPhotosGoIntoTheAlbumWithACompletionOnTheMainQueue) {
    UIGraphicsBeginImageContextWithOptions({15, 15}, true, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), UIColor::blackColor());
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 15, 15));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();

    std::vector<std::string> results;
    auto record = [&](const Ref<NSError>& error) { results.push_back(error ? error->domain() : "ok"); };
    UIImageWriteToSavedPhotosAlbum(image, record);
    UIImageWriteToSavedPhotosAlbum(nullptr, record);
    UIImageWriteToSavedPhotosAlbum(image, record);
    EXPECT_TRUE(results.empty());
    ASSERT_TRUE(runUntil([&] { return results.size() == 3; }));
    EXPECT_EQ(results, (std::vector<std::string>{"ok", NSCocoaErrorDomain, "ok"}));

    std::string album = DeviceStorage::photoAlbumFolder();
    auto first = UIImage::imageWithContentsOfFile(album + "/IMG_0001.PNG");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->size(), CGSizeMake(15, 15));
    EXPECT_TRUE(std::filesystem::exists(album + "/IMG_0002.PNG"));
    EXPECT_FALSE(std::filesystem::exists(album + "/IMG_0003.PNG"));
}

}  // namespace
