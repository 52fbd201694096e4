#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "graphics/NSMutableAttributedString.h"
#include "graphics/NSStringDrawing.h"
#include "graphics/TextLayout.h"
#include "graphics/UIGraphics.h"
#include "tests/support/ThreadTime.h"

namespace {

NSStringAttributes withFont(const UIFont& font) { return {.font = font}; }

NSStringAttributes withMode(const UIFont& font, NSLineBreakMode mode) {
    NSParagraphStyle style;
    style.lineBreakMode = mode;
    return {.font = font, .paragraphStyle = style};
}

}  // namespace

TEST(UIFont, SystemWeightsAndNamedFaces) {
    UIFont regular = UIFont::systemFontOfSize(14);
    EXPECT_EQ(regular.pointSize(), 14);
    EXPECT_EQ(UIFont::boldSystemFontOfSize(14).weight(), UIFontWeightBold);
    EXPECT_EQ(UIFont::systemFontOfSize(10, UIFontWeightSemibold).weight(), UIFontWeightSemibold);
    auto medium = UIFont::fontWithName("PingFangSC-Medium", 16);
    ASSERT_TRUE(medium);
    EXPECT_EQ(medium->fontName(), "PingFangSC-Medium");
    EXPECT_EQ(medium->weight(), UIFontWeightMedium);
    EXPECT_EQ(UIFont::fontWithName("Helvetica-Bold", 12)->weight(), UIFontWeightBold);
    EXPECT_TRUE(UIFont::fontWithName("Helvetica", 12));
    EXPECT_FALSE(UIFont::fontWithName("PingFangSC-Wobbly", 12));
    EXPECT_FALSE(UIFont::fontWithName("Comic Sans", 12));
    EXPECT_EQ(regular.fontWithSize(20).pointSize(), 20);
}

TEST(UIFont, MetricsScaleWithSize) {
    UIFont small = UIFont::systemFontOfSize(10), large = UIFont::systemFontOfSize(20);
    EXPECT_GT(small.ascender(), 0);
    EXPECT_LT(small.descender(), 0);
    EXPECT_NEAR(small.lineHeight(), small.ascender() - small.descender(), 1e-9);
    // A CJK face's line is a little taller than its size.
    EXPECT_GT(small.lineHeight(), 10);
    EXPECT_LT(small.lineHeight(), 16);
    EXPECT_NEAR(large.lineHeight(), 2 * small.lineHeight(), 0.05);
}

TEST(TextMeasuring, GrowsWithTextAndFontSize) {
    UIFont font = UIFont::systemFontOfSize(14);
    CGSize one = NSStringDrawing::sizeWithAttributes("abc", withFont(font));
    CGSize two = NSStringDrawing::sizeWithAttributes("abcabc", withFont(font));
    EXPECT_GT(one.width, 10);
    EXPECT_NEAR(two.width, 2 * one.width, 0.5);  // within the pair's kerning
    EXPECT_NEAR(one.height, font.lineHeight(), 0.01);
    CGSize bold = NSStringDrawing::sizeWithAttributes("abcabc", withFont(UIFont::boldSystemFontOfSize(14)));
    EXPECT_GT(bold.width, two.width);
    EXPECT_GT(NSStringDrawing::sizeWithAttributes("abc", withFont(font.fontWithSize(28))).width, 1.9 * one.width);
    EXPECT_EQ(NSStringDrawing::sizeWithAttributes("", withFont(font)), CGSizeZero);
}

TEST(TextMeasuring, CJKCharactersAreAboutTheFontSizeWide) {
    UIFont font = UIFont::systemFontOfSize(16);
    CGSize size = NSStringDrawing::sizeWithAttributes("快去推广拿佣金", withFont(font));
    EXPECT_NEAR(size.width, 7 * 16, 7 * 16 * 0.05);
    // Malformed UTF-8 is measured, not rejected.
    EXPECT_GT(NSStringDrawing::sizeWithAttributes("ab\xFF\xFE", withFont(font)).width, 0);
}

