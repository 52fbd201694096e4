// The share layer's pasteboards and archives: the host's registration with
// Pal, the lists and records the boards keep, and messages in keyed archives.
#include <gtest/gtest.h>

#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "kits/pal/PalApi/PalApiExtendObject.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "kits/pal/PalApi/PalApiObjectCoderImpl.h"
#include "kits/pal/PalApi/PalDataArray.h"
#include "kits/pal/PalApi/PalPasteboard.h"
#include "kits/pal/PalApi/PalPluginMetadata.h"
#include "tests/support/PalHostFixture.h"
#include "uikit/UIPasteboard.h"

namespace {

using PalSharePasteboards = PalHostFixture;

std::vector<Ref<PalPluginMetadata>> registrations() {
    std::vector<Ref<PalPluginMetadata>> records;
    Value list = PalPasteboardMgr::instance()->getArrayPasteboardByName(PalApiDatastore::kRegisterAppPluginBoard)->objectArray();
    for (const Value& record : *list.array()) records.push_back(record.objectAs<PalPluginMetadata>());
    return records;
}

template <class T> Ref<T> roundTrip(const Ref<NSObject>& object) {
    PalApiObjectCoderImpl::registerArchivedClasses();
    NSKeyedUnarchiver::registerClass<PalApiAdItem>();
    auto data = NSKeyedArchiver::archivedDataWithRootObject(Value(object));
    return data ? NSKeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<T>() : nullptr;
}

}  // namespace

TEST_F(PalSharePasteboards, RegistrationKeepsOneRecordPerApp) {
    PalApi::registerPluginWithId("Pal000004D2");
    PalApi::registerPluginWithId("Pal000004D2");
    EXPECT_EQ(PalApiDatastore::instance()->scheme(), "Pal000004D2");
    EXPECT_EQ(PalApiDatastore::instance()->appName(), "推广联盟");

    auto records = registrations();
    ASSERT_EQ(records.size(), 1u);
    ASSERT_TRUE(records[0]);
    EXPECT_EQ(records[0]->ApiVersion(), 1);
    EXPECT_EQ(records[0]->scheme(), "Pal000004D2");
    EXPECT_EQ(records[0]->bundleIdentifier(), kBundleIdentifier);
    EXPECT_EQ(records[0]->version(), "42");
    EXPECT_EQ(records[0]->displayName(), "推广联盟");
    // At most two icons, in the settings' order.
    EXPECT_EQ(records[0]->iconFiles().keys(), (std::vector<std::string>{"Icon-60.png", "Icon-76.png"}));
    EXPECT_EQ(records[0]->iconFiles()["Icon-60.png"], Value(NSData::fromString("icon Icon-60.png")));
    EXPECT_NE(records[0]->description().find("iconname: Icon-76.png\niconsize: 16\n"), std::string::npos);

    auto other = make<PalPluginMetadata>();
    other->setBundleIdentifier("com.example.other");
    EXPECT_EQ(PalApiDatastore::instance()->registerWithMetadata(other), 0);
    EXPECT_EQ(PalApiDatastore::instance()->registerWithMetadata(nullptr), -1);
    records = registrations();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1]->bundleIdentifier(), "com.example.other");
}

TEST_F(PalSharePasteboards, BoardsKeepListsAndRecords) {
    auto store = PalApiDatastore::instance();
    Array items;
    for (const char* title : {"一", "二", "三"}) {
        auto item = make<PalApiAdItem>();
        item->setTitle(title);
        item->setTarget(NSURL::URLWithString("http://127.0.0.1/ad"));
        items.push_back(Value(item));
    }
    EXPECT_EQ(store->setAdItemArray(items), 0);
    Value stored = store->getAdItemArray();
    ASSERT_EQ(stored.count(), 3u);
    EXPECT_EQ(stored[2].objectAs<PalApiAdItem>()->title(), "三");
    EXPECT_EQ(stored[0].objectAs<PalApiAdItem>()->target()->absoluteString(), "http://127.0.0.1/ad");
    EXPECT_EQ(store->setAdItemArray({}), 0);
    EXPECT_TRUE(store->getAdItemArray().isNil());

    // One name, one kind of board.
    EXPECT_TRUE(PalPasteboardMgr::instance()->getArrayPasteboardByName("com.example.list"));
    EXPECT_FALSE(PalPasteboardMgr::instance()->getObjectPasteboardByName("com.example.list"));
    EXPECT_FALSE(PalPasteboardMgr::instance()->getObjectPasteboardByName(""));

    // A large-data record set to nil leaves neither place holding it.
    auto board = PalPasteboardMgr::instance()->getObjectPasteboardByName(PalApiDatastore::kApiLargeDataBoard);
    board->setObject(Dictionary{{"file_data", NSData::fromString("a")}});
    board->setObjectByGeneralPastboard(Dictionary{{"file_data", NSData::fromString("b")}});
    EXPECT_EQ(store->setApiLargeData(Value()), 0);
    EXPECT_TRUE(store->getApiLargeData().isNil());
    EXPECT_TRUE(store->getApiLargeDataByGeneralPastboard().isNil());

    // Something unreadable on a list board is replaced by a new list.
    UIPasteboard::pasteboardWithName("com.example.list", true)->setData(NSData::fromString("junk"), "com.example.list");
    auto list = PalPasteboardMgr::instance()->getArrayPasteboardByName("com.example.list");
    EXPECT_TRUE(list->objectArray().isNil());
    list->addObject("first");
    list->addObject("second");
    list->removeObjectAtIndex(0);
    EXPECT_EQ(list->objectArray(), Value(Array{"second"}));

    auto array = PalDataArray::arrayWithObjectArray({"a", "b", "c"});
    EXPECT_FALSE(array->replaceObjectAtIndex(3, "d"));
    EXPECT_FALSE(array->replaceObjectAtIndex(-1, "d"));
    EXPECT_TRUE(array->replaceObjectAtIndex(2, "d"));
    EXPECT_EQ(array->objectArray(), (Array{"a", "b", "d"}));
}

