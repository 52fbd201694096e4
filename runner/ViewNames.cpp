#include "runner/ViewNames.h"

#include "app/components/ZSActionSheetView.h"
#include "app/payment/KXGameIcoPopView.h"
#include "app/promotion/KXerweiMaFenXiangView.h"
#include "app/shell/KXBaseViewController.h"
#include "runner/TapCover.h"
#include "uikit/AlertCardView.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScrollView.h"
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

const PopUpKind kPopUpKinds[] = {
    {TapCover::isProgressMessage, "the progress message", true},
    {[](const Ref<UIView>& view) { return isKind<KXGameIcoPopView>(view); }, "the game picker", false},
    {[](const Ref<UIView>& view) { return isKind<KXerweiMaFenXiangView>(view); }, "the QR code sheet", false},
    {[](const Ref<UIView>& view) { return isKind<AlertCardView>(view); }, "the alert", true},
    {[](const Ref<UIView>& view) { return isKind<ZSActionSheetView>(view); }, "the action sheet", false},
};

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

// The screen's title as its bar shows it; else the tab's name on a tab's
// first screen; empty when it shows none.
std::string screenTitle(const Ref<UIViewController>& screen) {
    if (!screen->navigationItem()->title().empty()) return screen->navigationItem()->title();
    if (!screen->title().empty()) return screen->title();
    if (auto base = cast<KXBaseViewController>(screen); base && base->navigationView()) {
        if (auto shown = base->navigationView()->titleLabel(); shown && !shown->text().empty()) return shown->text();
    }
    Ref<UIViewController> tab = screen;
    if (auto navigation = screen->navigationController(); navigation && !navigation->viewControllers().empty() &&
                                                           navigation->viewControllers().front() == screen)
        tab = navigation;
    if (cast<UITabBarController>(tab->parentViewController())) return tab->tabBarItem()->title();
    return "";
}

}  // namespace

namespace ViewNames {

std::vector<std::string> shownTexts(const Ref<UIView>& view) {
    std::vector<std::string> texts;
    if (view->isHidden() || view->alpha() < 0.01) return texts;
    if (isKind<UILabel>(view) && !view->accessibilityLabel().empty()) texts.push_back(view->accessibilityLabel());
    for (const auto& subview : view->subviews())
        for (auto& text : shownTexts(subview)) texts.push_back(std::move(text));
    return texts;
}

std::string popUp(const Ref<UIView>& popUp) {
    for (const auto& kind : kPopUpKinds)
        if (kind.is(popUp)) return kind.word + (kind.captioned ? firstCaption(popUp) : "");
    return "the pop-up" + firstCaption(popUp);
}

std::string cover(const Ref<UIView>& cover) {
    if (auto shown = TapCover::popUpOf(cover)) return popUp(shown);
    const std::string name = viewName(cover);
    for (auto holder = cover; holder; holder = holder->superview())
        if (auto screen = holder->owningViewController()) {
            const std::string title = screenTitle(screen);
            return name + " on " + (title.empty() ? "the screen" : "the screen " + title);
        }
    return name;
}

}  // namespace ViewNames