TEST(TextMeasuring, WrapsIntoTheExpectedNumberOfLines) {
    UIFont font = UIFont::systemFontOfSize(10);
    auto attributes = withFont(font);
    // Ten CJK characters of about 10 points each, four to a 45-point line: three lines.
    std::string text = "礼包介绍礼包介绍礼包";
    CGRect rect = NSStringDrawing::boundingRectWithSize(text, {45, 1000}, NSStringDrawingUsesLineFragmentOrigin,
                                                        attributes);
    EXPECT_EQ(rect.origin, CGPointZero);
    EXPECT_LE(rect.size.width, 45);
    EXPECT_NEAR(rect.size.height, 3 * font.lineHeight(), 0.1);
    EXPECT_NEAR(rect.size.width, 40, 2);
    EXPECT_EQ(TextLayout(NSAttributedString(text, attributes), {45, 0}, 0).lineCount(), 3u);

    // Words move to the next line whole.
    CGFloat word = NSStringDrawing::sizeWithAttributes("hello", attributes).width;
    TextLayout words(NSAttributedString("hello hello hello", attributes), {word * 1.5, 0}, 0);
    EXPECT_EQ(words.lineCount(), 3u);
    EXPECT_NEAR(words.size().width, word, 0.5);

    // Without the line-fragment option the text is one line, measured from the baseline.
    CGRect single = NSStringDrawing::boundingRectWithSize(text, {45, 1000}, NSStringDrawingOptions{}, attributes);
    EXPECT_NEAR(single.size.height, font.lineHeight(), 0.01);
    EXPECT_NEAR(single.origin.y, -font.ascender(), 0.01);
    EXPECT_GT(single.size.width, 90);
}

TEST(TextMeasuring, HeightAndLineLimitsKeepWholeLines) {
    UIFont font = UIFont::systemFontOfSize(10);
    NSAttributedString text("礼包介绍礼包介绍礼包", withFont(font));
    TextLayout twoLines(text, {45, font.lineHeight() * 2.5}, 0);
    EXPECT_EQ(twoLines.lineCount(), 2u);
    EXPECT_NEAR(twoLines.size().height, 2 * font.lineHeight(), 0.1);
    EXPECT_EQ(TextLayout(text, {45, 0}, 3).lineCount(), 3u);
    // Even a height too small for a line keeps the first.
    EXPECT_EQ(TextLayout(text, {45, 1}, 0).lineCount(), 1u);
}

TEST(TextMeasuring, AnUnboundedLimitIsNoLimit) {
    UIFont font = UIFont::boldSystemFontOfSize(14);
    const NSStringAttributes attributes = withFont(font);
    const CGSize unlimited = NSStringDrawing::sizeWithAttributes("设置成功", attributes);
    for (CGFloat unbounded : {CGFloat(std::numeric_limits<float>::max()), std::numeric_limits<CGFloat>::max(),
                              std::numeric_limits<CGFloat>::infinity()}) {
        CGRect rect = NSStringDrawing::boundingRectWithSize("设置成功", {unbounded, unbounded},
                                                            NSStringDrawingUsesLineFragmentOrigin, attributes);
        EXPECT_EQ(rect.size, unlimited) << unbounded;
    }
}

