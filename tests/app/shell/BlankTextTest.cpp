#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shell/KXBlankText.h"
#include "app/shell/KXStoredTextLimit.h"
#include "backend/TypedText.h"
#include "tests/backend/BlankTexts.h"

// The app and the back end keep one rule for what a person sees in a text,
// each its own copy: they give the same answer for the same text.
TEST(BlankTextTest, TheAppAndTheBackEndFindTheSameTextsBlank) {
    for (const std::string& blank : blankTexts()) {
        EXPECT_TRUE(KXBlankText::isBlank(blank)) << blank;
        EXPECT_TRUE(backend::isBlankText(blank)) << blank;
        EXPECT_EQ(backend::keptText(blank, "姓名", 100).refusal, "姓名不能为空") << blank;
    }
    std::vector<std::string> drawnOnes = drawnTexts();
    drawnOnes.insert(drawnOnes.end(), prependedMarks().begin(), prependedMarks().end());
    for (const std::string& drawn : drawnOnes) {
        EXPECT_FALSE(KXBlankText::isBlank(drawn)) << drawn;
        EXPECT_FALSE(backend::isBlankText(drawn)) << drawn;
    }
}

// A joiner or selector inside a character that draws is part of it: what is
// kept is what was typed, and only the blanks around it go.
TEST(BlankTextTest, NamesAndEmojiAreKeptAsTypedAndLookAlikesAreRefused) {
    std::vector<std::string> typed = typedNames();
    typed.insert(typed.end(), prependedMarks().begin(), prependedMarks().end());
    for (const std::string& name : typed) {
        for (const std::string& around : {name, "\u3000 " + name + "\u200B\t", "\uFE0F\u2800" + name + "\u2060"}) {
            EXPECT_EQ(KXBlankText::kept(around), name) << around;
            const backend::KeptText kept = backend::keptText(around, "姓名", 100);
            EXPECT_EQ(kept.text, name) << around;
            EXPECT_EQ(kept.refusal, std::nullopt) << around;
        }
    }
    for (const std::string& lookAlike : lookAlikeTexts()) {
        EXPECT_FALSE(KXBlankText::isBlank(lookAlike)) << lookAlike;
        EXPECT_EQ(backend::keptText(lookAlike, "姓名", 100).refusal, "姓名含有不可见字符") << lookAlike;
    }
}

// The longest a text may be is counted on what is kept: blanks around it
// take no room, in the forms as in the back end.
TEST(BlankTextTest, TheLengthIsCountedOnWhatIsKept) {
    std::string chinese;
    for (int i = 0; i < 33; ++i) chinese += "张";
    const std::string typed = "  " + chinese + "   ";
    EXPECT_EQ(KXBlankText::kept(typed), chinese);
    EXPECT_EQ(KXStoredTextLimit::refusalOfTyped("姓名", typed), std::nullopt);
    EXPECT_EQ(backend::keptText(typed, "姓名", 100).text, chinese);
    EXPECT_EQ(KXStoredTextLimit::refusalOfTyped("姓名", typed + "张"), "姓名不能超过100个字节（约33个汉字）");
    EXPECT_EQ(backend::keptText(typed + "张", "姓名", 100).refusal, "姓名过长");
    EXPECT_EQ(KXBlankText::kept("张\u3000三"), "张 三") << "a space inside is kept as one ordinary space";
}
