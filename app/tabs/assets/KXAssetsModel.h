#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// The promoter's asset summary: amounts in yuan, shown as received.
class KXAssetsModel : public HandyJSON {
public:
    std::string money{};
    std::string shareMoney{};
    std::string withdraw{};
    std::string accumulate{};
    std::string popularizeNumber{};
    std::string gameDescription{};

    void mapping(PropertyMapper& mapper) override {
        mapper("money", money)("shareMoney", shareMoney)("withdraw", withdraw)("accumulate", accumulate)("popularizeNumber", popularizeNumber)("gameDescription", gameDescription);
    }
};
