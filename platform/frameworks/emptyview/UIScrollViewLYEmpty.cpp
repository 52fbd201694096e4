#include "frameworks/emptyview/UIScrollViewLYEmpty.h"

#include "frameworks/emptyview/LYEmptyView.h"
#include "uikit/UIScrollView.h"

Ref<LYEmptyView> UIScrollViewLYEmpty::ly_emptyView(const Ref<UIScrollView>& scrollView) {
    if (!scrollView) return nullptr;
    for (const auto& subview : scrollView->subviews())
        if (auto emptyView = cast<LYEmptyView>(subview)) return emptyView;
    return nullptr;
}

void UIScrollViewLYEmpty::setLy_emptyView(const Ref<UIScrollView>& scrollView, const Ref<LYEmptyView>& emptyView) {
    if (!scrollView) return;
    auto old = ly_emptyView(scrollView);
    if (old == emptyView) return;
    if (old) old->removeFromSuperview();
    if (emptyView) scrollView->addSubview(emptyView);
}
