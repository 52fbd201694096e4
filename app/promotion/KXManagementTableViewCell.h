#pragma once

#include <string>

#include "app/promotion/KXManagementTableViewCellDelegate.h"
#include "foundation/Value.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UITableViewCell.h"

// One section of the management page, 132 points high: the section's title
// over its tiles and a divider along the bottom. Fewer than four tiles sit
// in three columns, four or more in four; every (re)configuration drops the
// tiles of the previous section first.
class KXManagementTableViewCell : public UITableViewCell {
public:
    // Tiles carry tags from this value up, so that they can be told apart
    // from the fixed views.
    static constexpr long kFirstTileTag = 100;

    using UITableViewCell::UITableViewCell;

    Ref<UILabel> miaoshuLabel() const { return miaoshuLabel_; }
    Ref<UIView> fengexianView() const { return fengexianView_; }
    // The section shown: `title` and `list` of tiles.
    const Value& dataDic() const { return dataDic_; }
    void setDataDic(Value dataDic);
    // The row number as text; kept for the page, read by nobody.
    const std::string& dihangStr() const { return dihangStr_; }
    void setDihangStr(std::string dihangStr) { dihangStr_ = std::move(dihangStr); }
    Ref<KXManagementTableViewCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<KXManagementTableViewCellDelegate>& delegate) { delegate_ = delegate; }

    // A tile's tap: hands the tile's dictionary to the delegate.
    void imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer);

    std::string className() const override { return "KXManagementTableViewCell"; }

protected:
    void didCreate() override;

private:
    void setupUI();
    void placeTiles(const Array& tiles);

    Ref<UILabel> miaoshuLabel_;
    Ref<UIView> fengexianView_;
    Value dataDic_;
    std::string dihangStr_;
    WeakRef<KXManagementTableViewCellDelegate> delegate_;
};
