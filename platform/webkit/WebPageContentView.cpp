#include "webkit/WebPageContentView.h"

#include <algorithm>

#include "uikit/UITapGestureRecognizer.h"

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
    titleLabel_ = makeLabel(UIFont::boldSystemFontOfSize(20));
    addSubview(titleLabel_);
}

Ref<UILabel> WebPageContentView::makeBlockLabel(const WebPageBlock& block) {
    auto label = makeLabel(UIFont::systemFontOfSize(15));
    label->setText(block.text);
    if (!block.link) return label;
    label->setTextColor(UIColor::colorWithRed(0, 0.4, 0.8, 1));
    label->setUserInteractionEnabled(true);
    WeakRef<WebPageContentView> weak = self<WebPageContentView>();
    label->addGestureRecognizer(make<UITapGestureRecognizer>(
        self<WebPageContentView>(), [weak, text = block.text](const Ref<UIGestureRecognizer>&) {
            auto view = weak.lock();
            if (view && view->linkTapped_) view->linkTapped_(text);
        }));
    return label;
}

void WebPageContentView::showContent(const WebPageContent& content) {
    titleLabel_->setText(content.title);
    titleLabel_->setHidden(content.title.empty());
    for (const auto& label : blockLabels_) label->removeFromSuperview();
    blockLabels_.clear();
    blockIsLink_.clear();
    for (const auto& block : content.blocks) {
        blockLabels_.push_back(makeBlockLabel(block));
        blockIsLink_.push_back(block.link.has_value());
        addSubview(blockLabels_.back());
    }
    setNeedsLayout();
}

CGFloat WebPageContentView::layOut(CGFloat viewWidth, bool place) {
    const CGFloat width = std::max<CGFloat>(0, viewWidth - 2 * kMargin);
    CGFloat y = kMargin;
    if (!titleLabel_->isHidden()) {
        const CGSize size = titleLabel_->sizeThatFits({width, 0});
        if (place) titleLabel_->setFrame(CGRectMake(kMargin, y, width, size.height));
        y += size.height + kTitleGap;
    }
    for (std::size_t i = 0; i < blockLabels_.size(); ++i) {
        const CGSize size = blockLabels_[i]->sizeThatFits({width, 0});
        // A link takes taps on its text only.
        const CGFloat shownWidth = blockIsLink_[i] ? std::min(width, size.width) : width;
        if (place) blockLabels_[i]->setFrame(CGRectMake(kMargin, y, shownWidth, size.height));
        y += size.height;
    }
    return y + kMargin;
}

CGSize WebPageContentView::sizeThatFits(CGSize size) { return {size.width, layOut(size.width, false)}; }

void WebPageContentView::layoutSubviews() { layOut(bounds().size.width, true); }
