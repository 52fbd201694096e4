#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "graphics/UIImage.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIKeyInput.h"
#include "uikit/UILabel.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

namespace {

// A recognizer that counts the taps it is offered, and posts work like a
// target-action that reloads a screen would.
class CountingRecognizer : public UIGestureRecognizer {
public:
    int taps = 0;
    int postedRuns = 0;
    CGPoint lastPoint{};
    bool handleTapAt(CGPoint point) override {
        ++taps;
        lastPoint = point;
        DispatchQueue::main()->async([this] { ++postedRuns; });
        return true;
    }
};

// A minimal field that takes typing.
class Field : public UIView, public UIKeyInput {
public:
    using UIView::UIView;
    std::string text;
    std::string placeholder;
    bool canBecomeFirstResponder() const override { return true; }
    bool hasText() const override { return !text.empty(); }
    void insertText(const std::string& typed) override { text += typed; }
    void deleteBackward() override {
        if (!text.empty()) text.pop_back();
    }
    std::string accessibilityLabel() const override { return placeholder; }
    std::string accessibilityValue() const override { return text; }
};

class UIDriverTest : public AppFixture {
protected:
    void SetUp() override {
        window = make<UIWindow>();
        window->setRootViewController(make<UIViewController>());
        window->makeKeyAndVisible();
        page = window->rootViewController()->view();
        page->setBackgroundColor(UIColor::whiteColor());

        card = make<UIView>(CGRectMake(20, 100, 200, 80));
        card->setAccessibilityIdentifier("card");
        recognizer = make<CountingRecognizer>();
        card->addGestureRecognizer(recognizer);
        title = make<UILabel>(CGRectMake(10, 10, 180, 20));
        title->setText("Total assets");
        card->addSubview(title);
        page->addSubview(card);

        field = make<Field>(CGRectMake(20, 200, 200, 40));
        field->placeholder = "Phone number";
        field->setAccessibilityIdentifier("phoneField");
        page->addSubview(field);
    }

