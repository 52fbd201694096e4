#include "uikit/UIButton.h"

#include <algorithm>
#include <cmath>

namespace {

UIButton::PointInsideRule& pointInsideRule() {
    static UIButton::PointInsideRule rule;
    return rule;
}

// How far an inset moves an element placed by the horizontal alignment.
CGFloat horizontalShift(UIControlContentHorizontalAlignment alignment, const UIEdgeInsets& insets) {
    switch (alignment) {
        case UIControlContentHorizontalAlignment::Left:
        case UIControlContentHorizontalAlignment::Leading:
        case UIControlContentHorizontalAlignment::Fill:
            return insets.left;
        case UIControlContentHorizontalAlignment::Right:
        case UIControlContentHorizontalAlignment::Trailing:
            return -insets.right;
        case UIControlContentHorizontalAlignment::Center:
            break;
    }
    return (insets.left - insets.right) / 2;
}

// The element's top and height in the content rectangle.
std::pair<CGFloat, CGFloat> placeVertically(UIControlContentVerticalAlignment alignment, CGRect content, CGFloat height,
                                            const UIEdgeInsets& insets) {
    CGFloat top = CGRectGetMinY(content);
    switch (alignment) {
        case UIControlContentVerticalAlignment::Top: return {top + insets.top, height};
        case UIControlContentVerticalAlignment::Bottom:
            return {top + content.size.height - height - insets.bottom, height};
        case UIControlContentVerticalAlignment::Fill:
            return {top + insets.top, content.size.height - insets.top - insets.bottom};
        case UIControlContentVerticalAlignment::Center: break;
    }
    return {top + (content.size.height - height) / 2 + (insets.top - insets.bottom) / 2, height};
}

}  // namespace

Ref<UIButton> UIButton::buttonWithType(UIButtonType type) {
    auto button = make<UIButton>();
    button->type_ = type;
    button->updateContent();
    return button;
}

void UIButton::didCreate() {
    UIControl::didCreate();
    titleLabel_ = make<UILabel>();
    titleLabel_->setFont(UIFont::systemFontOfSize(15));
    titleLabel_->setLineBreakMode(NSLineBreakMode::ByTruncatingMiddle);
    titleLabel_->setHidden(true);
    imageView_ = make<UIImageView>();
    imageView_->setHidden(true);
    addSubview(imageView_);
    addSubview(titleLabel_);
    updateContent();
}

// --- Content by state ---

void UIButton::setTitle(std::optional<std::string> title, UIControlState state) {
    titles_.set(std::move(title), state);
    updateContent();
}

std::optional<std::string> UIButton::titleForState(UIControlState state) const { return titles_.get(state); }

void UIButton::setTitleColor(std::optional<UIColor> color, UIControlState state) {
    titleColors_.set(color, state);
    updateContent();
}

UIColor UIButton::titleColorForState(UIControlState state) const {
    if (auto color = titleColors_.get(state)) return *color;
    if (type_ == UIButtonType::Custom) return UIColor::whiteColor();
    if (state & UIControlStateDisabled) return UIColor::colorWithWhite(0.56, 1);
    UIColor tint = tintColor();
    return state & UIControlStateHighlighted ? tint.colorWithAlphaComponent(0.2) : tint;
}

void UIButton::setImage(const Ref<UIImage>& image, UIControlState state) {
    images_.set(image ? std::optional(image) : std::nullopt, state);
    updateContent();
}

Ref<UIImage> UIButton::imageForState(UIControlState state) const { return images_.get(state).value_or(nullptr); }

void UIButton::setBackgroundImage(const Ref<UIImage>& image, UIControlState state) {
    backgroundImages_.set(image ? std::optional(image) : std::nullopt, state);
    updateContent();
}

Ref<UIImage> UIButton::backgroundImageForState(UIControlState state) const {
    return backgroundImages_.get(state).value_or(nullptr);
}

void UIButton::setAttributedTitle(std::optional<NSAttributedString> title, UIControlState state) {
    attributedTitles_.set(std::move(title), state);
    updateContent();
}

std::optional<NSAttributedString> UIButton::attributedTitleForState(UIControlState state) const {
    return attributedTitles_.get(state);
}

std::optional<std::string> UIButton::currentTitle() const {
    if (auto attributed = currentAttributedTitle()) return attributed->string();
    return titleForState(state());
}

void UIButton::stateDidChange() { updateContent(); }

void UIButton::updateContent() {
    if (!titleLabel_) return;
    UIControlState current = state();
    if (auto attributed = currentAttributedTitle()) {
        titleLabel_->setAttributedText(attributed);
    } else {
        titleLabel_->setText(titleForState(current).value_or(""));
    }
    titleLabel_->setTextColor(titleColorForState(current));
    titleLabel_->setHidden(titleLabel_->text().empty());

    Ref<UIImage> image = currentImage();
    imageView_->setImage(image);
    imageView_->setHidden(!image);
    // A state without an image of its own shows the normal image dimmed.
    bool ownImage = images_.values.count(current) > 0;
    bool dim = !ownImage && (((current & UIControlStateHighlighted) && adjustsImageWhenHighlighted_) ||
                             ((current & UIControlStateDisabled) && adjustsImageWhenDisabled_));
    imageView_->setAlpha(dim ? 0.5 : 1);
    setNeedsLayout();
    invalidateIntrinsicContentSize();
}

