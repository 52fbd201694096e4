#include "kits/pal/PalApi/PalApiInterface/UINotifyView.h"

#include <limits>

#include "graphics/NSStringDrawing.h"
#include "kits/pal/PalApi/PalApiLog.h"
#include "uikit/CALayer.h"

namespace {

const UIFont& textFont() {
    static const UIFont font = UIFont::boldSystemFontOfSize(14);
    return font;
}

}  // namespace

Ref<UINotifyView> UINotifyView::notifyViewWithImage(const Ref<UIImage>& image, std::optional<std::string> text) {
    return make<UINotifyView>(image, std::move(text));
}

UINotifyView::UINotifyView(Ref<UIImage> image, std::optional<std::string> text)
    : UIView(defaultFrame()), image_(std::move(image)), text_(std::move(text)) {}

void UINotifyView::didCreate() {
    UIView::didCreate();
    addSubview(backgroundView());
    addSubview(imageView());
    addSubview(textLabel());
    ajustTextAndImagePosition();
}

Ref<UIView> UINotifyView::backgroundView() {
    if (!backgroundView_) {
        backgroundView_ = make<UIView>(bounds());
        backgroundView_->layer()->setCornerRadius(roundness_);
        backgroundView_->layer()->setBorderWidth(1.0);
        backgroundView_->layer()->setBorderColor(borderColor_);
        backgroundView_->setBackgroundColor(UIColor::colorWithWhite(0, 0));
    }
    return backgroundView_;
}

Ref<UIImageView> UINotifyView::imageView() {
    if (!imageView_) {
        const CGSize size = image_ ? image_->size() : CGSize{};
        imageView_ = make<UIImageView>(CGRectMake(0, 0, size.width / 2, size.height / 2));
        imageView_->setBackgroundColor(UIColor::clearColor());
        if (image_) {
            imageView_->setImage(image_);
            imageView_->setAlpha(0);
        }
    }
    return imageView_;
}

Ref<UILabel> UINotifyView::textLabel() {
    if (!textLabel_) {
        textLabel_ = make<UILabel>(CGRectZero);
        textLabel_->setFont(textFont());
        textLabel_->setTextColor(UIColor::whiteColor());
        textLabel_->setAlpha(0);
        textLabel_->setBackgroundColor(UIColor::clearColor());
        textLabel_->setTextAlignment(NSTextAlignment::Center);
        textLabel_->setNumberOfLines(0);
        textLabel_->setText(text_.value_or(""));
    }
    return textLabel_;
}

void UINotifyView::ajustTextAndImagePosition() {
    const CGRect box = backgroundView()->bounds();
    const CGFloat textWidth =
        NSStringDrawing::boundingRectWithSize(text_.value_or(""), {std::numeric_limits<float>::max(), box.size.height},
                                              NSStringDrawingUsesLineFragmentOrigin, {.font = textFont()})
            .size.width;
    CGRect icon = imageView()->frame();
    icon.origin.x = (box.size.width - icon.size.width - textWidth) / 2;
    icon.origin.y = (box.size.height - icon.size.height) / 2;
    imageView()->setFrame(icon);
    textLabel()->setFrame(CGRectMake(icon.origin.x + icon.size.width, 0, textWidth, box.size.height));
}

void UINotifyView::setCurrentOpacity(double opacity) {
    imageView()->setAlpha(opacity > 0 ? 1 : 0);
    textLabel()->setAlpha(opacity > 0 ? 1 : 0);
    backgroundView()->setBackgroundColor(UIColor::colorWithWhite(0, opacity));
    currentOpacity_ = opacity;
}

void UINotifyView::setRoundness(double roundness) {
    roundness_ = roundness;
    if (backgroundView_) backgroundView_->layer()->setCornerRadius(roundness);
}

void UINotifyView::setBorderColor(UIColor color) {
    borderColor_ = color;
    backgroundView()->layer()->setBorderColor(color);
}

void UINotifyView::setText(std::optional<std::string> text) {
    text_ = std::move(text);
    textLabel()->setText(text_.value_or(""));
    ajustTextAndImagePosition();
}

void UINotifyView::setImage(Ref<UIImage> image) {
    image_ = std::move(image);
    imageView()->setImage(image_);
    ajustTextAndImagePosition();
}

void UINotifyView::presentWithDuration(double displayTime, double fadeTime, const Ref<UIView>&,
                                       std::function<void()> completion) {
    isAnimating_ = true;
    WeakRef<UINotifyView> weak = self<UINotifyView>();
    UIView::animateWithDuration(
        fadeTime, [weak] { if (auto toast = weak.lock()) toast->setCurrentOpacity(toast->destinationOpacity_); },
        [weak, displayTime, fadeTime, completion = std::move(completion)](bool finished) {
            auto toast = weak.lock();
            if (toast && finished) toast->fadeAfter(displayTime, fadeTime, completion);
        });
}

void UINotifyView::fadeAfter(double delay, double fadeTime, std::function<void()> completion) {
    WeakRef<UINotifyView> weak = self<UINotifyView>();
    performBlockAfterDelay(
        [weak, fadeTime, completion = std::move(completion)] {
            UIView::animateWithDuration(
                fadeTime, [weak] { if (auto toast = weak.lock()) toast->setCurrentOpacity(0); },
                [weak, completion](bool) {
                    if (auto toast = weak.lock()) toast->isAnimating_ = false;
                    if (completion) completion();
                });
        },
        delay);
}
