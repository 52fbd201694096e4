#pragma once

#include "app/payment/KXChongzhijiluModel.h"
#include "app/payment/KXRecordCell.h"
#include "uikit/UILabel.h"

// A row of the recharge records: the day and time paid on two lines, the
// amount ("%@元") and the state.
class KXChongzhijiluCell : public KXRecordCell {
public:
    using KXRecordCell::KXRecordCell;

    const Ref<KXChongzhijiluModel>& model() const { return model_; }
    void setModel(const Ref<KXChongzhijiluModel>& model);

    Ref<UILabel> riqiLabel() const { return riqiLabel_.lock(); }
    Ref<UILabel> jingeLabel() const { return jingeLabel_.lock(); }
    Ref<UILabel> chuliLabel() const { return chuliLabel_.lock(); }

    std::string className() const override { return "KXChongzhijiluCell"; }

protected:
    void didCreate() override;
    void placeContent(CGFloat width, CGFloat height) override;

private:
    Ref<KXChongzhijiluModel> model_;
    WeakRef<UILabel> riqiLabel_;
    WeakRef<UILabel> jingeLabel_;
    WeakRef<UILabel> chuliLabel_;
};
