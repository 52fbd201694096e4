#pragma once

#include <string>
#include <vector>

#include "app/promotion/KXPromoteGameCellDelegate.h"
#include "app/promotion/KXPromoteGameModel.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableViewCell.h"

// One promoted game on the promoted-games page, 168 points high: a rounded
// card with the game's icon, name and share ratio, and a row of four share
// tiles ("涟信", "Pal", "朋友圈", "复制分享") at y 109 that report their index
// to the delegate. Built in code; the outlets carry their names as
// accessibility identifiers.
class KXPromoteGameCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    static constexpr CGFloat kRowHeight = 168;

    const Ref<KXPromoteGameModel>& model() const { return model_; }
    // Fills the card: icon from `icon`, name from `name`, ratio
    // "分成比例: " followed by `fcbl` (a missing value shows nothing).
    void setModel(Ref<KXPromoteGameModel> model);
    Ref<KXPromoteGameCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<KXPromoteGameCellDelegate>& delegate) { delegate_ = delegate; }

    // The tiles' tap action: tells the delegate the tapped tile's tag.
    void imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer);

    const std::vector<std::string>& dataArr() const { return dataArr_; }
    const std::vector<std::string>& icoArr() const { return icoArr_; }
    Ref<UIView> beijingView() const { return beijingView_.lock(); }
    Ref<UIImageView> icoIamgeView() const { return icoIamgeView_.lock(); }
    Ref<UILabel> gameNameLabel() const { return gameNameLabel_.lock(); }
    Ref<UILabel> fenchengbiliLabel() const { return fenchengbiliLabel_.lock(); }

protected:
    void didCreate() override;

private:
    void buildCard();
    void awakeFromNib();

    std::vector<std::string> dataArr_;
    std::vector<std::string> icoArr_;
    Ref<KXPromoteGameModel> model_;
    WeakRef<KXPromoteGameCellDelegate> delegate_;
    WeakRef<UIView> beijingView_;
    WeakRef<UIImageView> icoIamgeView_;
    WeakRef<UILabel> gameNameLabel_;
    WeakRef<UILabel> fenchengbiliLabel_;
};
