#pragma once

#include "frameworks/refresh/MJRefreshComponent.h"

// The strip just below the end of the content (or at the bottom of the
// visible area when the content is shorter): pulled up past its height and
// let go, it refreshes (loads more); while refreshing the bottom inset grows
// so it stays in view under the content.
class MJRefreshFooter : public MJRefreshComponent {
public:
    static constexpr CGFloat kHeight = 44;

protected:
    CGFloat pulledDistance(const Ref<UIScrollView>& scrollView) const override;
    void place(const Ref<UIScrollView>& scrollView) override;
    void reveal(const Ref<UIScrollView>& scrollView) override;
    void conceal(const Ref<UIScrollView>& scrollView) override;

private:
    // The bottom inset without the footer's own part.
    CGFloat bottomInset(const Ref<UIScrollView>& scrollView) const;
    // Where the footer's top sits in the content.
    CGFloat top(const Ref<UIScrollView>& scrollView) const;

    CGFloat addedInset_ = 0;
};
