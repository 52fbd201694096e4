#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// A game open for application, one entry of the "games" list, filled by key.
class KXApplyGameModel : public MJKeyValueModel {
public:
    std::optional<std::string> fcbl;         // share ratio
    std::optional<std::string> icon;         // icon address
    std::optional<std::string> id;           // game id, for the details screen
    std::optional<std::string> name;
    std::optional<std::string> system;       // the systems it runs on
    std::optional<std::string> system_type;  // shown before the share ratio
    std::optional<std::string> time;
    std::optional<std::string> time1;        // the row's first date line
    std::optional<std::string> time2;        // the row's second date line
    std::optional<std::string> zhekou;

    void mapping(PropertyMapper& mapper) override {
        mapper("fcbl", fcbl)("icon", icon)("id", id)("name", name)("system", system)("system_type", system_type);
        mapper("time", time)("time1", time1)("time2", time2)("zhekou", zhekou);
    }
};
