#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/AppFixture.h"
#include "uikit/UIButton.h"
#include "uikit/UIScreen.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

namespace {

// Records the hooks UIKit runs as a view moves and is laid out.
class RecordingView : public UIView {
public:
    using UIView::UIView;
    std::vector<std::string>* log = nullptr;
    std::string name;

    void note(const std::string& event) {
        if (log) log->push_back(name + "." + event);
    }
    void willMoveToSuperview(const Ref<UIView>& s) override { note(s ? "willMoveToSuperview" : "willMoveToSuperview(nil)"); }
    void didMoveToSuperview() override { note("didMoveToSuperview"); }
    void willMoveToWindow(const Ref<UIWindow>& w) override { note(w ? "willMoveToWindow" : "willMoveToWindow(nil)"); }
    void didMoveToWindow() override { note("didMoveToWindow"); }
    void didAddSubview(const Ref<UIView>&) override { note("didAddSubview"); }
    void willRemoveSubview(const Ref<UIView>&) override { note("willRemoveSubview"); }
    void layoutSubviews() override { note("layoutSubviews"); }
};

Ref<RecordingView> recorder(std::string name, std::vector<std::string>& log, CGRect frame = CGRectZero) {
    auto view = make<RecordingView>(frame);
    view->name = std::move(name);
    view->log = &log;
    return view;
}

// A view with a touch area 10 points larger on each side than its bounds.
template <class Base>
class WideTouch : public Base {
public:
    using Base::Base;
    bool pointInside(CGPoint point, UIEvent*) override {
        return CGRectContainsPoint(CGRectInset(this->bounds(), -10, -10), point);
    }
};
using WideTouchView = WideTouch<UIView>;
using WideTouchButton = WideTouch<UIButton>;

class UIViewTest : public AppFixture {};

TEST_F(UIViewTest, SubviewOrderIsMirroredByTheLayerTree) {
    auto parent = make<UIView>(CGRectMake(0, 0, 100, 100));
    auto a = make<UIView>(), b = make<UIView>(), c = make<UIView>();
    auto decoration = CALayer::layer();
    parent->addSubview(a);
    parent->layer()->addSublayer(decoration);
    parent->addSubview(b);
    parent->insertSubview(c, 0);
    EXPECT_EQ(parent->subviews(), (std::vector<Ref<UIView>>{c, a, b}));
    EXPECT_EQ(parent->layer()->sublayers(),
              (std::vector<Ref<CALayer>>{c->layer(), a->layer(), decoration, b->layer()}));

    parent->bringSubviewToFront(c);
    parent->insertSubviewBelowSubview(b, a);
    EXPECT_EQ(parent->subviews(), (std::vector<Ref<UIView>>{b, a, c}));
    EXPECT_EQ(parent->layer()->sublayers().front(), b->layer());
    EXPECT_EQ(parent->layer()->sublayers().back(), c->layer());

    parent->insertSubviewAboveSubview(b, c);
    parent->sendSubviewToBack(a);
    EXPECT_EQ(parent->subviews(), (std::vector<Ref<UIView>>{a, c, b}));

    // Adding to another superview moves the view, layer and all.
    auto other = make<UIView>();
    other->addSubview(c);
    EXPECT_EQ(parent->subviews(), (std::vector<Ref<UIView>>{a, b}));
    EXPECT_EQ(c->superview(), other);
    EXPECT_EQ(c->layer()->superlayer(), other->layer());

    // A view cannot take in itself or an ancestor.
    c->addSubview(other);
    c->addSubview(c);
    EXPECT_TRUE(c->subviews().empty());
    EXPECT_TRUE(c->isDescendantOfView(other));
    EXPECT_FALSE(other->isDescendantOfView(c));

    b->removeFromSuperview();
    EXPECT_EQ(b->superview(), nullptr);
    EXPECT_EQ(b->layer()->superlayer(), nullptr);
    EXPECT_EQ(parent->layer()->sublayers(), (std::vector<Ref<CALayer>>{a->layer(), decoration}));
}

TEST_F(UIViewTest, MoveHooksRunInUIKitOrder) {
    std::vector<std::string> log;
    auto window = make<UIWindow>();
    window->makeKeyAndVisible();
    auto container = recorder("container", log);
    auto child = recorder("child", log);
    container->addSubview(child);
    EXPECT_EQ(log, (std::vector<std::string>{"child.willMoveToSuperview", "child.didMoveToSuperview",
                                             "container.didAddSubview"}));
    log.clear();
    window->addSubview(container);
    EXPECT_EQ(log, (std::vector<std::string>{"container.willMoveToSuperview", "container.willMoveToWindow",
                                             "child.willMoveToWindow", "child.didMoveToWindow",
                                             "container.didMoveToWindow", "container.didMoveToSuperview"}));
    EXPECT_EQ(child->window(), window);
    log.clear();
    container->removeFromSuperview();
    EXPECT_EQ(log, (std::vector<std::string>{"container.willMoveToSuperview(nil)", "container.willMoveToWindow(nil)",
                                             "child.willMoveToWindow(nil)", "child.didMoveToWindow",
                                             "container.didMoveToWindow", "container.didMoveToSuperview"}));
    EXPECT_EQ(child->window(), nullptr);
}

TEST_F(UIViewTest, TagsFindTheViewItselfOrTheFirstDescendant) {
    auto root = make<UIView>();
    auto first = make<UIView>(), nested = make<UIView>(), second = make<UIView>();
    nested->setTag(7);
    second->setTag(7);
    first->addSubview(nested);
    root->addSubview(first);
    root->addSubview(second);
    EXPECT_EQ(root->viewWithTag(7), nested);
    EXPECT_EQ(root->viewWithTag(0), root);
    EXPECT_EQ(root->viewWithTag(99), nullptr);
}

TEST_F(UIViewTest, GeometryFollowsCentreBoundsAndTransform) {
    auto view = make<UIView>(CGRectMake(10, 20, 100, 50));
    EXPECT_EQ(view->center(), CGPointMake(60, 45));
    EXPECT_EQ(view->bounds(), CGRectMake(0, 0, 100, 50));
    view->setCenter({100, 100});
    EXPECT_EQ(view->frame(), CGRectMake(50, 75, 100, 50));
    view->setTransform(CGAffineTransformMakeScale(2, 2));
    EXPECT_EQ(view->frame(), CGRectMake(0, 50, 200, 100));
    EXPECT_EQ(view->bounds().size, CGSizeMake(100, 50));
    view->setTransform(CGAffineTransformIdentity);
    view->setBounds(CGRectMake(0, 0, 20, 10));
    EXPECT_EQ(view->frame(), CGRectMake(90, 95, 20, 10));
}

TEST_F(UIViewTest, HitTestingSkipsHiddenTransparentAndInertViews) {
    auto root = make<UIView>(CGRectMake(0, 0, 300, 300));
    auto back = make<UIView>(CGRectMake(0, 0, 200, 200));
    auto front = make<UIView>(CGRectMake(50, 50, 100, 100));
    auto inner = make<UIView>(CGRectMake(10, 10, 20, 20));
    root->addSubview(back);
    root->addSubview(front);
    front->addSubview(inner);

    EXPECT_EQ(root->hitTest({65, 65}), inner);
    EXPECT_EQ(root->hitTest({100, 100}), front);
    EXPECT_EQ(root->hitTest({20, 20}), back);
    EXPECT_EQ(root->hitTest({250, 250}), root);
    EXPECT_EQ(root->hitTest({400, 10}), nullptr);

    front->setHidden(true);
    EXPECT_EQ(root->hitTest({65, 65}), back);
    front->setHidden(false);
    front->setAlpha(0.005);
    EXPECT_EQ(root->hitTest({65, 65}), back);
    front->setAlpha(0.02);
    EXPECT_EQ(root->hitTest({65, 65}), inner);
    // A non-interactive view takes its subviews out of hit testing too.
    front->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({65, 65}), back);
    front->setUserInteractionEnabled(true);
    inner->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({65, 65}), front);

    // A subview sticking out of its superview cannot be hit outside it.
    auto overhang = make<UIView>(CGRectMake(90, 90, 40, 40));
    front->addSubview(overhang);
    EXPECT_EQ(root->hitTest({160, 160}), back);
    EXPECT_EQ(root->hitTest({145, 145}), overhang);
}

