#pragma once

#include "frameworks/refresh/MJRefreshHeader.h"

// The header with the usual state texts.
class MJRefreshNormalHeader : public MJRefreshHeader {
public:
    template <class T, class Method>
    static Ref<MJRefreshNormalHeader> headerWithRefreshingTarget(const Ref<T>& target, Method method) {
        auto header = make<MJRefreshNormalHeader>();
        header->setRefreshingTarget(target, method);
        return header;
    }
    static Ref<MJRefreshNormalHeader> headerWithRefreshingBlock(RefreshingBlock block);

protected:
    std::string titleForState(MJRefreshState state) const override;
};