    UIDriver driver;
    Ref<UIWindow> window;
    Ref<UIView> page;
    Ref<UIView> card;
    Ref<CountingRecognizer> recognizer;
    Ref<UILabel> title;
    Ref<Field> field;
};

TEST_F(UIDriverTest, OnlyTheLinesDrawnInsideTheClippingContainersAreSeenAndTapped) {
    // Three lines in a panel that clips after the first two.
    auto panel = make<UIView>(CGRectMake(20, 300, 300, 0));
    panel->setClipsToBounds(true);
    auto lines = make<UILabel>(CGRectMake(0, 0, 300, 0));
    lines->setNumberOfLines(0);
    lines->setText("first\nsecond\nthird");
    const CGFloat height = lines->sizeThatFits({300, 0}).height;
    lines->setFrame(CGRectMake(0, 0, 300, height));
    panel->setFrame(CGRectMake(20, 300, 300, height * 2 / 3));
    panel->addSubview(lines);
    page->addSubview(panel);
    driver.settle();

    EXPECT_EQ(driver.shownText(lines), "first\nsecond\n");
    auto seen = [&](const std::string& query) {
        auto found = driver.sightings(query);
        return found.size() == 1 && found.front().drawn;
    };
    EXPECT_TRUE(seen("second"));
    EXPECT_FALSE(seen("third"));
    // A tap lands in the middle of the lines seen, inside the panel.
    EXPECT_NEAR(driver.tapPoint(lines).y, 300 + height / 3, 0.5);

    panel->setFrame(CGRectMake(20, 300, 300, height));
    lines->setNumberOfLines(2);
    lines->setLineBreakMode(NSLineBreakMode::ByTruncatingTail);
    lines->setText("first\nsecond, with a tail far too long for the width of the line: TAILMARK");
    driver.settle();
    EXPECT_TRUE(driver.shownText(lines).ends_with("…"));
    EXPECT_FALSE(seen("TAILMARK"));
}

TEST_F(UIDriverTest, FindsViewsByTextIdentifierAndClass) {
    EXPECT_EQ(driver.find("Total assets"), title);
    EXPECT_EQ(driver.find("#card"), card);
    EXPECT_EQ(driver.find("Phone number"), field);
    EXPECT_EQ(driver.find("#nothing"), nullptr);
    EXPECT_EQ(driver.findAllOfClass("UILabel"), std::vector<Ref<UIView>>{title});

    // Hidden views (or views in hidden ancestors) are not found by text.
    card->setHidden(true);
    EXPECT_EQ(driver.find("Total assets"), nullptr);
    EXPECT_EQ(driver.findAllOfClass("UILabel").size(), 1u);
    card->setHidden(false);

    // With the same text twice, the front-most wins.
    auto overlay = make<UILabel>(CGRectMake(0, 0, 100, 20));
    overlay->setText("Total assets");
    page->addSubview(overlay);
    EXPECT_EQ(driver.find("Total assets"), overlay);
    EXPECT_EQ(driver.findAll("Total assets").size(), 2u);
}

TEST_F(UIDriverTest, DescribesTheTreeWithFramesTextsAndFlags) {
    title->setHidden(true);
    field->text = "138";
    std::string tree = driver.describeScreen();
    EXPECT_NE(tree.find("UIWindow (0,0,375,667)\n  UIView (0,0,375,667)\n    UIView (20,100,200,80) #card\n"),
              std::string::npos)
        << tree;
    EXPECT_NE(tree.find("      UILabel (10,10,180,20) \"Total assets\" hidden\n"), std::string::npos) << tree;
    EXPECT_NE(tree.find("    (anonymous namespace).Field (20,200,200,40) \"Phone number\" value=\"138\" #phoneField\n"),
              std::string::npos)
        << tree;
}

TEST_F(UIDriverTest, TapsGoThroughInertViewsToTheRecognizerAndRunPostedWork) {
    // The label does not take touches, so its card gets the tap.
    EXPECT_TRUE(driver.tap("Total assets")) << driver.lastError();
    EXPECT_EQ(recognizer->taps, 1);
    EXPECT_EQ(recognizer->postedRuns, 1) << "the driver runs the loop after acting";
    EXPECT_EQ(recognizer->lastPoint, CGPointMake(100, 20));

    EXPECT_TRUE(driver.tapAt({30, 110}));
    EXPECT_EQ(recognizer->taps, 2);
    EXPECT_EQ(recognizer->lastPoint, CGPointMake(10, 10));

    // A cover on top takes the touch, as a finger would meet it.
    auto cover = make<UIView>(CGRectMake(0, 0, 375, 667));
    page->addSubview(cover);
    EXPECT_FALSE(driver.tap(card));
    EXPECT_NE(driver.lastError().find("nothing handled"), std::string::npos) << driver.lastError();
    cover->setUserInteractionEnabled(false);
    EXPECT_TRUE(driver.tap(card));

    recognizer->setEnabled(false);
    EXPECT_FALSE(driver.tap(card));
    EXPECT_EQ(recognizer->taps, 3);

    EXPECT_FALSE(driver.tap("No such text"));
    EXPECT_FALSE(driver.tapAt({-5, -5}));
    card->setHidden(true);
    EXPECT_FALSE(driver.tap(card));
}

TEST_F(UIDriverTest, TypingFocusesTheFieldAndInsertsText) {
    EXPECT_TRUE(driver.typeText("#phoneField", "138")) << driver.lastError();
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(driver.typeText(field, "00"));
    EXPECT_EQ(field->text, "13800");
    EXPECT_EQ(driver.find("13800"), field);
    EXPECT_FALSE(driver.typeText(card, "x"));
    EXPECT_FALSE(driver.typeText("#missing", "x"));
}

TEST_F(UIDriverTest, BackAndTabsFailClearlyWithoutThoseControllers) {
    EXPECT_FALSE(driver.back());
    EXPECT_NE(driver.lastError().find("no screen to go back to"), std::string::npos);
    EXPECT_FALSE(driver.selectTab(1));
    EXPECT_NE(driver.lastError().find("tab bar controller"), std::string::npos);
}

TEST_F(UIDriverTest, ShootsTheKeyWindowToPNG) {
    auto path = std::filesystem::path(sandbox.path()) / "shot.png";
    ASSERT_TRUE(driver.shot(path.string())) << driver.lastError();
    auto image = UIImage::imageWithContentsOfFile(path.string());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->CGImage()->width(), 750u);
    EXPECT_EQ(image->CGImage()->height(), 1334u);
    EXPECT_FALSE(driver.shot((std::filesystem::path(sandbox.path()) / "no/such/dir/shot.png").string()));
}

}  // namespace
