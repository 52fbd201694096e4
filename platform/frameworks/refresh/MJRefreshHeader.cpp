#include "frameworks/refresh/MJRefreshHeader.h"

#include "uikit/UIScrollView.h"

CGFloat MJRefreshHeader::pulledDistance(const Ref<UIScrollView>& scrollView) const {
    return scrollView->minimumContentOffset().y - scrollView->contentOffset().y;
}

void MJRefreshHeader::place(const Ref<UIScrollView>& scrollView) {
    CGRect frame{0, -kHeight, scrollView->bounds().size.width, kHeight};
    if (frame != this->frame()) setFrame(frame);
}

void MJRefreshHeader::reveal(const Ref<UIScrollView>& scrollView) {
    UIEdgeInsets inset = scrollView->contentInset();
    addedInset_ = kHeight;
    inset.top += addedInset_;
    scrollView->setContentInset(inset);
    if (!scrollView->isDragging())
        scrollView->setContentOffset({scrollView->contentOffset().x, scrollView->minimumContentOffset().y});
}

void MJRefreshHeader::conceal(const Ref<UIScrollView>& scrollView) {
    UIEdgeInsets inset = scrollView->contentInset();
    inset.top -= addedInset_;
    addedInset_ = 0;
    scrollView->setContentInset(inset);
    CGFloat top = scrollView->minimumContentOffset().y;
    if (!scrollView->isDragging() && scrollView->contentOffset().y < top)
        scrollView->setContentOffset({scrollView->contentOffset().x, top});
}