TEST(TextMeasuring, CharacterWrappingAndTruncation) {
    UIFont font = UIFont::systemFontOfSize(10);
    CGFloat word = NSStringDrawing::sizeWithAttributes("abcdefgh", withFont(font)).width;
    // By character, a line fills up to the width; by word it breaks before the word.
    TextLayout byChar(NSAttributedString("ab abcdefgh", withMode(font, NSLineBreakMode::ByCharWrapping)),
                      {word * 0.75, 0}, 0);
    TextLayout byWord(NSAttributedString("ab abcdefgh", withFont(font)), {word * 0.75, 0}, 0);
    EXPECT_GT(byChar.size().width, byWord.size().width + 1);

    // Truncating the tail keeps one line no wider than the limit when drawn
    // by the string-drawing rules.
    std::string longText = "快去推广拿佣金快去推广拿佣金快去推广拿佣金";
    NSAttributedString tail(longText, withMode(font, NSLineBreakMode::ByTruncatingTail));
    TextLayout truncated = TextLayout::forStringDrawing(tail, {60, 0}, NSStringDrawingUsesLineFragmentOrigin);
    EXPECT_EQ(truncated.lineCount(), 1u);
    EXPECT_LE(truncated.size().width, 60.01);
    EXPECT_GT(truncated.size().width, 40);

    // A label-style limit of two lines ellipsizes the second.
    TextLayout twoLines(tail, {60, 0}, 2);
    EXPECT_EQ(twoLines.lineCount(), 2u);
    EXPECT_NEAR(twoLines.size().height, 2 * font.lineHeight(), 0.1);
}

// A layout that keeps a few lines of a long text (a field's one line, a
// label's few) lays out only as far as those lines reach: its lines are
// those the whole text's layout begins with, and it costs about what it
// does for a tenth of the text, where wrapping the whole of an unbroken
// word costs a hundred times more. The work is this thread's processor time.
TEST(TextMeasuring, AFewLinesOfALongTextAreItsFirstLinesAndCostWhatAShortOnesDo) {
    UIFont font = UIFont::systemFontOfSize(17);
    NSStringAttributes red = withFont(font);
    red.foregroundColor = UIColor::redColor();
    const auto repeated = [](const std::string& piece, std::size_t times) {
        std::string text;
        for (std::size_t i = 0; i < times; ++i) text += piece;
        return text;
    };
    NSMutableAttributedString mixed(repeated("快去推广 rewards😀 ", 300), withFont(font));
    mixed.appendAttributedString(NSAttributedString(repeated("红色x", 300), red));
    const std::vector<std::pair<const char*, NSAttributedString>> texts = {
        {"words", NSAttributedString(repeated("promote the games ", 400), withFont(font))},
        {"CJK", NSAttributedString(repeated("快去推广拿佣金", 400), withFont(font))},
        {"one word", NSAttributedString(std::string(6000, 'x'), withFont(font))},
        {"mixed runs", mixed}};
    for (const auto& [name, text] : texts) {
        SCOPED_TRACE(name);
        const std::vector<std::string> whole = TextLayout(text, {200, 0}, 0).lineTexts();
        ASSERT_GT(whole.size(), 20u);
        for (const std::size_t kept : {1, 3}) {
            const auto lines = TextLayout(text, {200, 0}, kept).lineTexts();
            EXPECT_EQ(lines, std::vector<std::string>(whole.begin(), whole.begin() + kept));
            const CGFloat height = (kept + 0.5) * font.lineHeight();
            EXPECT_EQ(TextLayout(text, {200, height}, 0).lineTexts(), lines);
        }
        // Cut off at its tail, the last kept line begins as the whole text's does.
        NSMutableAttributedString tail(text);
        NSParagraphStyle truncating;
        truncating.lineBreakMode = NSLineBreakMode::ByTruncatingTail;
        tail.addAttributes({.paragraphStyle = truncating}, {0, tail.length()});
        const auto drawn = TextLayout(tail, {200, 0}, 2).drawnLines();
        ASSERT_EQ(drawn.size(), 2u);
        EXPECT_EQ(drawn[0].text, whole[0]);
        ASSERT_TRUE(drawn[1].text.ends_with("…")) << drawn[1].text;
        std::string rest;
        for (std::size_t line = 1; line < whole.size(); ++line) rest += whole[line];
        EXPECT_TRUE(rest.starts_with(drawn[1].text.substr(0, drawn[1].text.size() - std::string("…").size())))
            << drawn[1].text;
    }

    const auto layingOutTime = [&](std::size_t characters) {
        const NSAttributedString word(std::string(characters, 'x'), withFont(font));
        const double started = threadProcessorSeconds();
        for (int look = 0; look < 3; ++look) EXPECT_EQ(TextLayout(word, {200, 0}, 1).lineCount(), 1u);
        return threadProcessorSeconds() - started;
    };
    const double afterShort = layingOutTime(4000), afterLong = layingOutTime(40000);
    EXPECT_LT(afterLong, 3 * afterShort) << afterShort << " s, then " << afterLong << " s";
}

