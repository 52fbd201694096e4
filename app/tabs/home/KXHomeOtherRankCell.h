#pragma once

#include <optional>
#include <string>

#include "app/stats/KXConsumeRankModel.h"
#include "app/stats/KXRankListModel.h"
#include "app/tabs/home/KXHomeRankListModel.h"
#include "foundation/NSIndexPath.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UILabel.h"

// One row of a ranking table: rank, name and figure columns between grid
// lines. Setting `indexPath` styles the row: row 0 is the column-title row
// (grey, rounded top corners, darker bold titles), further rows alternate
// grey and white, row 8 gets rounded bottom corners whatever the list's
// length, and every other row square ones. Setting one of the three entry kinds writes the
// columns; a reused cell handed out as the title row gets its titles again
// through showTitles.
class KXHomeOtherRankCell : public UICollectionViewCell {
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

    const std::optional<IndexPath>& indexPath() const { return indexPath_; }
    // Styles the row by its place: the title row (0) with rounded top
    // corners, row 8 (the ninth place's row) with rounded bottom corners.
    void setIndexPath(std::optional<IndexPath> indexPath);
    const Ref<KXHomeRankListModel>& model() const { return model_; }
    void setModel(Ref<KXHomeRankListModel> model);
    const Ref<KXRankListModel>& popularityListModel() const { return popularityListModel_; }
    void setPopularityListModel(Ref<KXRankListModel> model);
    const Ref<KXConsumeRankModel>& consumeRankModel() const { return consumeRankModel_; }
    void setConsumeRankModel(Ref<KXConsumeRankModel> model);
    // Writes the column titles: "排名", then the name and figure columns'.
    void showTitles(const std::string& name, const std::string& value);
    // The titles a new cell shows, those of the Home tab's promoter ranking.
    static constexpr const char* kPromoterTitle = "推广员";
    static constexpr const char* kSubordinatesTitle = "下级用户";
    // The row whose bottom corners close the card: the ranking's rows are
    // laid out for a list of eleven, the title row and places 4 to 11.
    static constexpr long kClosingRow = 8;

    std::string className() const override { return "KXHomeOtherRankCell"; }

protected:
    void didCreate() override;

private:
    void setUpViews();
    void setUpConstraints();
    void showColumns(const std::string& rank, const std::string& name, const std::string& value);

    Ref<UIView> bgView_;
    Ref<UILabel> rankLabel_;
    Ref<UILabel> userLabel_;
    Ref<UILabel> lowUserLabel_;
    Ref<UIView> zeroLine_;
    Ref<UIView> firstLine_;
    Ref<UIView> secondLine_;
    Ref<UIView> fourLine_;
    Ref<UIView> bottomLine_;
    std::optional<IndexPath> indexPath_;
    Ref<KXHomeRankListModel> model_;
    Ref<KXRankListModel> popularityListModel_;
    Ref<KXConsumeRankModel> consumeRankModel_;
};
