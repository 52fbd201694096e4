#pragma once

#include <functional>

#include "foundation/StoredBlock.h"
#include "uikit/UIView.h"

// A view that runs a block when tapped: what bars and alerts draw their
// buttons with (bar button items, the back button, tab bar items, alert
// actions). The driver finds it by its accessibility label.
class TappableView : public UIView {
public:
    using UIView::UIView;

    void setTapHandler(StoredBlock<void()> handler) { tapHandler_ = std::move(handler); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    // Runs the handler when enabled.
    bool handleTapAt(CGPoint point) override;

private:
    StoredBlock<void()> tapHandler_;
    bool enabled_ = true;
};
