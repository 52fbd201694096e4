#include "uikit/UIDriver.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "foundation/NSRunLoop.h"
#include "uikit/UIApplication.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIKeyInput.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UIScrollView.h"
#include "uikit/UITabBarController.h"
#include "uikit/ViewSnapshot.h"

namespace {

bool matches(const UIView& view, std::string_view query) {
    // "#" alone names no view: a view without an identifier has no name.
    if (!query.empty() && query.front() == '#')
        return query.size() > 1 && view.accessibilityIdentifier() == query.substr(1);
    return view.accessibilityLabel() == query || view.accessibilityValue() == query;
}

void collectVisible(const Ref<UIView>& view, std::string_view query, std::vector<Ref<UIView>>& found) {
    if (view->isHidden()) return;
    if (matches(*view, query)) found.push_back(view);
    for (const auto& subview : view->subviews()) collectVisible(subview, query, found);
}

void collectOfClass(const Ref<UIView>& view, std::string_view className, std::vector<Ref<UIView>>& found) {
    if (view->className() == className) found.push_back(view);
    for (const auto& subview : view->subviews()) collectOfClass(subview, className, found);
}

// Adds a text to an outline line in one pass, its line breaks shown as
// "⏎" (a replacement in place moved the rest of the text at each break:
// work growing with the square of the text).
void appendOneLine(std::string& out, std::string_view text) {
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find('\n', from);
        out.append(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos) return;
        out += "⏎";
        from = at + 1;
    }
}

void appendQuoted(std::string& out, const char* before, const std::string& text) {
    if (text.empty()) return;
    out += before;
    appendOneLine(out, text);
    out += '"';
}

// Adds the view's line and its subviews'; false when `stopped` ended the walk.
bool describe(const Ref<UIView>& view, int depth, std::string& out, const std::function<bool()>& stopped) {
    if (stopped && stopped()) return false;
    CGRect frame = view->frame();
    char geometry[128];
    std::snprintf(geometry, sizeof geometry, " (%g,%g,%g,%g)", frame.origin.x, frame.origin.y, frame.size.width,
                  frame.size.height);
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    out += view->className();
    out += geometry;
    appendQuoted(out, " \"", view->accessibilityLabel());
    appendQuoted(out, " value=\"", view->accessibilityValue());
    if (!view->accessibilityIdentifier().empty()) out += " #" + view->accessibilityIdentifier();
    if (view->isHidden()) out += " hidden";
    out += '\n';
    for (const auto& subview : view->subviews())
        if (!describe(subview, depth + 1, out, stopped)) return false;
    return true;
}

bool isShown(const Ref<UIView>& view) {
    for (auto v = view; v; v = v->superview())
        if (v->isHidden()) return false;
    return true;
}

// The controller in front: the last one presented over the key window's root.
Ref<UIViewController> frontControllerOf(const Ref<UIWindow>& window) {
    auto controller = window ? window->rootViewController() : nullptr;
    while (controller)
        if (auto presented = controller->presentedViewController(); presented && presented != controller)
            controller = presented;
        else
            break;
    return controller;
}

// The innermost container of the kind on the way from `controller` down
// through navigation tops and selected tabs.
template <class Container> Ref<Container> frontMost(Ref<UIViewController> controller) {
    Ref<Container> found;
    while (controller) {
        if (auto container = cast<Container>(controller)) found = container;
        if (auto navigation = cast<UINavigationController>(controller))
            controller = navigation->topViewController();
        else if (auto tabs = cast<UITabBarController>(controller))
            controller = tabs->selectedViewController();
        else
            break;
    }
    return found;
}

// The tab bar controller of the window's screens, beneath anything
// presented over them.
Ref<UITabBarController> tabsBeneathPresented(const Ref<UIWindow>& window) {
    return window ? frontMost<UITabBarController>(window->rootViewController()) : nullptr;
}

// Whether the controller, or one it holds or presents, is between the start
// and the end of an appearance change.
bool changesAppearance(const Ref<UIViewController>& controller, std::vector<const UIViewController*>& seen) {
    if (!controller || std::find(seen.begin(), seen.end(), controller.get()) != seen.end()) return false;
    seen.push_back(controller.get());
    if (controller->isInAppearanceTransition()) return true;
    for (const auto& child : controller->childViewControllers())
        if (changesAppearance(child, seen)) return true;
    return changesAppearance(controller->presentedViewController(), seen);
}

}  // namespace

Ref<UIWindow> UIDriver::keyWindow() const { return UIApplication::sharedApplication()->keyWindow(); }

bool UIDriver::fail(std::string reason) {
    lastError_ = std::move(reason);
    return false;
}

// --- Finding ---

