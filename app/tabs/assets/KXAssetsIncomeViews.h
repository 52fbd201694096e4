#pragma once

#include <optional>

#include "app/tabs/assets/KXAssetsIncomeDetailModel.h"
#include "foundation/NSIndexPath.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableViewCell.h"
#include "uikit/UITableViewHeaderFooterView.h"

// The header of the income details: an icon and "收入明细" on grey. A "最新"
// pill at its right is built hidden and never shown.
class KXAssetsIncomeHeader : public UITableViewHeaderFooterView {
public:
    static constexpr const char* kReuseIdentifier = "KXAssetsIncomeHeader";

    using UITableViewHeaderFooterView::UITableViewHeaderFooterView;

    Ref<UIImageView> leftImageView() const { return leftImageView_; }
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    Ref<UIView> rightBgView() const { return rightBgView_; }

    std::string className() const override { return "KXAssetsIncomeHeader"; }

protected:
    void didCreate() override;

private:
    Ref<UIImageView> leftImageView_;
    Ref<UILabel> titleLabel_;
    Ref<UIView> rightBgView_;
    Ref<UILabel> rightTitleLabel_;
    Ref<UIImageView> rightArrowImage_;
};

// One row of the four-column income grid (user name, top-up amount, time,
// commission share), 61 points (times the layout scale) high. Row 0 is the
// column-title row: a grey band, bold texts and the grid's top line.
class KXAssetsIncomeCell : public UITableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "KXAssetsIncomeCell";

    using UITableViewCell::UITableViewCell;

    Ref<UIView> bgView() const { return bgView_; }
    Ref<UIView> topLine() const { return topLine_; }
    Ref<UILabel> nameLabel() const { return nameLabel_; }
    Ref<UILabel> priceLabel() const { return priceLabel_; }
    Ref<UILabel> timeLabel() const { return timeLabel_; }
    Ref<UILabel> divideLabel() const { return divideLabel_; }

    const std::optional<NSIndexPath>& indexPath() const { return indexPath_; }
    // Styles the row as the title row (row 0) or a data row.
    void setIndexPath(std::optional<NSIndexPath> indexPath);
    Ref<KXAssetsIncomeDetailModel> model() const { return model_; }
    // Shows the entry's texts as received (none without an entry).
    void setModel(const Ref<KXAssetsIncomeDetailModel>& model);
    // The column titles of row 0.
    void showColumnTitles();

    std::string className() const override { return "KXAssetsIncomeCell"; }

protected:
    void didCreate() override;

private:
    Ref<UIView> bgView_;
    Ref<UIView> topLine_;
    Ref<UILabel> nameLabel_;
    Ref<UILabel> priceLabel_;
    Ref<UILabel> timeLabel_;
    Ref<UILabel> divideLabel_;
    std::optional<NSIndexPath> indexPath_;
    Ref<KXAssetsIncomeDetailModel> model_;
};
