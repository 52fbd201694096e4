#include <gtest/gtest.h>

#include "ControlsTestFixture.h"
#include "uikit/UIButton.h"
#include "uikit/UITapGestureRecognizer.h"

namespace {

class Screen : public NSObject {
public:
    std::vector<std::string> calls;
    void buttonTapped(const Ref<UIButton>& sender) { calls.push_back("button:" + sender->currentTitle().value_or("")); }
    void plainTapped() { calls.push_back("plain"); }
    void textFieldOnly(const Ref<UIView>&) { calls.push_back("view"); }
};

// Answers the gesture delegate's questions from flags and records them.
class GestureDelegate : public NSObject, public UIGestureRecognizerDelegate {
public:
    bool receive = true, begin = true, simultaneous = false;
    Ref<UIView> lastTouchView;
    bool gestureRecognizerShouldBegin(const Ref<UIGestureRecognizer>&) override { return begin; }
    bool gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>&, const Ref<UITouch>& touch) override {
        lastTouchView = touch->view();
        return receive;
    }
    bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(const Ref<UIGestureRecognizer>&,
                                                                            const Ref<UIGestureRecognizer>&) override {
        return simultaneous;
    }
};

class TargetActionTest : public ControlsFixture {
protected:
    Ref<UIButton> button(const std::string& title, CGRect frame, const Ref<UIView>& parent = nullptr) {
        auto made = place(UIButton::buttonWithType(UIButtonType::Custom), frame, parent);
        made->setTitle(title, UIControlStateNormal);
        return made;
    }
    Ref<UITapGestureRecognizer> tapRecognizer(const std::string& name) {
        return make<UITapGestureRecognizer>(nullptr, [this, name](const Ref<UIGestureRecognizer>& r) {
            log.push_back(name + (r->state() == UIGestureRecognizerState::Recognized ? " recognized" : " other"));
        });
    }
};

TEST_F(TargetActionTest, ActionsRunInOrderForTheirEventsOnly) {
    auto control = place(make<UIControl>(), CGRectMake(0, 0, 50, 50));
    auto screen = make<Screen>();
    control->addTarget(screen, [&](const Ref<UIControl>&) { log.push_back("up1"); }, UIControlEventTouchUpInside);
    control->addTarget(nullptr, [&](const Ref<UIControl>&) { log.push_back("down"); }, UIControlEventTouchDown);
    control->addTarget(screen, [&](const Ref<UIControl>&) { log.push_back("up2"); },
                       UIControlEventTouchUpInside | UIControlEventValueChanged);
    control->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(log, (std::vector<std::string>{"up1", "up2"}));
    EXPECT_EQ(control->allTargets(), (std::vector<Ref<NSObject>>{screen}));
    EXPECT_EQ(control->allControlEvents(),
              UIControlEventTouchUpInside | UIControlEventTouchDown | UIControlEventValueChanged);

    control->removeTarget(screen, UIControlEventTouchUpInside);
    log.clear();
    control->sendActionsForControlEvents(UIControlEventTouchUpInside | UIControlEventValueChanged);
    EXPECT_EQ(log, (std::vector<std::string>{"up2"}));
    control->removeTarget(nullptr, UIControlEventAllEvents);
    EXPECT_EQ(control->allControlEvents(), 0u);
}

// As in the notification centre, an action removed while an event is sent
// is not called for it.
TEST_F(TargetActionTest, AnActionRemovedDuringASendIsNotCalledForIt) {
    auto control = place(make<UIControl>(), CGRectMake(0, 0, 50, 50));
    auto first = make<Screen>(), second = make<Screen>();
    control->addTarget(first, [&](const Ref<UIControl>& sender) {
        log.push_back("first");
        sender->removeTarget(second, UIControlEventTouchUpInside);
    }, UIControlEventTouchUpInside);
    control->addTarget(second, [&](const Ref<UIControl>&) { log.push_back("removed"); }, UIControlEventTouchUpInside);
    control->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(log, (std::vector<std::string>{"first"}));
}

