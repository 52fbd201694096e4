#include "webkit/WebPageHostView.h"

WebPageHostView::~WebPageHostView() {
    if (loader_) loader_->detachClient();
}

void WebPageHostView::didCreate() {
    UIView::didCreate();
    setBackgroundColor(UIColor::whiteColor());
    loader_ = make<WebFrameLoader>(static_cast<WebFrameLoaderClient&>(*this));
    contentView_ = make<WebPageContentView>();
    contentView_->setFrame(bounds());
    addSubview(contentView_);
}

void WebPageHostView::layoutSubviews() { contentView_->setFrame(bounds()); }

void WebPageHostView::showLoadedPage() { contentView_->showContent(loader_->content()); }
