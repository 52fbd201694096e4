#pragma once

#include <string>
#include <vector>

#include "app/stats/KXRechargeTypeListModel.h"
#include "frameworks/models/HandyJSON.h"

// The top-up-type statistics answer.
class KXRechargeTypeModel : public HandyJSON {
public:
    std::vector<Ref<KXRechargeTypeListModel>> list{};
    std::vector<std::string> payment{};

    void mapping(PropertyMapper& mapper) override {
        mapper("list", list)("payment", payment);
    }
};
