#pragma once

#include <functional>

#include "app/tabs/assets/KXAssetsModel.h"
#include "foundation/StoredBlock.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableViewCell.h"
#include "uikit/UITableViewHeaderFooterView.h"

// The blue summary panel's views: the promotion amount with "申请结算", and
// the shared and the withdrawn commission either side of a divider. Its
// amounts start with sample texts.
struct KXAssetsPanel {
    Ref<UILabel> promoteTitleLabel;
    Ref<UILabel> priceLabel;
    Ref<UIButton> applyButton;
    Ref<UILabel> shareTitleLabel;
    Ref<UILabel> sharePriceLabel;
    Ref<UIView> lineView;
    Ref<UILabel> withdrawTitleLabel;
    Ref<UILabel> withdrawPriceLabel;

    // Builds the views into `container` (blue) and places them.
    static KXAssetsPanel buildInto(const Ref<UIView>& container);
};

// The header of the Assets list's first section: the summary panel showing
// `money`, `shareMoney` and `withdraw` exactly as received; "申请结算"
// raises `applyButtonClick`.
class KXAssetsTopHeader : public UITableViewHeaderFooterView {
public:
    static constexpr const char* kReuseIdentifier = "KXAssetsTopHeader";
    // The panel's height in layout-scale units. 244 on the phone; our text
    // lines are taller than the phone's (most of all the 36- and 22-point
    // amounts), so the panel grows by the difference and the two commission
    // amounts stay on the blue, clear of its bottom edge.
    static constexpr CGFloat kHeight = 262;

    using UITableViewHeaderFooterView::UITableViewHeaderFooterView;

    const KXAssetsPanel& panel() const { return panel_; }
    Ref<KXAssetsModel> assetsModel() const { return assetsModel_; }
    // Refills the three amounts (no texts without a model).
    void setAssetsModel(const Ref<KXAssetsModel>& model);
    StoredBlock<void()> applyButtonClick;
    // The button's action: raises `applyButtonClick` when it is set.
    void applyButtonClicked();

    std::string className() const override { return "KXAssetsTopHeader"; }

protected:
    void didCreate() override;

private:
    KXAssetsPanel panel_;
    Ref<KXAssetsModel> assetsModel_;
};

// The same panel as a plain view with its sample amounts and no action.
class KXAssetsTopView : public UIView {
public:
    using UIView::UIView;

    const KXAssetsPanel& panel() const { return panel_; }

    std::string className() const override { return "KXAssetsTopView"; }

protected:
    void didCreate() override;

private:
    KXAssetsPanel panel_;
};

// The white card under the panel with three shortcuts: "推广公告",
// "分享二维码" and "分成明细", each an invisible button from its icon's top
// to its caption's bottom, raising the closure of its name.
class KXAssetsTopCell : public UITableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "KXAssetsTopCell";

    using UITableViewCell::UITableViewCell;

    struct Shortcut {
        Ref<UIImageView> imageView;
        Ref<UILabel> label;
        Ref<UIButton> button;
    };
    Ref<UIView> bgView() const { return bgView_; }
    const Shortcut& promoteNotice() const { return promoteNotice_; }
    const Shortcut& promoteQRCode() const { return promoteQRCode_; }
    const Shortcut& divideDetail() const { return divideDetail_; }

    StoredBlock<void()> promoteNoticeButtonClick;
    StoredBlock<void()> promoteQRCodeButtonClick;
    StoredBlock<void()> divideDetailButtonClick;

    std::string className() const override { return "KXAssetsTopCell"; }

protected:
    void didCreate() override;

private:
    // Builds a shortcut's icon, caption and button into the card and wires
    // the button to raise `click`.
    Shortcut makeShortcut(const std::string& image, const std::string& caption,
                          StoredBlock<void()> KXAssetsTopCell::*click);

    Ref<UIView> bgView_;
    Shortcut promoteNotice_;
    Shortcut promoteQRCode_;
    Shortcut divideDetail_;
};
