#pragma once

#include <string>
#include <vector>

#include "app/tabs/home/KXHomeDataModel.h"
#include "app/tabs/home/KXHomeNavModel.h"
#include "app/tabs/home/KXHomeRankListModel.h"
#include "frameworks/models/HandyJSON.h"

// The Home tab's answer: grid tiles, dashboard figures and the promoter ranking.
class KXHomeModel : public HandyJSON {
public:
    std::vector<Ref<KXHomeNavModel>> nav{};
    Ref<KXHomeDataModel> shuju = make<KXHomeDataModel>();
    std::vector<Ref<KXHomeRankListModel>> paihangbang{};

    void mapping(PropertyMapper& mapper) override {
        mapper("nav", nav)("shuju", shuju)("paihangbang", paihangbang);
    }
};
