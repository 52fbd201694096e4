#pragma once

#include <memory>
#include <string>
#include <utility>

class NSObject;

// Reference objects live in shared pointers; weak properties and delegates
// hold weak pointers.
template <class T> using Ref = std::shared_ptr<T>;
template <class T> using WeakRef = std::weak_ptr<T>;

// Root of every reference object. Subclasses put their `init`-style set-up in
// `didCreate()`, which `make<T>()` calls once the object is owned by a Ref, so
// that it may hand out references to itself.
class NSObject : public std::enable_shared_from_this<NSObject> {
public:
    NSObject() = default;
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;
    virtual ~NSObject() = default;

    // The class name as the object reports it (for descriptions and logs).
    virtual std::string className() const;
    // "%@" of the object: "<ClassName: 0x...>" unless a subclass says more.
    virtual std::string description() const;
    virtual bool isEqual(const NSObject& other) const { return this == &other; }

    // A strong reference to this object, cast to the caller's type.
    template <class T = NSObject> Ref<T> self() {
        return std::static_pointer_cast<T>(shared_from_this());
    }
    template <class T = NSObject> Ref<const T> self() const {
        return std::static_pointer_cast<const T>(shared_from_this());
    }
    template <class T = NSObject> WeakRef<T> weakSelf() { return self<T>(); }

protected:
    // Post-construction hook; runs once, right after make<T>() creates the object.
    virtual void didCreate() {}

    template <class T, class... Args> friend Ref<T> make(Args&&... args);
};

// Creates a reference object and runs its post-construction hook.
template <class T, class... Args> Ref<T> make(Args&&... args) {
    auto object = std::make_shared<T>(std::forward<Args>(args)...);
    static_cast<NSObject*>(object.get())->didCreate();
    return object;
}

// `isKindOfClass:`-style test and cast on references.
template <class T, class U> Ref<T> cast(const Ref<U>& object) {
    return std::dynamic_pointer_cast<T>(object);
}
template <class T, class U> bool isKind(const Ref<U>& object) {
    return dynamic_cast<const T*>(object.get()) != nullptr;
}
