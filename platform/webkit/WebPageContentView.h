#pragma once

#include <functional>
#include <string>
#include <vector>

#include "uikit/UILabel.h"
#include "uikit/UIView.h"
#include "webkit/WebPageContent.h"

// How a web view draws its page: on white, the title in bold above the
// text, both wrapped to the width inside a 12-point margin; what does not
// fit is cut off at the bottom. The text is laid out block by block
// (WebPageContent::blocks): each link stands on its own line in link blue
// and takes taps, which go to `linkTapped` with the link's text.
class WebPageContentView : public UIView {
public:
    void showContent(const WebPageContent& content);
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    // One label per block of the text, in order.
    const std::vector<Ref<UILabel>>& blockLabels() const { return blockLabels_; }
    void setLinkTapped(std::function<void(const std::string& linkText)> linkTapped) {
        linkTapped_ = std::move(linkTapped);
    }

    void layoutSubviews() override;
    std::string className() const override { return "WebPageContentView"; }

protected:
    void didCreate() override;

private:
    Ref<UILabel> makeBlockLabel(const WebPageBlock& block);

    Ref<UILabel> titleLabel_;
    std::vector<Ref<UILabel>> blockLabels_;
    std::vector<bool> blockIsLink_;
    std::function<void(const std::string& linkText)> linkTapped_;
};
