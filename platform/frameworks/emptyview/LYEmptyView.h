#pragma once

#include <functional>
#include <string>

#include "foundation/StoredBlock.h"
#include "uikit/UIScrollViewObserver.h"
#include "uikit/UIView.h"

class UIButton;
class UIImageView;
class UILabel;

// The placeholder a list shows while it has no rows: an image, a title, a
// detail text and an optional action button, stacked and centred in the
// list's visible area (moved by `contentViewOffset`, positive downwards).
// Attached to a table or collection view (UIScrollViewLYEmpty), it follows
// the list's reloads and shows exactly while the list holds no row or item;
// it scrolls with the content and lets taps beside its button through.
// Empty texts and image names leave their part out.
class LYEmptyView : public UIView, public UIScrollViewObserver {
public:
    using UIView::UIView;

    using ButtonClickBlock = StoredBlock<void()>;

    static Ref<LYEmptyView> emptyViewWithImageStr(const std::string& imageStr, const std::string& titleStr,
                                                  const std::string& detailStr);
    static Ref<LYEmptyView> emptyActionViewWithImageStr(const std::string& imageStr, const std::string& titleStr,
                                                        const std::string& detailStr, const std::string& btnTitleStr,
                                                        ButtonClickBlock btnClickBlock);

    CGFloat contentViewOffset() const { return contentViewOffset_; }
    void setContentViewOffset(CGFloat offset);
    CGFloat actionBtnCornerRadius() const { return actionBtnCornerRadius_; }
    void setActionBtnCornerRadius(CGFloat radius);
    CGFloat actionBtnHeight() const { return actionBtnHeight_; }
    void setActionBtnHeight(CGFloat height);

    Ref<UIImageView> imageView() const { return imageView_; }
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    Ref<UILabel> detailLabel() const { return detailLabel_; }
    // Null for the form without a button.
    Ref<UIButton> actionButton() const { return actionButton_; }

    // The list the view is attached to: hidden while it has rows.
    void scrollViewDidReloadData(const Ref<UIScrollView>& scrollView) override;
    void scrollViewContentDidChange(const Ref<UIScrollView>& scrollView) override;
    void scrollViewWillEndDragging(const Ref<UIScrollView>&) override {}

    void didMoveToSuperview() override;
    void willMoveToSuperview(const Ref<UIView>& newSuperview) override;
    void layoutSubviews() override;
    Ref<UIView> hitTestWithin(CGPoint point, UIEvent* event, TouchArea area) override;

private:
    void build(const std::string& imageStr, const std::string& titleStr, const std::string& detailStr,
               const std::string& btnTitleStr, ButtonClickBlock btnClickBlock);
    void actionButtonClicked();
    void fitToList(const Ref<UIScrollView>& scrollView);

    CGFloat contentViewOffset_ = 0;
    CGFloat actionBtnCornerRadius_ = 5;
    CGFloat actionBtnHeight_ = 40;
    Ref<UIImageView> imageView_;
    Ref<UILabel> titleLabel_;
    Ref<UILabel> detailLabel_;
    Ref<UIButton> actionButton_;
    ButtonClickBlock btnClickBlock_;
    WeakRef<UIScrollView> list_;
};
