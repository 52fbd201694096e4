#pragma once

#include "app/payment/KXdaichongzheKouModel.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// One game of the game picker: its rounded icon, and its name under it.
class KXGameYouXitanKuangCollectionViewCell : public UICollectionViewCell {
public:
    static constexpr const char* kReuseIdentifier = "cellID";

    using UICollectionViewCell::UICollectionViewCell;

    const Ref<KXdaichongzheKouModel>& dataModel() const { return dataModel_; }
    // Loads the model's icon (no placeholder) and shows its name.
    void setDataModel(const Ref<KXdaichongzheKouModel>& model);
    Ref<UIImageView> icoIamgeView() const { return icoIamgeView_; }
    Ref<UILabel> youxilabel() const { return youxilabel_; }

    std::string className() const override { return "KXGameYouXitanKuangCollectionViewCell"; }

protected:
    void didCreate() override;

private:
    void setupUI();

    Ref<KXdaichongzheKouModel> dataModel_;
    Ref<UIImageView> icoIamgeView_;
    Ref<UILabel> youxilabel_;
};
