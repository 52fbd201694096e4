#include "frameworks/refresh/MJRefreshComponent.h"

#include "graphics/UIFont.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UILabel.h"
#include "uikit/UIScrollView.h"

namespace {

// The gap between the spinner and the start of the state text.
constexpr CGFloat kSpinnerGap = 20;

}  // namespace

void MJRefreshComponent::didCreate() {
    UIView::didCreate();
    setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    stateLabel_ = make<UILabel>();
    stateLabel_->setFont(UIFont::boldSystemFontOfSize(14));
    stateLabel_->setTextColor(UIColor::colorWithWhite(90.0 / 255, 1));
    stateLabel_->setTextAlignment(NSTextAlignment::Center);
    addSubview(stateLabel_);
    spinner_ = make<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::Gray);
    spinner_->sizeToFit();
    addSubview(spinner_);
    setState(MJRefreshState::Idle);
}

void MJRefreshComponent::setState(MJRefreshState state) {
    state_ = state;
    stateLabel_->setText(titleForState(state));
    if (state == MJRefreshState::Refreshing) spinner_->startAnimating();
    else spinner_->stopAnimating();
    setNeedsLayout();
}

void MJRefreshComponent::beginRefreshing() {
    if (isRefreshing()) return;
    // The action may end refreshing or detach the component at once.
    Ref<MJRefreshComponent> keep = self<MJRefreshComponent>();
    setState(MJRefreshState::Refreshing);
    if (auto scrollView = this->scrollView()) reveal(scrollView);
    if (refreshingAction_) refreshingAction_(keep);
    if (refreshingBlock_) refreshingBlock_();
}

void MJRefreshComponent::endRefreshing() {
    if (!isRefreshing()) return;
    setState(MJRefreshState::Idle);
    if (auto scrollView = this->scrollView()) conceal(scrollView);
}

void MJRefreshComponent::scrollViewContentDidChange(const Ref<UIScrollView>& scrollView) {
    place(scrollView);
    // A hidden strip does not react to pulls.
    if (isRefreshing() || isHidden() || !scrollView->isDragging()) return;
    MJRefreshState pulled = pulledDistance(scrollView) >= frame().size.height ? MJRefreshState::Pulling : MJRefreshState::Idle;
    if (pulled != state_) setState(pulled);
}

void MJRefreshComponent::scrollViewWillEndDragging(const Ref<UIScrollView>&) {
    if (state_ == MJRefreshState::Pulling) beginRefreshing();
}

void MJRefreshComponent::willMoveToSuperview(const Ref<UIView>& newSuperview) {
    UIView::willMoveToSuperview(newSuperview);
    auto old = scrollView();
    if (!old || old == newSuperview) return;
    if (isRefreshing()) {
        setState(MJRefreshState::Idle);
        conceal(old);
    }
    old->removeObserver(this);
    scrollView_.reset();
}

void MJRefreshComponent::didMoveToSuperview() {
    UIView::didMoveToSuperview();
    auto scrollView = cast<UIScrollView>(superview());
    if (!scrollView || scrollView == this->scrollView()) return;
    scrollView_ = scrollView;
    scrollView->addObserver(self<MJRefreshComponent>());
    // An empty or short list can still be pulled.
    scrollView->setAlwaysBounceVertical(true);
    place(scrollView);
}

void MJRefreshComponent::layoutSubviews() {
    UIView::layoutSubviews();
    CGRect bounds = this->bounds();
    stateLabel_->setFrame(bounds);
    CGFloat textWidth = stateLabel_->sizeThatFits(bounds.size).width;
    spinner_->setCenter({CGRectGetMidX(bounds) - textWidth / 2 - kSpinnerGap, CGRectGetMidY(bounds)});
}
