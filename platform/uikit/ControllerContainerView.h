#pragma once

#include <functional>

#include "uikit/UIView.h"

// The root view of the container controllers (navigation, tab bar, alert):
// its layout pass hands over to the controller, which places the bars and
// the visible child's view.
class ControllerContainerView : public UIView {
public:
    using UIView::UIView;

    void setLayoutHandler(std::function<void()> handler) { layoutHandler_ = std::move(handler); }
    void layoutSubviews() override {
        if (layoutHandler_) layoutHandler_();
    }

private:
    std::function<void()> layoutHandler_;
};
