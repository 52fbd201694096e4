#include "runner/TapCover.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <typeinfo>
#include <vector>

#include "app/components/ZSActionSheetView.h"
#include "app/payment/KXGameIcoPopView.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "frameworks/hud/SVProgressHUD.h"
#include "frameworks/popup/MMPopupView.h"
#include "uikit/AlertCardView.h"
#include "uikit/UIControl.h"
#include "uikit/UIDriver.h"
#include "uikit/TappableView.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

namespace {

// Room for the rounding of frames that constraints made equal.
constexpr CGFloat kEdgeSlack = 1;

// The views from `view` up to, not including, its first container that also
// holds `other`: what a tap on `view` passes before it reaches views that a
// tap on `other` would reach too.
std::vector<Ref<UIView>> belowSharedContainer(const Ref<UIView>& view, const Ref<UIView>& other) {
    std::vector<Ref<UIView>> views;
    for (auto candidate = view; candidate && !other->isDescendantOfView(candidate); candidate = candidate->superview())
        views.push_back(candidate);
    return views;
}

// The nearest control on the way from the hit view to the container it
// shares with the caption.
Ref<UIControl> controlBelowSharedContainer(const Ref<UIView>& hit, const Ref<UIView>& caption) {
    for (const auto& view : belowSharedContainer(hit, caption))
        if (auto control = cast<UIControl>(view)) return control;
    return nullptr;
}

// `inner` (in `outer`'s space) lies within `outer`'s bounds.
bool liesWithin(CGRect inner, const Ref<UIView>& outer) {
    return CGRectContainsRect(CGRectInset(outer->bounds(), -kEdgeSlack, -kEdgeSlack), inner);
}

// A control of the caption's own: it sits in one of the caption's containers
// (the caption's column or cell), is no larger than the caption's own
// container (a backdrop larger than that is not), and covers the whole
// caption.
bool isOwnControl(const Ref<UIControl>& control, const Ref<UIView>& caption) {
    auto container = control->superview();
    auto captionContainer = caption->superview();
    if (!container || !captionContainer || !caption->isDescendantOfView(container) || !control->isEnabled())
        return false;
    return liesWithin(control->convertRectToView(control->bounds(), captionContainer), captionContainer) &&
           liesWithin(caption->convertRectToView(caption->bounds(), control), control);
}

// A view that does nothing with a tap itself and hands it to its superview:
// a plain view, a label or a picture, with no gesture recognizer.
bool isPassive(const Ref<UIView>& view) {
    if (!view->gestureRecognizers().empty()) return false;
    return TapCover::isPlainView(view) || isKind<UILabel>(view) || isKind<UIImageView>(view);
}

// Whether a tap on `view` falls through passive views up to the first
// container it shares with `other`.
bool fallsThroughToContainerOf(const Ref<UIView>& view, const Ref<UIView>& other) {
    auto views = belowSharedContainer(view, other);
    return std::all_of(views.begin(), views.end(), isPassive);
}

// Whether the view paints over what lies behind it: a background colour
// that is not (nearly) clear.
bool paints(const Ref<UIView>& view) {
    auto colour = view->backgroundColor();
    return colour && colour->alpha() >= 0.01;
}

// Whether the views from `hit` up to the container it shares with `caption`
// let the caption show through: none paints a background over it.
bool showsThrough(const Ref<UIView>& hit, const Ref<UIView>& caption) {
    auto views = belowSharedContainer(hit, caption);
    return std::none_of(views.begin(), views.end(), paints);
}

}  // namespace

