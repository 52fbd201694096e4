#pragma once

#include <optional>
#include <string>

#include "app/stats/KXConsumeRankModel.h"
#include "app/stats/KXRankListModel.h"
#include "app/tabs/home/KXHomeRankListModel.h"
#include "foundation/NSIndexPath.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// The card of one of the first three places of a ranking: place badge,
// medal, a ribbon with the name, a caption and the figure. Its data source
// sets `indexPath` first (rows 0, 1, 2 give the gold, silver and bronze
// look; other rows keep the look the card has) and then one of the three
// entry kinds, which writes the texts. Setting one entry kind leaves the
// others as they are.
class KXHomeTopThreeRankCell : public UICollectionViewCell {
public:
    // The card's height in layout-scale units, as the Home and ranking
    // collections size it. Its views hang from its top, so a card of this
    // height holds them whole on every screen (the caption above the figure
    // is 12 points on every screen, and the card does not clip), with a
    // margin under the figure as wide as the badge's above it.
    static constexpr CGFloat kHeight = 170;

    using UICollectionViewCell::UICollectionViewCell;

    Ref<UIView> bgView() const { return bgView_; }
    Ref<UIImageView> tagImageView() const { return tagImageView_; }
    Ref<UIImageView> logoImageView() const { return logoImageView_; }
    Ref<UIImageView> labelBgImageView() const { return labelBgImageView_; }
    Ref<UILabel> nameLabel() const { return nameLabel_; }
    Ref<UILabel> lowUserLabel() const { return lowUserLabel_; }
    Ref<UILabel> lowUserNumLabel() const { return lowUserNumLabel_; }

    const std::optional<IndexPath>& indexPath() const { return indexPath_; }
    void setIndexPath(std::optional<IndexPath> indexPath);
    // The Home promoter ranking: name and downline users; the caption stays.
    const Ref<KXHomeRankListModel>& model() const { return model_; }
    void setModel(Ref<KXHomeRankListModel> model);
    // The popularity ranking: "活跃人数", game name, active users.
    const Ref<KXRankListModel>& popularityListModel() const { return popularityListModel_; }
    void setPopularityListModel(Ref<KXRankListModel> model);
    // The consumption ranking: "充值", game name, top-up amount.
    const Ref<KXConsumeRankModel>& consumeRankModel() const { return consumeRankModel_; }
    void setConsumeRankModel(Ref<KXConsumeRankModel> model);

    std::string className() const override { return "KXHomeTopThreeRankCell"; }

protected:
    void didCreate() override;

private:
    void setUpViews();
    void setUpConstraints();
    // The game rankings' texts: caption, then name, then figure.
    void showGameEntry(const std::string& caption, const std::string& name, const std::string& value);

    Ref<UIView> bgView_;
    Ref<UIImageView> tagImageView_;
    Ref<UIImageView> logoImageView_;
    Ref<UIImageView> labelBgImageView_;
    Ref<UILabel> nameLabel_;
    Ref<UILabel> lowUserLabel_;
    Ref<UILabel> lowUserNumLabel_;
    std::optional<IndexPath> indexPath_;
    Ref<KXHomeRankListModel> model_;
    Ref<KXRankListModel> popularityListModel_;
    Ref<KXConsumeRankModel> consumeRankModel_;
};
