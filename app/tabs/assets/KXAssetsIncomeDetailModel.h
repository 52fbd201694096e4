#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// One entry of the income detail list.
class KXAssetsIncomeDetailModel : public HandyJSON {
public:
    std::string uid{};
    std::string username{};
    std::string money{};
    std::string paymoney{};
    std::string appid{};
    std::string time{};
    std::string gname{};
    std::string fencheng{};

    void mapping(PropertyMapper& mapper) override {
        mapper("uid", uid)("username", username)("money", money)("paymoney", paymoney)("appid", appid)("time", time)("gname", gname)("fencheng", fencheng);
    }
};
