#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

class UIView;

// A rectangle of a view that constraints can refer to like a view. The one
// kind there is: a view's safe-area guide (UIView::safeAreaLayoutGuide), the
// view's bounds less its safe-area insets.
class UILayoutGuide : public NSObject {
public:
    explicit UILayoutGuide(const Ref<UIView>& owningView) : owningView_(owningView) {}

    Ref<UIView> owningView() const { return owningView_.lock(); }
    // In the owning view's space (origin at its bounds' origin ignored, as
    // constraints do); zero without an owning view.
    CGRect layoutFrame() const;

private:
    WeakRef<UIView> owningView_;
};
