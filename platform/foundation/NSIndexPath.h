#pragma once

#include <compare>
#include <cstddef>
#include <functional>
#include <string>

// The position of a row in a table or an item in a collection: a section and
// an index within it. A value type; `row` (tables) and `item` (collections)
// are the same number. Paths order by section, then by row, as the lists
// show them, and hash so they can key the views' caches.
class NSIndexPath {
public:
    NSIndexPath() = default;

    static NSIndexPath indexPathForRow(long row, long section) { return NSIndexPath(section, row); }
    static NSIndexPath indexPathForItem(long item, long section) { return NSIndexPath(section, item); }

    long section() const { return section_; }
    long row() const { return item_; }
    long item() const { return item_; }

    // "{section, row}"
    std::string description() const;

    auto operator<=>(const NSIndexPath&) const = default;

private:
    NSIndexPath(long section, long item) : section_(section), item_(item) {}

    long section_ = 0;
    long item_ = 0;
};

// The name the Swift-written screens use.
using IndexPath = NSIndexPath;

template <> struct std::hash<NSIndexPath> {
    std::size_t operator()(const NSIndexPath& path) const noexcept {
        return std::hash<long>()(path.section()) * 1000003u ^ std::hash<long>()(path.item());
    }
};
