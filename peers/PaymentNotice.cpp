#include "peers/PaymentNotice.h"

#include <httplib.h>

#include "backend/PaymentPages.h"
#include "foundation/NSURLComponents.h"

namespace PaymentNotice {

namespace {

Provider& providerStore() {
    static Provider provider;
    return provider;
}

std::optional<std::string> queryItem(const Ref<NSURL>& url, const std::string& name) {
    auto components = url ? NSURLComponents::componentsWithURL(url, false) : nullptr;
    auto items = components ? components->queryItems() : std::nullopt;
    if (!items) return std::nullopt;
    for (const auto& item : *items)
        if (item.name() == name && item.value()) return item.value();
    return std::nullopt;
}

// Whether `address` is on the shop's scheme, host and port.
bool atShop(const Ref<NSURLComponents>& address, const std::string& shop) {
    auto own = NSURLComponents::componentsWithString(shop);
    return own && own->scheme() && own->host() && own->port() && address->scheme() == own->scheme() &&
           address->host() == own->host() && address->port() == own->port();
}

}  // namespace

void setProvider(Provider provider) { providerStore() = std::move(provider); }

const Provider& provider() { return providerStore(); }

std::optional<std::string> confirm(const Ref<NSURL>& paymentLink, const Provider& provider) {
    const std::optional<std::string> address = queryItem(paymentLink, "notify");
    const std::optional<std::string> amount = queryItem(paymentLink, "amount");
    if (!address || !amount || amount->empty() || provider.secret.empty()) return std::nullopt;
    auto notify = NSURLComponents::componentsWithString(*address);
    if (!notify || !notify->host() || !notify->port() || !atShop(notify, provider.shop)) return std::nullopt;
    const std::string path = notify->percentEncodedPath();
    httplib::Client shop(*notify->host(), static_cast<int>(*notify->port()));
    auto answer = shop.Get(path, httplib::Params{{"amount", *amount}},
                           {{"X-Payment-Signature", backend::paymentNoticeSignature(provider.secret, path, *amount)}});
    if (!answer) return std::nullopt;
    return answer->body;
}

std::string pay(const Ref<NSURL>& paymentLink) {
    if (provider().secret.empty()) return "pay: not paid (no payment secret)";
    const std::optional<std::string> address = queryItem(paymentLink, "notify");
    auto notify = address ? NSURLComponents::componentsWithString(*address) : nullptr;
    if (notify && !atShop(notify, provider().shop)) return "pay: not paid (the notify address is not the shop's)";
    auto answer = confirm(paymentLink, provider());
    return answer ? "pay: paid, the shop answered " + *answer : "pay: not paid (no notify address answered)";
}

}  // namespace PaymentNotice
