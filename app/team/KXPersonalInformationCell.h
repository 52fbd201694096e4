#pragma once

#include "uikit/UITableViewCell.h"

class UILabel;

// A row of the profile screen: the title on the left, the value on the right.
class KXPersonalInformationCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    Ref<UILabel> mingchengLabel() const { return mingchengLabel_; }
    Ref<UILabel> nichengLabel() const { return nichengLabel_; }

    void layoutSubviews() override;
    std::string className() const override { return "KXPersonalInformationCell"; }

protected:
    void didCreate() override;

private:
    Ref<UILabel> mingchengLabel_;
    Ref<UILabel> nichengLabel_;
};
