#pragma once

#include <optional>

#include "foundation/NSIndexPath.h"
#include "uikit/UIView.h"
#include "uikit/UIWindow.h"

// The index path of the cell a tap at a point of a list's bounds landed in,
// by the window's one hit test (the one that sent the tap there): walking up
// from the touched view, the first view that `pathOf` knows as one of the
// list's cells; none when the touched view lies in none (a view over a row
// took the tap, or a control of one row whose larger touch area reaches over
// the next let it pass), so no other row is selected. A list tapped directly,
// where the hit test does not land in it (no window, a hidden one), answers
// `underPoint`.
template <class PathOf>
std::optional<NSIndexPath> indexPathTouchedAt(const Ref<UIView>& list, CGPoint point, PathOf pathOf,
                                              std::optional<NSIndexPath> underPoint) {
    auto window = list->window();
    if (!window) return underPoint;
    std::optional<NSIndexPath> path;
    for (auto view = window->hitTest(list->convertPointToView(point, window)); view; view = view->superview()) {
        if (view == list) return path;
        if (!path) path = pathOf(view);
    }
    return underPoint;
}
