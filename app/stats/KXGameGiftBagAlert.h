#pragma once

#include <functional>

#include "app/stats/KXGameGiftBagModel.h"
#include "foundation/StoredBlock.h"
#include "frameworks/popup/MMPopupView.h"
#include "frameworks/progressbar/YLProgressBar.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITapGestureRecognizer.h"

// One gift bag in detail, over the whole screen: a white card 148 points
// (scaled) from the top with the image (red until it has loaded, and red
// when it cannot be loaded), the game name, the bar with the remaining
// share, the whole description on a grey panel that grows with it, a wide
// "复制推广" and a small close button. A tap beside the card or on the close
// button hides the pop-up; copying puts the link on the pasteboard, toasts
// "复制成功" on the pop-up and keeps it open. It shows over the key window's
// root screen.
class KXGameGiftBagAlert : public MMPopupView {
public:
    using MMPopupView::MMPopupView;

    Ref<UIView> tapBgView() const { return tapBgView_; }
    Ref<UIView> bgView() const { return bgView_; }
    Ref<UIImageView> gameImageView() const { return gameImageView_; }
    Ref<UILabel> nameLabel() const { return nameLabel_; }
    Ref<YLProgressBar> progressBar() const { return progressBar_; }
    Ref<UILabel> surplusLabel() const { return surplusLabel_; }
    Ref<UIView> contentBgView() const { return contentBgView_; }
    Ref<UILabel> contentLabel() const { return contentLabel_; }
    Ref<UIButton> copyButton() const { return copyButton_; }
    Ref<UIButton> cancelButton() const { return cancelButton_; }

    const Ref<KXGameGiftBagModel>& model() const { return model_; }
    void setModel(Ref<KXGameGiftBagModel> model);
    // Kept for callers; the pop-up itself never calls it.
    StoredBlock<void()> close;

    void bacgroundTap(const Ref<UITapGestureRecognizer>& recognizer);
    void cancelButtonClick(const Ref<UIButton>& sender);
    void copyButtonClick(const Ref<UIButton>& sender);

    std::string className() const override { return "KXGameGiftBagAlert"; }

protected:
    void didCreate() override;

private:
    void setUpViews();
    void setUpConstraints();

    Ref<UIView> tapBgView_;
    Ref<UIView> bgView_;
    Ref<UIImageView> gameImageView_;
    Ref<UILabel> nameLabel_;
    Ref<YLProgressBar> progressBar_;
    Ref<UILabel> surplusLabel_;
    Ref<UIView> contentBgView_;
    Ref<UILabel> contentLabel_;
    Ref<UIButton> copyButton_;
    Ref<UIButton> cancelButton_;
    Ref<KXGameGiftBagModel> model_;
};