namespace TapCover {

Ref<UIView> coverOf(const Ref<UIView>& view) {
    const UIDriver driver;
    return coverOf(view, driver.sight(view).front);
}

Ref<UIView> coverOf(const Ref<UIView>& view, const Ref<UIView>& hit) {
    if (!hit || hit == view || hit->isDescendantOfView(view) || view->isDescendantOfView(hit)) return nullptr;
    // An overlay the caption is not part of.
    auto inFront = belowSharedContainer(hit, view);
    if (std::any_of(inFront.begin(), inFront.end(), isOverlay)) return hit;
    if (auto control = controlBelowSharedContainer(hit, view)) return isOwnControl(control, view) ? nullptr : hit;
    // A clear passive view in front (a cell's content view over a caption
    // laid on the cell) hands the tap to the container it shares with the
    // caption, as a tap on a passive caption would; one that paints a
    // background hides the caption.
    if (fallsThroughToContainerOf(hit, view) && fallsThroughToContainerOf(view, hit) && showsThrough(hit, view))
        return nullptr;
    return hit;
}

std::optional<std::string> offScreen(const Ref<UIView>& view) {
    auto window = view->window();
    if (!window) return "is not on the screen";
    const CGRect bounds = view->bounds();
    const CGPoint centre = view->convertPointToView({CGRectGetMidX(bounds), CGRectGetMidY(bounds)}, window);
    auto where = whereOffScreen(window, centre);
    if (!where) return std::nullopt;
    return "lies off the screen: its centre " + UIDriver::pointText(centre) + " is " + *where +
           ", and no list scrolls it into view";
}

std::optional<std::string> whereOffScreen(const Ref<UIView>& window, CGPoint point) {
    const CGRect screen = window->bounds();
    if (CGRectContainsPoint(screen, point)) return std::nullopt;
    const char* side = point.y >= CGRectGetMaxY(screen) ? "below"
                       : point.y < CGRectGetMinY(screen) ? "above"
                       : point.x < CGRectGetMinX(screen) ? "left of"
                                                         : "right of";
    char size[64];
    std::snprintf(size, sizeof size, "%g x %g", screen.size.width, screen.size.height);
    return std::string(side) + " the " + size + " screen";
}

bool takesTaps(const Ref<UIView>& view) { return isKind<UIControl>(view) || isKind<TappableView>(view); }

bool isPlainView(const Ref<UIView>& view) {
    const UIView& object = *view;
    return typeid(object) == typeid(UIView);
}

std::vector<Ref<UIView>> shownOverlays(const Ref<UIView>& window) {
    std::vector<Ref<UIView>> overlays;
    std::function<void(const Ref<UIView>&)> visit = [&](const Ref<UIView>& view) {
        if (view->isHidden()) return;
        if (isOverlay(view)) return overlays.push_back(view);
        for (const auto& subview : view->subviews()) visit(subview);
    };
    if (window) visit(window);
    return overlays;
}

Ref<UIView> outermostOverlay(const Ref<UIView>& view) {
    Ref<UIView> overlay;
    for (auto candidate = view; candidate; candidate = candidate->superview())
        if (isOverlay(candidate)) overlay = candidate;
    return overlay;
}

namespace {

// The screen whose view holds the view.
Ref<UIViewController> screenOf(Ref<UIView> view) {
    for (; view; view = view->superview())
        if (auto owner = view->owningViewController()) return owner;
    return nullptr;
}

// The cover in front of the field when it is part of a page laid over the
// field's screen as its child; else null.
Ref<UIView> asPageOver(const Ref<UIView>& field, const Ref<UIView>& cover) {
    const auto screen = screenOf(field);
    auto page = screenOf(cover);
    if (page == screen) return nullptr;
    for (; page; page = page->parentViewController())
        if (page->parentViewController() == screen) return cover;
    return nullptr;
}

}  // namespace

Ref<UIView> fieldCoverOf(const Ref<UIView>& field) {
    // Looked for once: seeing the field lays out its text.
    auto cover = coverOf(field);
    if (!cover) return nullptr;
    if (auto popUp = popUpOf(cover)) return popUp;
    return asPageOver(field, cover);
}

Ref<UIView> pageOver(const Ref<UIView>& field) {
    auto cover = coverOf(field);
    return cover ? asPageOver(field, cover) : nullptr;
}

bool isOverlay(const Ref<UIView>& view) {
    return isProgressMessage(view) || isKind<MMPopupView>(view) || isKind<KXGameIcoPopView>(view) ||
           isKind<AlertCardView>(view) || isKind<ZSActionSheetView>(view);
}

bool isProgressMessage(const Ref<UIView>& view) { return isKind<MBProgressHUD>(view) || isKind<SVProgressHUD>(view); }

Ref<UIView> popUpOf(const Ref<UIView>& view) {
    if (auto overlay = outermostOverlay(view)) return overlay;
    auto window = view->window();
    if (!window) return nullptr;
    for (auto candidate = view; candidate && candidate != window; candidate = candidate->superview()) {
        if (candidate->owningViewController()) return nullptr;
        if (candidate->superview() == window) return candidate;
    }
    return nullptr;
}

}  // namespace TapCover
