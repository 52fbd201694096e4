#pragma once

#include <functional>

#include "app/shell/KXLabel.h"
#include "foundation/StoredBlock.h"
#include "uikit/UIButton.h"
#include "uikit/UIView.h"

// The custom top bar of every screen built on KXBaseViewController: a white
// bar with a soft shadow below, the title (bold, 18 points, "#333333",
// centred) and a back button ("fanghui_QC") at the left. Screens set the
// title's text and may hide the back button or the whole bar; a tap on the
// back button calls `backButtonClick` when it is set.
//
// The bar has no height of its own: the title sits 53 points below the
// bar's top on screens at least 812 points tall (30 on shorter ones) and
// 10 points above its bottom, so the bar's height follows the title's.
class KXNavigationView : public UIView {
public:
    using UIView::UIView;

    // Never created; kept empty.
    Ref<UIView> bgView() const { return bgView_; }
    Ref<KXLabel> titleLabel() const { return titleLabel_; }
    Ref<UIButton> backButton() const { return backButton_; }
    // Present and unplaced (zero size) until a screen places it.
    Ref<UIButton> rightButton() const { return rightButton_; }
    StoredBlock<void()> backButtonClick;

    // The title's distance below the bar's top on a screen of that height:
    // 53 points from 812 on, else 30.
    static CGFloat titleTopForScreenHeight(CGFloat height) { return height >= 812 ? 53 : 30; }

    // The back button's action.
    void backButtonClicked(const Ref<UIControl>& sender);

    // The bar's width asked for; its height from the title as above.
    CGSize sizeThatFits(CGSize size) override;
    void layoutSubviews() override;

    std::string className() const override { return "KXNavigationView"; }

protected:
    void didCreate() override;

private:
    // The title's top offset on the main screen.
    static CGFloat titleTop();

    Ref<UIView> bgView_;
    Ref<KXLabel> titleLabel_;
    Ref<UIButton> backButton_;
    Ref<UIButton> rightButton_;
};
