#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One promoter of the promotion ranking ("paihang"): a medal image address or "" in `icon`, the income in `money`.
class KXtuiguanpanhangModel : public MJKeyValueModel {
public:
    std::optional<std::string> icon;
    std::optional<std::string> id;
    std::optional<std::string> money;
    std::optional<std::string> username;

    void mapping(PropertyMapper& mapper) override {
        mapper("icon", icon)("id", id)("money", money)("username", username);
    }
};
