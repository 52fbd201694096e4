#pragma once

#include <functional>
#include <string>
#include <vector>

#include "foundation/NSTimer.h"
#include "foundation/StoredBlock.h"
#include "graphics/UIImage.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// A one-line ticker of two alternating labels: every `time` seconds the next
// text slides up into view over one second while the old line slides out at
// the top and is parked below again. Optionally a square head image sits at
// the left. Idle until beginScroll; the timer runs in the default mode, so
// it pauses while another view is being scrolled.
class RollAdView : public UIView {
public:
    using ClickAdBlock = StoredBlock<void(unsigned long index)>;

    // initWithTitles: shows the first text at once.
    explicit RollAdView(std::vector<std::string> titles) : adTitles_(std::move(titles)) {}
    ~RollAdView() override;

    const Ref<UIImageView>& headImageView() const { return headImageView_; }
    const Ref<UILabel>& oneLabel() const { return oneLabel_; }
    const Ref<UILabel>& twoLabel() const { return twoLabel_; }
    // The step timer, made on first use and not yet scheduled.
    Ref<NSTimer> timer();

    const std::vector<std::string>& adTitles() const { return adTitles_; }
    void setAdTitles(std::vector<std::string> titles) { adTitles_ = std::move(titles); }
    const Ref<UIImage>& headImg() const { return headImg_; }
    void setHeadImg(const Ref<UIImage>& image);
    const UIFont& labelFont() const { return labelFont_; }
    void setLabelFont(const UIFont& font);
    const UIColor& color() const { return color_; }
    void setColor(const UIColor& color);
    double time() const { return time_; }
    // Stops a running timer, so that the next beginScroll uses the new interval.
    void setTime(double seconds);
    bool isHaveHeadImg() const { return isHaveHeadImg_; }
    // Used by the next layout pass.
    void setIsHaveHeadImg(bool have) { isHaveHeadImg_ = have; }
    bool isHaveTouchEvent() const { return isHaveTouchEvent_; }
    // With true, a tap on the widget raises clickAdBlock.
    void setIsHaveTouchEvent(bool have);
    void setClickAdBlock(ClickAdBlock block) { clickAdBlock_ = std::move(block); }
    NSTextAlignment textAlignment() const { return textAlignment_; }
    void setTextAlignment(NSTextAlignment alignment);

    // Index in adTitles of the text shown last.
    unsigned long index() const { return index_; }

    // Starts stepping with a fresh timer.
    void beginScroll();
    void closeScroll();
    // One step to the next text.
    void timeRepeat();
    void clickEvent(const Ref<UIGestureRecognizer>& recognizer);

    void layoutSubviews() override;

protected:
    void didCreate() override;

private:
    void invalidateTimer();
    Ref<UILabel> currentLabel() const { return index_ % 2 == 0 ? oneLabel_ : twoLabel_; }

    Ref<UIImageView> headImageView_;
    Ref<UILabel> oneLabel_, twoLabel_;
    Ref<NSTimer> timer_;
    std::vector<std::string> adTitles_;
    Ref<UIImage> headImg_;
    UIFont labelFont_ = UIFont::systemFontOfSize(16);
    UIColor color_ = UIColor::blackColor();
    double time_ = 0;
    bool isHaveHeadImg_ = false;
    bool isHaveTouchEvent_ = false;
    ClickAdBlock clickAdBlock_;
    NSTextAlignment textAlignment_ = NSTextAlignment::Left;
    unsigned long index_ = 0;
    double margin_ = 0;
};
