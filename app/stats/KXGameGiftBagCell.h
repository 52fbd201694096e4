#pragma once

#include "app/stats/KXGameGiftBagModel.h"
#include "frameworks/progressbar/YLProgressBar.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableViewCell.h"

// A row of the gift-bag list: a white card with the bag's image, the game
// name, one line of its description, the bar of codes handed out with the
// remaining share beside it, and "复制推广", which copies the bag's
// promotion link and toasts "复制成功" on the key window. Every row is
// 85 points (scaled) high. Setting `model` (null too) refills the row.
class KXGameGiftBagCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    Ref<UIView> bgView() const { return bgView_; }
    Ref<UIImageView> gameImageView() const { return gameImageView_; }
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    Ref<UILabel> contentLabel() const { return contentLabel_; }
    Ref<YLProgressBar> progressBar() const { return progressBar_; }
    Ref<UILabel> surplusLabel() const { return surplusLabel_; }
    Ref<UIButton> copyButton() const { return copyButton_; }

    const Ref<KXGameGiftBagModel>& model() const { return model_; }
    void setModel(Ref<KXGameGiftBagModel> model);
    void copyButtonClick(const Ref<UIButton>& sender);

    std::string className() const override { return "KXGameGiftBagCell"; }

protected:
    void didCreate() override;

private:
    void setUpViews();
    void setUpConstraints();

    Ref<UIView> bgView_;
    Ref<UIImageView> gameImageView_;
    Ref<UILabel> titleLabel_;
    Ref<UILabel> contentLabel_;
    Ref<YLProgressBar> progressBar_;
    Ref<UILabel> surplusLabel_;
    Ref<UIButton> copyButton_;
    Ref<KXGameGiftBagModel> model_;
};
