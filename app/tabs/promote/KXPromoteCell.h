#pragma once

#include <array>
#include <optional>

#include "app/shell/KXLabel.h"
#include "app/tabs/promote/KXIconColumn.h"
#include "app/tabs/promote/KXPromoteGameModel.h"
#include "foundation/NSIndexPath.h"
#include "frameworks/rating/CosmosView.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UITableViewCell.h"

// The row of every promotable-games list: a white card with the row's
// number in a red badge, the game's icon, name and type, its recommendation
// stars, up to three tags, and under a divider five actions: copy the
// game's promotion link ("复制成功" over the cell), and the QR code, Ripple,
// Pal and Moments buttons, which all cover the screen with the link's QR
// overlay. The data source sets `model`, then `indexPath`; each refills the
// cell at once. The row is 166 × layoutScale high (card 156, gap 10).
class KXPromoteCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    static constexpr const char* kReuseIdentifier = "KXPromoteCell";
    // The back end scores a game out of 10 (`point`).
    static constexpr double kHighestPoint = 10;
    // The stars of `totalStars` that a score out of kHighestPoint fills.
    static double starRating(double point, int totalStars) { return point * totalStars / kHighestPoint; }

    const Ref<UIView>& bgView() const { return bgView_; }
    const Ref<UIView>& shadowView() const { return shadowView_; }
    const Ref<KXLabel>& numLabel() const { return numLabel_; }
    const Ref<UIImageView>& gameImageView() const { return gameImageView_; }
    const Ref<KXLabel>& nameLabel() const { return nameLabel_; }
    const Ref<KXLabel>& typeLabel() const { return typeLabel_; }
    const Ref<KXLabel>& recommendLabel() const { return recommendLabel_; }
    const Ref<CosmosView>& starView() const { return starView_; }
    const Ref<KXLabel>& scaleLabel() const { return scaleLabel_; }
    const Ref<KXLabel>& rebateLabel() const { return rebateLabel_; }
    const Ref<KXLabel>& divineLabel() const { return divineLabel_; }

    // The five actions, in the order copy, QR code, Ripple, Pal, Moments.
    enum Action { CopyPromote, QRCode, Ripple, Pal, Friend };
    const Ref<UIImageView>& actionImageView(Action action) const { return actions_[action].imageView; }
    const Ref<KXLabel>& actionLabel(Action action) const { return actions_[action].label; }
    const Ref<UIButton>& actionButton(Action action) const { return actions_[action].button; }

    const Ref<Velmaro::KXPromoteGameModel>& model() const { return model_; }
    void setModel(Ref<Velmaro::KXPromoteGameModel> model);
    const std::optional<NSIndexPath>& indexPath() const { return indexPath_; }
    void setIndexPath(std::optional<NSIndexPath> indexPath);

    void copyPromoteButtonClick(const Ref<UIControl>& sender);
    void qrCodeButtonClick(const Ref<UIControl>&) { showQRCode(); }
    void rippleButtonClick(const Ref<UIControl>&) { showQRCode(); }
    void palButtonClick(const Ref<UIControl>&) { showQRCode(); }
    void friendButtonClick(const Ref<UIControl>&) { showQRCode(); }

    std::string className() const override { return "KXPromoteCell"; }

protected:
    void didCreate() override;

private:
    void setUpViews();
    void setUpConstraints();
    // The link's QR overlay over the whole key window.
    void showQRCode();
    // The game's promotion link; nothing when the game has none.
    const std::string* link() const;

    Ref<UIView> bgView_;
    Ref<UIView> shadowView_;
    Ref<KXLabel> numLabel_;
    Ref<UIImageView> gameImageView_;
    Ref<KXLabel> nameLabel_;
    Ref<KXLabel> typeLabel_;
    Ref<KXLabel> recommendLabel_;
    Ref<CosmosView> starView_;
    Ref<KXLabel> scaleLabel_;
    Ref<KXLabel> rebateLabel_;
    Ref<KXLabel> divineLabel_;
    std::array<KXIconColumn, 5> actions_;
    Ref<Velmaro::KXPromoteGameModel> model_;
    std::optional<NSIndexPath> indexPath_;
};
