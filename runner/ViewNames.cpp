#include "runner/ViewNames.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/components/ZSActionSheetView.h"
#include "app/payment/KXGameIcoPopView.h"
#include "app/promotion/KXerweiMaFenXiangView.h"
#include "app/shell/KXBaseViewController.h"
#include "runner/TapCover.h"
#include "uikit/AlertCardView.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIDriver.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScrollView.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UITabBarController.h"
#include "uikit/UITabBarItem.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"

namespace {

// The pop-ups a user knows by a plain word; `captioned` ones add what they
// say first (a message, an alert's title).
struct PopUpKind {
    bool (*is)(const Ref<UIView>&);
    const char* word;
    bool captioned;
};

// An alert controller's card, of the style that slides up from the bottom.
bool isActionSheetCard(const Ref<UIView>& view) {
    auto alert = isKind<AlertCardView>(view) ? cast<UIAlertController>(view->owningViewController()) : nullptr;
    return alert && alert->preferredStyle() == UIAlertControllerStyle::ActionSheet;
}

const PopUpKind kPopUpKinds[] = {
    {TapCover::isProgressMessage, "the progress message", true},
    {[](const Ref<UIView>& view) { return isKind<KXGameIcoPopView>(view); }, "the game picker", false},
    {[](const Ref<UIView>& view) { return isKind<KXerweiMaFenXiangView>(view); }, "the QR code sheet", false},
    {isActionSheetCard, "the action sheet", true},
    {[](const Ref<UIView>& view) { return isKind<AlertCardView>(view); }, "the alert", true},
    {[](const Ref<UIView>& view) { return isKind<ZSActionSheetView>(view); }, "the action sheet", false},
};

void collectButtons(const Ref<UIView>& view, std::vector<Ref<UIView>>& found) {
    // A field is no button: its caption is the placeholder it shows.
    if (view->isHidden() || view->alpha() < 0.01 || isKind<UITextField>(view)) return;
    if (TapCover::takesTaps(view) && !view->accessibilityLabel().empty()) return found.push_back(view);
    for (const auto& subview : view->subviews()) collectButtons(subview, found);
}

// " "TEXT"" for the first text the view shows; nothing when it shows none.
std::string firstCaption(const Ref<UIView>& view) {
    auto texts = ViewNames::shownTexts(view);
    return texts.empty() ? "" : " \"" + texts.front() + "\"";
}

// What a user calls a view of its kind.
const char* kindOf(const Ref<UIView>& view) {
    if (isKind<UITextField>(view)) return "field";
    if (isKind<UIControl>(view)) return "button";
    if (isKind<UILabel>(view)) return "text";
    if (isKind<UIImageView>(view)) return "picture";
    if (isKind<UIScrollView>(view)) return "list";
    return "view";
}

// The view by its caption ("the button "确定""), its name ("the view
// #panel") or its kind ("a picture"). A plain view without either says
// little alone: it is named by the first container that says more.
std::string viewName(Ref<UIView> view) {
    while (view->accessibilityIdentifier().empty() && view->accessibilityLabel().empty() && TapCover::isPlainView(view) &&
           view->superview() && !view->superview()->owningViewController())
        view = view->superview();
    const std::string kind = kindOf(view);
    if (!view->accessibilityLabel().empty()) return "the " + kind + " \"" + view->accessibilityLabel() + "\"";
    if (!view->accessibilityIdentifier().empty()) return "the " + kind + " #" + view->accessibilityIdentifier();
    return "a " + kind;
}

// The screen's title as the user sees it: the title the shown bar above it
// shows (the system's bar or the screen's own), else the name of the tab
// it is the first screen of, as the shown tab bar says; empty when nothing
// on the screen names it.
std::string screenTitle(const Ref<UIViewController>& screen) {
    const UIDriver driver;
    auto navigation = screen->navigationController();
    if (navigation && navigation->topViewController() == screen && !navigation->isNavigationBarHidden() &&
        driver.isInView(navigation->navigationBar()) && !screen->navigationItem()->title().empty())
        return screen->navigationItem()->title();
    if (auto base = cast<KXBaseViewController>(screen); base && base->navigationView())
        if (auto shown = base->navigationView()->titleLabel(); shown && driver.isInView(shown) && !shown->text().empty())
            return shown->text();
    Ref<UIViewController> tab = screen;
    if (navigation && !navigation->viewControllers().empty() && navigation->viewControllers().front() == screen)
        tab = navigation;
    if (auto tabs = cast<UITabBarController>(tab->parentViewController()); tabs && driver.isInView(tabs->tabBar()))
        return tab->tabBarItem()->title();
    return "";
}

// Whether a tap on the view closes the pop-up it is part of: a backdrop (a
// view with a tap recognizer that is no control) dimming what lies outside
// the pop-up's card.
bool closesOnTap(const Ref<UIView>& view) {
    if (isKind<UIControl>(view)) return false;
    const auto& recognizers = view->gestureRecognizers();
    return std::any_of(recognizers.begin(), recognizers.end(), [](const Ref<UIGestureRecognizer>& recognizer) {
        return isKind<UITapGestureRecognizer>(recognizer) && recognizer->isEnabled();
    });
}

// A point of the window where a tap lands on the pop-up's backdrop, looked
// for down the middle of the screen, then down its left edge.
std::optional<CGPoint> backdropPoint(const Ref<UIView>& popUp) {
    auto window = popUp->window();
    if (!window) return std::nullopt;
    constexpr int kRows = 16;
    const CGRect screen = window->bounds();
    for (CGFloat x : {CGRectGetMidX(screen), CGRectGetMinX(screen) + 8})
        for (int row = 1; row < kRows; ++row) {
            const CGPoint point{std::round(x), std::round(CGRectGetMinY(screen) + screen.size.height * row / kRows)};
            auto hit = window->hitTest(point);
            if (hit && (hit == popUp || hit->isDescendantOfView(popUp)) && closesOnTap(hit)) return point;
        }
    return std::nullopt;
}

// How the pop-up closes, in brackets after its name; "" when it offers no
// way a user can see.
std::string wayOut(const Ref<UIView>& popUp) {
    if (TapCover::isProgressMessage(popUp)) return " (it goes by itself once the app is done)";
    if (auto point = backdropPoint(popUp))
        return " (a tap outside it closes it: tap " + UIDriver::pointText(*point) + ")";
    if (isKind<AlertCardView>(popUp)) return " (a tap on one of its buttons closes it)";
    return "";
}

// A page a screen laid over its whole view as a child (a payment's result
// card): it is left with that screen.
Ref<UIViewController> laidOverPage(const Ref<UIViewController>& owner) {
    auto parent = owner->parentViewController();
    if (!parent || isKind<UINavigationController>(parent) || isKind<UITabBarController>(parent)) return nullptr;
    const CGRect page = owner->view()->convertRectToView(owner->view()->bounds(), parent->view());
    return CGRectContainsRect(page, parent->view()->bounds()) ? owner : nullptr;
}

}  // namespace

