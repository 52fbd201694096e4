#include "webkit/WebPageHostView.h"

#include <algorithm>

WebPageHostView::~WebPageHostView() {
    if (loader_) loader_->detachClient();
}

void WebPageHostView::didCreate() {
    UIView::didCreate();
    setBackgroundColor(UIColor::whiteColor());
    loader_ = make<WebFrameLoader>(static_cast<WebFrameLoaderClient&>(*this));
    scrollView_ = make<UIScrollView>(bounds());
    addSubview(scrollView_);
    contentView_ = make<WebPageContentView>();
    WeakRef<WebPageHostView> weak = self<WebPageHostView>();
    contentView_->setLinkTapped([weak](const std::string& linkText) {
        if (auto host = weak.lock()) host->followLink(linkText);
    });
    scrollView_->addSubview(contentView_);
}

void WebPageHostView::beginNavigation(const std::function<void()>& navigate) {
    Ref<WebPageHostView> me = self<WebPageHostView>();
    navigate();
}

void WebPageHostView::layoutSubviews() {
    scrollView_->setFrame(bounds());
    const CGSize page = contentView_->sizeThatFits({bounds().size.width, 0});
    contentView_->setFrame(CGRectMake(0, 0, page.width, std::max(page.height, bounds().size.height)));
    scrollView_->setContentSize(page);
}

void WebPageHostView::showLoadedPage() {
    contentView_->showContent(loader_->content());
    // A new page starts at its top.
    scrollView_->setContentOffset(scrollView_->minimumContentOffset());
    setNeedsLayout();
}
