#include "uikit/UIPasteboard.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "foundation/DataFile.h"
#include "foundation/NSPropertyListSerialization.h"
#include "foundation/NSUUID.h"
#include "uikit/DeviceStorage.h"

const char* const UIPasteboardNameGeneral = "com.apple.UIKit.pboard.general";
const char* const UIPasteboardTypeUTF8PlainText = "public.utf8-plain-text";

namespace {

// Guards the read-modify-write of a pasteboard's file within this process.
std::recursive_mutex boardMutex;

// What a pasteboard's file holds.
struct Board {
    bool persistent = false;
    long changeCount = 0;
    Array items;
};

// The file of a pasteboard: its name with every byte outside letters,
// digits, '-', '_' and inner '.' written as %XX.
std::string fileOf(std::string_view name) {
    std::string file;
    for (std::size_t at = 0; at < name.size(); ++at) {
        unsigned char c = static_cast<unsigned char>(name[at]);
        bool plain = std::isalnum(c) || c == '-' || c == '_' || (c == '.' && at > 0);
        if (plain) {
            file += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            file += escaped;
        }
    }
    return DeviceStorage::pasteboardFolder() + "/" + file + ".plist";
}

bool exists(std::string_view name) {
    std::error_code error;
    return std::filesystem::is_regular_file(fileOf(name), error);
}

// The pasteboard's contents; an empty board when it has no file or the file
// cannot be read.
Board load(std::string_view name) {
    Board board;
    auto data = DataFile::dataWithContentsOfFile(fileOf(name));
    if (!data) return board;
    auto plist = NSPropertyListSerialization::propertyListWithData(*data);
    if (!plist || !plist->isDictionary()) return board;
    board.persistent = (*plist)["persistent"].boolValue();
    board.changeCount = (*plist)["changeCount"].integerValue();
    if (const Array* items = (*plist)["items"].array()) board.items = *items;
    return board;
}

void save(std::string_view name, const Board& board) {
    Dictionary record{{"persistent", board.persistent}, {"changeCount", board.changeCount}, {"items", board.items}};
    if (auto data = NSPropertyListSerialization::dataWithPropertyList(record, NSPropertyListSerialization::Format::Binary))
        DataFile::writeToFile(*data, fileOf(name), true);
}

// An item as given, keeping only the entries a property list can hold.
Dictionary storableItem(const Dictionary& item) {
    Dictionary kept;
    for (const auto& [type, value] : item)
        if (NSPropertyListSerialization::propertyList(value, NSPropertyListSerialization::Format::Binary))
            kept.set(type, value);
    return kept;
}

}  // namespace

// --- Finding pasteboards ---

Ref<UIPasteboard> UIPasteboard::generalPasteboard() { return make<UIPasteboard>(UIPasteboardNameGeneral); }

Ref<UIPasteboard> UIPasteboard::pasteboardWithName(std::string_view name, bool create) {
    if (name.empty()) return nullptr;
    std::lock_guard lock(boardMutex);
    if (!exists(name) && name != UIPasteboardNameGeneral) {
        if (!create) return nullptr;
        save(name, Board{});
    }
    return make<UIPasteboard>(std::string(name));
}

Ref<UIPasteboard> UIPasteboard::pasteboardWithUniqueName() {
    return pasteboardWithName("com.apple.UIKit.pboard." + NSUUID::UUID()->UUIDString(), true);
}

void UIPasteboard::removePasteboardWithName(std::string_view name) {
    if (name.empty() || name == UIPasteboardNameGeneral) return;
    std::lock_guard lock(boardMutex);
    std::error_code error;
    std::filesystem::remove(fileOf(name), error);
}

// --- State ---

bool UIPasteboard::isPersistent() const { return load(name_).persistent; }

void UIPasteboard::setPersistent(bool persistent) {
    std::lock_guard lock(boardMutex);
    Board board = load(name_);
    // Setting what it is already changes nothing: the file is not written
    // again (the kits mark their boards persistent at every use).
    if (board.persistent == persistent) return;
    board.persistent = persistent;
    save(name_, board);
}

long UIPasteboard::changeCount() const { return load(name_).changeCount; }

// --- Items ---

Array UIPasteboard::items() const { return load(name_).items; }

void UIPasteboard::setItems(const Array& items) {
    std::lock_guard lock(boardMutex);
    Board board = load(name_);
    board.items.clear();
    for (const Value& item : items)
        if (const Dictionary* entries = item.dictionary()) board.items.emplace_back(storableItem(*entries));
    ++board.changeCount;
    save(name_, board);
}

std::size_t UIPasteboard::numberOfItems() const { return items().size(); }

std::vector<std::string> UIPasteboard::pasteboardTypes() const {
    Array all = items();
    if (all.empty() || !all.front().isDictionary()) return {};
    return all.front().dictionary()->keys();
}

std::optional<std::string> UIPasteboard::string() const {
    Array all = items();
    if (all.empty()) return std::nullopt;
    if (const std::string* text = all.front()[UIPasteboardTypeUTF8PlainText].text()) return *text;
    return std::nullopt;
}

void UIPasteboard::setString(std::optional<std::string> text) {
    if (!text) {
        setItems({});
        return;
    }
    setItems({Dictionary{{UIPasteboardTypeUTF8PlainText, std::move(*text)}}});
}

std::vector<std::string> UIPasteboard::strings() const {
    std::vector<std::string> texts;
    for (const Value& item : items())
        if (const std::string* text = item[UIPasteboardTypeUTF8PlainText].text()) texts.push_back(*text);
    return texts;
}

void UIPasteboard::setStrings(const std::vector<std::string>& texts) {
    Array all;
    for (const std::string& text : texts) all.emplace_back(Dictionary{{UIPasteboardTypeUTF8PlainText, text}});
    setItems(all);
}

std::optional<NSData> UIPasteboard::dataForPasteboardType(std::string_view type) const {
    Array all = items();
    if (all.empty()) return std::nullopt;
    const Value& value = all.front()[type];
    if (const NSData* data = value.data()) return *data;
    if (const std::string* text = value.text()) return NSData::fromString(*text);
    return std::nullopt;
}

void UIPasteboard::setData(std::optional<NSData> data, std::string_view type) {
    if (data) {
        setItems({Dictionary{{std::string(type), std::move(*data)}}});
        return;
    }
    std::lock_guard lock(boardMutex);
    Array kept;
    for (const Value& item : items()) {
        if (!item.isDictionary()) continue;
        Dictionary entries = *item.dictionary();
        entries.remove(type);
        if (!entries.empty()) kept.emplace_back(std::move(entries));
    }
    setItems(kept);
}
