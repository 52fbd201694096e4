#pragma once

#include "frameworks/refresh/MJRefreshComponent.h"

// The strip above the content's top: pulled down past its height and let go,
// it refreshes; while refreshing the top inset grows by its height.
class MJRefreshHeader : public MJRefreshComponent {
public:
    static constexpr CGFloat kHeight = 54;

protected:
    CGFloat pulledDistance(const Ref<UIScrollView>& scrollView) const override;
    void place(const Ref<UIScrollView>& scrollView) override;
    void reveal(const Ref<UIScrollView>& scrollView) override;
    void conceal(const Ref<UIScrollView>& scrollView) override;

private:
    CGFloat addedInset_ = 0;
};
