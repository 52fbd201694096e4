#pragma once

#include "frameworks/refresh/MJRefreshFooter.h"

// The footer with the usual state texts.
class MJRefreshBackNormalFooter : public MJRefreshFooter {
public:
    template <class T, class Method>
    static Ref<MJRefreshBackNormalFooter> footerWithRefreshingTarget(const Ref<T>& target, Method method) {
        auto footer = make<MJRefreshBackNormalFooter>();
        footer->setRefreshingTarget(target, method);
        return footer;
    }
    static Ref<MJRefreshBackNormalFooter> footerWithRefreshingBlock(RefreshingBlock block);

protected:
    std::string titleForState(MJRefreshState state) const override;
};
