#pragma once

#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableViewCell.h"

// A 44-point row of the earlier promotion page: an icon, a name and a value
// on the right; rows that open a screen show an arrow instead of the value,
// and the promoted-games rows the prompt "快去推广拿佣金！" beside it.
class KXPromoteTableViewCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    Ref<UIImageView> icoIamgeView() const { return icoIamgeView_; }
    Ref<UILabel> mingchengLabel() const { return mingchengLabel_; }
    Ref<UILabel> righetLabel() const { return righetLabel_; }
    Ref<UIImageView> righrimag() const { return righrimag_; }
    Ref<UILabel> miahsulabel() const { return miahsulabel_; }

    std::string className() const override { return "KXPromoteTableViewCell"; }

protected:
    void didCreate() override;

private:
    Ref<UIImageView> icoIamgeView_;
    Ref<UILabel> mingchengLabel_;
    Ref<UILabel> righetLabel_;
    Ref<UIImageView> righrimag_;
    Ref<UILabel> miahsulabel_;
};
