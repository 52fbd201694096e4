#include "webkit/WebPageContentView.h"

#include <algorithm>

namespace {

constexpr CGFloat kMargin = 12;
constexpr CGFloat kTitleGap = 8;

Ref<UILabel> makeLabel(const UIFont& font) {
    auto label = make<UILabel>();
    label->setFont(font);
    label->setTextColor(UIColor::colorWithWhite(0.2, 1));
    label->setNumberOfLines(0);
    return label;
}

}  // namespace

void WebPageContentView::didCreate() {
    UIView::didCreate();
    setBackgroundColor(UIColor::whiteColor());
    setClipsToBounds(true);
    setUserInteractionEnabled(false);
    titleLabel_ = makeLabel(UIFont::boldSystemFontOfSize(20));
    textLabel_ = makeLabel(UIFont::systemFontOfSize(15));
    addSubview(titleLabel_);
    addSubview(textLabel_);
}

void WebPageContentView::showContent(const WebPageContent& content) {
    titleLabel_->setText(content.title);
    titleLabel_->setHidden(content.title.empty());
    textLabel_->setText(content.text);
    setNeedsLayout();
}

void WebPageContentView::layoutSubviews() {
    const CGFloat width = std::max<CGFloat>(0, bounds().size.width - 2 * kMargin);
    CGFloat y = kMargin;
    if (!titleLabel_->isHidden()) {
        const CGSize size = titleLabel_->sizeThatFits({width, 0});
        titleLabel_->setFrame(CGRectMake(kMargin, y, width, size.height));
        y += size.height + kTitleGap;
    }
    const CGSize size = textLabel_->sizeThatFits({width, 0});
    textLabel_->setFrame(CGRectMake(kMargin, y, width, size.height));
}
