#include "frameworks/segmented/JXSegmentedTitleCell.h"

#include "frameworks/segmented/JXSegmentedTitleItemModel.h"

void JXSegmentedTitleCell::commonInit() {
    JXSegmentedBaseCell::commonInit();
    titleLabel_ = make<UILabel>();
    titleLabel_->setTextAlignment(NSTextAlignment::Center);
    contentView()->addSubview(titleLabel_);
}

void JXSegmentedTitleCell::reloadData(const Ref<JXSegmentedBaseItemModel>& itemModel,
                                      JXSegmentedViewItemSelectedType selectedType) {
    JXSegmentedBaseCell::reloadData(itemModel, selectedType);
    auto title = cast<JXSegmentedTitleItemModel>(itemModel);
    if (!title) return;
    titleLabel_->setText(title->title);
    titleLabel_->setFont(title->isSelected ? title->titleSelectedFont : title->titleNormalFont);
    titleLabel_->setTextColor(title->titleCurrentColor);
    setNeedsLayout();
}

void JXSegmentedTitleCell::layoutSubviews() {
    JXSegmentedBaseCell::layoutSubviews();
    titleLabel_->sizeToFit();
    CGRect area = contentView()->bounds();
    titleLabel_->setCenter({CGRectGetMidX(area), CGRectGetMidY(area)});
}
