#include "frameworks/webimage/WebImageLoadTickets.h"

#include <map>
#include <utility>

#include "uikit/UIView.h"

namespace {

struct Waiting {
    WeakRef<UIView> view;
    long ticket;
};

// Keyed by the view's address and the slot; the weak reference tells a
// living view from a later one at a freed address.
std::map<std::pair<const UIView*, long>, Waiting>& waiting() {
    static std::map<std::pair<const UIView*, long>, Waiting> entries;
    return entries;
}

}  // namespace

long WebImageLoadTickets::start(const Ref<UIView>& view, long slot) {
    static long lastTicket = 0;
    auto& entries = waiting();
    std::erase_if(entries, [](const auto& entry) { return entry.second.view.expired(); });
    entries[{view.get(), slot}] = Waiting{view, ++lastTicket};
    return lastTicket;
}

bool WebImageLoadTickets::isCurrent(const Ref<UIView>& view, long slot, long ticket) {
    auto& entries = waiting();
    auto found = entries.find({view.get(), slot});
    return found != entries.end() && found->second.ticket == ticket && found->second.view.lock() == view;
}
