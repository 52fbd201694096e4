#include "frameworks/refresh/MJRefreshBackNormalFooter.h"

Ref<MJRefreshBackNormalFooter> MJRefreshBackNormalFooter::footerWithRefreshingBlock(RefreshingBlock block) {
    auto footer = make<MJRefreshBackNormalFooter>();
    footer->setRefreshingBlock(std::move(block));
    return footer;
}

std::string MJRefreshBackNormalFooter::titleForState(MJRefreshState state) const {
    switch (state) {
    case MJRefreshState::Idle: return "上拉可以加载更多";
    case MJRefreshState::Pulling: return "松开立即加载更多";
    case MJRefreshState::Refreshing: return "正在加载更多的数据...";
    }
    return {};
}
