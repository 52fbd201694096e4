#pragma once

#include "uikit/NSLayoutConstraint.h"
#include "uikit/UILabel.h"
#include "uikit/UITableViewCell.h"

// One row of the action sheet: the row's text centred over the full row,
// or, on the cancel row, below a light grey band that sets it apart.
class ZSActionSheetCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    // The band above the cancel row (10 points).
    Ref<UIView> topView() const { return topView_.lock(); }
    // The row's text.
    Ref<UILabel> infoLabel() const { return infoLabel_.lock(); }
    // The label's distance below the band: 0 under a shown band, -10 to
    // take the band's place on the other rows.
    Ref<NSLayoutConstraint> toTopCconstraint() const { return toTopCconstraint_.lock(); }

protected:
    void didCreate() override;

private:
    WeakRef<UIView> topView_;
    WeakRef<UILabel> infoLabel_;
    WeakRef<NSLayoutConstraint> toTopCconstraint_;
};
