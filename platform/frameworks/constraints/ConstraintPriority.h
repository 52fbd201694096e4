#pragma once

#include "uikit/NSLayoutConstraint.h"

// The named priorities of the Swift-style DSL: `.priority(ConstraintPriority::high)`.
struct ConstraintPriority {
    static constexpr UILayoutPriority required = UILayoutPriorityRequired;
    static constexpr UILayoutPriority high = UILayoutPriorityDefaultHigh;
    static constexpr UILayoutPriority medium = 500;
    static constexpr UILayoutPriority low = UILayoutPriorityDefaultLow;
};
