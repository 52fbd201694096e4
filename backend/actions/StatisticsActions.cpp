#include "backend/actions/StatisticsActions.h"

#include "backend/Format.h"
#include "backend/Queries.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

// One row per channel, largest first: `channelKey` holds the channel's name,
// `count` its figure and `bfb` its share of the sum; beside the list, the
// channel names alone under `channelKey`, for the chart.
Envelope channelShares(const ActionContext& context, const std::string& sql, const char* channelKey,
                       double scale) {
    std::vector<std::pair<std::string, double>> channels;
    Statement rows = context.database.prepare(sql);
    rows.bind({context.promoterId});
    double sum = 0;
    while (rows.step()) {
        channels.emplace_back(rows.text(0), static_cast<double>(rows.integer(1)) / scale);
        sum += channels.back().second;
    }
    json list = json::array(), names = json::array();
    for (const auto& [name, figure] : channels) {
        list.push_back({{"count", figure}, {channelKey, name}, {"bfb", formatPercent(figure, sum)}});
        names.push_back(name);
    }
    return Envelope::success({{"list", std::move(list)}, {channelKey, std::move(names)}});
}

Envelope registrationChannels(const ActionContext& context) {
    return channelShares(context,
                         "SELECT reg_type, COUNT(*) AS figure FROM players WHERE promoter_id = ?"
                         " GROUP BY reg_type ORDER BY figure DESC, reg_type",
                         "reg_type", 1.0);
}

Envelope paymentChannels(const ActionContext& context) {
    return channelShares(context,
                         "SELECT payment, SUM(amount_cents) AS figure FROM orders WHERE promoter_id = ?"
                         " GROUP BY payment ORDER BY figure DESC, payment",
                         "payment", 100.0);
}

}  // namespace

void addStatisticsActions(ActionRouter& router) {
    router.add("app2022", "regment", Signing::Promoter, registrationChannels);
    router.add("app2022", "payment", Signing::Promoter, paymentChannels);
}

}  // namespace backend
