#include <algorithm>
#include <cmath>
#include <functional>

#include "uikit/UIDriver.h"
#include "uikit/UITableView.h"

namespace {

Ref<UIScrollView> firstShownScrollView(const Ref<UIView>& view) {
    if (view->isHidden()) return nullptr;
    if (auto scrollView = cast<UIScrollView>(view)) return scrollView;
    for (const auto& subview : view->subviews())
        if (auto found = firstShownScrollView(subview)) return found;
    return nullptr;
}

// How far the content must move for the rectangle to be wholly in the part
// of the bounds the insets leave clear (0 when it already is).
CGFloat distanceToShow(const Ref<UIScrollView>& scrollView, CGRect rect) {
    CGRect bounds = scrollView->bounds();
    UIEdgeInsets insets = scrollView->adjustedContentInset();
    CGFloat top = CGRectGetMinY(bounds) + insets.top, bottom = CGRectGetMaxY(bounds) - insets.bottom;
    if (CGRectGetMinY(rect) < top) return CGRectGetMinY(rect) - top;
    if (CGRectGetMaxY(rect) > bottom) return CGRectGetMaxY(rect) - bottom;
    return 0;
}

// The shown scroll view that scrolls vertically and takes the most of the
// window, or null.
Ref<UIScrollView> largestVerticalScrollView(const Ref<UIView>& view, const Ref<UIWindow>& window) {
    if (view->isHidden()) return nullptr;
    Ref<UIScrollView> best;
    CGFloat bestArea = 0;
    auto consider = [&](const Ref<UIScrollView>& candidate) {
        if (!candidate) return;
        CGRect shown = CGRectIntersection(window->bounds(), candidate->convertRectToView(candidate->bounds(), window));
        CGFloat area = CGRectIsNull(shown) ? 0 : shown.size.width * shown.size.height;
        if (area > bestArea) best = candidate, bestArea = area;
    };
    if (auto scrollView = cast<UIScrollView>(view); scrollView && scrollView->scrollsVertically()) consider(scrollView);
    for (const auto& subview : view->subviews()) consider(largestVerticalScrollView(subview, window));
    return best;
}

// Rows measured as they come into view can move the target, so scrolling
// to a row takes a few drags at most.
constexpr int kScrollToRowAttempts = 4;

}  // namespace

Ref<UIScrollView> UIDriver::scrollViewFor(const Ref<UIView>& view) const {
    if (!view) {
        auto window = keyWindow();
        return window ? firstShownScrollView(window) : nullptr;
    }
    for (auto v = view; v; v = v->superview())
        if (auto scrollView = cast<UIScrollView>(v)) return scrollView;
    return nullptr;
}

bool UIDriver::drag(const Ref<UIScrollView>& scrollView, CGVector translation, const std::string& action) {
    if (!scrollView) return fail(action + ": no list there");
    // A finger drags the content at most a screen past where it rests at
    // either end, however far it is asked to: the drag takes a bounded time.
    const CGSize shown = scrollView->bounds().size;
    const CGPoint offset = scrollView->contentOffset();
    const CGPoint least = scrollView->minimumContentOffset(), most = scrollView->maximumContentOffset();
    translation.dx = std::clamp(translation.dx, least.x - offset.x - shown.width, most.x - offset.x + shown.width);
    translation.dy = std::clamp(translation.dy, scrollView->verticalDragToRestingEdge(false) - shown.height,
                                scrollView->verticalDragToRestingEdge(true) + shown.height);
    if (!scrollView->handleDragBy(translation)) return fail(action + ": the content does not scroll that way");
    settle();
    return true;
}

bool UIDriver::scroll(const Ref<UIView>& view, CGFloat dy, CGFloat dx) {
    settle();
    return drag(scrollViewFor(view), {dx, dy}, "scroll");
}

bool UIDriver::scrollAt(CGPoint pointInWindow, CGFloat dy, CGFloat dx) {
    settle();
    auto window = keyWindow();
    if (!window) return fail("scroll: no window is shown");
    return drag(scrollViewFor(window->hitTest(pointInWindow)), {dx, dy}, "scroll");
}

