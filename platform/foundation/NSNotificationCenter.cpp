#include "foundation/NSNotificationCenter.h"

#include <algorithm>

namespace {

// What block registrations hand back to be removed by.
class NotificationObserverToken : public NSObject {};

}  // namespace

// Never destroyed: objects that outlive static destruction (an app's
// session released at exit) may still remove their observers.
Ref<NSNotificationCenter> NSNotificationCenter::defaultCenter() {
    static const Ref<NSNotificationCenter>* const center = new Ref<NSNotificationCenter>(make<NSNotificationCenter>());
    return *center;
}

void NSNotificationCenter::add(Ref<Registration> registration) {
    std::lock_guard lock(mutex_);
    // Registrations of observers that have gone away are dropped here.
    std::erase_if(registrations_, [](const auto& entry) { return !entry->token && entry->observerAlive.expired(); });
    registrations_.push_back(std::move(registration));
}

void NSNotificationCenter::addObserver(const Ref<NSObject>& observer, Callback callback, std::string name,
                                       const Ref<NSObject>& object) {
    if (!observer || !callback) return;
    add(std::make_shared<Registration>(Registration{observer.get(), observer, nullptr, std::move(name), object.get(),
                                                    object, std::move(callback)}));
}

Ref<NSObject> NSNotificationCenter::addObserverForName(std::string name, const Ref<NSObject>& object,
                                                       Callback block) {
    auto token = make<NotificationObserverToken>();
    if (!block) return token;
    add(std::make_shared<Registration>(Registration{token.get(), {}, token, std::move(name), object.get(), object,
                                                    std::move(block)}));
    return token;
}

void NSNotificationCenter::removeObserver(const void* observer) { removeObserver(observer, "", nullptr); }

void NSNotificationCenter::removeObserver(const void* observer, const std::string& name, const Ref<NSObject>& object) {
    // Tokens are released outside the lock: their destruction runs no code of
    // ours, but a block's captures may.
    std::vector<Ref<Registration>> released;
    {
        std::lock_guard lock(mutex_);
        auto keep = std::stable_partition(registrations_.begin(), registrations_.end(), [&](const auto& entry) {
            bool match = entry->observer == observer && (name.empty() || entry->name == name) &&
                         (!object || entry->object == object.get());
            return !match;
        });
        for (auto it = keep; it != registrations_.end(); ++it) {
            (*it)->removed = true;
            released.push_back(std::move(*it));
        }
        registrations_.erase(keep, registrations_.end());
    }
}

bool NSNotificationCenter::matches(const Registration& registration, const NSNotification& notification) const {
    if (!registration.name.empty() && registration.name != notification.name()) return false;
    if (!registration.object) return true;
    // The object filter compares identity, and a filter object that has gone
    // away matches nothing any more.
    return registration.object == notification.object().get() && !registration.objectAlive.expired();
}

void NSNotificationCenter::postNotification(const Ref<NSNotification>& notification) {
    if (!notification) return;
    std::vector<Ref<Registration>> listeners;
    {
        std::lock_guard lock(mutex_);
        for (const auto& registration : registrations_) {
            if (matches(*registration, *notification)) listeners.push_back(registration);
        }
    }
    for (const auto& registration : listeners) {
        Ref<NSObject> observer;
        {
            std::lock_guard lock(mutex_);
            if (registration->removed) continue;
            if (!registration->token) {
                observer = registration->observerAlive.lock();
                if (!observer) continue;
            }
        }
        // `observer` keeps the owner alive for the call.
        registration->callback(notification);
    }
}

void NSNotificationCenter::postNotificationName(std::string name, const Ref<NSObject>& object, Dictionary userInfo) {
    postNotification(NSNotification::notificationWithName(std::move(name), object, std::move(userInfo)));
}