TEST_F(TargetActionTest, TargetsAreWeakAndMemberActionsGetTheTypedSender) {
    auto save = button("保存", CGRectMake(0, 0, 80, 40));
    auto screen = make<Screen>();
    save->addTarget(screen, &Screen::buttonTapped, UIControlEventTouchUpInside);
    save->addTarget(screen, &Screen::plainTapped, UIControlEventTouchUpInside);
    // Takes a UIView: a button is one, so it is called.
    save->addTarget(screen, &Screen::textFieldOnly, UIControlEventTouchUpInside);
    ASSERT_TRUE(driver.tap("保存")) << driver.lastError();
    EXPECT_EQ(screen->calls, (std::vector<std::string>{"button:保存", "plain", "view"}));

    bool calledAfterRelease = false;
    {
        auto shortLived = make<Screen>();
        save->addTarget(shortLived, [&](const Ref<UIControl>&) { calledAfterRelease = true; }, UIControlEventTouchUpInside);
    }
    EXPECT_TRUE(driver.tap(save));
    EXPECT_FALSE(calledAfterRelease);
    EXPECT_EQ(save->allTargets().size(), 1u);
}

TEST_F(TargetActionTest, TapSendsTouchDownWhileHighlightedThenTouchUpInside) {
    auto ok = button("OK", CGRectMake(10, 10, 80, 40));
    ok->addTarget(nullptr, [&](const Ref<UIControl>& c) { log.push_back(std::string("down highlighted=") + (c->isHighlighted() ? "1" : "0")); },
                  UIControlEventTouchDown);
    ok->addTarget(nullptr, [&](const Ref<UIControl>& c) { log.push_back(std::string("up highlighted=") + (c->isHighlighted() ? "1" : "0")); },
                  UIControlEventTouchUpInside);
    ASSERT_TRUE(driver.tap("OK"));
    EXPECT_EQ(log, (std::vector<std::string>{"down highlighted=1", "up highlighted=0"}));
}

TEST_F(TargetActionTest, HitTestingSkipsHiddenTransparentAndNonInteractiveViews) {
    auto back = button("back", CGRectMake(0, 0, 100, 100));
    back->addTarget(nullptr, [&](const Ref<UIControl>&) { log.push_back("back"); }, UIControlEventTouchUpInside);
    auto front = button("front", CGRectMake(0, 0, 100, 100));
    front->addTarget(nullptr, [&](const Ref<UIControl>&) { log.push_back("front"); }, UIControlEventTouchUpInside);

    ASSERT_TRUE(driver.tapAt({50, 50}));
    front->setHidden(true);
    ASSERT_TRUE(driver.tapAt({50, 50}));
    front->setHidden(false);
    front->setAlpha(0.005);
    ASSERT_TRUE(driver.tapAt({50, 50}));
    front->setAlpha(0.02);
    ASSERT_TRUE(driver.tapAt({50, 50}));
    front->setUserInteractionEnabled(false);
    ASSERT_TRUE(driver.tapAt({50, 50}));
    EXPECT_EQ(log, (std::vector<std::string>{"front", "back", "back", "front", "back"}));

    // A container that takes no touches hides its whole subtree from them.
    auto container = place(make<UIView>(), CGRectMake(0, 0, 200, 200));
    auto inner = button("inner", CGRectMake(0, 0, 100, 100), container);
    inner->addTarget(nullptr, [&](const Ref<UIControl>&) { log.push_back("inner"); }, UIControlEventTouchUpInside);
    container->setUserInteractionEnabled(false);
    log.clear();
    ASSERT_TRUE(driver.tapAt({50, 50}));
    EXPECT_EQ(log, (std::vector<std::string>{"back"}));
    // A point outside every interactive view reaches nothing that handles it.
    EXPECT_FALSE(driver.tapAt({300, 400}));
}

