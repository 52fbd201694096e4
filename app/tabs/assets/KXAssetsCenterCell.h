#pragma once

#include <optional>

#include "app/tabs/assets/KXAssetsModel.h"
#include "foundation/NSIndexPath.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableView.h"
#include "uikit/UITableViewCell.h"

// One of the Assets tab's four rows, joined into one white card rounded at
// its top and bottom: icon and title at the left and, by row, the
// promotion amount after "￥" (row 0), the number of promoted users
// (row 1), an arrow (row 2), or the hint "快去推广拿佣金！" and an arrow
// (row 3). Each row is 44 points (times the layout scale) plus a 1-point gap.
class KXAssetsCenterCell : public UITableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "KXAssetsCenterCell";

    using UITableViewCell::UITableViewCell;

    // A free cell of the table, or a new one.
    static Ref<KXAssetsCenterCell> cellWithTableView(const Ref<UITableView>& tableView);

    Ref<UIView> bgView() const { return bgView_; }
    Ref<UIImageView> leftImageView() const { return leftImageView_; }
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    Ref<UILabel> rightLabel() const { return rightLabel_; }
    Ref<UIImageView> rightArrowImageView() const { return rightArrowImageView_; }
    Ref<UILabel> rightPlaceHoderLabel() const { return rightPlaceHoderLabel_; }

    Ref<KXAssetsModel> assetsModel;
    std::optional<NSIndexPath> indexPath;
    // Restyles the row for `indexPath` and `assetsModel`. Without an index
    // path the corners are square, the arrow and the hint hidden, and the
    // right label keeps what it showed.
    void refresh();

    std::string className() const override { return "KXAssetsCenterCell"; }

protected:
    void didCreate() override;

private:
    Ref<UIView> bgView_;
    Ref<UIImageView> leftImageView_;
    Ref<UILabel> titleLabel_;
    Ref<UILabel> rightLabel_;
    Ref<UIImageView> rightArrowImageView_;
    Ref<UILabel> rightPlaceHoderLabel_;
};
