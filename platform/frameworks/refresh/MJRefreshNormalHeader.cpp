#include "frameworks/refresh/MJRefreshNormalHeader.h"

Ref<MJRefreshNormalHeader> MJRefreshNormalHeader::headerWithRefreshingBlock(RefreshingBlock block) {
    auto header = make<MJRefreshNormalHeader>();
    header->setRefreshingBlock(std::move(block));
    return header;
}

std::string MJRefreshNormalHeader::titleForState(MJRefreshState state) const {
    switch (state) {
    case MJRefreshState::Idle: return "下拉可以刷新";
    case MJRefreshState::Pulling: return "松开立即刷新";
    case MJRefreshState::Refreshing: return "正在刷新数据中...";
    }
    return {};
}
