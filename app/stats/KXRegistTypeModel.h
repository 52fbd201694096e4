#pragma once

#include <string>
#include <vector>

#include "app/stats/KXRegistTypeListModel.h"
#include "frameworks/models/HandyJSON.h"

// The registration-type statistics answer.
class KXRegistTypeModel : public HandyJSON {
public:
    std::vector<Ref<KXRegistTypeListModel>> list{};
    std::vector<std::string> reg_type{};

    void mapping(PropertyMapper& mapper) override {
        mapper("list", list)("reg_type", reg_type);
    }
};
