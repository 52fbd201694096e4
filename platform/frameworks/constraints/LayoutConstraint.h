#pragma once

#include "uikit/NSLayoutConstraint.h"

// A constraint made by one of the constraint DSLs; remaking and updating a
// view's constraints looks among these only.
class LayoutConstraint : public NSLayoutConstraint {
public:
    using NSLayoutConstraint::NSLayoutConstraint;
};
