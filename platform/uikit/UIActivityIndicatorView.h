#pragma once

#include <optional>

#include "graphics/UIColor.h"
#include "uikit/UIView.h"

enum class UIActivityIndicatorViewStyle { WhiteLarge = 0, White = 1, Gray = 2, Medium = 100, Large = 101 };

// The spinning busy indicator: a ring of twelve spokes fading round, in the
// style's colour unless one is set. Large styles are 37 points square, the
// others 20. With hidesWhenStopped (the default) it is hidden while it does
// not animate. Not interactive.
class UIActivityIndicatorView : public UIView {
public:
    explicit UIActivityIndicatorView(UIActivityIndicatorViewStyle style = UIActivityIndicatorViewStyle::White);

    UIActivityIndicatorViewStyle activityIndicatorViewStyle() const { return style_; }
    void setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle style);
    UIColor color() const;
    void setColor(std::optional<UIColor> color) { color_ = color; }
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool hides);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }

    CGSize sizeThatFits(CGSize) override { return intrinsicContentSize(); }
    CGSize intrinsicContentSize() override;
    void drawRect(CGRect rect) override;

protected:
    void didCreate() override;

private:
    void updateVisibility();

    UIActivityIndicatorViewStyle style_;
    std::optional<UIColor> color_;
    bool hidesWhenStopped_ = true;
    bool animating_ = false;
};