namespace ViewNames {

std::vector<Ref<UIView>> buttons(const Ref<UIView>& view) {
    std::vector<Ref<UIView>> found;
    if (view) collectButtons(view, found);
    return found;
}

std::string listed(const std::vector<std::string>& items, const std::string& lastJoin) {
    std::string words;
    for (std::size_t i = 0; i < items.size(); ++i)
        words += (i == 0 ? "" : i + 1 == items.size() ? lastJoin : ", ") + items[i];
    return words;
}

std::vector<std::string> shownTexts(const Ref<UIView>& view) {
    std::vector<std::string> texts;
    if (view->isHidden() || view->alpha() < 0.01) return texts;
    if (isKind<UILabel>(view) && !view->accessibilityLabel().empty()) texts.push_back(view->accessibilityLabel());
    for (const auto& subview : view->subviews())
        for (auto& text : shownTexts(subview)) texts.push_back(std::move(text));
    return texts;
}

std::string popUp(const Ref<UIView>& popUp) {
    std::string name = "the pop-up" + firstCaption(popUp);
    for (const auto& kind : kPopUpKinds)
        if (kind.is(popUp)) {
            name = kind.word + (kind.captioned ? firstCaption(popUp) : "");
            break;
        }
    // Its buttons tell a user what it offers, and what to tap to close it.
    const auto shown = buttons(popUp);
    if (shown.empty()) return name + wayOut(popUp);
    std::vector<std::string> captions;
    for (const auto& button : shown) captions.push_back(button->accessibilityLabel());
    return name + " with " + (shown.size() == 1 ? "the button " : "the buttons ") + listed(captions) + wayOut(popUp);
}

std::string screen(const Ref<UIViewController>& screen) {
    const std::string title = screenTitle(screen);
    return title.empty() ? "the screen" : "the screen " + title;
}

std::string cover(const Ref<UIView>& cover) {
    if (auto shown = TapCover::popUpOf(cover)) return popUp(shown);
    const std::string name = viewName(cover);
    for (auto holder = cover; holder; holder = holder->superview()) {
        auto owner = holder->owningViewController();
        if (!owner) continue;
        if (auto page = laidOverPage(owner))
            return "the page" + firstCaption(page->view()) + " laid over " + screen(page->parentViewController()) +
                   " (back leaves it with that screen)";
        return name + " on " + screen(owner);
    }
    return name;
}

}  // namespace ViewNames
