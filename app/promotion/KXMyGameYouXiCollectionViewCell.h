#pragma once

#include "app/promotion/KXPromoteGameModel.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// A card of the promoter's games grid: the icon with the share badge at its
// corner, the game type and share ratio side by side, a divider and the
// name. Lengths are drawn for a 375-point-wide screen and scaled with it.
class KXMyGameYouXiCollectionViewCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;

    // The card's size for the main screen: 96k x (86k + 66), k = width / 375.
    static CGSize itemSize();

    const Ref<KXPromoteGameModel>& model() const { return model_; }
    // Stores the model and shows it.
    void setModel(const Ref<KXPromoteGameModel>& model);

    const Ref<UIImageView>& icoiamgeView() const { return icoiamgeView_; }
    const Ref<UIImageView>& fenxianTubiaoImageView() const { return fenxianTubiaoImageView_; }
    const Ref<UILabel>& typeLabel() const { return typeLabel_; }
    const Ref<UILabel>& bilieLabel() const { return bilieLabel_; }
    const Ref<UILabel>& mingchengNameLabel() const { return mingchengNameLabel_; }
    const Ref<UIView>& hengxiangView() const { return hengxiangView_; }

protected:
    void didCreate() override;

private:
    void setupUI();

    Ref<KXPromoteGameModel> model_;
    Ref<UIImageView> icoiamgeView_;
    Ref<UIImageView> fenxianTubiaoImageView_;
    Ref<UILabel> typeLabel_;
    Ref<UILabel> bilieLabel_;
    Ref<UILabel> mingchengNameLabel_;
    Ref<UIView> hengxiangView_;
};