bool UIDriver::scrollToMiddle(const Ref<UIView>& view) {
    settle();
    auto window = keyWindow();
    if (!view || !window || view->window() != window)
        return fail("scrollToMiddle: the view is not in the key window");
    bool moved = false;
    for (auto holder = view->superview(); holder; holder = holder->superview()) {
        auto scrollView = cast<UIScrollView>(holder);
        if (!scrollView || !scrollView->scrollsVertically()) continue;
        const CGRect shown =
            CGRectIntersection(scrollView->bounds(), scrollView->convertRectFromView(window->bounds(), window));
        if (CGRectIsNull(shown) || CGRectIsEmpty(shown)) continue;
        const CGRect bounds = view->bounds();
        const CGPoint centre = view->convertPointToView({CGRectGetMidX(bounds), CGRectGetMidY(bounds)}, scrollView);
        const CGFloat toMiddle = centre.y - CGRectGetMidY(shown);
        const CGFloat distance = std::min(std::max(toMiddle, scrollView->verticalDragToRestingEdge(false)),
                                          scrollView->verticalDragToRestingEdge(true));
        if (std::fabs(distance) < 1) continue;
        if (!drag(scrollView, {0, distance}, "scrollToMiddle")) return false;
        moved = true;
    }
    return moved || fail("scrollToMiddle: no list brings the view nearer the middle");
}

Ref<UIView> UIDriver::scrollToFind(std::string_view query) {
    Ref<UIView> found;
    scrollToFind([&] { return (found = find(query)) != nullptr; });
    return found;
}

bool UIDriver::scrollToFind(const std::function<bool()>& found) {
    settle();
    if (found()) return true;
    auto scrollView = searchedList();
    if (!scrollView) return false;
    const CGPoint start = scrollView->contentOffset();
    // A screen at a time, less a little, so no row falls between two looks.
    const CGFloat step = std::max<CGFloat>(scrollView->bounds().size.height * 0.8, 1);
    for (bool towardsEnd : {false, true}) {
        for (;;) {
            const CGFloat toEdge = scrollView->verticalDragToRestingEdge(towardsEnd);
            if (std::fabs(toEdge) < 1) break;
            const CGFloat distance = towardsEnd ? std::min(step, toEdge) : std::max(-step, toEdge);
            if (!drag(scrollView, {0, distance}, "scrollToFind")) break;
            if (found()) return true;
        }
    }
    // Nothing found: the list goes back to where it was.
    scrollView->setContentOffset(start);
    settle();
    return false;
}

Ref<UIScrollView> UIDriver::searchedList() const {
    auto window = keyWindow();
    return window ? largestVerticalScrollView(window, window) : nullptr;
}

bool UIDriver::scrollToRow(const Ref<UITableView>& table, NSIndexPath indexPath) {
    settle();
    if (!table || table->window() != keyWindow()) return fail("scrollToRow: the table is not in the key window");
    if (indexPath.row() < 0 || indexPath.row() >= table->numberOfRowsInSection(indexPath.section()))
        return fail("scrollToRow: the table has no row " + indexPath.description());
    for (int attempt = 0; attempt < kScrollToRowAttempts; ++attempt) {
        CGFloat distance = distanceToShow(table, table->rectForRowAtIndexPath(indexPath));
        if (distance == 0) return true;
        if (!drag(table, {0, distance}, "scrollToRow")) return false;
    }
    return distanceToShow(table, table->rectForRowAtIndexPath(indexPath)) == 0 ||
           fail("scrollToRow: row " + indexPath.description() + " does not come fully into view");
}

bool UIDriver::selectRow(const Ref<UITableView>& table, NSIndexPath indexPath) {
    if (!scrollToRow(table, indexPath)) return false;
    auto cell = table->cellForRowAtIndexPath(indexPath);
    if (!cell) return fail("selectRow: row " + indexPath.description() + " has no cell on screen");
    CGRect bounds = cell->bounds();
    auto window = keyWindow();
    return deliverTap(window, cell->convertPointToView({CGRectGetMidX(bounds), CGRectGetMidY(bounds)}, window));
}

bool UIDriver::pull(const Ref<UIView>& view, bool down) {
    settle();
    auto scrollView = scrollViewFor(view);
    std::string action = down ? "pullDown" : "pullUp";
    if (!scrollView) return fail(action + ": no list there");
    // Rows measured on the way (or re-estimated by a reload) move the end,
    // so the content is first brought to rest at its end, then pulled past it.
    for (int attempt = 0; !down && attempt < kScrollToRowAttempts; ++attempt) {
        const CGFloat toEnd = scrollView->verticalDragToRestingEdge(true);
        if (std::fabs(toEnd) < 1) break;
        if (!drag(scrollView, {0, toEnd}, action)) return false;
    }
    CGFloat distance = down ? scrollView->verticalDragToRestingEdge(false) - kPullDistance
                            : scrollView->verticalDragToRestingEdge(true) + kPullDistance;
    return drag(scrollView, {0, distance}, action);
}

bool UIDriver::pullDown(const Ref<UIView>& view) { return pull(view, true); }

bool UIDriver::pullUp(const Ref<UIView>& view) { return pull(view, false); }
