#include "app/components/RSCollectionReusableView_Swift.h"

#include "app/components/RSCollectionViewDelegateRoundFlowLayout_Swift.h"
#include "uikit/UICollectionView.h"

void RSCollectionReusableView_Swift::applyLayoutAttributes(const Ref<UICollectionViewLayoutAttributes>& attributes) {
    UICollectionReusableView::applyLayoutAttributes(attributes);
    auto plate = cast<RSCollectionViewRoundLayoutAttributes_Swift>(attributes);
    if (!plate) return;
    myCacheAttr_ = plate;
    applyConfigModel(myCacheAttr_);
}

void RSCollectionReusableView_Swift::applyConfigModel(const Ref<RSCollectionViewRoundLayoutAttributes_Swift>& attributes) {
    const auto& model = attributes->myConfigModel();
    if (!model) return;
    // The layer has no "no colour" for borders and shadows: clear draws nothing.
    auto colorOrClear = [](const std::optional<UIColor>& color) { return color.value_or(UIColor::clearColor()); };
    Ref<CALayer> layer = this->layer();
    layer->setBackgroundColor(model->backgroundColor());
    layer->setShadowColor(colorOrClear(model->shadowColor()));
    layer->setShadowOffset(model->shadowOffset().value_or(CGSizeZero));
    layer->setShadowOpacity(model->shadowOpacity());
    layer->setShadowRadius(model->shadowRadius());
    layer->setCornerRadius(model->cornerRadius());
    layer->setBorderWidth(model->borderWidth());
    layer->setBorderColor(colorOrClear(model->borderColor()));
}

bool RSCollectionReusableView_Swift::handleTapAt(CGPoint) {
    notifyDecorationSelected();
    return true;
}

void RSCollectionReusableView_Swift::notifyDecorationSelected() {
    auto collectionView = cast<UICollectionView>(superview());
    if (!collectionView) return;
    auto delegate = collectionView->delegate();
    if (auto roundDelegate = dynamic_cast<RSCollectionViewDelegateRoundFlowLayout_Swift*>(delegate.get()))
        roundDelegate->collectionViewWithCollectionViewDidSelectDecorationViewAtIndexPath(collectionView,
                                                                                          myCacheAttr_->indexPath());
}