std::vector<Ref<UIView>> UIDriver::findAll(std::string_view query) const {
    std::vector<Ref<UIView>> found;
    if (auto window = keyWindow()) collectVisible(window, query, found);
    return found;
}

Ref<UIView> UIDriver::find(std::string_view query) const {
    auto found = findAll(query);
    return found.empty() ? nullptr : found.back();
}

std::vector<Ref<UIView>> UIDriver::findAllOfClass(std::string_view className) const {
    std::vector<Ref<UIView>> found;
    if (auto window = keyWindow()) collectOfClass(window, className, found);
    return found;
}

std::string UIDriver::describeTree(const Ref<UIView>& root, const std::function<bool()>& stopped) {
    std::string out;
    if (root) describe(root, 0, out, stopped);
    return out;
}

std::string UIDriver::describeScreen(const std::function<bool()>& stopped) const {
    return describeTree(keyWindow(), stopped);
}

// --- Actions ---

bool UIDriver::tap(std::string_view query) {
    auto view = find(query);
    if (!view) return fail("tap: no visible view matches \"" + std::string(query) + "\"");
    return tap(view);
}

bool UIDriver::tap(const Ref<UIView>& view) {
    settle();
    auto window = keyWindow();
    if (!window) return fail("tap: no window is shown");
    if (!view || view->window() != window || !isShown(view)) return fail("tap: the view is no longer on the screen");
    const std::string caption = view->accessibilityLabel();
    return deliverTap(window, tapPoint(view), caption.empty() ? "" : "on \"" + caption + "\"");
}

bool UIDriver::tapAt(CGPoint pointInWindow) {
    settle();
    auto window = keyWindow();
    if (!window) return fail("tap: no window is shown");
    return deliverTap(window, pointInWindow);
}

std::string UIDriver::pointText(CGPoint point) {
    char text[64];
    std::snprintf(text, sizeof text, "%g,%g", point.x, point.y);
    return text;
}

bool UIDriver::deliverTap(const Ref<UIWindow>& window, CGPoint point, const std::string& target) {
    const std::string where = target.empty() ? "at " + pointText(point) : target;
    auto hit = window->hitTest(point);
    if (!hit) return fail("tap: no view takes touches " + where);
    for (auto view = hit; view; view = view->superview()) {
        if (view->handleTapAt(window->convertPointToView(point, view))) {
            // The window's recognizers that leave touches to the views (an
            // app-wide helper's, such as a tap outside a field ending its
            // editing) see every tap in the window, also one a view below
            // handled.
            if (view != window) {
                std::vector<Ref<UIGestureRecognizer>> watchers;
                for (const auto& recognizer : window->gestureRecognizers())
                    if (!recognizer->cancelsTouchesInView()) watchers.push_back(recognizer);
                UIGestureRecognizer::offerTap(watchers, point);
            }
            settle();
            return true;
        }
    }
    settle();
    return fail("tap: nothing handled a tap " + where);
}

bool UIDriver::typeText(std::string_view query, std::string_view text) {
    auto view = find(query);
    if (!view) return fail("typeText: no visible view matches \"" + std::string(query) + "\"");
    return typeText(view, text);
}

bool UIDriver::typeText(const Ref<UIView>& view, std::string_view text) {
    settle();
    Ref<UIView> field = view;
    while (field && !dynamic_cast<UIKeyInput*>(field.get())) field = field->superview();
    if (!field) return fail("typeText: the view takes no typing");
    if (!field->isFirstResponder() && !field->becomeFirstResponder())
        return fail("typeText: the field does not take the focus");
    dynamic_cast<UIKeyInput*>(field.get())->insertText(std::string(text));
    settle();
    return true;
}

bool UIDriver::pressReturn() {
    settle();
    auto responder = UIResponder::currentFirstResponder();
    auto* keyboard = dynamic_cast<UIKeyInput*>(responder.get());
    if (!keyboard) return fail("pressReturn: nothing is being edited");
    keyboard->insertText("\n");
    settle();
    return true;
}

bool UIDriver::deleteBackward(std::size_t times) {
    settle();
    auto responder = UIResponder::currentFirstResponder();
    auto* keyboard = dynamic_cast<UIKeyInput*>(responder.get());
    if (!keyboard) return fail("deleteBackward: nothing is being edited");
    for (std::size_t press = 0; press < times; ++press) keyboard->deleteBackward();
    settle();
    return true;
}

bool UIDriver::pan(const Ref<UIView>& view, CGPoint translation, double seconds, std::size_t steps) {
    settle();
    auto window = keyWindow();
    if (!window) return fail("pan: no window is shown");
    if (!view || view->window() != window || !isShown(view)) return fail("pan: the view is no longer on the screen");
    CGRect bounds = view->bounds();
    CGPoint from = view->convertPointToView({CGRectGetMidX(bounds), CGRectGetMidY(bounds)}, window);
    return pan(from, {from.x + translation.x, from.y + translation.y}, seconds, steps);
}

