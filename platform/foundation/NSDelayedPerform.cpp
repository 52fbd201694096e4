#include "foundation/NSDelayedPerform.h"

#include <list>
#include <mutex>

#include "foundation/NSRunLoop.h"

namespace {
struct Request {
    const NSRunLoop* loop;
    Ref<NSObject> target;
    std::string selector;
    Value argument;
    TimerQueue::Token token = 0;
};

std::mutex requestsMutex;
std::list<Request> requests;

void cancelMatching(const Ref<NSObject>& target, const std::function<bool(const Request&)>& matches) {
    auto loop = NSRunLoop::currentRunLoop();
    std::list<Request> withdrawn;
    {
        std::lock_guard lock(requestsMutex);
        for (auto it = requests.begin(); it != requests.end();) {
            auto next = std::next(it);
            if (it->loop == loop.get() && it->target == target && matches(*it))
                withdrawn.splice(withdrawn.end(), requests, it);
            it = next;
        }
    }
    for (const auto& request : withdrawn) loop->unschedule(request.token);
}
}  // namespace

void NSDelayedPerform::performSelector(const Ref<NSObject>& target, std::string selector, Value argument,
                                       double delay, std::function<void()> action) {
    auto loop = NSRunLoop::currentRunLoop();
    std::lock_guard lock(requestsMutex);
    auto request = requests.insert(requests.end(), Request{loop.get(), target, std::move(selector), std::move(argument)});
    request->token = loop->schedule(
        loop->now() + std::max(delay, 0.0),
        [request, action = std::move(action)] {
            std::list<Request> done;  // keeps target and argument alive through the action
            {
                std::lock_guard lock(requestsMutex);
                done.splice(done.end(), requests, request);
            }
            action();
        },
        NSRunLoop::modeMask(NSDefaultRunLoopMode));
}

void NSDelayedPerform::cancelPreviousPerformRequests(const Ref<NSObject>& target) {
    cancelMatching(target, [](const Request&) { return true; });
}

void NSDelayedPerform::cancelPreviousPerformRequests(const Ref<NSObject>& target, const std::string& selector,
                                                     const Value& argument) {
    cancelMatching(target, [&](const Request& r) { return r.selector == selector && r.argument == argument; });
}
