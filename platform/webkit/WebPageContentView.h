#pragma once

#include "uikit/UILabel.h"
#include "uikit/UIView.h"
#include "webkit/WebPageContent.h"

// How a web view draws its page: on white, the title in bold above the
// text, both wrapped to the width inside a 12-point margin; what does not
// fit is cut off at the bottom.
class WebPageContentView : public UIView {
public:
    void showContent(const WebPageContent& content);
    Ref<UILabel> titleLabel() const { return titleLabel_; }
    Ref<UILabel> textLabel() const { return textLabel_; }

    void layoutSubviews() override;
    std::string className() const override { return "WebPageContentView"; }

protected:
    void didCreate() override;

private:
    Ref<UILabel> titleLabel_;
    Ref<UILabel> textLabel_;
};
