#pragma once

#include <vector>

#include <optional>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "uikit/NSLayoutConstraint.h"

class LayoutIsland;
class UILayoutGuide;

// What a view keeps for constraint layout; made on first use, so views that
// never meet a constraint carry one null pointer.
struct ViewConstraintState {
    bool translatesAutoresizingMaskIntoConstraints = true;
    // Installed on this view.
    std::vector<Ref<NSLayoutConstraint>> constraints;
    // By UILayoutConstraintAxis.
    UILayoutPriority contentHugging[2] = {UILayoutPriorityDefaultLow, UILayoutPriorityDefaultLow};
    UILayoutPriority compressionResistance[2] = {UILayoutPriorityDefaultHigh, UILayoutPriorityDefaultHigh};
    bool needsUpdateConstraints = false;
    // The intrinsic content size as last measured, and the width the view
    // had then (a wrapping label's height depends on it); dropped when the
    // view invalidates its intrinsic size.
    struct Measurement {
        CGSize size;
        CGFloat atWidth;
    };
    std::optional<Measurement> intrinsicSize;
    // The constraints solved together with those of this view.
    Ref<LayoutIsland> island;
    Ref<UILayoutGuide> safeAreaLayoutGuide;
};
