#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/NSNotification.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

// Delivers posted notifications, synchronously on the posting thread, to the
// observers whose name (empty: any) and object (null: any) match, in the
// order they were added. Observers may be added and removed from any thread,
// also from inside a callback: one removed during a delivery is not called
// afterwards; one added during a delivery first hears the next post.
class NSNotificationCenter : public NSObject {
public:
    using Callback = std::function<void(const Ref<NSNotification>&)>;

    static Ref<NSNotificationCenter> defaultCenter();

    // Registers `callback` on behalf of `observer`, which the centre does not
    // keep alive: once it is gone, the callback is no longer called.
    // `removeObserver(observer)` undoes every registration made for it.
    void addObserver(const Ref<NSObject>& observer, Callback callback, std::string name,
                     const Ref<NSObject>& object = nullptr);
    // Registers a block; the returned token is the observer to remove. The
    // centre keeps the block until then.
    Ref<NSObject> addObserverForName(std::string name, const Ref<NSObject>& object, Callback block);

    // Removes every registration of an observer (or token), all names.
    void removeObserver(const void* observer);
    void removeObserver(const Ref<NSObject>& observer) { removeObserver(static_cast<const void*>(observer.get())); }
    // Removes the observer's registrations for one name (empty: all) and
    // object (null: all).
    void removeObserver(const void* observer, const std::string& name, const Ref<NSObject>& object = nullptr);

    void postNotification(const Ref<NSNotification>& notification);
    void postNotificationName(std::string name, const Ref<NSObject>& object = nullptr, Dictionary userInfo = {});

private:
    struct Registration {
        const void* observer;
        WeakRef<NSObject> observerAlive;  // empty for tokens, which the centre holds itself
        Ref<NSObject> token;
        std::string name;
        const void* object;
        WeakRef<NSObject> objectAlive;
        Callback callback;
        bool removed = false;
    };
    void add(Ref<Registration> registration);
    bool matches(const Registration& registration, const NSNotification& notification) const;

    std::mutex mutex_;
    std::vector<Ref<Registration>> registrations_;
};
