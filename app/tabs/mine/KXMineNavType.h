#pragma once

#include <cstdint>
#include <optional>

// The function codes the back end gives the Home grid's tiles and the Mine
// menu's entries. Codes 111 and 124 have no case; `promoteRank` keeps its
// declared place after `consumeRank` although its code is 112.
enum class KXMineNavType : std::int64_t {
    promoteBox = 101,
    promoteGame = 102,
    myGame = 103,
    applyGame = 104,
    saleRecharge = 105,
    applySettlement = 106,
    settlementDetailed = 107,
    subordinate = 108,
    divisionDetails = 109,
    withdrawalManage = 110,
    addSubordinate = 113,
    divideScale = 114,
    popularityRank = 115,
    openServiceInfo = 116,
    gameGiftBag = 117,
    registerStatistics = 118,
    rechargeStatistics = 119,
    roleSummary = 120,
    registType = 121,
    rechargeType = 122,
    consumeRank = 123,
    promoteRank = 112,
    mineInfo = 125,
    realNameAuthentication = 126,
    changePassword = 127,
    rechargeRecord = 128,
    withdrawalDetails = 129,
    contactUs = 130,
    promoteNotice = 131,
};

// The case whose code is `rawValue`; nothing for 111, 124 and every code
// outside 101-131.
inline std::optional<KXMineNavType> KXMineNavTypeFromRawValue(std::int64_t rawValue) {
    if (rawValue < 101 || rawValue > 131 || rawValue == 111 || rawValue == 124) return std::nullopt;
    return static_cast<KXMineNavType>(rawValue);
}

inline std::int64_t rawValue(KXMineNavType type) { return static_cast<std::int64_t>(type); }
