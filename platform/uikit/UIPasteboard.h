#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

extern const char* const UIPasteboardNameGeneral;
// The type under which `string` keeps its text.
extern const char* const UIPasteboardTypeUTF8PlainText;

// A pasteboard: a list of items, each a dictionary from a type (a UTI text
// such as "public.utf8-plain-text", or any name an app chooses) to a value.
//
// Every pasteboard lives on the simulated device (DeviceStorage), one binary
// property-list file each, and every read goes to that file: what one app
// instance writes, another reads, also after a relaunch. An object is only a
// handle on its name. The general pasteboard always exists; a named one
// exists from its creation until it is removed.
//
// Writes replace all items: setString and setData leave one item, setItems
// the list given. Every write adds one to changeCount. Item values are kept
// as property lists keep them (texts, data, numbers, dates, arrays,
// dictionaries); other values are left out.
//
// The persistent flag is kept with the pasteboard; named pasteboards outlive
// the app whatever it says, as on current systems.
class UIPasteboard : public NSObject {
public:
    explicit UIPasteboard(std::string name) : name_(std::move(name)) {}

    static Ref<UIPasteboard> generalPasteboard();
    // The named pasteboard; a missing one is created when `create` is set,
    // else the answer is null. Null for an empty name.
    static Ref<UIPasteboard> pasteboardWithName(std::string_view name, bool create);
    // A new pasteboard with a name no other has.
    static Ref<UIPasteboard> pasteboardWithUniqueName();
    // Removes a named pasteboard and its items (not the general one).
    static void removePasteboardWithName(std::string_view name);

    const std::string& name() const { return name_; }
    bool isPersistent() const;
    void setPersistent(bool persistent);
    long changeCount() const;

    // The first item's text (as `UIPasteboardTypeUTF8PlainText`), if any.
    std::optional<std::string> string() const;
    // One item holding the text; nothing clears the pasteboard.
    void setString(std::optional<std::string> text);
    // The texts of all items that hold one.
    std::vector<std::string> strings() const;
    void setStrings(const std::vector<std::string>& texts);

    // The first item's value for the type as bytes (a text gives its UTF-8).
    std::optional<NSData> dataForPasteboardType(std::string_view type) const;
    // One item holding the data under the type. Nothing removes the type
    // from every item instead (dropping items left empty).
    void setData(std::optional<NSData> data, std::string_view type);

    // The items, each a dictionary type -> value.
    Array items() const;
    void setItems(const Array& items);
    std::size_t numberOfItems() const;
    // The types of the first item.
    std::vector<std::string> pasteboardTypes() const;

private:
    const std::string name_;
};