TEST(AttributedString, RunsSplitMergeAndCountUTF16) {
    UIFont font = UIFont::systemFontOfSize(12);
    NSMutableAttributedString text("￥128.00", withFont(font));
    EXPECT_EQ(text.length(), 7u);
    text.addAttributes({.foregroundColor = UIColor::redColor()}, NSMakeRange(0, 1));
    text.addAttributes({.font = UIFont::boldSystemFontOfSize(20)}, NSMakeRange(1, 3));
    ASSERT_EQ(text.runs().size(), 3u);
    NSRange range;
    NSStringAttributes first = text.attributesAtIndex(0, &range);
    EXPECT_EQ(range, NSMakeRange(0, 1));
    EXPECT_EQ(first.font, font);
    EXPECT_EQ(first.foregroundColor, UIColor::redColor());
    EXPECT_EQ(text.attributesAtIndex(2, &range).font->pointSize(), 20);
    EXPECT_EQ(range, NSMakeRange(1, 3));
    EXPECT_EQ(text.attributesAtIndex(5, &range).font, font);

    // Setting the same attributes back joins the runs again.
    text.setAttributes(withFont(font), NSMakeRange(0, 100));
    EXPECT_EQ(text.runs().size(), 1u);
    EXPECT_EQ(text.runs()[0].range, NSMakeRange(0, 7));

    // Characters outside the basic plane count two units.
    NSMutableAttributedString emoji("a😀b");
    EXPECT_EQ(emoji.length(), 4u);
    EXPECT_EQ(emoji.byteOffset(3), 5u);
    emoji.appendAttributedString(NSAttributedString("c", {.kern = 2}));
    EXPECT_EQ(emoji.length(), 5u);
    EXPECT_EQ(emoji.attributesAtIndex(4).kern, 2);
    EXPECT_FALSE(emoji.attributesAtIndex(0).kern);
    EXPECT_EQ(emoji.attributesAtIndex(9, &range), NSStringAttributes{});
    EXPECT_EQ(range.location, NSNotFound);
}

TEST(AttributedString, MixedRunsKernAndLineSpacingChangeTheSize) {
    UIFont font = UIFont::systemFontOfSize(12);
    NSAttributedString plain("推广收益", withFont(font));
    NSMutableAttributedString mixed(plain);
    mixed.addAttributes({.font = UIFont::systemFontOfSize(24)}, NSMakeRange(0, 1));
    EXPECT_GT(mixed.size().height, plain.size().height * 1.8);
    EXPECT_GT(mixed.size().width, plain.size().width + 10);

    NSMutableAttributedString kerned(plain);
    kerned.addAttributes({.kern = 3}, NSMakeRange(0, 4));
    EXPECT_NEAR(kerned.size().width, plain.size().width + 4 * 3, 3.5);

    NSParagraphStyle spaced;
    spaced.lineSpacing = 6;
    NSAttributedString twoLines("推广\n收益", {.font = font, .paragraphStyle = spaced});
    CGRect rect = twoLines.boundingRectWithSize({100, 0}, NSStringDrawingUsesLineFragmentOrigin);
    EXPECT_NEAR(rect.size.height, 2 * font.lineHeight() + 6, 0.1);
}

