#include <gtest/gtest.h>

#include "app/shell/KXBlankText.h"
#include "backend/TypedText.h"
#include "tests/backend/BlankTexts.h"

// The app and the back end keep one rule for a value in which nothing
// draws, each its own copy: they give the same answer for the same text.
TEST(BlankTextTest, TheAppAndTheBackEndFindTheSameTextsBlank) {
    for (const std::string& blank : blankTexts()) {
        EXPECT_TRUE(KXBlankText::isBlank(blank)) << blank;
        EXPECT_TRUE(backend::isBlankText(blank)) << blank;
    }
    for (const std::string& drawn : drawnTexts()) {
        EXPECT_FALSE(KXBlankText::isBlank(drawn)) << drawn;
        EXPECT_FALSE(backend::isBlankText(drawn)) << drawn;
    }
}