TEST_F(UIViewTest, PointInsideOverrideEnlargesTheTouchArea) {
    auto root = make<UIView>(CGRectMake(0, 0, 100, 100));
    auto button = make<WideTouchView>(CGRectMake(40, 40, 20, 20));
    root->addSubview(button);
    EXPECT_EQ(root->hitTest({35, 35}), button);
    EXPECT_EQ(root->hitTest({29, 29}), root);
}

// A larger touch area takes only the points no control holds in its own
// bounds, the control whose bounds lie nearest first; what lies in front
// still hides what lies behind.
TEST_F(UIViewTest, AControlKeepsItsOwnBoundsFromALargerTouchAreaInFront) {
    auto root = make<UIView>(CGRectMake(0, 0, 200, 200));
    auto card = make<UIView>(CGRectMake(0, 0, 200, 100));  // a plain view behind both
    auto upper = make<WideTouchButton>(CGRectMake(50, 6, 40, 20));
    auto lower = make<WideTouchButton>(CGRectMake(50, 32, 40, 20));  // in front, 6 points below
    root->addSubview(card);
    card->addSubview(upper);
    card->addSubview(lower);

    EXPECT_EQ(root->hitTest({70, 24}), upper) << "2 points above its lower edge";
    EXPECT_EQ(root->hitTest({51, 25.5}), upper);
    EXPECT_EQ(root->hitTest({70, 33}), lower);
    EXPECT_EQ(root->hitTest({70, 29}), lower) << "mid-gap: as near to both, the front one takes it";
    EXPECT_EQ(root->hitTest({70, 27}), upper) << "1 point below it: the nearer takes the gap";
    EXPECT_EQ(root->hitTest({48.5, 24}), upper) << "1.5 points left of its lower half";
    EXPECT_EQ(root->hitTest({91, 25}), upper) << "1 point right of its lower half";
    EXPECT_EQ(root->hitTest({70, 60}), lower) << "below it, over the plain view";
    EXPECT_EQ(root->hitTest({45, 10}), upper) << "beside it, over the plain view";
    EXPECT_EQ(root->hitTest({70, 63}), card);

    // A control inside a control: the outer one holds the inner one's
    // larger area in its own bounds.
    auto field = make<UITextField>(CGRectMake(100, 100, 80, 40));
    auto clear = make<WideTouchButton>(CGRectMake(50, 10, 20, 20));
    root->addSubview(field);
    field->addSubview(clear);
    EXPECT_EQ(root->hitTest({160, 120}), clear);
    EXPECT_EQ(root->hitTest({145, 120}), field);

    // A cover in front takes its points, the controls' own bounds included.
    auto cover = make<UIView>(CGRectMake(0, 0, 200, 28));
    root->addSubview(cover);
    EXPECT_EQ(root->hitTest({70, 24}), cover);
    EXPECT_EQ(root->hitTest({70, 27}), cover) << "the gap under the cover";
    EXPECT_EQ(root->hitTest({48.5, 24}), cover);
    EXPECT_EQ(root->hitTest({70, 29}), lower) << "below the cover";
    cover->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({70, 24}), upper) << "a cover that takes no touches lets them through";

    // A card in front, over the field: a point on the card beside the
    // card's button goes to that button, not to the field behind.
    auto popup = make<UIView>(CGRectMake(100, 130, 100, 60));
    auto search = make<WideTouchButton>(CGRectMake(10, 15, 40, 20));
    root->addSubview(popup);
    popup->addSubview(search);
    EXPECT_EQ(root->hitTest({125, 137}), search) << "2 points above it, in the field's own bounds";
}

