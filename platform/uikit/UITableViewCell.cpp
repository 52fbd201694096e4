#include "uikit/UITableViewCell.h"

#include <algorithm>

#include "graphics/UIGraphics.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kMargin = 15;
// Room the built-in accessories (chevron, checkmark) take at the right.
constexpr CGFloat kStandardAccessoryWidth = 33;
constexpr CGFloat kValue2TitleWidth = 90;

UIColor selectionColor() { return UIColor::colorWithWhite(0.85, 1); }
UIColor detailGreyColor() { return UIColor::colorWithWhite(0.56, 1); }

}  // namespace

void UITableViewCell::didCreate() {
    UIView::didCreate();
    setBackgroundColor(UIColor::whiteColor());
    contentView_ = make<UIView>(bounds());
    addSubview(contentView_);
}

// --- Standard views ---

Ref<UILabel> UITableViewCell::textLabel() {
    if (!textLabel_) {
        textLabel_ = make<UILabel>();
        if (style_ == UITableViewCellStyle::Value2) {
            textLabel_->setFont(UIFont::boldSystemFontOfSize(12));
            textLabel_->setTextColor(tintColor());
            textLabel_->setTextAlignment(NSTextAlignment::Right);
        }
        contentView_->addSubview(textLabel_);
        setNeedsLayout();
    }
    return textLabel_;
}

Ref<UILabel> UITableViewCell::detailTextLabel() {
    if (style_ == UITableViewCellStyle::Default) return nullptr;
    if (!detailTextLabel_) {
        detailTextLabel_ = make<UILabel>();
        if (style_ == UITableViewCellStyle::Subtitle) {
            detailTextLabel_->setFont(UIFont::systemFontOfSize(12));
        } else if (style_ == UITableViewCellStyle::Value1) {
            detailTextLabel_->setTextColor(detailGreyColor());
            detailTextLabel_->setTextAlignment(NSTextAlignment::Right);
        } else {
            detailTextLabel_->setFont(UIFont::boldSystemFontOfSize(15));
        }
        contentView_->addSubview(detailTextLabel_);
        setNeedsLayout();
    }
    return detailTextLabel_;
}

Ref<UIImageView> UITableViewCell::imageView() {
    if (!imageView_) {
        imageView_ = make<UIImageView>();
        contentView_->addSubview(imageView_);
        setNeedsLayout();
    }
    return imageView_;
}

void UITableViewCell::setAccessoryType(UITableViewCellAccessoryType type) {
    accessoryType_ = type;
    setNeedsLayout();
}

void UITableViewCell::setAccessoryView(const Ref<UIView>& view) {
    if (accessoryView_) accessoryView_->removeFromSuperview();
    accessoryView_ = view;
    if (view) addSubview(view);
    setNeedsLayout();
}

// --- State ---

void UITableViewCell::setSelected(bool selected, bool) {
    selected_ = selected;
    updateSelectedBackground();
}

void UITableViewCell::setHighlighted(bool highlighted, bool) {
    highlighted_ = highlighted;
    updateSelectedBackground();
}

bool UITableViewCell::showsSelection() const {
    return (selected_ || highlighted_) && selectionStyle_ != UITableViewCellSelectionStyle::None;
}

void UITableViewCell::setSelectedBackgroundView(const Ref<UIView>& view) {
    if (selectedBackgroundView_) selectedBackgroundView_->removeFromSuperview();
    selectedBackgroundView_ = view;
    updateSelectedBackground();
}

void UITableViewCell::updateSelectedBackground() {
    if (!selectedBackgroundView_) return;
    if (!showsSelection()) {
        selectedBackgroundView_->removeFromSuperview();
        return;
    }
    selectedBackgroundView_->setFrame(bounds());
    if (selectedBackgroundView_->superview().get() != this) insertSubview(selectedBackgroundView_, 0);
}

void UITableViewCell::prepareForReuse() {
    setHighlighted(false, false);
    setSelected(false, false);
}

// --- Layout ---

CGFloat UITableViewCell::accessoryWidth() const {
    if (accessoryView_) return accessoryView_->frame().size.width + kMargin;
    return accessoryType_ == UITableViewCellAccessoryType::None ? 0 : kStandardAccessoryWidth;
}

CGSize UITableViewCell::systemLayoutSizeFittingSize(CGSize targetSize) {
    CGFloat contentWidth = std::max<CGFloat>(0, targetSize.width - accessoryWidth());
    CGSize content = contentView_->systemLayoutSizeFittingSize({contentWidth, targetSize.height}, UILayoutPriorityRequired,
                                                               UILayoutPriorityFittingSizeLevel);
    return {targetSize.width, content.height};
}