// --- Layout ---

void UIButton::setContentEdgeInsets(UIEdgeInsets insets) {
    contentEdgeInsets_ = insets;
    invalidateIntrinsicContentSize();
}

void UIButton::setTitleEdgeInsets(UIEdgeInsets insets) {
    titleEdgeInsets_ = insets;
    setNeedsLayout();
}

void UIButton::setImageEdgeInsets(UIEdgeInsets insets) {
    imageEdgeInsets_ = insets;
    setNeedsLayout();
}

void UIButton::setAdjustsImageWhenHighlighted(bool adjusts) {
    adjustsImageWhenHighlighted_ = adjusts;
    updateContent();
}

void UIButton::setAdjustsImageWhenDisabled(bool adjusts) {
    adjustsImageWhenDisabled_ = adjusts;
    updateContent();
}

CGSize UIButton::titleSize() const {
    if (!titleLabel_ || titleLabel_->text().empty()) return CGSizeZero;
    return titleLabel_->sizeThatFits(CGSizeZero);
}

UIButton::Placement UIButton::placeContent(CGRect content) const {
    Ref<UIImage> image = currentImage();
    CGSize imageSize = image ? image->size() : CGSizeZero;
    CGSize title = titleSize();
    auto horizontal = contentHorizontalAlignment();
    CGFloat room = content.size.width - imageSize.width - titleEdgeInsets_.left - titleEdgeInsets_.right;
    title.width = horizontal == UIControlContentHorizontalAlignment::Fill ? std::max(0.0, room)
                                                                          : std::clamp(title.width, 0.0, std::max(0.0, room));
    CGFloat group = imageSize.width + title.width;
    CGFloat left = CGRectGetMinX(content);
    switch (horizontal) {
        case UIControlContentHorizontalAlignment::Right:
        case UIControlContentHorizontalAlignment::Trailing:
            left += content.size.width - group;
            break;
        case UIControlContentHorizontalAlignment::Center: left += (content.size.width - group) / 2; break;
        default: break;
    }
    auto vertical = contentVerticalAlignment();
    auto [imageTop, imageHeight] = placeVertically(vertical, content, imageSize.height, imageEdgeInsets_);
    auto [titleTop, titleHeight] = placeVertically(vertical, content, title.height, titleEdgeInsets_);
    return {CGRectMake(left + horizontalShift(horizontal, imageEdgeInsets_), imageTop, imageSize.width, imageHeight),
            CGRectMake(left + imageSize.width + horizontalShift(horizontal, titleEdgeInsets_), titleTop, title.width,
                       titleHeight)};
}

CGRect UIButton::contentRectForBounds(CGRect bounds) { return UIEdgeInsetsInsetRect(bounds, contentEdgeInsets_); }

CGRect UIButton::titleRectForContentRect(CGRect contentRect) { return placeContent(contentRect).title; }

CGRect UIButton::imageRectForContentRect(CGRect contentRect) { return placeContent(contentRect).image; }

void UIButton::layoutSubviews() {
    UIControl::layoutSubviews();
    CGRect content = contentRectForBounds(bounds());
    imageView_->setFrame(imageRectForContentRect(content));
    titleLabel_->setFrame(titleRectForContentRect(content));
}

CGSize UIButton::intrinsicContentSize() {
    Ref<UIImage> image = currentImage();
    CGSize imageSize = image ? image->size() : CGSizeZero;
    CGSize title = titleSize();
    return {imageSize.width + title.width + contentEdgeInsets_.left + contentEdgeInsets_.right,
            std::max(imageSize.height, title.height) + contentEdgeInsets_.top + contentEdgeInsets_.bottom};
}

CGSize UIButton::sizeThatFits(CGSize) {
    CGSize size = intrinsicContentSize();
    if (Ref<UIImage> background = currentBackgroundImage()) {
        size.width = std::max(size.width, background->size().width);
        size.height = std::max(size.height, background->size().height);
    }
    return size;
}

// --- Drawing and touches ---

void UIButton::drawRect(CGRect) {
    if (Ref<UIImage> background = currentBackgroundImage()) background->drawInRect(backgroundRectForBounds(bounds()));
}

std::string UIButton::accessibilityLabel() const {
    std::string explicitLabel = UIView::accessibilityLabel();
    return explicitLabel.empty() ? currentTitle().value_or("") : explicitLabel;
}

bool UIButton::pointInside(CGPoint point, UIEvent* event) {
    if (const auto& rule = pointInsideRule()) return rule(*this, point);
    return UIControl::pointInside(point, event);
}

void UIButton::setPointInsideRule(PointInsideRule rule) { pointInsideRule() = std::move(rule); }
