#pragma once

#include "app/tabs/mine/KXMineNavModel.h"
#include "uikit/UICollectionReusableView.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// The header above a Mine menu group: the group's icon and title, both on
// the header's bottom edge (the space above them parts the groups).
class KXMineHeaderView : public UICollectionReusableView {
public:
    using UICollectionReusableView::UICollectionReusableView;

    Ref<UIImageView> imageView() const { return imageView_; }
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    Ref<KXMineNavModel> model() const { return model_; }
    // Replaces the icon and the title (none without a group).
    void setModel(const Ref<KXMineNavModel>& model);

    std::string className() const override { return "KXMineHeaderView"; }

protected:
    void didCreate() override;

private:
    Ref<UIImageView> imageView_;
    Ref<UILabel> titleLabel_;
    Ref<KXMineNavModel> model_;
};

// The Mine tab's last row: "退出登录" centred. Its tap is the list's owner's.
class KXMineLogOutCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;

    Ref<UILabel> titleLabel() const { return titleLabel_; }

    std::string className() const override { return "KXMineLogOutCell"; }

protected:
    void didCreate() override;

private:
    Ref<UILabel> titleLabel_;
};

// One entry of a Mine menu group: its icon over its caption.
class KXMineFuncCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;

    Ref<UIImageView> imageView() const { return imageView_; }
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    Ref<KXMineDataModel> model() const { return model_; }
    // Loads the icon and shows the caption (nothing without an entry).
    void setModel(const Ref<KXMineDataModel>& model);

    std::string className() const override { return "KXMineFuncCell"; }

protected:
    void didCreate() override;

private:
    Ref<UIImageView> imageView_;
    Ref<UILabel> titleLabel_;
    Ref<KXMineDataModel> model_;
};
