#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One sub-promoter of the promoter, as the "down" list answers it.
class MyOfflineModel : public MJKeyValueModel {
public:
    std::optional<std::string> id;        // sent as `id` of "down_del"
    std::optional<std::string> username;
    std::optional<std::string> phone;
    std::optional<std::string> fcbl;      // the share, as the back end words it
    std::optional<std::string> is_login;  // the sign-in permission as given ("1" allowed, "2" refused)

    void mapping(PropertyMapper& mapper) override {
        mapper("id", id)("username", username)("phone", phone)("fcbl", fcbl)("is_login", is_login);
    }
};