TEST_F(TargetActionTest, DisabledControlLetsTheTapGoToItsSuperview) {
    auto card = place(make<UIView>(), CGRectMake(0, 0, 200, 200));
    card->addGestureRecognizer(tapRecognizer("card"));
    auto submit = button("submit", CGRectMake(10, 10, 80, 40), card);
    submit->addTarget(nullptr, [&](const Ref<UIControl>&) { log.push_back("submit"); }, UIControlEventTouchUpInside);

    ASSERT_TRUE(driver.tap(submit));
    submit->setEnabled(false);
    ASSERT_TRUE(driver.tap(submit));
    EXPECT_EQ(log, (std::vector<std::string>{"submit", "card recognized"}));
}

TEST_F(TargetActionTest, RecognizerOnTheControlItselfCancelsItsActionsUnlessTold) {
    auto ok = button("OK", CGRectMake(0, 0, 80, 40));
    ok->addTarget(nullptr, [&](const Ref<UIControl>&) { log.push_back("action"); }, UIControlEventTouchUpInside);
    auto recognizer = tapRecognizer("tap");
    ok->addGestureRecognizer(recognizer);
    ASSERT_TRUE(driver.tap(ok));
    EXPECT_EQ(log, (std::vector<std::string>{"tap recognized"}));

    recognizer->setCancelsTouchesInView(false);
    log.clear();
    ASSERT_TRUE(driver.tap(ok));
    EXPECT_EQ(log, (std::vector<std::string>{"tap recognized", "action"}));
}

TEST_F(TargetActionTest, DelegateDecidesWhichTouchesTheRecognizerSees) {
    // An overlay that closes on taps of its dimmed area only, not on its panel.
    auto overlay = place(make<UIView>(), CGRectMake(0, 0, 320, 480));
    auto panel = place(make<UIView>(), CGRectMake(0, 300, 320, 180), overlay);
    auto recognizer = tapRecognizer("dismiss");
    auto delegate = make<GestureDelegate>();
    recognizer->setDelegate(delegate);
    overlay->addGestureRecognizer(recognizer);

    ASSERT_TRUE(driver.tapAt({100, 100}));
    EXPECT_EQ(delegate->lastTouchView, overlay);
    EXPECT_EQ(recognizer->locationInView(overlay).y, 100);
    EXPECT_EQ(recognizer->locationInView(panel).y, -200);

    delegate->receive = false;
    EXPECT_FALSE(driver.tapAt({100, 400}));
    EXPECT_EQ(delegate->lastTouchView, panel);

    delegate->receive = true;
    delegate->begin = false;
    EXPECT_FALSE(driver.tapAt({100, 100}));
    EXPECT_EQ(recognizer->state(), UIGestureRecognizerState::Possible);
    EXPECT_EQ(log, (std::vector<std::string>{"dismiss recognized"}));

    delegate->begin = true;
    recognizer->setEnabled(false);
    EXPECT_FALSE(driver.tapAt({100, 100}));
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(TargetActionTest, NearestRecognizerWinsUnlessSimultaneousIsAllowed) {
    auto outer = place(make<UIView>(), CGRectMake(0, 0, 200, 200));
    auto inner = place(make<UIView>(), CGRectMake(0, 0, 100, 100), outer);
    outer->addGestureRecognizer(tapRecognizer("outer"));
    auto first = tapRecognizer("first"), second = tapRecognizer("second");
    auto doubleTap = tapRecognizer("double");
    doubleTap->setNumberOfTapsRequired(2);
    inner->addGestureRecognizer(doubleTap);
    inner->addGestureRecognizer(first);
    inner->addGestureRecognizer(second);

    ASSERT_TRUE(driver.tap(inner));
    EXPECT_EQ(log, (std::vector<std::string>{"first recognized"}));

    auto delegate = make<GestureDelegate>();
    delegate->simultaneous = true;
    second->setDelegate(delegate);
    log.clear();
    ASSERT_TRUE(driver.tap(inner));
    EXPECT_EQ(log, (std::vector<std::string>{"first recognized", "second recognized"}));

    log.clear();
    ASSERT_TRUE(driver.tapAt({150, 150}));
    EXPECT_EQ(log, (std::vector<std::string>{"outer recognized"}));
}

}  // namespace
