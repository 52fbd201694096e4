#pragma once

#include <optional>

#include "app/stats/KXRechargeTypeListModel.h"
#include "app/stats/KXRegistTypeListModel.h"
#include "foundation/NSIndexPath.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UILabel.h"

// A row of the type statistics table: channel, amount and share between
// 1-point grid lines. The row refresh writes the entry just set (the
// registration `model` or the top-up `rechargeTypeListModel`); the row
// styling, after `indexPath` is set, stripes the row ("#EEEEEE" on even
// rows, white on odd ones), makes row 0 the bold title row with rounded top
// corners and row 8 the row with rounded bottom corners. Each column's text
// ends before the grid line after it; the amount stays on one line, drawn
// smaller where it is too long for its column.
class KXRegistTypeCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;

    Ref<UIView> bgView() const { return bgView_; }
    Ref<UILabel> rankLabel() const { return rankLabel_; }
    Ref<UILabel> userLabel() const { return userLabel_; }
    Ref<UILabel> lowUserLabel() const { return lowUserLabel_; }
    Ref<UIView> zeroLine() const { return zeroLine_; }
    Ref<UIView> firstLine() const { return firstLine_; }
    Ref<UIView> secondLine() const { return secondLine_; }
    Ref<UIView> fourLine() const { return fourLine_; }
    Ref<UIView> bottomLine() const { return bottomLine_; }

    std::optional<NSIndexPath> indexPath;
    Ref<KXRegistTypeListModel> model;
    Ref<KXRechargeTypeListModel> rechargeTypeListModel;

    // Writes the entry set last: the registration one when `registration`.
    void refreshRow(bool registration);
    void styleRow();

    std::string className() const override { return "KXRegistTypeCell"; }

protected:
    void didCreate() override;

private:
    void setUpViews();
    void setUpConstraints();

    Ref<UIView> bgView_;
    Ref<UILabel> rankLabel_;
    Ref<UILabel> userLabel_;
    Ref<UILabel> lowUserLabel_;
    Ref<UIView> zeroLine_;
    Ref<UIView> firstLine_;
    Ref<UIView> secondLine_;
    Ref<UIView> fourLine_;
    Ref<UIView> bottomLine_;
};
