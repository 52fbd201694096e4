#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// A posted event: its name, the object that posted it, and details.
class NSNotification : public NSObject {
public:
    NSNotification(std::string name, Ref<NSObject> object, Dictionary userInfo)
        : name_(std::move(name)), object_(std::move(object)), userInfo_(std::move(userInfo)) {}

    static Ref<NSNotification> notificationWithName(std::string name, Ref<NSObject> object = nullptr,
                                                    Dictionary userInfo = {}) {
        return make<NSNotification>(std::move(name), std::move(object), std::move(userInfo));
    }

    const std::string& name() const { return name_; }
    const Ref<NSObject>& object() const { return object_; }
    const Dictionary& userInfo() const { return userInfo_; }

private:
    std::string name_;
    Ref<NSObject> object_;
    Dictionary userInfo_;
};
