#pragma once

#include "app/tabs/home/KXHomeModel.h"
#include "frameworks/slider/CircularSlider.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// The Home statistics card: four coloured tiles (new users, paid conversion
// rate with its ring, paying users, top-up amount) in two columns, tall over
// short on the left and short over tall on the right, and below them the
// title of the download chart. Setting `model` (nil before the first answer)
// shows the answer's figures as received and sets the ring to the rate.
class KXHomeDataCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;

    Ref<UIView> newUserBg() const { return newUserBg_; }
    Ref<UIImageView> newUserBgImageView() const { return newUserBgImageView_; }
    Ref<UIImageView> newUserImageView() const { return newUserImageView_; }
    Ref<UILabel> newUserTitleLabel() const { return newUserTitleLabel_; }
    Ref<UILabel> newUserLabel() const { return newUserLabel_; }
    Ref<UILabel> newUserSub() const { return newUserSub_; }
    Ref<UIImageView> conversionRateBg() const { return conversionRateBg_; }
    Ref<UIImageView> conversionRateImageView() const { return conversionRateImageView_; }
    Ref<CircularSlider> circularSlider() const { return circularSlider_; }
    Ref<UILabel> conversionRateTitleLabel() const { return conversionRateTitleLabel_; }
    Ref<UILabel> conversionRateLabel() const { return conversionRateLabel_; }
    Ref<UILabel> conversionRatePercent() const { return conversionRatePercent_; }
    Ref<UIImageView> payNumBg() const { return payNumBg_; }
    Ref<UIImageView> payNumImageView() const { return payNumImageView_; }
    Ref<UILabel> payNumTitleLabel() const { return payNumTitleLabel_; }
    Ref<UILabel> payNumLabel() const { return payNumLabel_; }
    Ref<UILabel> payNumSub() const { return payNumSub_; }
    Ref<UIView> payPriceBg() const { return payPriceBg_; }
    Ref<UIImageView> payPriceBgImageView() const { return payPriceBgImageView_; }
    Ref<UIImageView> payPriceImageView() const { return payPriceImageView_; }
    Ref<UILabel> payPriceTitleLabel() const { return payPriceTitleLabel_; }
    Ref<UILabel> payPriceLabel() const { return payPriceLabel_; }
    Ref<UILabel> chartTitleLabel() const { return chartTitleLabel_; }

    const Ref<KXHomeModel>& model() const { return model_; }
    void setModel(Ref<KXHomeModel> model);

    std::string className() const override { return "KXHomeDataCell"; }

protected:
    void didCreate() override;

private:
    void setUpTiles();
    void setUpRing();
    void setUpConstraints();
    void showFigures();

    Ref<UIView> newUserBg_;
    Ref<UIImageView> newUserBgImageView_;
    Ref<UIImageView> newUserImageView_;
    Ref<UILabel> newUserTitleLabel_;
    Ref<UILabel> newUserLabel_;
    Ref<UILabel> newUserSub_;
    Ref<UIImageView> conversionRateBg_;
    Ref<UIImageView> conversionRateImageView_;
    Ref<CircularSlider> circularSlider_;
    Ref<UILabel> conversionRateTitleLabel_;
    Ref<UILabel> conversionRateLabel_;
    Ref<UILabel> conversionRatePercent_;
    Ref<UIImageView> payNumBg_;
    Ref<UIImageView> payNumImageView_;
    Ref<UILabel> payNumTitleLabel_;
    Ref<UILabel> payNumLabel_;
    Ref<UILabel> payNumSub_;
    Ref<UIView> payPriceBg_;
    Ref<UIImageView> payPriceBgImageView_;
    Ref<UIImageView> payPriceImageView_;
    Ref<UILabel> payPriceTitleLabel_;
    Ref<UILabel> payPriceLabel_;
    Ref<UILabel> chartTitleLabel_;
    Ref<KXHomeModel> model_;
};
