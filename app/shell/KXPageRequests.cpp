#include "app/shell/KXPageRequests.h"

#include <utility>

KXPageRequests::~KXPageRequests() {
    if (auto cancel = std::exchange(cancel_, nullptr)) cancel();
}

KXPageRequests::Ticket KXPageRequests::startFirstPage() {
    // Taken out first: the cancel may run what it ends, never this order again.
    if (auto cancel = std::exchange(cancel_, nullptr)) cancel();
    underWay_ = true;
    return ++current_;
}

std::optional<KXPageRequests::Ticket> KXPageRequests::startNextPage() {
    if (underWay_) return std::nullopt;
    underWay_ = true;
    return ++current_;
}

void KXPageRequests::sent(Ticket ticket, Cancel cancel) {
    if (!cancel) return;
    if (ticket != current_) {
        cancel();
        return;
    }
    if (underWay_) cancel_ = std::move(cancel);
}

bool KXPageRequests::answered(Ticket ticket) {
    if (ticket != current_) return false;
    underWay_ = false;
    cancel_ = nullptr;
    return true;
}
