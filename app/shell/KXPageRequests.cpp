#include "app/shell/KXPageRequests.h"

KXPageRequests::Ticket KXPageRequests::startFirstPage() {
    underWay_ = true;
    return ++current_;
}

std::optional<KXPageRequests::Ticket> KXPageRequests::startNextPage() {
    if (underWay_) return std::nullopt;
    underWay_ = true;
    return ++current_;
}

bool KXPageRequests::answered(Ticket ticket) {
    if (ticket != current_) return false;
    underWay_ = false;
    return true;
}
