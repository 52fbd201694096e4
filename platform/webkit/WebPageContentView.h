#pragma once

#include <functional>
#include <string>
#include <vector>

#include "foundation/StoredBlock.h"
#include "uikit/UILabel.h"
#include "uikit/UIView.h"
#include "webkit/WebPageContent.h"

// How a web view draws its page: on white, the title in bold above the
// text, both wrapped to the width inside a 12-point margin, as tall as the
// text needs (sizeThatFits; the web view scrolls it). The text is laid out block by block
// (WebPageContent::blocks): each link stands on its own line in link blue
// and takes taps, which go to `linkTapped` with the link's text.
class WebPageContentView : public UIView {
public:
    void showContent(const WebPageContent& content);
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    // One label per block of the text, in order.
    const std::vector<Ref<UILabel>>& blockLabels() const { return blockLabels_; }
    void setLinkTapped(StoredBlock<void(const std::string& linkText)> linkTapped) {
        linkTapped_ = std::move(linkTapped);
    }

    // The page's width as given, and the height its text takes at it.
    CGSize sizeThatFits(CGSize size) override;
    void layoutSubviews() override;
    std::string className() const override { return "WebPageContentView"; }

protected:
    void didCreate() override;

private:
    Ref<UILabel> makeBlockLabel(const WebPageBlock& block);
    // Lays the title and blocks out at the width (placing them when `place`
    // is set); the height they take, margins included.
    CGFloat layOut(CGFloat width, bool place);

    Ref<UILabel> titleLabel_;
    std::vector<Ref<UILabel>> blockLabels_;
    std::vector<bool> blockIsLink_;
    StoredBlock<void(const std::string& linkText)> linkTapped_;
};
