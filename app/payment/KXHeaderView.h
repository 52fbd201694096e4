#pragma once

#include <functional>

#include "foundation/StoredBlock.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// A top bar drawn from the image "headerBackgroud.png": a back button at the
// lower left and a white, centred title. The back button runs `leftClick`.
class KXHeaderView : public UIImageView {
public:
    using UIImageView::UIImageView;

    Ref<UIButton> leftButton() const { return leftButton_; }
    Ref<UILabel> title() const { return title_; }
    const StoredBlock<void()>& leftClick() const { return leftClick_; }
    void setLeftClick(StoredBlock<void()> block) { leftClick_ = std::move(block); }

    void setupViews();
    // The back button (image "返回"), made on first use.
    Ref<UIButton> getLeftButton();
    // The title label, made on first use.
    Ref<UILabel> getTitle();
    void clickLeftButton(const Ref<UIButton>& sender);

    // The button is a square of the bar's height / 2.5, 14 from the left and
    // 10 above the bottom; the title spans the bar, level with the button.
    void layoutSubviews() override;

    std::string className() const override { return "KXHeaderView"; }

protected:
    void didCreate() override;

private:
    Ref<UIButton> leftButton_;
    Ref<UILabel> title_;
    StoredBlock<void()> leftClick_;
};