TEST(TextDrawing, DrawsColouredAlignedTextInsideTheRect) {
    UIGraphicsBeginImageContextWithOptions({100, 30}, false, 1);
    NSParagraphStyle centred;
    centred.alignment = NSTextAlignment::Right;
    NSStringDrawing::drawInRect("推广", CGRectMake(0, 0, 100, 30),
                                {.font = UIFont::systemFontOfSize(20), .foregroundColor = UIColor::redColor(),
                                 .paragraphStyle = centred});
    auto image = UIGraphicsGetImageFromCurrentImageContext()->CGImage();
    UIGraphicsEndImageContext();

    // Right-aligned two 20-point characters: ink only in the last ~40 points,
    // and it is red.
    std::size_t inkLeft = 0, inkRight = 0;
    for (std::size_t y = 0; y < 30; ++y) {
        for (std::size_t x = 0; x < 100; ++x) {
            CGImagePixel pixel = image->pixelAt(x, y);
            if (pixel.alpha < 128) continue;
            (x < 55 ? inkLeft : inkRight)++;
            EXPECT_GT(pixel.red, 200);
            EXPECT_LT(pixel.green, 60);
        }
    }
    EXPECT_EQ(inkLeft, 0u);
    EXPECT_GT(inkRight, 40u);
}

TEST(TextDrawing, EmojiAreDrawnInColourAtTheTextsSize) {
    // Black text: colour can only come from the emoji font.
    const UIFont font = UIFont::systemFontOfSize(20);
    const CGSize size = NSStringDrawing::sizeWithAttributes("😀", withFont(font));
    EXPECT_GT(size.width, 16);
    EXPECT_LT(size.width, 30);
    UIGraphicsBeginImageContextWithOptions({60, 40}, false, 1);
    NSStringDrawing::drawAtPoint("😀", {0, 0}, {.font = font, .foregroundColor = UIColor::blackColor()});
    auto image = UIGraphicsGetImageFromCurrentImageContext()->CGImage();
    UIGraphicsEndImageContext();
    std::size_t yellow = 0, inkRight = 0;
    for (std::size_t y = 0; y < 40; ++y) {
        for (std::size_t x = 0; x < 60; ++x) {
            CGImagePixel pixel = image->pixelAt(x, y);
            if (pixel.alpha < 128) continue;
            if (pixel.red > 200 && pixel.green > 150 && pixel.blue < 100) ++yellow;
            if (x >= 32) ++inkRight;
        }
    }
    EXPECT_GT(yellow, 100u) << "a yellow face, not a box of hex digits";
    EXPECT_EQ(inkRight, 0u) << "scaled to the text's size";
}

TEST(TextDrawing, LeavesTheContextsPathAlone) {
    UIGraphicsBeginImageContextWithOptions({100, 40}, false, 1);
    auto context = UIGraphicsGetCurrentContext();
    // A path begun before the text is still there after it, unchanged.
    CGContextMoveToPoint(context, 0, 2);
    CGContextAddLineToPoint(context, 10, 2);
    NSStringDrawing::drawAtPoint("推广", {50, 20}, {.font = UIFont::systemFontOfSize(12)});
    CGContextSetStrokeColorWithColor(context, UIColor::redColor());
    CGContextSetLineWidth(context, 4);
    CGContextStrokePath(context);
    auto image = UIGraphicsGetImageFromCurrentImageContext()->CGImage();
    EXPECT_EQ(image->pixelAt(5, 2), (CGImagePixel{255, 0, 0, 255}));
    EXPECT_EQ(image->pixelAt(30, 12).alpha, 0);  // nothing joins the line to the text

    // Text drawn on an empty path leaves it empty.
    NSStringDrawing::drawAtPoint("推广", {50, 5}, {.font = UIFont::systemFontOfSize(12)});
    EXPECT_TRUE(CGContextIsPathEmpty(context));
    UIGraphicsEndImageContext();
}
