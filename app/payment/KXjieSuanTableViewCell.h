#pragma once

#include "app/payment/KXBillingDetailsModel.h"
#include "app/payment/KXRecordCell.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// A row of the settlement details: the state's icon, the state over the
// date, and the amount (without a unit).
class KXjieSuanTableViewCell : public KXRecordCell {
public:
    using KXRecordCell::KXRecordCell;

    const Ref<KXBillingDetailsModel>& model() const { return model_; }
    void setModel(const Ref<KXBillingDetailsModel>& model);

    Ref<UIImageView> icoIamgeView() const { return icoIamgeView_.lock(); }
    Ref<UILabel> shengehLabel() const { return shengehLabel_.lock(); }
    Ref<UILabel> riqiLabel() const { return riqiLabel_.lock(); }
    Ref<UILabel> jingerLabel() const { return jingerLabel_.lock(); }

    std::string className() const override { return "KXjieSuanTableViewCell"; }

protected:
    void didCreate() override;
    void placeContent(CGFloat width, CGFloat height) override;

private:
    Ref<KXBillingDetailsModel> model_;
    WeakRef<UIImageView> icoIamgeView_;
    WeakRef<UILabel> shengehLabel_;
    WeakRef<UILabel> riqiLabel_;
    WeakRef<UILabel> jingerLabel_;
};
