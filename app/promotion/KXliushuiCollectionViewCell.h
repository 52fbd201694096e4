#pragma once

#include "uikit/UICollectionViewCell.h"
#include "uikit/UILabel.h"

// A recharge card of the earlier home dashboard: a large white amount over
// a small white caption; the page gives it its colour and corners.
class KXliushuiCollectionViewCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;

    Ref<UILabel> jingELabel() const { return jingELabel_; }
    Ref<UILabel> liushui() const { return liushui_; }

    std::string className() const override { return "KXliushuiCollectionViewCell"; }

protected:
    void didCreate() override;

private:
    Ref<UILabel> jingELabel_;
    Ref<UILabel> liushui_;
};
