#pragma once

#include <vector>

#include "uikit/UIView.h"

// What the bar writes over itself; only None is drawn here.
enum class YLProgressBarIndicatorTextDisplayMode { None = 0, Track = 1, Progress = 2 };

// A horizontal progress bar: a track in `trackTintColor`, and over it, from
// the left, the filled part in the progress tint colours (one colour flat,
// several as a left-to-right gradient; `progressStretch` spreads the gradient
// over the filled part instead of the whole track). The filled part sits
// `progressBarInset` inside the track; both have `cornerRadius`. Unless
// hidden, diagonal stripes run over the filled part and a gloss over its
// upper half.
//
// `progress` is kept between 0 (empty) and 1 (full): values beyond are
// pinned to the nearer end, and a value that is not a number (a ratio with
// a zero divisor) empties the bar.
class YLProgressBar : public UIView {
public:
    using UIView::UIView;

    CGFloat progress() const { return progress_; }
    void setProgress(CGFloat progress);
    void setProgress(CGFloat progress, bool animated);

    const std::vector<UIColor>& progressTintColors() const { return progressTintColors_; }
    void setProgressTintColors(std::vector<UIColor> colors);
    UIColor trackTintColor() const { return trackTintColor_; }
    void setTrackTintColor(UIColor color);
    CGFloat cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(CGFloat radius);
    CGFloat progressBarInset() const { return progressBarInset_; }
    void setProgressBarInset(CGFloat inset);
    bool hideStripes() const { return hideStripes_; }
    void setHideStripes(bool hide);
    bool hideGloss() const { return hideGloss_; }
    void setHideGloss(bool hide);
    bool progressStretch() const { return progressStretch_; }
    void setProgressStretch(bool stretch);
    YLProgressBarIndicatorTextDisplayMode indicatorTextDisplayMode() const { return indicatorTextDisplayMode_; }
    void setIndicatorTextDisplayMode(YLProgressBarIndicatorTextDisplayMode mode) { indicatorTextDisplayMode_ = mode; }

    // The filled part in the bar's own space (zero width when empty).
    CGRect progressRect() const;

    void drawRect(CGRect rect) override;

protected:
    void didCreate() override;

private:
    CGFloat progress_ = 0;
    std::vector<UIColor> progressTintColors_;
    UIColor trackTintColor_ = UIColor::colorWithWhite(0.92, 1);
    CGFloat cornerRadius_ = 0;
    CGFloat progressBarInset_ = 0;
    bool hideStripes_ = false;
    bool hideGloss_ = false;
    bool progressStretch_ = true;
    YLProgressBarIndicatorTextDisplayMode indicatorTextDisplayMode_ = YLProgressBarIndicatorTextDisplayMode::None;
};
