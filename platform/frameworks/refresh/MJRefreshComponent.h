#pragma once

#include <functional>
#include <string>

#include "foundation/StoredBlock.h"
#include "uikit/TargetAction.h"
#include "uikit/UIScrollViewObserver.h"
#include "uikit/UIView.h"

class UIActivityIndicatorView;
class UILabel;
class UIScrollView;

enum class MJRefreshState {
    // At rest; a drag has not pulled the component past its threshold.
    Idle,
    // Pulled past the threshold: letting go now starts refreshing.
    Pulling,
    // The action runs; the component stays in view until endRefreshing.
    Refreshing,
};

// A pull-to-refresh strip living inside a scroll view (added as its subview,
// see UIScrollViewMJRefresh). It follows the scroll view's drags as an
// observer, so the scroll view's delegate stays the screen's: pulled past its
// height it turns to Pulling, and letting go there begins refreshing, which
// keeps the strip in view through the content inset and calls the refreshing
// action (a target's member function, held weakly, and/or a block).
// endRefreshing gives the inset back and returns to Idle. The strip shows a
// text per state, with a spinner while refreshing. A hidden strip ignores
// pulls.
class MJRefreshComponent : public UIView, public UIScrollViewObserver {
public:
    using RefreshingBlock = StoredBlock<void()>;

    MJRefreshState state() const { return state_; }
    bool isRefreshing() const { return state_ == MJRefreshState::Refreshing; }
    // Shows the strip and calls the action; nothing when already refreshing.
    void beginRefreshing();
    void endRefreshing();

    // `method` is a member function of the target taking nothing or the
    // component; it is not called once the target is gone.
    template <class T, class Method> void setRefreshingTarget(const Ref<T>& target, Method method) {
        refreshingAction_ = bindTargetAction<MJRefreshComponent>(target, method);
    }
    void setRefreshingBlock(RefreshingBlock block) { refreshingBlock_ = std::move(block); }

    Ref<UILabel> stateLabel() const { return stateLabel_; }
    // The scroll view the component is in, if any.
    Ref<UIScrollView> scrollView() const { return scrollView_.lock(); }

    void scrollViewContentDidChange(const Ref<UIScrollView>& scrollView) override;
    void scrollViewWillEndDragging(const Ref<UIScrollView>& scrollView) override;
    void willMoveToSuperview(const Ref<UIView>& newSuperview) override;
    void didMoveToSuperview() override;
    void layoutSubviews() override;

protected:
    void didCreate() override;

    // How far the content is pulled past the edge the component sits at.
    virtual CGFloat pulledDistance(const Ref<UIScrollView>& scrollView) const = 0;
    // Sets the frame in the scroll view's content.
    virtual void place(const Ref<UIScrollView>& scrollView) = 0;
    // Adds to the content inset so the strip stays in view while refreshing
    // (and, outside a drag, brings it into view); conceal takes it back.
    virtual void reveal(const Ref<UIScrollView>& scrollView) = 0;
    virtual void conceal(const Ref<UIScrollView>& scrollView) = 0;
    virtual std::string titleForState(MJRefreshState state) const = 0;

private:
    void setState(MJRefreshState state);

    MJRefreshState state_ = MJRefreshState::Idle;
    StoredBlock<void(const Ref<MJRefreshComponent>&)> refreshingAction_;
    RefreshingBlock refreshingBlock_;
    WeakRef<UIScrollView> scrollView_;
    Ref<UILabel> stateLabel_;
    Ref<UIActivityIndicatorView> spinner_;
};
