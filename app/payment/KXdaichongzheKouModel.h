#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// A game the promoter may top up at a discount ("fuli_game"): its id (sent
// as `gid`), name, icon address, the promoter's share ratio and the
// discount as a fraction (0.3: the promoter pays 70 %).
class KXdaichongzheKouModel : public MJKeyValueModel {
public:
    std::optional<std::string> fcbl;
    std::optional<std::string> icon;
    std::optional<std::string> id;
    std::optional<std::string> name;
    double zhekou = 0;

    void mapping(PropertyMapper& mapper) override {
        mapper("fcbl", fcbl)("icon", icon)("id", id)("name", name)("zhekou", zhekou);
    }
};
