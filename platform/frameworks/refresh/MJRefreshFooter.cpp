#include "frameworks/refresh/MJRefreshFooter.h"

#include <algorithm>

#include "uikit/UIScrollView.h"

CGFloat MJRefreshFooter::bottomInset(const Ref<UIScrollView>& scrollView) const {
    return scrollView->adjustedContentInset().bottom - addedInset_;
}

CGFloat MJRefreshFooter::top(const Ref<UIScrollView>& scrollView) const {
    CGFloat visibleEnd = scrollView->bounds().size.height - scrollView->adjustedContentInset().top - bottomInset(scrollView);
    return std::max(scrollView->contentSize().height, visibleEnd);
}

CGFloat MJRefreshFooter::pulledDistance(const Ref<UIScrollView>& scrollView) const {
    CGFloat visibleBottom = scrollView->contentOffset().y + scrollView->bounds().size.height - bottomInset(scrollView);
    return visibleBottom - top(scrollView);
}

void MJRefreshFooter::place(const Ref<UIScrollView>& scrollView) {
    CGRect frame{0, top(scrollView), scrollView->bounds().size.width, kHeight};
    if (frame != this->frame()) setFrame(frame);
}

void MJRefreshFooter::reveal(const Ref<UIScrollView>& scrollView) {
    // Below a short content the footer sits lower than the content's end, so
    // the inset covers that gap as well.
    CGFloat added = kHeight + top(scrollView) - scrollView->contentSize().height;
    UIEdgeInsets inset = scrollView->contentInset();
    inset.bottom += added;
    addedInset_ = added;
    scrollView->setContentInset(inset);
    if (!scrollView->isDragging())
        scrollView->setContentOffset({scrollView->contentOffset().x, scrollView->maximumContentOffset().y});
}

void MJRefreshFooter::conceal(const Ref<UIScrollView>& scrollView) {
    UIEdgeInsets inset = scrollView->contentInset();
    inset.bottom -= addedInset_;
    addedInset_ = 0;
    scrollView->setContentInset(inset);
    CGFloat end = scrollView->maximumContentOffset().y;
    if (!scrollView->isDragging() && scrollView->contentOffset().y > end)
        scrollView->setContentOffset({scrollView->contentOffset().x, end});
    place(scrollView);
}
