#pragma once

#include <functional>

#include "app/tabs/mine/KXMineModel.h"
#include "foundation/StoredBlock.h"
#include "uikit/UIButton.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// The Mine tab's account card: avatar and name, the available balance with
// "提现" and "充值", the prepaid and the total promotion amounts, each shown
// exactly as the back end sent it. The two buttons raise their closures.
class KXMineTopCell : public UICollectionViewCell {
public:
    // The card's height in layout-scale units. 233 on the phone; our text
    // lines are taller than the phone's (most of all the 26- and 16-point
    // figures), so the card grows by the difference and the figures stay
    // above the bottom of the white plate drawn 5 units inside it.
    static constexpr CGFloat kHeight = 248;

    using UICollectionViewCell::UICollectionViewCell;

    Ref<UIImageView> imageView() const { return imageView_; }
    Ref<UILabel> nameLabel() const { return nameLabel_; }
    Ref<UILabel> balanceTitle() const { return balanceTitle_; }
    Ref<UILabel> balanceLabel() const { return balanceLabel_; }
    Ref<UIButton> withdrawalButton() const { return withdrawalButton_; }
    Ref<UIView> lineView() const { return lineView_; }
    Ref<UIButton> rechargeButton() const { return rechargeButton_; }
    Ref<UILabel> advanceTitle() const { return advanceTitle_; }
    Ref<UILabel> advanceLabel() const { return advanceLabel_; }
    Ref<UILabel> allPriceTitle() const { return allPriceTitle_; }
    Ref<UILabel> allPriceLabel() const { return allPriceLabel_; }

    Ref<KXMineModel> model() const { return model_; }
    // Refills the card, also with the same model or none (no model: the
    // figures and the name lose their texts).
    void setModel(const Ref<KXMineModel>& model);

    StoredBlock<void()> withdrawalButtonClick;
    StoredBlock<void()> rechargeButtonClick;
    // The buttons' actions: each raises its closure when it is set.
    void withdrawalButtonClicked();
    void rechargeButtonClicked();

    std::string className() const override { return "KXMineTopCell"; }

protected:
    void didCreate() override;

private:
    void makeConstraints();

    Ref<UIImageView> imageView_;
    Ref<UILabel> nameLabel_;
    Ref<UILabel> balanceTitle_;
    Ref<UILabel> balanceLabel_;
    Ref<UIButton> withdrawalButton_;
    Ref<UIView> lineView_;
    Ref<UIButton> rechargeButton_;
    Ref<UILabel> advanceTitle_;
    Ref<UILabel> advanceLabel_;
    Ref<UILabel> allPriceTitle_;
    Ref<UILabel> allPriceLabel_;
    Ref<KXMineModel> model_;
};
