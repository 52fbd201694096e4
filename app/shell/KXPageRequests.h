#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "foundation/NSObject.h"

// The order every paged list keeps between its page requests, whichever
// client sends them: one page request at a time, and a first page (a pull,
// a search, the screen's start, the reload after an action) supersedes
// whatever was under way. A screen that loads its content again (a search,
// a reload after an action or at an appearance) keeps the same order with
// first pages only: the newest request's answer is the one shown.
//
//     auto ticket = pages_.startNextPage();
//     if (!ticket) return;                       // a page is under way: nothing is sent
//     pages_.sent(*ticket, send(..., [=](answer) { if (pages_.answered(*ticket)) take(answer); }));
//
// Each request holds the ticket it started with. Only the answer of the
// latest request may change the list (its rows, its page number); the late
// answer of a superseded request is dropped. So pages arrive once and in
// order, and a pull that answers before a slow next page is not followed
// by that page.
//
// A superseded request is also cancelled, so that it gives up its
// connection at once: the connections to one host are few, and requests
// nobody waits for any more must not hold up those of another screen (a
// search typed again and again against a slow back end). A cancelled
// request's blocks are not called (the GET client) or get a cancelled
// failure that `answered` drops like any other superseded answer.
//
// The order belongs to what shows the answers (a screen, or the client or
// loader the screen owns), and its end ends the request under way: loads
// of a screen that is gone give up their connections too. So the blocks
// hold their owner weakly, and the owner goes with its screen.
class KXPageRequests {
public:
    using Ticket = std::uint64_t;
    // Ends a request that went out.
    using Cancel = std::function<void()>;

    KXPageRequests() = default;
    // Cancels the request under way: nobody is left to take its answer.
    ~KXPageRequests();
    KXPageRequests(const KXPageRequests&) = delete;
    KXPageRequests& operator=(const KXPageRequests&) = delete;

    // A first page: always sent; every request started before it is
    // superseded, and the one under way is cancelled.
    Ticket startFirstPage();
    // A next page: nothing (no ticket) while a page is under way.
    std::optional<Ticket> startNextPage();
    // The request of `ticket` went out; `cancel` ends it when a later one
    // supersedes it (at once when one already has).
    void sent(Ticket ticket, Cancel cancel);
    // The same for a client's task or request object (null: nothing to end).
    template <class Task> void sent(Ticket ticket, const Ref<Task>& task) {
        sent(ticket, task ? Cancel([task] { task->cancel(); }) : Cancel());
    }
    // An answer (or failure) of the request with `ticket` came back: true
    // when it is the current request's, which is then no longer under way;
    // false when a later request superseded it, whose answer is to be dropped.
    bool answered(Ticket ticket);
    bool underWay() const { return underWay_; }

private:
    Ticket current_ = 0;
    bool underWay_ = false;
    // What ends the current request, once it went out.
    Cancel cancel_;
};
