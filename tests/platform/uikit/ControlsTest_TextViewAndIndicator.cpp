#include <gtest/gtest.h>

#include "ControlsTestFixture.h"
#include "foundation/NSNotificationCenter.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UILabel.h"
#include "uikit/UITextView.h"
#include "uikit/ViewSnapshot.h"

namespace {

// A text view with a grey placeholder label that hides once there is text,
// updated from the view's own change notification.
class OpinionView : public UITextView {
public:
    using UITextView::UITextView;
    Ref<UILabel> placeholderLabel = make<UILabel>();

protected:
    void didCreate() override {
        UITextView::didCreate();
        placeholderLabel->setText("请输入");
        addSubview(placeholderLabel);
        WeakRef<OpinionView> weak = self<OpinionView>();
        NSNotificationCenter::defaultCenter()->addObserver(
            self(), [weak](const Ref<NSNotification>&) {
                if (auto me = weak.lock()) me->placeholderLabel->setHidden(me->hasText());
            },
            UITextViewTextDidChangeNotification, self());
    }
};

class Limiter : public NSObject, public UITextViewDelegate {
public:
    std::vector<std::string> calls;
    bool textViewShouldChangeTextInRangeReplacementText(const Ref<UITextView>&, NSRange range,
                                                        const std::string& replacement) override {
        calls.push_back(std::to_string(range.location) + "+" + std::to_string(range.length) + ":" + replacement);
        return replacement != "!";
    }
    void textViewDidChange(const Ref<UITextView>& view) override { calls.push_back("changed:" + view->text()); }
};

// Takes the view it holds off the window and forgets it when told, as a
// host that drops its member inside a delegate call does.
class Forgetter : public NSObject, public UIScrollViewDelegate, public UITextViewDelegate {
public:
    Ref<UIView> held;
    void scrollViewDidScroll(const Ref<UIScrollView>&) override { forget(); }
    void textViewDidEndEditing(const Ref<UITextView>&) override { forget(); }

private:
    void forget() {
        held->removeFromSuperview();
        held.reset();
    }
};

class TextViewTest : public ControlsFixture {};

TEST_F(TextViewTest, TypingNotifiesAndTheDelegateMayRefuse) {
    auto view = place(make<OpinionView>(), CGRectMake(0, 0, 300, 100));
    auto limiter = make<Limiter>();
    view->setDelegate(limiter);
    ASSERT_TRUE(driver.typeText(view, "a!\n"));
    EXPECT_EQ(view->text(), "a\n");
    EXPECT_EQ(limiter->calls,
              (std::vector<std::string>{"0+0:a", "changed:a", "1+0:!", "1+0:\n", "changed:a\n"}));
    EXPECT_TRUE(view->placeholderLabel->isHidden());
    ASSERT_TRUE(driver.deleteBackward(2));
    EXPECT_EQ(view->text(), "");
    EXPECT_FALSE(view->placeholderLabel->isHidden());
    // Text set in code posts nothing: the placeholder waits for the next edit.
    view->setText("from code");
    EXPECT_FALSE(view->placeholderLabel->isHidden());
    NSNotificationCenter::defaultCenter()->removeObserver(view);
}

TEST_F(TextViewTest, TapStartsEditingOnlyWhenEditable) {
    auto view = place(make<UITextView>(), CGRectMake(0, 0, 300, 100));
    view->setEditable(false);
    EXPECT_FALSE(driver.tap(view));
    EXPECT_FALSE(view->isEditing());
    view->setEditable(true);
    EXPECT_TRUE(driver.tap(view));
    EXPECT_TRUE(view->isEditing());
    view->setEditable(false);
    EXPECT_FALSE(view->isEditing());
    view->insertText("x");
    EXPECT_EQ(view->text(), "");
}

// Called through the host's member, each entry tells a delegate that lets
// the view go: the view lives until the call returns (the sanitizers check).
TEST_F(TextViewTest, AViewLetGoByItsDelegateLivesUntilTheCallReturns) {
    auto forgetter = make<Forgetter>();
    auto scrollView = make<UIScrollView>(CGRectMake(0, 0, 100, 100));
    scrollView->setDelegate(forgetter);
    forgetter->held = std::move(scrollView);
    static_cast<UIScrollView&>(*forgetter->held).setContentOffset({0, 10});
    EXPECT_FALSE(forgetter->held);

    auto textView = place(make<UITextView>(), CGRectMake(0, 0, 200, 40));
    textView->setDelegate(forgetter);
    ASSERT_TRUE(textView->becomeFirstResponder());
    forgetter->held = std::move(textView);
    static_cast<UITextView&>(*forgetter->held).setEditable(false);
    EXPECT_FALSE(forgetter->held);
}

TEST_F(TextViewTest, ActivityIndicatorHidesWhileStopped) {
    auto spinner = make<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::WhiteLarge);
    EXPECT_EQ(spinner->frame().size, CGSizeMake(37, 37));
    EXPECT_EQ(make<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::Gray)->frame().size, CGSizeMake(20, 20));
    EXPECT_TRUE(spinner->isHidden());
    EXPECT_EQ(spinner->color(), UIColor::whiteColor());
    spinner->setColor(UIColor::redColor());
    spinner->setCenter({100, 100});
    spinner->setTag(99);
    window->addSubview(spinner);
    spinner->startAnimating();
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_FALSE(spinner->isHidden());
    EXPECT_EQ(window->viewWithTag(99), spinner);
    // It draws in its colour around the centre.
    auto shot = snapshotView(spinner, false, 1);
    bool sawRed = false;
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 37; ++x) {
            auto pixel = shot->CGImage()->pixelAt(x, y);
            sawRed = sawRed || (pixel.red > 200 && pixel.green < 50 && pixel.alpha > 100);
        }
    EXPECT_TRUE(sawRed);
    spinner->stopAnimating();
    EXPECT_TRUE(spinner->isHidden());
    spinner->setHidesWhenStopped(false);
    EXPECT_FALSE(spinner->isHidden());
}

}  // namespace
