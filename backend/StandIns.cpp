#include "backend/StandIns.h"

#include <tuple>

#include <nlohmann/json.hpp>

namespace backend {

std::string StandIns::toJSON() const {
    nlohmann::ordered_json json;
    json["pal_connect"] = {{"host", palConnectHost}, {"certificate", palConnectCertificate}};
    json["ripple_open_platform"] = {{"host", rippleOpenPlatformHost}, {"certificate", rippleOpenPlatformCertificate}};
    json["analytics_collector"] = {{"host", analyticsCollectorHost}, {"port", analyticsCollectorPort}};
    return json.dump();
}

std::optional<StandIns> StandIns::fromJSON(const std::string& text) {
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object()) return std::nullopt;
    auto field = [&](const char* service, const char* name) -> const nlohmann::json* {
        auto outer = json.find(service);
        if (outer == json.end() || !outer->is_object()) return nullptr;
        auto inner = outer->find(name);
        return inner == outer->end() ? nullptr : &*inner;
    };
    StandIns standIns;
    for (auto [service, name, target] :
         {std::tuple{"pal_connect", "host", &standIns.palConnectHost},
          std::tuple{"pal_connect", "certificate", &standIns.palConnectCertificate},
          std::tuple{"ripple_open_platform", "host", &standIns.rippleOpenPlatformHost},
          std::tuple{"ripple_open_platform", "certificate", &standIns.rippleOpenPlatformCertificate},
          std::tuple{"analytics_collector", "host", &standIns.analyticsCollectorHost}}) {
        const nlohmann::json* value = field(service, name);
        if (!value || !value->is_string() || value->get_ref<const std::string&>().empty()) return std::nullopt;
        *target = value->get<std::string>();
    }
    const nlohmann::json* port = field("analytics_collector", "port");
    if (!port || !port->is_number_integer() || port->get<long long>() <= 0 || port->get<long long>() > 65535)
        return std::nullopt;
    standIns.analyticsCollectorPort = static_cast<int>(port->get<long long>());
    return standIns;
}

}  // namespace backend
