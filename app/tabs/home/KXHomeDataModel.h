#pragma once

#include <string>

#include "app/tabs/home/KXHomeDownModel.h"
#include "frameworks/models/HandyJSON.h"

// The Home statistics card's figures, all as text.
class KXHomeDataModel : public HandyJSON {
public:
    std::string reg{};
    std::string fufeilv{};
    std::string pay{};
    std::string money{};
    Ref<KXHomeDownModel> down = make<KXHomeDownModel>();

    void mapping(PropertyMapper& mapper) override {
        mapper("reg", reg)("fufeilv", fufeilv)("pay", pay)("money", money)("down", down);
    }
};
