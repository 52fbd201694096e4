#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "foundation/NSIndexPath.h"

namespace {

TEST(NSIndexPathTest, OrdersBySectionThenRowAndKeysHashedSets) {
    auto path = [](long row, long section) { return NSIndexPath::indexPathForRow(row, section); };
    std::vector<NSIndexPath> paths{path(3, 1), path(0, 2), path(9, 0), path(0, 1)};
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<NSIndexPath>{path(9, 0), path(0, 1), path(3, 1), path(0, 2)}));

    EXPECT_EQ(NSIndexPath::indexPathForItem(4, 2), path(4, 2)) << "an item is a row";
    EXPECT_EQ(path(4, 2).item(), 4);
    EXPECT_EQ(path(4, 2).description(), "{2, 4}");

    std::unordered_set<NSIndexPath> set{path(1, 0), path(0, 1), path(1, 0)};
    EXPECT_EQ(set.size(), 2u) << "row 1 of section 0 and row 0 of section 1 are different keys";
}

}  // namespace
