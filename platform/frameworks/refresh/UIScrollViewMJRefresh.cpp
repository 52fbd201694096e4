#include "frameworks/refresh/UIScrollViewMJRefresh.h"

#include "frameworks/refresh/MJRefreshFooter.h"
#include "frameworks/refresh/MJRefreshHeader.h"
#include "uikit/UIScrollView.h"

namespace {

template <class Component> Ref<Component> attached(const Ref<UIScrollView>& scrollView) {
    if (!scrollView) return nullptr;
    for (const auto& subview : scrollView->subviews())
        if (auto component = cast<Component>(subview)) return component;
    return nullptr;
}

template <class Component> void attach(const Ref<UIScrollView>& scrollView, const Ref<Component>& component) {
    if (!scrollView) return;
    auto old = attached<Component>(scrollView);
    if (old == component) return;
    if (old) old->removeFromSuperview();
    // Beneath the content, as the strips show in the space the content leaves.
    if (component) scrollView->insertSubview(component, 0);
}

}  // namespace

void UIScrollViewMJRefresh::setMj_header(const Ref<UIScrollView>& scrollView, const Ref<MJRefreshHeader>& header) {
    attach(scrollView, header);
}

Ref<MJRefreshHeader> UIScrollViewMJRefresh::mj_header(const Ref<UIScrollView>& scrollView) {
    return attached<MJRefreshHeader>(scrollView);
}

void UIScrollViewMJRefresh::setMj_footer(const Ref<UIScrollView>& scrollView, const Ref<MJRefreshFooter>& footer) {
    attach(scrollView, footer);
}

Ref<MJRefreshFooter> UIScrollViewMJRefresh::mj_footer(const Ref<UIScrollView>& scrollView) {
    return attached<MJRefreshFooter>(scrollView);
}
