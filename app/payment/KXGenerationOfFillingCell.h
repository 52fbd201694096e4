#pragma once

#include "app/payment/GenerationOfFillingModel.h"
#include "app/payment/KXRecordCell.h"
#include "uikit/UILabel.h"

// A row of the top-up records: the player's account over the order's time,
// and the amount ("%@元").
class KXGenerationOfFillingCell : public KXRecordCell {
public:
    using KXRecordCell::KXRecordCell;

    const Ref<GenerationOfFillingModel>& dataModel() const { return dataModel_; }
    void setDataModel(const Ref<GenerationOfFillingModel>& dataModel);

    Ref<UILabel> name1Label() const { return name1Label_.lock(); }
    Ref<UILabel> riqiLabel() const { return riqiLabel_.lock(); }
    Ref<UILabel> jingerLbabel() const { return jingerLbabel_.lock(); }

    std::string className() const override { return "KXGenerationOfFillingCell"; }

protected:
    void didCreate() override;
    void placeContent(CGFloat width, CGFloat height) override;

private:
    Ref<GenerationOfFillingModel> dataModel_;
    WeakRef<UILabel> name1Label_;
    WeakRef<UILabel> riqiLabel_;
    WeakRef<UILabel> jingerLbabel_;
};
