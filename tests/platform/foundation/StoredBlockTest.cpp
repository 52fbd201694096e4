#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/StoredBlock.h"

namespace {

// What a block captured; counts the ones alive, so a block can tell whether
// its own captures were destroyed under it.
struct Capture {
    static inline int alive = 0;
    std::string text;
    explicit Capture(std::string t) : text(std::move(t)) { ++alive; }
    ~Capture() { --alive; }
};

struct StoredBlockTest : ::testing::Test {
    void SetUp() override { Capture::alive = 0; }
    std::vector<std::string> seen;
};

TEST_F(StoredBlockTest, ABlockThatReplacesOrClearsItsMemberFinishesWithItsCaptures) {
    for (const bool clear : {false, true}) {
        StoredBlock<void(int)> member;
        member = [this, &member, clear, capture = std::make_shared<Capture>("first")](int n) {
            if (clear) member = nullptr;
            else member = [this](int m) { seen.push_back("second " + std::to_string(m)); };
            EXPECT_EQ(Capture::alive, 1) << "the running block's captures are still alive";
            seen.push_back(capture->text + " " + std::to_string(n));
        };
        member(1);
        EXPECT_EQ(Capture::alive, 0) << "released once the call returned";
        EXPECT_EQ(static_cast<bool>(member), !clear);
        if (member) member(2);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"first 1", "second 2", "first 1"}));
}

TEST_F(StoredBlockTest, ANestedCallRunsWhatIsStoredThenAndTheOuterCallStillFinishes) {
    StoredBlock<void(int)> member;
    member = [this, &member, capture = std::make_shared<Capture>("outer")](int depth) {
        if (depth == 0) {
            member(1);  // still this block
            member = [this](int) { seen.push_back("replacement"); };
            member(1);  // the replacement
        }
        seen.push_back(capture->text + " " + std::to_string(depth));
    };
    member(0);
    EXPECT_EQ(seen, (std::vector<std::string>{"outer 1", "replacement", "outer 0"}));
    EXPECT_EQ(Capture::alive, 0);
}

TEST_F(StoredBlockTest, AThrowingBlockThatClearedItselfIsReleasedAndCopiesAreIndependent) {
    StoredBlock<int()> member = [&member, capture = std::make_shared<Capture>("thrown")]() -> int {
        member = nullptr;
        throw std::runtime_error(capture->text);
    };
    EXPECT_THROW(member(), std::runtime_error);
    EXPECT_EQ(Capture::alive, 0);
    EXPECT_TRUE(member == nullptr);
    EXPECT_THROW(member(), std::bad_function_call);

    member = [count = 0]() mutable { return ++count; };
    const StoredBlock<int()> copy = member;
    EXPECT_EQ(member(), 1);
    EXPECT_EQ(member(), 2);
    EXPECT_EQ(copy(), 1) << "a copy counts on its own, as a copied std::function does";
    EXPECT_FALSE(StoredBlock<void()>(std::function<void()>()));
}

}  // namespace
