#include "peers/PaymentNotice.h"

#include <httplib.h>

#include "foundation/NSURLComponents.h"

namespace PaymentNotice {

namespace {

std::string& secretStore() {
    static std::string secret;
    return secret;
}

}  // namespace

void setProviderSecret(std::string secret) { secretStore() = std::move(secret); }

const std::string& providerSecret() { return secretStore(); }

std::optional<std::string> confirm(const Ref<NSURL>& paymentLink, const std::string& secret) {
    auto components = paymentLink ? NSURLComponents::componentsWithURL(paymentLink, false) : nullptr;
    auto items = components ? components->queryItems() : std::nullopt;
    if (!items) return std::nullopt;
    for (const auto& item : *items) {
        if (item.name() != "notify" || !item.value()) continue;
        auto notify = NSURLComponents::componentsWithString(*item.value());
        if (!notify || !notify->host() || !notify->port()) return std::nullopt;
        httplib::Client shop(*notify->host(), static_cast<int>(*notify->port()));
        const std::string target = notify->percentEncodedPath() +
                                   (notify->percentEncodedQuery() ? "?" + *notify->percentEncodedQuery() : "");
        auto answer = shop.Get(target, {{"X-Payment-Secret", secret}});
        if (!answer) return std::nullopt;
        return answer->body;
    }
    return std::nullopt;
}

std::string pay(const Ref<NSURL>& paymentLink) {
    if (providerSecret().empty()) return "pay: not paid (no payment secret)";
    auto answer = confirm(paymentLink, providerSecret());
    return answer ? "pay: paid, the shop answered " + *answer : "pay: not paid (no notify address answered)";
}

}  // namespace PaymentNotice
