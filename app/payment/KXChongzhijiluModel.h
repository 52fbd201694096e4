#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One paid recharge of the prepaid balance, as "recharge_list" lists it.
class KXChongzhijiluModel : public MJKeyValueModel {
public:
    std::optional<std::string> orderid;
    std::optional<std::string> status;
    std::optional<std::string> money;
    std::optional<std::string> order_time;
    // The day and the time of day it was paid.
    std::optional<std::string> time1;
    std::optional<std::string> time2;

    void mapping(PropertyMapper& mapper) override {
        mapper("orderid", orderid)("status", status)("money", money)("order_time", order_time)("time1", time1)(
            "time2", time2);
    }
};