TEST_F(PalSharePasteboards, MessagesAndObjectsRoundTripAsTheirArchivedKinds) {
    auto news = PalApiNewsObject::objectWithURL(NSURL::URLWithString("http://127.0.0.1/n"), "标题", "说明",
                                                std::optional<NSData>(NSData::fromString("png")));
    news->setPreviewImageURL(NSURL::URLWithString("http://127.0.0.1/p.png"));
    auto message = roundTrip<PalApiMessage>(PalApiMessage::messageWithObject(news, 7));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->type(), 7u);
    auto back = cast<PalApiNewsObject>(message->object());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->title(), "标题");
    EXPECT_EQ(back->description(), "说明");
    EXPECT_EQ(back->targetContentType(), 3);
    EXPECT_EQ(back->url()->absoluteString(), "http://127.0.0.1/n");
    EXPECT_EQ(back->previewImageData(), NSData::fromString("png"));
    EXPECT_FALSE(back->previewImageURL());

    auto tribe = PalApiExtendObject::objectWithData<PalApiGroupTribeImageObject>(NSData::fromString("img"),
                                                                                std::nullopt, "t", "d");
    tribe->setBid("12");
    auto tribeBack = roundTrip<PalApiObjectCoderImpl>(make<PalApiObjectCoderImpl>(tribe))->obj();
    EXPECT_EQ(typeid(*tribeBack), typeid(PalApiImageObject));
    EXPECT_EQ(cast<PalApiImageObject>(tribeBack)->data(), NSData::fromString("img"));

    // An empty title comes back as one; a missing description stays missing.
    auto text = PalApiTextObject::objectWithText("文字");
    text->setTitle(std::string());
    auto textBack = cast<PalApiTextObject>(roundTrip<PalApiMessage>(PalApiMessage::messageWithObject(text))->object());
    ASSERT_TRUE(textBack);
    EXPECT_TRUE(textBack->hasTitle());
    EXPECT_EQ(textBack->title(), "");
    EXPECT_FALSE(textBack->hasDescription());

    // Archives of an older or newer make read back empty.
    struct FutureAdItem : PalApiAdItem {
        std::string className() const override { return "PalApiAdItem"; }
        void encodeWithCoder(NSCoder& coder) const override {
            coder.encodeInt32(2, "version");
            coder.encodeObject("新", "title");
        }
    };
    EXPECT_EQ(roundTrip<PalApiAdItem>(make<FutureAdItem>())->title(), "");
    struct OldMessage : PalApiMessage {
        std::string className() const override { return "PalApiMessage"; }
        void encodeWithCoder(NSCoder& coder) const override {
            coder.encodeInt32(0, "ApiVersion");
            coder.encodeInt64(5, "type");
        }
    };
    auto old = roundTrip<PalApiMessage>(make<OldMessage>());
    ASSERT_TRUE(old);
    EXPECT_EQ(old->type(), 0u);
    EXPECT_FALSE(old->object());

    // The message board keeps one message.
    EXPECT_EQ(PalApiDatastore::instance()->setApiMessage(PalApiMessage::messageWithObject(news)), 0);
    EXPECT_EQ(PalApiDatastore::instance()->getApiMessage()->type(), 5u);
    PalApiDatastore::instance()->clearApiMessage();
    EXPECT_FALSE(PalApiDatastore::instance()->getApiMessage());
}