TEST_F(UIViewTest, HitTestingFollowsTransformsAndBoundsOrigin) {
    auto root = make<UIView>(CGRectMake(0, 0, 300, 300));
    auto scrolled = make<UIView>(CGRectMake(0, 0, 100, 100));
    scrolled->setBounds(CGRectMake(0, 200, 100, 100));
    auto row = make<UIView>(CGRectMake(0, 220, 100, 20));
    scrolled->addSubview(row);
    root->addSubview(scrolled);
    EXPECT_EQ(root->hitTest({50, 30}), row);
    EXPECT_EQ(root->hitTest({50, 5}), scrolled);

    auto scaled = make<UIView>(CGRectMake(150, 150, 40, 40));
    scaled->setTransform(CGAffineTransformMakeScale(2, 2));
    root->addSubview(scaled);
    EXPECT_EQ(root->hitTest({135, 135}), scaled);
}

TEST_F(UIViewTest, ConvertsPointsAndRectsBetweenBranches) {
    auto window = make<UIWindow>();
    auto left = make<UIView>(CGRectMake(10, 20, 100, 100));
    auto leftChild = make<UIView>(CGRectMake(5, 5, 50, 50));
    auto right = make<UIView>(CGRectMake(200, 300, 100, 100));
    right->setBounds(CGRectMake(0, 40, 100, 100));
    left->addSubview(leftChild);
    window->addSubview(left);
    window->addSubview(right);

    EXPECT_EQ(leftChild->convertPointToView({1, 2}, nullptr), CGPointMake(16, 27));
    EXPECT_EQ(leftChild->convertPointToView({1, 2}, right), CGPointMake(-184, -233));
    EXPECT_EQ(right->convertPointFromView({1, 2}, leftChild), CGPointMake(-184, -233));
    EXPECT_EQ(leftChild->convertRectToView(CGRectMake(0, 0, 10, 10), window), CGRectMake(15, 25, 10, 10));
    EXPECT_EQ(window->convertRectFromView(CGRectMake(0, 0, 10, 10), leftChild), CGRectMake(15, 25, 10, 10));

    // A rotated view converts to the bounding box of the turned rectangle.
    auto turned = make<UIView>(CGRectMake(0, 0, 20, 10));
    turned->setCenter({50, 50});
    turned->setTransform(CGAffineTransformMakeRotation(M_PI / 2));
    window->addSubview(turned);
    CGRect box = turned->convertRectToView(turned->bounds(), nullptr);
    EXPECT_NEAR(box.origin.x, 45, 1e-9);
    EXPECT_NEAR(box.origin.y, 40, 1e-9);
    EXPECT_NEAR(box.size.width, 10, 1e-9);
    EXPECT_NEAR(box.size.height, 20, 1e-9);
}

