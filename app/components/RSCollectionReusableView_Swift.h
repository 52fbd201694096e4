#pragma once

#include "app/components/RSCollectionViewRoundLayoutAttributes_Swift.h"
#include "uikit/UICollectionReusableView.h"

// The plate the rounded-section layout puts behind a section: copies its
// attributes' config model onto its layer (background, shadow, corner
// radius, border) and reports taps to the collection view's delegate.
//
// Attributes without a config model leave the layer as it was, so a new
// plate shows a plain, transparent layer until a model arrives. Nothing else
// of the view changes: its own background colour and clipping stay.
class RSCollectionReusableView_Swift : public UICollectionReusableView {
public:
    using UICollectionReusableView::UICollectionReusableView;

    // The last attributes applied; empty attributes (no model) before any.
    const Ref<RSCollectionViewRoundLayoutAttributes_Swift>& myCacheAttr() const { return myCacheAttr_; }

    // Keeps the attributes (when they are a plate's) and applies their model.
    void applyLayoutAttributes(const Ref<UICollectionViewLayoutAttributes>& attributes) override;
    // A tap on the plate goes to the delegate and no further up the chain.
    bool handleTapAt(CGPoint point) override;

private:
    void applyConfigModel(const Ref<RSCollectionViewRoundLayoutAttributes_Swift>& attributes);
    // Tells the delegate of the collection view holding the plate, when
    // there is one that adopts the rounded-section delegate protocol.
    void notifyDecorationSelected();

    Ref<RSCollectionViewRoundLayoutAttributes_Swift> myCacheAttr_ =
        make<RSCollectionViewRoundLayoutAttributes_Swift>();
};
