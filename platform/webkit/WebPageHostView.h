#pragma once

#include <functional>

#include "uikit/UIScrollView.h"
#include "uikit/UIView.h"
#include "webkit/WebFrameLoader.h"
#include "webkit/WebPageContentView.h"

// What both web views are: a white view showing its page through a content
// view as wide as it and as tall as the page, in a scroll view that fills it
// (the page scrolls when it is taller than the view), loaded by a WebFrameLoader whose client is the web
// view itself (each web view turns the loader's reports into its own
// delegate calls). A tap on a link the content view shows follows it.
class WebPageHostView : public UIView, protected WebFrameLoaderClient {
public:
    using UIView::UIView;
    ~WebPageHostView() override;

    void layoutSubviews() override;
    // What the page scrolls in.
    Ref<UIScrollView> scrollView() const { return scrollView_; }

    // The page's link with that text is tapped (what a tap on a link shown
    // by the content view does): false when the page has none.
    virtual bool followLink(const std::string& linkText) = 0;

protected:
    void didCreate() override;
    // Runs `navigate`, which begins a navigation on the loader, with the view
    // kept for the call: the loader first ends the load under way, and the
    // delegate told of its failure may let the view go.
    void beginNavigation(const std::function<void()>& navigate);
    // Shows the page the loader holds now.
    void showLoadedPage();

    Ref<WebFrameLoader> loader_;

private:
    Ref<UIScrollView> scrollView_;
    Ref<WebPageContentView> contentView_;
};