TEST_F(UIViewTest, AutoresizingSharesTheChangeAmongFlexibleParts) {
    auto parent = make<UIView>(CGRectMake(0, 0, 100, 100));
    auto stretchy = make<UIView>(CGRectMake(10, 10, 80, 20));
    stretchy->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    auto pinnedRight = make<UIView>(CGRectMake(70, 70, 20, 20));
    pinnedRight->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleTopMargin);
    auto centred = make<UIView>(CGRectMake(40, 40, 20, 20));
    centred->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin);
    auto proportional = make<UIView>(CGRectMake(0, 0, 50, 100));
    proportional->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleRightMargin);
    auto fixed = make<UIView>(CGRectMake(5, 5, 10, 10));
    for (const auto& v : {stretchy, pinnedRight, centred, proportional, fixed}) parent->addSubview(v);

    parent->setFrame(CGRectMake(0, 0, 200, 150));
    EXPECT_EQ(stretchy->frame(), CGRectMake(10, 10, 180, 20));
    EXPECT_EQ(pinnedRight->frame(), CGRectMake(170, 120, 20, 20));
    EXPECT_EQ(centred->frame(), CGRectMake(90, 40, 20, 20));
    EXPECT_EQ(proportional->frame(), CGRectMake(0, 0, 100, 100));
    EXPECT_EQ(fixed->frame(), CGRectMake(5, 5, 10, 10));

    parent->setAutoresizesSubviews(false);
    parent->setFrame(CGRectMake(0, 0, 100, 100));
    EXPECT_EQ(stretchy->frame(), CGRectMake(10, 10, 180, 20));
}

TEST_F(UIViewTest, LayoutPassRunsOnTheMainLoopFromTheWindowDown) {
    std::vector<std::string> log;
    auto window = make<UIWindow>();
    window->makeKeyAndVisible();
    auto outer = recorder("outer", log, CGRectMake(0, 0, 100, 100));
    auto inner = recorder("inner", log, CGRectMake(0, 0, 50, 50));
    outer->addSubview(inner);
    window->addSubview(outer);
    log.clear();
    window->layoutIfNeeded();
    EXPECT_EQ(log, (std::vector<std::string>{"outer.layoutSubviews", "inner.layoutSubviews"}));

    // Nothing pending: nothing runs.
    log.clear();
    window->layoutIfNeeded();
    EXPECT_TRUE(log.empty());

    // A size change asks for layout, which the posted pass performs once.
    inner->setNeedsLayout();
    outer->setFrame(CGRectMake(0, 0, 120, 100));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(runUntil([&] { return log.size() >= 2; }));
    EXPECT_EQ(log, (std::vector<std::string>{"outer.layoutSubviews", "inner.layoutSubviews"}));
    log.clear();
    outer->setFrame(CGRectMake(0, 0, 120, 100));
    clock.advance(0);
    EXPECT_TRUE(log.empty());
}

