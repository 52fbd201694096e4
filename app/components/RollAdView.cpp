#include "app/components/RollAdView.h"

#include "foundation/NSRunLoop.h"
#include "uikit/UITapGestureRecognizer.h"

namespace {
constexpr double kSlideSeconds = 1.0;
constexpr double kHeadImageGap = 10;
}  // namespace

void RollAdView::didCreate() {
    UIView::didCreate();
    margin_ = 0;
    setClipsToBounds(true);
    setTime(2.0);
    headImageView_ = make<UIImageView>();

    oneLabel_ = make<UILabel>();
    oneLabel_->setText(adTitles_.empty() ? std::string() : adTitles_.front());
    oneLabel_->setFont(labelFont_);
    oneLabel_->setTextAlignment(textAlignment_);
    oneLabel_->setTextColor(color_);
    addSubview(oneLabel_);

    twoLabel_ = make<UILabel>();
    twoLabel_->setFont(labelFont_);
    twoLabel_->setTextColor(color_);
    twoLabel_->setTextAlignment(textAlignment_);
    addSubview(twoLabel_);
}

RollAdView::~RollAdView() { invalidateTimer(); }

void RollAdView::layoutSubviews() {
    UIView::layoutSubviews();
    const CGFloat height = bounds().size.height;
    const CGFloat width = bounds().size.width;
    if (isHaveHeadImg_) {
        if (headImageView_) {
            addSubview(headImageView_);
            headImageView_->setFrame({0, 0, height, height});
        }
        margin_ = height + kHeadImageGap;
    } else {
        if (headImageView_) headImageView_->removeFromSuperview();
        headImageView_ = nullptr;
        margin_ = 0;
    }
    // The line of the current text in view, the other parked below. (A
    // layout pass between steps, as a label's new text brings, must not put
    // the previous text back in view.)
    currentLabel()->setFrame({margin_, 0, width, height});
    (currentLabel() == oneLabel_ ? twoLabel_ : oneLabel_)->setFrame({margin_, height, width, height});
}

Ref<NSTimer> RollAdView::timer() {
    if (!timer_) {
        WeakRef<RollAdView> weakSelf = self<RollAdView>();
        timer_ = NSTimer::timerWithTimeInterval(time_, true, [weakSelf](const Ref<NSTimer>&) {
            if (auto view = weakSelf.lock()) view->timeRepeat();
        });
    }
    return timer_;
}

void RollAdView::invalidateTimer() {
    if (timer_ && timer_->isValid()) {
        timer_->invalidate();
        timer_ = nullptr;
    }
}

void RollAdView::beginScroll() {
    invalidateTimer();
    NSRunLoop::mainRunLoop()->addTimer(timer(), NSDefaultRunLoopMode);
}

void RollAdView::closeScroll() {
    if (timer_) timer_->invalidate();
    timer_ = nullptr;
}

void RollAdView::setTime(double seconds) {
    time_ = seconds;
    invalidateTimer();
}

void RollAdView::timeRepeat() {
    if (adTitles_.empty()) return;
    index_ = index_ + 1 >= adTitles_.size() ? 0 : index_ + 1;
    currentLabel()->setText(adTitles_[index_]);

    const CGFloat height = bounds().size.height;
    const CGFloat width = bounds().size.width;
    const Ref<UILabel> incoming = currentLabel();
    const Ref<UILabel> outgoing = incoming == oneLabel_ ? twoLabel_ : oneLabel_;
    const double margin = margin_;
    UIView::animateWithDuration(
        kSlideSeconds,
        [&] {
            incoming->setFrame({margin, 0, width, height});
            outgoing->setFrame({margin, -height, width, height});
        },
        [outgoing, margin, width, height](bool) { outgoing->setFrame({margin, height, width, height}); });
}

void RollAdView::setIsHaveTouchEvent(bool have) {
    isHaveTouchEvent_ = have;
    setUserInteractionEnabled(have);
    if (have) addGestureRecognizer(make<UITapGestureRecognizer>(self<RollAdView>(), &RollAdView::clickEvent));
}

void RollAdView::clickEvent(const Ref<UIGestureRecognizer>&) {
    if (!clickAdBlock_) return;
    const std::string& shown = currentLabel()->text();
    // One tap is one report, however many titles share the text shown.
    for (const auto& title : adTitles_) {
        if (title == shown) {
            clickAdBlock_(index_);
            return;
        }
    }
}

void RollAdView::setHeadImg(const Ref<UIImage>& image) {
    headImg_ = image;
    if (headImageView_) headImageView_->setImage(image);
}

void RollAdView::setLabelFont(const UIFont& font) {
    labelFont_ = font;
    oneLabel_->setFont(font);
    twoLabel_->setFont(font);
}

void RollAdView::setColor(const UIColor& color) {
    color_ = color;
    oneLabel_->setTextColor(color);
    twoLabel_->setTextColor(color);
}

void RollAdView::setTextAlignment(NSTextAlignment alignment) {
    textAlignment_ = alignment;
    oneLabel_->setTextAlignment(alignment);
    twoLabel_->setTextAlignment(alignment);
}
