#pragma once

#include <optional>

#include "app/components/RSCollectionViewRoundConfigModel_Swift.h"
#include "graphics/UIEdgeInsets.h"
#include "uikit/UICollectionViewLayoutAttributes.h"

// The layout attributes of one section plate: where the plate goes, plus the
// border insets the layout took off the section's frame and the delegate's
// config model for the section (the same object, not a copy, so later
// changes to the model show when the plate applies its attributes again).
// Copies carry only the base fields, as the platform copies attributes.
class RSCollectionViewRoundLayoutAttributes_Swift : public UICollectionViewLayoutAttributes {
public:
    const std::optional<UIEdgeInsets>& borderEdgeInsets() const { return borderEdgeInsets_; }
    void setBorderEdgeInsets(std::optional<UIEdgeInsets> insets) { borderEdgeInsets_ = insets; }
    const Ref<RSCollectionViewRoundConfigModel_Swift>& myConfigModel() const { return myConfigModel_; }
    void setMyConfigModel(Ref<RSCollectionViewRoundConfigModel_Swift> model) { myConfigModel_ = std::move(model); }

private:
    std::optional<UIEdgeInsets> borderEdgeInsets_;
    Ref<RSCollectionViewRoundConfigModel_Swift> myConfigModel_;
};