bool UIDriver::pan(CGPoint fromInWindow, CGPoint toInWindow, double seconds, std::size_t steps) {
    settle();
    auto window = keyWindow();
    if (!window) return fail("pan: no window is shown");
    auto hit = window->hitTest(fromInWindow);
    if (!hit) return fail("pan: no view takes touches there");
    steps = std::max<std::size_t>(steps, 1);
    std::vector<CGPoint> points;
    for (std::size_t step = 0; step <= steps; ++step) {
        CGFloat part = static_cast<CGFloat>(step) / static_cast<CGFloat>(steps);
        points.push_back({fromInWindow.x + (toInWindow.x - fromInWindow.x) * part,
                          fromInWindow.y + (toInWindow.y - fromInWindow.y) * part});
    }
    for (auto view = hit; view; view = view->superview()) {
        for (const auto& recognizer : std::vector(view->gestureRecognizers())) {
            auto panRecognizer = std::dynamic_pointer_cast<UIPanGestureRecognizer>(recognizer);
            if (panRecognizer && panRecognizer->trackPan(points, seconds / static_cast<double>(steps))) {
                settle();
                return true;
            }
        }
    }
    settle();
    return fail("pan: nothing there follows a drag from " + pointText(fromInWindow));
}

Ref<UIView> UIDriver::backButton() const {
    auto navigation = frontMost<UINavigationController>(frontControllerOf(keyWindow()));
    if (!navigation || navigation->viewControllers().size() < 2 || navigation->isNavigationBarHidden()) return nullptr;
    return navigation->navigationBar()->leftView();
}

bool UIDriver::back() {
    settle();
    auto navigation = frontMost<UINavigationController>(frontControllerOf(keyWindow()));
    if (!navigation || navigation->viewControllers().size() < 2)
        return fail("back: there is no screen to go back to from here");
    // The bar's back button or the left item that replaces it; without a
    // bar, the edge swipe of the interactive pop gesture.
    if (auto left = backButton()) return tap(left);
    if (!navigation->interactivePopGestureRecognizer()->isEnabled())
        return fail("back: this screen has no back button and does not go back by a swipe");
    navigation->popViewControllerAnimated(true);
    settle();
    return true;
}

bool UIDriver::selectTab(std::size_t index) {
    settle();
    auto tabs = frontMost<UITabBarController>(frontControllerOf(keyWindow()));
    if (!tabs) return fail("selectTab: no tab bar controller on screen");
    auto button = tabs->tabBar()->buttonForItemAtIndex(index);
    if (!button) {
        // Counted from 1, as the tabs are for a user.
        const std::size_t count = tabs->tabBar()->items().size();
        return fail("selectTab: there is no tab " + std::to_string(index + 1) + ": the tab bar has " +
                    std::to_string(count) + (count == 1 ? " tab" : " tabs"));
    }
    return tap(button);
}

Ref<UIView> UIDriver::tabButton(std::size_t index) const {
    auto tabs = tabsBeneathPresented(keyWindow());
    return tabs ? tabs->tabBar()->buttonForItemAtIndex(index) : nullptr;
}

std::size_t UIDriver::tabCount() const {
    auto tabs = tabsBeneathPresented(keyWindow());
    return tabs ? tabs->tabBar()->items().size() : 0;
}

Ref<UIViewController> UIDriver::frontController() const { return frontControllerOf(keyWindow()); }

bool UIDriver::isScreenSettled() const {
    auto window = keyWindow();
    std::vector<const UIViewController*> seen;
    return !window || !changesAppearance(window->rootViewController(), seen);
}

std::optional<NSData> UIDriver::shotPNG() {
    settle();
    auto window = keyWindow();
    if (!window) {
        fail("shot: no window is shown");
        return std::nullopt;
    }
    auto png = UIImagePNGRepresentation(snapshotView(window, true));
    if (!png) fail("shot: the window could not be rendered");
    return png;
}

bool UIDriver::shot(const std::string& path) {
    auto png = shotPNG();
    if (!png) return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png->bytes()), static_cast<std::streamsize>(png->length()));
    if (!file) return fail("shot: cannot write " + path);
    return true;
}

void UIDriver::settle() const {
    auto loop = NSRunLoop::mainRunLoop();
    // Bounded, so that work which keeps posting more work cannot hang a test.
    for (int turn = 0; turn < 1000; ++turn) {
        if (auto window = keyWindow()) window->layoutIfNeeded();
        if (!loop->runOnce()) break;
    }
}
