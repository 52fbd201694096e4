#pragma once

#include <cstdint>
#include <optional>

// The order every paged list keeps between its page requests, whichever
// client sends them: one page request at a time, and a first page (a pull,
// a search, the screen's start, the reload after an action) supersedes
// whatever was under way. A screen that loads its content again (a search,
// a reload after an action or at an appearance) keeps the same order with
// first pages only: the newest request's answer is the one shown.
//
//     auto ticket = pages_.startNextPage();
//     if (!ticket) return;                       // a page is under way: nothing is sent
//     send(..., [=](answer) { if (pages_.answered(*ticket)) take(answer); });
//
// Each request holds the ticket it started with. Only the answer of the
// latest request may change the list (its rows, its page number); the late
// answer of a superseded request is dropped. So pages arrive once and in
// order, and a pull that answers before a slow next page is not followed
// by that page.
class KXPageRequests {
public:
    using Ticket = std::uint64_t;

    // A first page: always sent; every request started before it is superseded.
    Ticket startFirstPage();
    // A next page: nothing (no ticket) while a page is under way.
    std::optional<Ticket> startNextPage();
    // An answer (or failure) of the request with `ticket` came back: true
    // when it is the current request's, which is then no longer under way;
    // false when a later request superseded it, whose answer is to be dropped.
    bool answered(Ticket ticket);
    bool underWay() const { return underWay_; }

private:
    Ticket current_ = 0;
    bool underWay_ = false;
};
