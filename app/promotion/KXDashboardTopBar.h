#pragma once

#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIView.h"

// The white top bar of the earlier home and promotion pages: the signed-in
// account's name over the caption "用户名" on the left, the avatar on the
// right. 108 points high on a notched screen, else 84.
class KXDashboardTopBar : public UIView {
public:
    KXDashboardTopBar();

    // The bar's height, and where the page's content starts below it.
    static CGFloat height();

    Ref<UILabel> zhanghaoLabel() const { return zhanghaoLabel_; }
    Ref<UILabel> qudaoLabel() const { return qudaoLabel_; }
    Ref<UIImageView> icoIamgeView() const { return icoIamgeView_; }

    // Shows the stored login: the user name, the caption and the avatar
    // (loaded from the stored address, without a placeholder).
    void setupNavigateshuju();

    std::string className() const override { return "KXDashboardTopBar"; }

protected:
    void didCreate() override;

private:
    Ref<UILabel> zhanghaoLabel_;
    Ref<UILabel> qudaoLabel_;
    Ref<UIImageView> icoIamgeView_;
};
