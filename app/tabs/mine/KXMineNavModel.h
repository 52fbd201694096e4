#pragma once

#include <string>
#include <vector>

#include "app/tabs/mine/KXMineDataModel.h"
#include "frameworks/models/HandyJSON.h"

// One menu group of the Mine tab.
class KXMineNavModel : public HandyJSON {
public:
    std::string title{};
    std::string icon{};
    std::vector<Ref<KXMineDataModel>> data{};

    void mapping(PropertyMapper& mapper) override {
        mapper("title", title)("icon", icon)("data", data);
    }
};
