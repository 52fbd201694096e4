#pragma once

#include "uikit/UICollectionReusableView.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// A section header of the Home tab and of the ranking and type-statistics
// screens: an icon and a bold title at the left, and at the right a pill
// ("今日数据" with an arrow) that is built but stays hidden. The data source
// sets the title's text and the icon's image.
class KXHomeHeader : public UICollectionReusableView {
public:
    using UICollectionReusableView::UICollectionReusableView;

    Ref<UIImageView> imageView() const { return imageView_; }
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    Ref<UIView> rightBgView() const { return rightBgView_; }
    Ref<UILabel> rightTitleLabel() const { return rightTitleLabel_; }
    Ref<UIImageView> rightArrowImage() const { return rightArrowImage_; }

    std::string className() const override { return "KXHomeHeader"; }

protected:
    void didCreate() override;

private:
    void setUpViews();
    void setUpConstraints();

    Ref<UIImageView> imageView_;
    Ref<UILabel> titleLabel_;
    Ref<UIView> rightBgView_;
    Ref<UILabel> rightTitleLabel_;
    Ref<UIImageView> rightArrowImage_;
};