TEST_F(UIViewTest, SizeToFitUsesSizeThatFits) {
    struct Fixed : UIView {
        CGSize sizeThatFits(CGSize) override { return {30, 12}; }
    };
    auto view = make<Fixed>();
    view->setFrame(CGRectMake(5, 6, 100, 100));
    view->sizeToFit();
    EXPECT_EQ(view->frame(), CGRectMake(5, 6, 30, 12));
    auto plain = make<UIView>(CGRectMake(0, 0, 40, 40));
    plain->sizeToFit();
    EXPECT_EQ(plain->frame().size, CGSizeMake(40, 40));
    EXPECT_EQ(plain->intrinsicContentSize(), CGSizeMake(UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric));
}

TEST_F(UIViewTest, SafeAreaComesFromTheScreenWhereTheViewOverlapsIt) {
    auto window = make<UIWindow>();
    window->makeKeyAndVisible();
    auto full = make<UIView>(window->bounds());
    auto middle = make<UIView>(CGRectMake(0, 100, 375, 100));
    auto top = make<UIView>(CGRectMake(0, 10, 375, 100));
    window->addSubview(full);
    window->addSubview(middle);
    window->addSubview(top);
    EXPECT_EQ(full->safeAreaInsets(), UIEdgeInsetsMake(20, 0, 0, 0));
    EXPECT_EQ(middle->safeAreaInsets(), UIEdgeInsetsZero);
    EXPECT_EQ(top->safeAreaInsets(), UIEdgeInsetsMake(10, 0, 0, 0));
    UIApplication::sharedApplication()->setStatusBarHidden(true);
    EXPECT_EQ(full->safeAreaInsets(), UIEdgeInsetsZero);

    UIScreen::useNotchedScreen();
    auto notchedWindow = make<UIWindow>();
    auto page = make<UIView>(notchedWindow->bounds());
    notchedWindow->addSubview(page);
    EXPECT_EQ(notchedWindow->bounds(), CGRectMake(0, 0, 375, 812));
    EXPECT_EQ(page->safeAreaInsets(), UIEdgeInsetsMake(44, 0, 34, 0));
    EXPECT_EQ(make<UIView>(CGRectMake(0, 0, 10, 10))->safeAreaInsets(), UIEdgeInsetsZero);
}

TEST_F(UIViewTest, TintColorIsInheritedUnlessSet) {
    auto parent = make<UIView>(), child = make<UIView>();
    parent->addSubview(child);
    EXPECT_EQ(child->tintColor(), UIColor::colorWithRed(0, 122.0 / 255, 1, 1));
    parent->setTintColor(UIColor::redColor());
    EXPECT_EQ(child->tintColor(), UIColor::redColor());
    child->setTintColor(UIColor::greenColor());
    EXPECT_EQ(child->tintColor(), UIColor::greenColor());
}

TEST_F(UIViewTest, FirstResponderNeedsAWindowAndResignsWhenTheViewLeavesIt) {
    struct Focusable : UIView {
        bool canBecomeFirstResponder() const override { return true; }
    };
    auto window = make<UIWindow>();
    window->makeKeyAndVisible();
    auto field = make<Focusable>(), other = make<Focusable>();
    EXPECT_FALSE(field->becomeFirstResponder());
    window->addSubview(field);
    window->addSubview(other);
    EXPECT_TRUE(field->becomeFirstResponder());
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(other->becomeFirstResponder());
    EXPECT_FALSE(field->isFirstResponder());
    other->removeFromSuperview();
    EXPECT_FALSE(other->isFirstResponder());
    EXPECT_EQ(UIResponder::currentFirstResponder(), nullptr);
    EXPECT_FALSE(make<UIView>()->becomeFirstResponder());
}

TEST_F(UIViewTest, ResponderChainRunsThroughControllerWindowAndApplication) {
    auto window = make<UIWindow>();
    auto controller = make<UIViewController>();
    window->setRootViewController(controller);
    window->makeKeyAndVisible();
    auto button = make<UIView>();
    controller->view()->addSubview(button);
    EXPECT_EQ(button->nextResponder(), controller->view());
    EXPECT_EQ(controller->view()->nextResponder(), controller);
    EXPECT_EQ(controller->nextResponder(), window);
    EXPECT_EQ(window->nextResponder(), UIApplication::sharedApplication());
}

}  // namespace
