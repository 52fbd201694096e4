#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/StoredBlock.h"

namespace {

// What a block captured, counting the ones alive.
struct Capture {
    static inline int alive = 0;
    Capture() { ++alive; }
    ~Capture() { --alive; }
};

TEST(StoredBlockTest, ABlockThatReplacesItsMemberFinishesWithItsCapturesAndNestedCallsRunTheNewOne) {
    std::vector<std::string> seen;
    StoredBlock<void(int)> member = [&, capture = std::make_shared<Capture>()](int depth) {
        if (depth == 0) {
            member(1);  // still this block
            member = [&](int) { seen.push_back("replacement"); };
            member(1);
        }
        seen.push_back(std::to_string(depth) + (capture && Capture::alive == 1 ? " alive" : " freed"));
    };
    member(0);
    EXPECT_EQ(seen, (std::vector<std::string>{"1 alive", "replacement", "0 alive"}));
    EXPECT_EQ(Capture::alive, 0) << "released once its last call returned";
}

TEST(StoredBlockTest, ABlockThatClearsItsMemberAndThrowsIsReleasedAndCopiesAreIndependent) {
    StoredBlock<int()> member = [&member, capture = std::make_shared<Capture>()]() -> int {
        member = nullptr;
        throw std::runtime_error(Capture::alive == 1 && capture ? "alive" : "freed");
    };
    EXPECT_THROW(try { member(); } catch (const std::runtime_error& e) { EXPECT_STREQ(e.what(), "alive"); throw; },
                 std::runtime_error);
    EXPECT_EQ(Capture::alive, 0);
    EXPECT_THROW(member(), std::bad_function_call);

    member = [count = 0]() mutable { return ++count; };
    const StoredBlock<int()> copy = member;
    EXPECT_EQ(member() + member(), 3);
    EXPECT_EQ(copy(), 1) << "a copy counts on its own, as a copied std::function does";
}

}  // namespace
