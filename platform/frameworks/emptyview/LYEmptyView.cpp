#include "frameworks/emptyview/LYEmptyView.h"

#include <algorithm>

#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "uikit/UIButton.h"
#include "uikit/UICollectionView.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableView.h"

namespace {

constexpr CGFloat kSideMargin = 20;
constexpr CGFloat kGap = 10;
constexpr CGFloat kButtonPadding = 24;

UIColor grey(int value) { return UIColor::colorWithWhite(value / 255.0, 1); }

// Rows of a table or items of a collection; a list of another kind counts as empty.
long entriesIn(const Ref<UIScrollView>& list) {
    long count = 0;
    if (auto table = cast<UITableView>(list)) {
        for (long s = 0; s < table->numberOfSections(); ++s) count += table->numberOfRowsInSection(s);
    } else if (auto collection = cast<UICollectionView>(list)) {
        for (long s = 0; s < collection->numberOfSections(); ++s) count += collection->numberOfItemsInSection(s);
    }
    return count;
}

}  // namespace

Ref<LYEmptyView> LYEmptyView::emptyViewWithImageStr(const std::string& imageStr, const std::string& titleStr,
                                                    const std::string& detailStr) {
    auto view = make<LYEmptyView>();
    view->build(imageStr, titleStr, detailStr, "", nullptr);
    return view;
}

Ref<LYEmptyView> LYEmptyView::emptyActionViewWithImageStr(const std::string& imageStr, const std::string& titleStr,
                                                          const std::string& detailStr, const std::string& btnTitleStr,
                                                          ButtonClickBlock btnClickBlock) {
    auto view = make<LYEmptyView>();
    view->build(imageStr, titleStr, detailStr, btnTitleStr, std::move(btnClickBlock));
    return view;
}

void LYEmptyView::build(const std::string& imageStr, const std::string& titleStr, const std::string& detailStr,
                        const std::string& btnTitleStr, ButtonClickBlock btnClickBlock) {
    setBackgroundColor(UIColor::clearColor());
    // Hidden until the list it is attached to reports no rows.
    setHidden(true);
    if (!imageStr.empty()) {
        imageView_ = make<UIImageView>(UIImage::imageNamed(imageStr));
        addSubview(imageView_);
    }
    auto makeLabel = [this](const std::string& text, CGFloat size, UIColor colour) {
        auto label = make<UILabel>();
        label->setText(text);
        label->setFont(UIFont::systemFontOfSize(size));
        label->setTextColor(colour);
        label->setTextAlignment(NSTextAlignment::Center);
        label->setNumberOfLines(0);
        addSubview(label);
        return label;
    };
    if (!titleStr.empty()) titleLabel_ = makeLabel(titleStr, 16, grey(0x33));
    if (!detailStr.empty()) detailLabel_ = makeLabel(detailStr, 14, grey(0x99));
    if (!btnTitleStr.empty()) {
        btnClickBlock_ = std::move(btnClickBlock);
        actionButton_ = UIButton::buttonWithType(UIButtonType::Custom);
        actionButton_->setTitle(btnTitleStr, UIControlStateNormal);
        actionButton_->setTitleColor(grey(0x33), UIControlStateNormal);
        actionButton_->titleLabel()->setFont(UIFont::systemFontOfSize(14));
        actionButton_->layer()->setBorderWidth(1);
        actionButton_->layer()->setBorderColor(grey(0x33));
        actionButton_->layer()->setCornerRadius(actionBtnCornerRadius_);
        actionButton_->addTarget(self<LYEmptyView>(), &LYEmptyView::actionButtonClicked,
                                 UIControlEventTouchUpInside);
        addSubview(actionButton_);
    }
}

void LYEmptyView::actionButtonClicked() {
    if (btnClickBlock_) btnClickBlock_();
}

void LYEmptyView::setContentViewOffset(CGFloat offset) {
    contentViewOffset_ = offset;
    setNeedsLayout();
}

void LYEmptyView::setActionBtnCornerRadius(CGFloat radius) {
    actionBtnCornerRadius_ = radius;
    if (actionButton_) actionButton_->layer()->setCornerRadius(radius);
}

void LYEmptyView::setActionBtnHeight(CGFloat height) {
    actionBtnHeight_ = height;
    setNeedsLayout();
}

void LYEmptyView::willMoveToSuperview(const Ref<UIView>& newSuperview) {
    UIView::willMoveToSuperview(newSuperview);
    auto old = list_.lock();
    if (!old || old == newSuperview) return;
    old->removeObserver(this);
    list_.reset();
}

void LYEmptyView::didMoveToSuperview() {
    UIView::didMoveToSuperview();
    auto list = cast<UIScrollView>(superview());
    if (!list || list == list_.lock()) return;
    list_ = list;
    list->addObserver(self<LYEmptyView>());
    fitToList(list);
}

void LYEmptyView::scrollViewDidReloadData(const Ref<UIScrollView>& scrollView) {
    setHidden(entriesIn(scrollView) > 0);
    fitToList(scrollView);
}

void LYEmptyView::scrollViewContentDidChange(const Ref<UIScrollView>& scrollView) { fitToList(scrollView); }

// The list's visible size, at the top of its content.
void LYEmptyView::fitToList(const Ref<UIScrollView>& scrollView) {
    CGSize size = scrollView->bounds().size;
    if (frame().size != size) setFrame({{0, 0}, size});
}

void LYEmptyView::layoutSubviews() {
    UIView::layoutSubviews();
    CGRect bounds = this->bounds();
    CGFloat width = std::max<CGFloat>(0, bounds.size.width - 2 * kSideMargin);

    std::vector<std::pair<Ref<UIView>, CGSize>> parts;
    if (imageView_) parts.emplace_back(imageView_, imageView_->sizeThatFits({width, 0}));
    for (const auto& label : {titleLabel_, detailLabel_})
        if (label) parts.emplace_back(label, CGSize{width, label->sizeThatFits({width, 0}).height});
    if (actionButton_) {
        CGFloat titleWidth = actionButton_->titleLabel()->sizeThatFits({width, 0}).width;
        parts.emplace_back(actionButton_, CGSize{std::min(width, titleWidth + 2 * kButtonPadding), actionBtnHeight_});
    }
    if (parts.empty()) return;

    CGFloat total = kGap * static_cast<CGFloat>(parts.size() - 1);
    for (const auto& part : parts) total += part.second.height;
    CGFloat y = (bounds.size.height - total) / 2 + contentViewOffset_;
    for (const auto& [view, size] : parts) {
        view->setFrame({{(bounds.size.width - size.width) / 2, y}, size});
        y += size.height + kGap;
    }
}

Ref<UIView> LYEmptyView::hitTestWithin(CGPoint point, UIEvent* event, TouchArea area) {
    auto hit = UIView::hitTestWithin(point, event, area);
    return hit.get() == this ? nullptr : hit;
}
