#pragma once

#include <array>

#include "app/stats/KXOpenServiceInfoProtocol.h"
#include "app/stats/KXOpenServiceModel.h"
#include "uikit/UICollectionReusableView.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableViewCell.h"

// A row of the server-opening schedule: a white card with the game's icon,
// name, opening time and server (joined without a separator), a star with
// the score, the type, up to three coloured tags (four or more show none)
// and a strip of screenshots fed by the row's own `collectionProtocol`.
class KXOpenServiceGameCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    Ref<UIView> bgView() const { return bgView_; }
    Ref<UIImageView> gameImageView() const { return gameImageView_; }
    Ref<UILabel> nameLabel() const { return nameLabel_; }
    Ref<UILabel> serviceLabel() const { return serviceLabel_; }
    Ref<UIImageView> starIamgeView() const { return starIamgeView_; }
    Ref<UILabel> scoreLabel() const { return scoreLabel_; }
    Ref<UILabel> typeLabel() const { return typeLabel_; }
    Ref<UILabel> tagOneLabel() const { return tagLabels_[0]; }
    Ref<UILabel> tagTwoLabel() const { return tagLabels_[1]; }
    Ref<UILabel> tagThreeLabel() const { return tagLabels_[2]; }
    Ref<UICollectionView> collectionView() const { return collectionView_; }
    const Ref<KXOpenServiceInfoProtocol>& collectionProtocol() const { return collectionProtocol_; }

    const Ref<KXOpenServiceModel>& model() const { return model_; }
    // Sets the row's opening and fills the row from it (null clears it).
    void setModel(Ref<KXOpenServiceModel> model);

    std::string className() const override { return "KXOpenServiceGameCell"; }

protected:
    void didCreate() override;

private:
    void setUpViews();
    void setUpConstraints();
    void showTags(const std::vector<std::string>& tags);

    Ref<UIView> bgView_;
    Ref<UIImageView> gameImageView_;
    Ref<UILabel> nameLabel_;
    Ref<UILabel> serviceLabel_;
    Ref<UIImageView> starIamgeView_;
    Ref<UILabel> scoreLabel_;
    Ref<UILabel> typeLabel_;
    std::array<Ref<UILabel>, 3> tagLabels_;
    Ref<UICollectionView> collectionView_;
    Ref<KXOpenServiceInfoProtocol> collectionProtocol_ = make<KXOpenServiceInfoProtocol>();
    Ref<KXOpenServiceModel> model_;
};

// A screenshot of the strip: its picture fills the cell, rounded.
class KXOpenServiceInfoImageCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;
    Ref<UIImageView> imageView() const { return imageView_; }
    std::string className() const override { return "KXOpenServiceInfoImageCell"; }

protected:
    void didCreate() override;

private:
    Ref<UIImageView> imageView_;
};

// A game header with a rounded icon; no screen shows it.
class KXOpenServiceGameHeader : public UICollectionReusableView {
public:
    using UICollectionReusableView::UICollectionReusableView;
    Ref<UIImageView> gameImageView() const { return gameImageView_; }
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    std::string className() const override { return "KXOpenServiceGameHeader"; }

protected:
    void didCreate() override;

private:
    Ref<UIImageView> gameImageView_;
    Ref<UILabel> titleLabel_;
};
