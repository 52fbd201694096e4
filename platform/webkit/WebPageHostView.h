#pragma once

#include "uikit/UIView.h"
#include "webkit/WebFrameLoader.h"
#include "webkit/WebPageContentView.h"

// What both web views are: a white view showing its page through a content
// view that fills it, loaded by a WebFrameLoader whose client is the web
// view itself (each web view turns the loader's reports into its own
// delegate calls).
class WebPageHostView : public UIView, protected WebFrameLoaderClient {
public:
    using UIView::UIView;
    ~WebPageHostView() override;

    void layoutSubviews() override;

protected:
    void didCreate() override;
    // Shows the page the loader holds now.
    void showLoadedPage();

    Ref<WebFrameLoader> loader_;

private:
    Ref<WebPageContentView> contentView_;
};
