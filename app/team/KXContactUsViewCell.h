#pragma once

#include "uikit/UITableViewCell.h"

class UILabel;

// A row of the contact page: the title on the left, the value on the right.
class KXContactUsViewCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    Ref<UILabel> zuobianLabel() const { return zuobianLabel_; }
    Ref<UILabel> rightLabel() const { return rightLabel_; }

    void layoutSubviews() override;
    std::string className() const override { return "KXContactUsViewCell"; }

protected:
    void didCreate() override;

private:
    Ref<UILabel> zuobianLabel_;
    Ref<UILabel> rightLabel_;
};
