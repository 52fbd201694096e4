#pragma once

#include "uikit/UICollectionReusableView.h"

// A collection view's cell: the content goes into contentView; an optional
// background view sits behind it, and the selected background view between
// the two while the cell is selected or highlighted.
//
// Subclasses build their views in didCreate after calling the base's, which
// makes the content view (filling the cell and following its size).
class UICollectionViewCell : public UICollectionReusableView {
public:
    using UICollectionReusableView::UICollectionReusableView;

    const Ref<UIView>& contentView() const { return contentView_; }

    Ref<UIView> backgroundView() const { return backgroundView_; }
    void setBackgroundView(const Ref<UIView>& view);
    Ref<UIView> selectedBackgroundView() const { return selectedBackgroundView_; }
    void setSelectedBackgroundView(const Ref<UIView>& view);

    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);

    // Clears the highlight; the collection view sets the selection again
    // from its own state when the cell is shown.
    void prepareForReuse() override;
    void layoutSubviews() override;

protected:
    void didCreate() override;

private:
    void replaceBackground(Ref<UIView>& slot, const Ref<UIView>& view);
    void showSelectedBackground();

    Ref<UIView> contentView_;
    Ref<UIView> backgroundView_;
    Ref<UIView> selectedBackgroundView_;
    bool selected_ = false;
    bool highlighted_ = false;
};
