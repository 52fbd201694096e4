#pragma once

#include "app/tabs/home/KXHomeNavModel.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// One tile of the Home function grid: the icon loaded from the entry's
// address above its centred name. Setting `model` refills both; no model (or
// an address that is no URL) clears the icon.
class KXHomeFunctionCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;

    Ref<UIImageView> imageView() const { return imageView_; }
    Ref<UILabel> titleLabel() const { return titleLabel_; }

    const Ref<KXHomeNavModel>& model() const { return model_; }
    void setModel(Ref<KXHomeNavModel> model);

    std::string className() const override { return "KXHomeFunctionCell"; }

protected:
    void didCreate() override;

private:
    Ref<UIImageView> imageView_;
    Ref<UILabel> titleLabel_;
    Ref<KXHomeNavModel> model_;
};