void UITableViewCell::layoutSubviews() {
    CGRect area = bounds();
    CGFloat accessory = accessoryWidth();
    contentView_->setFrame(CGRectMake(0, 0, std::max<CGFloat>(0, area.size.width - accessory), area.size.height));
    if (selectedBackgroundView_ && selectedBackgroundView_->superview().get() == this)
        selectedBackgroundView_->setFrame(area);
    if (accessoryView_) {
        CGSize size = accessoryView_->frame().size;
        accessoryView_->setFrame(CGRectMake(area.size.width - kMargin - size.width, (area.size.height - size.height) / 2,
                                            size.width, size.height));
    }
    layoutStandardViews(contentView_->bounds());
}

void UITableViewCell::layoutStandardViews(CGRect area) {
    CGFloat left = kMargin;
    if (imageView_ && imageView_->image()) {
        CGSize size = imageView_->sizeThatFits(area.size);
        size.height = std::min(size.height, area.size.height);
        imageView_->setFrame(CGRectMake(left, (area.size.height - size.height) / 2, size.width, size.height));
        left += size.width + kMargin;
    }
    CGFloat width = std::max<CGFloat>(0, area.size.width - left - kMargin);
    auto fittedHeight = [&](const Ref<UILabel>& label) { return label ? label->sizeThatFits({width, 0}).height : 0; };
    switch (style_) {
    case UITableViewCellStyle::Default:
        if (textLabel_) textLabel_->setFrame(CGRectMake(left, 0, width, area.size.height));
        break;
    case UITableViewCellStyle::Subtitle: {
        CGFloat titleHeight = fittedHeight(textLabel_), detailHeight = fittedHeight(detailTextLabel_);
        CGFloat top = (area.size.height - titleHeight - detailHeight) / 2;
        if (textLabel_) textLabel_->setFrame(CGRectMake(left, top, width, titleHeight));
        if (detailTextLabel_) detailTextLabel_->setFrame(CGRectMake(left, top + titleHeight, width, detailHeight));
        break;
    }
    case UITableViewCellStyle::Value1:
        if (textLabel_) textLabel_->setFrame(CGRectMake(left, 0, width, area.size.height));
        if (detailTextLabel_) detailTextLabel_->setFrame(CGRectMake(left, 0, width, area.size.height));
        break;
    case UITableViewCellStyle::Value2: {
        if (textLabel_) textLabel_->setFrame(CGRectMake(left, 0, kValue2TitleWidth, area.size.height));
        CGFloat detailLeft = left + kValue2TitleWidth + 6;
        if (detailTextLabel_)
            detailTextLabel_->setFrame(
                CGRectMake(detailLeft, 0, std::max<CGFloat>(0, area.size.width - detailLeft - kMargin), area.size.height));
        break;
    }
    }
}

// --- Drawing ---

void UITableViewCell::drawRect(CGRect) {
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    CGRect area = bounds();
    if (showsSelection() && !selectedBackgroundView_) {
        CGContextSetFillColorWithColor(context, selectionColor());
        CGContextFillRect(context, area);
    }
    if (!accessoryView_ && accessoryType_ != UITableViewCellAccessoryType::None) drawAccessory(area);
    if (separator_) {
        CGFloat hairline = 1 / UIScreen::mainScreen()->scale();
        UIEdgeInsets insets = separatorInset_.value_or(separator_->insets);
        CGContextSetFillColorWithColor(context, separator_->color);
        CGContextFillRect(context, CGRectMake(area.origin.x + insets.left, CGRectGetMaxY(area) - hairline,
                                              area.size.width - insets.left - insets.right, hairline));
    }
}

// A chevron for the disclosure kinds, a tick for the checkmark, in the
// accessory room at the right.
void UITableViewCell::drawAccessory(CGRect area) {
    auto context = UIGraphicsGetCurrentContext();
    CGFloat x = CGRectGetMaxX(area) - kMargin - 8, y = CGRectGetMidY(area);
    bool checkmark = accessoryType_ == UITableViewCellAccessoryType::Checkmark;
    CGContextSetStrokeColorWithColor(context, checkmark ? tintColor() : UIColor::colorWithWhite(0.78, 1));
    CGContextSetLineWidth(context, 2);
    if (checkmark) {
        CGContextMoveToPoint(context, x - 6, y);
        CGContextAddLineToPoint(context, x - 2, y + 5);
        CGContextAddLineToPoint(context, x + 6, y - 6);
    } else {
        CGContextMoveToPoint(context, x, y - 6);
        CGContextAddLineToPoint(context, x + 6, y);
        CGContextAddLineToPoint(context, x, y + 6);
    }
    CGContextStrokePath(context);
}
