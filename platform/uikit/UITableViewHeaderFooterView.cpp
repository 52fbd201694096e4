#include "uikit/UITableViewHeaderFooterView.h"

#include <algorithm>

namespace {
constexpr CGFloat kMargin = 15;
}

void UITableViewHeaderFooterView::didCreate() {
    UIView::didCreate();
    contentView_ = make<UIView>(bounds());
    addSubview(contentView_);
}

Ref<UILabel> UITableViewHeaderFooterView::textLabel() {
    if (!textLabel_) {
        textLabel_ = make<UILabel>();
        textLabel_->setFont(UIFont::systemFontOfSize(13));
        textLabel_->setTextColor(UIColor::colorWithWhite(0.43, 1));
        contentView_->addSubview(textLabel_);
        setNeedsLayout();
    }
    return textLabel_;
}

CGSize UITableViewHeaderFooterView::systemLayoutSizeFittingSize(CGSize targetSize) {
    return {targetSize.width, contentView_->systemLayoutSizeFittingSize(targetSize, UILayoutPriorityRequired,
                                                                        UILayoutPriorityFittingSizeLevel)
                                  .height};
}

void UITableViewHeaderFooterView::layoutSubviews() {
    CGRect area = bounds();
    contentView_->setFrame(area);
    if (textLabel_)
        textLabel_->setFrame(CGRectMake(kMargin, 0, std::max<CGFloat>(0, area.size.width - 2 * kMargin), area.size.height));
}
