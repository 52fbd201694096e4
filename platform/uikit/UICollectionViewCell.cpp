#include "uikit/UICollectionViewCell.h"

void UICollectionViewCell::didCreate() {
    UICollectionReusableView::didCreate();
    contentView_ = make<UIView>(bounds());
    contentView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    addSubview(contentView_);
}

void UICollectionViewCell::layoutSubviews() {
    CGRect all = bounds();
    contentView_->setFrame(all);
    if (backgroundView_) backgroundView_->setFrame(all);
    if (selectedBackgroundView_) selectedBackgroundView_->setFrame(all);
}

void UICollectionViewCell::replaceBackground(Ref<UIView>& slot, const Ref<UIView>& view) {
    if (slot == view) return;
    if (slot) slot->removeFromSuperview();
    slot = view;
    if (slot) slot->setFrame(bounds());
}

void UICollectionViewCell::setBackgroundView(const Ref<UIView>& view) {
    replaceBackground(backgroundView_, view);
    if (backgroundView_) insertSubview(backgroundView_, 0);
}

void UICollectionViewCell::setSelectedBackgroundView(const Ref<UIView>& view) {
    replaceBackground(selectedBackgroundView_, view);
    showSelectedBackground();
}

// The selected background shows above the background view and below the
// content while the cell is selected or highlighted.
void UICollectionViewCell::showSelectedBackground() {
    if (!selectedBackgroundView_) return;
    if (selected_ || highlighted_)
        insertSubviewBelowSubview(selectedBackgroundView_, contentView_);
    else
        selectedBackgroundView_->removeFromSuperview();
}

void UICollectionViewCell::setSelected(bool selected) {
    selected_ = selected;
    showSelectedBackground();
}

void UICollectionViewCell::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    showSelectedBackground();
}

void UICollectionViewCell::prepareForReuse() {
    UICollectionReusableView::prepareForReuse();
    setHighlighted(false);
}
