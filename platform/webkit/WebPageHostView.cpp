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
    WeakRef<WebPageHostView> weak = self<WebPageHostView>();
    contentView_->setLinkTapped([weak](const std::string& linkText) {
        if (auto host = weak.lock()) host->followLink(linkText);
    });
    addSubview(contentView_);
}

void WebPageHostView::layoutSubviews() { contentView_->setFrame(bounds()); }

void WebPageHostView::showLoadedPage() { contentView_->showContent(loader_->content()); }
