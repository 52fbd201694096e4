#pragma once

#include <string>

#include "uikit/UIView.h"

// A horizontal progress bar: a rounded grey track with a rounded red bar
// that animates to the fraction given.
class ZYProGressView : public UIView {
public:
    using UIView::UIView;

    // The fraction to show, as text read as a float (0 to 1): the bar
    // animates from its current width to that share of the track over
    // `time` seconds (3 when no time was set).
    const std::string& progressValue() const { return progressValue_; }
    void setProgressValue(std::string value);
    const UIColor& progressColor() const { return progressColor_; }
    void setProgressColor(const UIColor& color);
    const UIColor& bottomColor() const { return bottomColor_; }
    void setBottomColor(const UIColor& color);
    // The animation's duration in seconds; 0 until set.
    float time() const { return time_; }
    void setTime(float time) { time_ = time; }

    // The bar and the track.
    const Ref<UIView>& viewTop() const { return viewTop_; }
    const Ref<UIView>& viewBottom() const { return viewBottom_; }

protected:
    void didCreate() override;

private:
    void buildUI();

    Ref<UIView> viewTop_;
    Ref<UIView> viewBottom_;
    std::string progressValue_;
    UIColor progressColor_ = UIColor::redColor();
    UIColor bottomColor_ = UIColor::grayColor();
    float time_ = 0;
};
